#include "Validate.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vsthost::validation
{
namespace
{
struct Options
{
    bool keepHome = false;
    std::set<std::string> only;
    unsigned seed = 20240611;
    int watchdogSeconds = 120;
    bool noFork = false;   // for debuggers: everything in this process
};

std::vector<const ValidationGroup*>& registry()
{
    static std::vector<const ValidationGroup*> groups;
    return groups;
}

// The registered groups in their order.
std::vector<const ValidationGroup*> groupsInOrder()
{
    auto groups = registry();
    std::stable_sort (groups.begin(), groups.end(), [] (auto* a, auto* b) { return a->order < b->order; });
    return groups;
}

void runGroup (const ValidationGroup& group, Reporter& r, const std::string& path, unsigned seed)
{
    std::mt19937 rng (seed);
    Library lib;
    lib.path = path;
    if (group.loadsLibraryItself)
        group.body (r, lib, rng);
    else if (lib.load (path))
    {
        group.body (r, lib, rng);
        lib.unload();
    }
    else
        r.check (std::string (group.name) + ".load", [&] { return lib.error; });
}

// What a group's process printed last (the plug-in's output, a sanitizer's
// report): shown with the failure when the process dies, which would otherwise
// leave it somewhere in the log away from the failure, or cut off with its end.
struct OutputTail
{
    static constexpr size_t limit = 64 * 1024;
    std::string text;
    size_t dropped = 0;

    void add (const char* data, size_t size)
    {
        text.append (data, size);
        if (text.size() > limit)
        {
            const auto cut = text.size() - limit;
            dropped += cut;
            text.erase (0, cut);
        }
    }

    // The sanitizer's one-line summary, or the line saying it failed itself, or "".
    std::string summary() const
    {
        std::string failed;
        for (size_t end = text.size(); end > 0;)
        {
            const auto start = text.rfind ('\n', end - 1);
            const auto from = start == std::string::npos ? 0 : start + 1;
            if (text.compare (from, 9, "SUMMARY: ") == 0)
                return text.substr (from, end - from);
            if (const auto at = text.find ("Sanitizer has encountered a fatal error", from); failed.empty() && at < end)
            {
                // "==pid==LeakSanitizer has ...": the name begins after the process id.
                const auto name = text.rfind ("==", at);
                failed = text.substr (name != std::string::npos && name >= from ? name + 2 : from, end - from);
                failed = failed.substr (0, failed.find ('\n'));
            }
            if (start == std::string::npos)
                break;
            end = start;
        }
        return failed;
    }

    void print (const std::string& group) const
    {
        std::printf ("---- what the %s group's process printed%s ----\n%s%s---- end of %s ----\n", group.c_str(),
                     dropped > 0 ? fmt (" (its last %zu bytes)", text.size()).c_str() : "", text.c_str(),
                     text.empty() || text.back() == '\n' ? "" : "\n", group.c_str());
        std::fflush (stdout);
    }
};

[[noreturn]] void runGroupInChild (const ValidationGroup& group, int fd, int outputFd, const std::string& path,
                                   unsigned seed, const std::set<std::string>& skip)
{
    // The plug-in's own output must not mix with the results: both go to the parent, which keeps their end.
    dup2 (outputFd, STDERR_FILENO);
    dup2 (outputFd, STDOUT_FILENO);
    ::close (outputFd);
    Reporter r { fd, {}, skip };
    runGroup (group, r, path, seed);
    ::close (fd);
    std::fflush (nullptr);
    std::exit (0);
}
} // namespace

ValidationGroup::ValidationGroup (const char* groupName, int groupOrder, GroupBody groupBody, bool loadsItself)
    : name (groupName), order (groupOrder), body (groupBody), loadsLibraryItself (loadsItself)
{
    registry().push_back (this);
}

int run (const std::string& path, const std::vector<std::string>& args)
{
    Options options;
    for (size_t i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--keep-home")
            options.keepHome = true;
        else if (args[i] == "--no-fork")
            options.noFork = true;
        else if (args[i] == "--watchdog" && i + 1 < args.size())
            options.watchdogSeconds = std::max (1, std::atoi (args[++i].c_str()));
        else if (args[i] == "--seed" && i + 1 < args.size())
            options.seed = (unsigned) std::strtoul (args[++i].c_str(), nullptr, 10);
        else if (args[i] == "--only" && i + 1 < args.size())
        {
            std::string list = args[++i];
            for (size_t pos = 0; pos <= list.size();)
            {
                const auto comma = std::min (list.find (',', pos), list.size());
                options.only.insert (list.substr (pos, comma - pos));
                pos = comma + 1;
            }
        }
        else
        {
            std::fprintf (stderr, "validate: unknown option %s\n", args[i].c_str());
            return 2;
        }
    }

    // The plug-in keeps settings files under HOME: give it a fresh one.
    std::string home;
    if (! options.keepHome)
    {
        char folder[] = "/tmp/vsthost-validate-home-XXXXXX";
        if (mkdtemp (folder) == nullptr)
        {
            std::perror ("mkdtemp");
            return 1;
        }
        home = folder;
        setenv ("HOME", home.c_str(), 1);
        unsetenv ("XDG_CONFIG_HOME");
    }
    std::fprintf (stderr, "note: seed %u, HOME %s\n", options.seed, std::getenv ("HOME") != nullptr ? std::getenv ("HOME") : "");

    int passed = 0, failed = 0;
    auto result = [&] (bool ok, const std::string& name, const std::string& reason)
    {
        if (ok)
            std::printf ("PASS %s\n", name.c_str());
        else
            std::printf ("FAIL %s: %s\n", name.c_str(), reason.c_str());
        std::fflush (stdout);
        ++(ok ? passed : failed);
    };

    // A line from a group: "B name" begins a check, "P name" passes it, "F name: reason" fails it.
    auto handleLine = [&] (const std::string& line, std::string& current)
    {
        if (line.size() < 2)
            return;
        const auto text = line.substr (2);
        if (line[0] == 'B')
            current = text;
        else if (line[0] == 'P')
        {
            result (true, text, {});
            current.clear();
        }
        else if (line[0] == 'F')
        {
            const auto colon = text.find (": ");
            result (false, text.substr (0, colon), colon == std::string::npos ? "" : text.substr (colon + 2));
            current.clear();
        }
    };

    for (auto* registered : groupsInOrder())
    {
        const auto& group = *registered;
        const unsigned groupSeed = options.seed + (unsigned) group.order;
        if (! options.only.empty() && options.only.count (group.name) == 0)
            continue;

        if (options.noFork)
        {
            std::string current;
            Reporter r { -1, [&] (const std::string& line) { handleLine (line, current); }, {} };
            runGroup (group, r, path, groupSeed);
            continue;
        }

        // After a crash or hang the group runs again in a new process, skipping
        // the checks already reported, so one fault does not hide the rest.
        std::set<std::string> done;
        for (bool again = true; again;)
        {
            again = false;
            int fds[2], out[2];
            if (pipe (fds) != 0)
            {
                result (false, group.name, "no pipe");
                break;
            }
            if (pipe (out) != 0)
            {
                ::close (fds[0]);
                ::close (fds[1]);
                result (false, group.name, "no pipe");
                break;
            }
            std::fflush (nullptr);
            const pid_t child = fork();
            if (child == 0)
            {
                ::close (fds[0]);
                ::close (out[0]);
                runGroupInChild (group, fds[1], out[1], path, groupSeed, done);
            }
            ::close (fds[1]);
            ::close (out[1]);
            if (child < 0)
            {
                ::close (fds[0]);
                ::close (out[0]);
                result (false, group.name, "fork failed");
                break;
            }

            // Results until the child closes them, and its output until it ends: the
            // static teardown and a sanitizer's exit report come after the last result.
            // The watchdog counts from the last result, so a teardown that hangs is caught too.
            std::string pending, current;
            OutputTail output;
            const auto drainOutput = [&]
            {
                char buffer[4096];
                for (pollfd pfd { out[0], POLLIN, 0 }; poll (&pfd, 1, 0) > 0;)
                {
                    const auto n = ::read (out[0], buffer, sizeof (buffer));
                    if (n <= 0)
                        break;
                    output.add (buffer, (size_t) n);
                    (void) ! ::write (STDERR_FILENO, buffer, (size_t) n);
                }
            };
            int status = 0;
            bool hung = false, reaped = false, resultsOpen = true, outputOpen = true;
            auto lastResult = std::chrono::steady_clock::now();
            while (resultsOpen || outputOpen)
            {
                // Once the child has ended, all it wrote is in the pipe, which a process it left may still hold.
                if (! resultsOpen && waitpid (child, &status, WNOHANG) == child)
                {
                    reaped = true;
                    drainOutput();
                    break;
                }
                const auto waited = std::chrono::steady_clock::now() - lastResult;
                const auto left = std::chrono::seconds (options.watchdogSeconds) - waited;
                if (left <= std::chrono::steady_clock::duration::zero())
                {
                    hung = true;
                    kill (child, SIGKILL);
                    break;
                }
                pollfd pfd[2] { { resultsOpen ? fds[0] : -1, POLLIN, 0 }, { outputOpen ? out[0] : -1, POLLIN, 0 } };
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds> (left).count() + 1;
                const int ready = poll (pfd, 2, (int) (resultsOpen ? wait : std::min<long long> (wait, 100)));
                if (ready < 0)
                {
                    if (errno == EINTR)
                        continue;
                    break;
                }
                char buffer[4096];
                if (outputOpen && pfd[1].revents != 0)
                {
                    const auto n = ::read (out[0], buffer, sizeof (buffer));
                    if (n <= 0)
                        outputOpen = false;
                    else
                    {
                        output.add (buffer, (size_t) n);
                        (void) ! ::write (STDERR_FILENO, buffer, (size_t) n);
                    }
                }
                if (resultsOpen && pfd[0].revents != 0)
                {
                    const auto n = ::read (fds[0], buffer, sizeof (buffer));
                    if (n <= 0)
                    {
                        resultsOpen = false;
                        continue;
                    }
                    lastResult = std::chrono::steady_clock::now();
                    pending.append (buffer, (size_t) n);
                    for (size_t eol; (eol = pending.find ('\n')) != std::string::npos;)
                    {
                        const auto line = pending.substr (0, eol);
                        pending.erase (0, eol + 1);
                        if (line.size() > 2 && line[0] != 'B')
                            done.insert (line.substr (2, line.find (": ") - 2));
                        handleLine (line, current);
                    }
                }
            }
            ::close (fds[0]);

            if (! reaped)
                waitpid (child, &status, 0);
            if (hung)
                drainOutput();   // a killed child's last words
            ::close (out[0]);

            const bool died = hung || WIFSIGNALED (status) || (WIFEXITED (status) && WEXITSTATUS (status) != 0);
            const auto where = current.empty() ? std::string (group.name) + ".teardown" : current;
            const auto during = current.empty() ? " while closing instances or unloading the library" : "";
            const auto summary = output.summary();
            const auto report = summary.empty() ? std::string() : " (" + summary + ")";
            if (hung)
                result (false, where, fmt ("no progress for %d s, killed (hang or deadlock%s)", options.watchdogSeconds, during));
            else if (WIFSIGNALED (status))
                result (false, where, fmt ("the process died: signal %d (%s)%s%s", WTERMSIG (status), strsignal (WTERMSIG (status)),
                                           during, report.c_str()));
            else if (WIFEXITED (status) && WEXITSTATUS (status) != 0)
                result (false, where, fmt ("the process exited with status %d%s%s", WEXITSTATUS (status), during, report.c_str()));
            else if (! current.empty())
                result (false, where, "the check did not finish");
            if (died)
                output.print (group.name);

            if (died && ! current.empty())
            {
                done.insert (current);
                again = true;
            }
        }
    }

    if (! home.empty())
    {
        std::error_code ignored;
        std::filesystem::remove_all (home, ignored);
    }

    std::printf ("%d passed, %d failed\n", passed, failed);
    std::fflush (stdout);
    return failed == 0 ? 0 : 1;
}
} // namespace vsthost::validation
