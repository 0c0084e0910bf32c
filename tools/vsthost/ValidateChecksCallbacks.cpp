// A host that calls the plug-in back from inside audioMasterUpdateDisplay and
// audioMasterAutomate, on whatever thread they come (one common host does): around
// state restores, with the editor never opened, open, and closed again. A deadlock
// shows as a check that does not finish in its time; the verdicts are no hang, no
// crash, and no report to the host of a change the host made itself.
#include "Validate.h"
#include "ValidateWindow.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace vsthost::validation
{
namespace
{
std::atomic<int> answers { 0 }, answersOffMainThread { 0 };
std::thread::id mainThread;

// What such a host asks from inside the callback.
void callBack (AEffect* e, VstInt32)
{
    thread_local int depth = 0;
    if (e == nullptr || depth > 0)
        return;

    ++depth;
    dispatch (e, effGetProgram);
    for (int i : { 0, 100, 617, 618 })
        e->getParameter (e, i);
    char name[kVstMaxProgNameLen + 8] {};
    dispatch (e, effGetProgramName, 0, 0, name);
    dispatch (e, effEditIdle);
    ++answers;
    if (std::this_thread::get_id() != mainThread)
        ++answersOffMainThread;
    --depth;
}

// Calls the host back while it lives.
struct CallingBackHost
{
    CallingBackHost()   { mainThread = std::this_thread::get_id(); host.answerCallback = callBack; }
    ~CallingBackHost()  { host.answerCallback = nullptr; }
};

// The check's body with a time limit: a deadlock never returns, so the process
// ends, and the validation reports the check that was running and goes on.
std::function<std::string()> withinSeconds (int seconds, const std::string& name, std::function<std::string()> body)
{
    return [=]() -> std::string
    {
        std::mutex m;
        std::condition_variable finished;
        bool done = false;
        std::thread watchdog ([&]
        {
            std::unique_lock<std::mutex> l (m);
            if (! finished.wait_for (l, std::chrono::seconds (seconds), [&] { return done; }))
            {
                std::fprintf (stderr, "%s: no answer within %d s (the host and the plug-in wait for each other)\n",
                              name.c_str(), seconds);
                std::fflush (stderr);
                _exit (124);
            }
        });
        std::string reason;
        try
        {
            reason = body();
        }
        catch (...)
        {
            { const std::lock_guard<std::mutex> l (m); done = true; }
            finished.notify_all();
            watchdog.join();
            throw;
        }
        { const std::lock_guard<std::mutex> l (m); done = true; }
        finished.notify_all();
        watchdog.join();
        return reason;
    };
}

// Gives the plug-in's own message thread the time it takes to deliver what a
// change posted; done early when the host hears of a change.
void settle (int updatesBefore)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds (600);
    while (std::chrono::steady_clock::now() < until && host.updateDisplayCalls.load() == updatesBefore)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
}

// Every way a host puts state back: a bank chunk, a program chunk, a program, the
// program-select parameter and a few values; each time the plug-in may answer.
std::string restoreEverything (AEffect* e, const Bytes& bank, const Bytes& prog, XSession* x)
{
    Problems p;
    const auto step = [&] (const char* what, const std::function<void()>& restore)
    {
        const int before = host.updateDisplayCalls;
        restore();
        if (x != nullptr)
            x->idleWhile (e, [&] { return host.updateDisplayCalls == before; }, std::chrono::milliseconds (200), 8);
        else
            settle (before);
        if (const int told = host.updateDisplayCalls - before; told != 0)
            p.add (fmt ("after the host's %s the plug-in told the host of it %d time(s)", what, told));
    };

    step ("bank chunk", [&] { setChunk (e, false, bank); });
    step ("program chunk", [&] { setChunk (e, true, prog); });
    step ("program change", [&] { dispatch (e, effSetProgram, 0, 7); });
    step ("program-select parameter", [&] { e->setParameter (e, 618, 0.25f); });
    step ("parameter values", [&] { for (int i : { 1, 50, 300 }) e->setParameter (e, i, 0.7f); });
    step ("program rename", [&] { char n[] = "Restored"; dispatch (e, effSetProgramName, 0, 0, n); });
    step ("bank chunk again", [&] { setChunk (e, false, bank); });
    return p.str();
}

void callbacksGroup (Reporter& r, Library& lib, std::mt19937&)
{
    constexpr int limit = 60;

    // Opened first: the display's atoms exist before the first instance's toolkit looks them up.
    XSession x;
    const bool windows = displaySet() && x.open();

    // Chunks of a state other than a fresh one, so restoring changes something.
    Bytes bank, prog;
    {
        Instance a (lib.entry);
        dispatch (a, effSetProgram, 0, 3);
        a->setParameter (a, 10, 0.4f);
        bank = getChunk (a, false);
        prog = getChunk (a, true);
    }

    r.check ("callbacks.restoreBeforeEditorOpens", withinSeconds (limit, "callbacks.restoreBeforeEditorOpens", [&]() -> std::string
    {
        CallingBackHost calling;
        Problems p;
        Instance a (lib.entry);
        p.addAll (restoreEverything (a, bank, prog, nullptr), "");

        // The project is open: now its editor, as "show the plug-in's window" does.
        if (windows)
        {
            const auto parent = openInNewParent (x, a, p, "opening after the restore");
            x.idle (a, 20);
            p.addAll (closeEditor (x, a, parent), "closing");
            x.destroy (parent);
        }
        return p.str();
    }));

    if (! windows)
        return;

    r.check ("callbacks.restoreWithEditorOpen", withinSeconds (limit, "callbacks.restoreWithEditorOpen", withXErrors (x, [&]() -> std::string
    {
        CallingBackHost calling;
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "opening");
        x.idle (a, 10);
        p.addAll (restoreEverything (a, bank, prog, &x), "editor open");
        p.addAll (closeEditor (x, a, parent), "closing");
        x.destroy (parent);
        return p.str();
    })));

    r.check ("callbacks.restoreAfterEditorClosed", withinSeconds (limit, "callbacks.restoreAfterEditorClosed", withXErrors (x, [&]() -> std::string
    {
        CallingBackHost calling;
        Problems p;
        Instance a (lib.entry);
        for (int cycle = 0; cycle < 3; ++cycle)
        {
            const auto parent = openInNewParent (x, a, p, fmt ("cycle %d", cycle));
            x.idle (a, 5);
            p.addAll (closeEditor (x, a, parent), fmt ("cycle %d closing", cycle));
            x.destroy (parent);
            // The editor is closed: the plug-in's own message thread runs again.
            p.addAll (restoreEverything (a, bank, prog, nullptr), fmt ("cycle %d, editor closed", cycle));
        }
        const auto parent = openInNewParent (x, a, p, "reopening");
        x.idle (a, 10);
        p.addAll (closeEditor (x, a, parent), "closing at the end");
        x.destroy (parent);
        return p.str();
    })));

    // Edits of our own, with the editor open: the wheel over the page turns its knobs,
    // each edit goes to the host as automation, and the host calls back from inside
    // it, editor idle included.
    r.check ("callbacks.editsWithEditorOpen", withinSeconds (limit, "callbacks.editsWithEditorOpen", withXErrors (x, [&]() -> std::string
    {
        CallingBackHost calling;
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "opening");
        const auto window = editorWindow (x, parent);
        const int automatedBefore = host.automateCalls, answeredBefore = answers;
        const int begunBefore = host.beginEditCalls, endedBefore = host.endEditCalls;
        // The first opening's splash takes the wheel for its two seconds: sweep until an edit lands.
        const auto sweepsEnd = std::chrono::steady_clock::now() + XSession::patience;
        while (std::chrono::steady_clock::now() < sweepsEnd && host.automateCalls == automatedBefore)
            for (int y = 110; y < 430 && host.automateCalls == automatedBefore; y += 36)
                for (int px = 30; px < 1150 && host.automateCalls == automatedBefore; px += 34)
                {
                    sendButton (x, window, true, px, y, Button4);
                    sendButton (x, window, false, px, y, Button4);
                    x.idle (a, 1);
                }
        if (host.automateCalls == automatedBefore)
            p.add ("no turn of the wheel over the page reached the host as an edit");
        else if (answers == answeredBefore)
            p.add ("the host heard of an edit but could not call back");
        // Gestures end a moment after the last edit, while the host still calls back; what
        // the edits told the host has all arrived before the restores are judged.
        const auto ended = [&] { return host.endEditCalls - endedBefore >= host.beginEditCalls - begunBefore; };
        if (! x.idleUntil (a, ended))
            p.add (fmt ("the edits' gestures did not end %s: %d begun, %d ended", x.waited().c_str(),
                        host.beginEditCalls - begunBefore, host.endEditCalls - endedBefore));
        x.holdsStill (a, [] { return host.updateDisplayCalls.load(); }, std::chrono::milliseconds (300), 20);
        p.addAll (restoreEverything (a, bank, prog, &x), "after the edits");
        p.addAll (closeEditor (x, a, parent), "closing");
        x.destroy (parent);
        return p.str();
    })));

    // The host restores from a thread of its own while its GUI thread idles the open
    // editor, and its audio thread runs; every callback is answered where it comes.
    r.check ("callbacks.restoreFromOtherThreads", withinSeconds (limit, "callbacks.restoreFromOtherThreads", withXErrors (x, [&]() -> std::string
    {
        CallingBackHost calling;
        Problems p;
        Instance a (lib.entry);
        prepare (a, 48000.0, 256);
        resume (a);
        const auto parent = openInNewParent (x, a, p, "opening");
        AEffect* e = a;
        std::atomic<bool> stop { false };
        std::thread audio ([e, &stop]
        {
            std::mt19937 local (7);
            while (! stop)
                runBlock (e, 256, local);
        });
        std::atomic<bool> restored { false };
        std::thread restorer ([e, &bank, &prog, &restored]
        {
            for (int k = 0; k < 6; ++k)
            {
                setChunk (e, (k % 2) == 1, (k % 2) == 1 ? prog : bank);
                dispatch (e, effSetProgram, 0, k);
                e->setParameter (e, 618, (float) k / 10.0f);
                std::this_thread::sleep_for (std::chrono::milliseconds (20));
            }
            restored = true;
        });
        x.idleUntil (a, [&] { return restored.load(); });
        restorer.join();
        x.idle (a, 20);
        stop = true;
        audio.join();
        suspend (a);
        p.addAll (closeEditor (x, a, parent), "closing");
        x.destroy (parent);
        return p.str();
    })));
}
} // namespace

const ValidationGroup callbackChecks { "callbacks", 31, callbacksGroup };
} // namespace vsthost::validation
