#include "Validate.h"
#include "SimulatedDevice.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
 #include <xmmintrin.h>
#endif

namespace vsthost::validation
{
std::string fmt (const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start (args, format);
    std::vsnprintf (buffer, sizeof (buffer), format, args);
    va_end (args);
    return buffer;
}

bool isValidUtf8 (const std::string& s)
{
    for (size_t i = 0; i < s.size();)
    {
        const auto c = (unsigned char) s[i];
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0)
            return false;
        for (int k = 1; k <= extra; ++k)
            if (i + (size_t) k >= s.size() || ((unsigned char) s[i + (size_t) k] >> 6) != 2)
                return false;
        i += (size_t) extra + 1;
    }
    return true;
}

bool hasControlCharacters (const std::string& s)
{
    return std::any_of (s.begin(), s.end(), [] (char c) { return (unsigned char) c < 0x20 || c == 0x7f; });
}

std::string quoted (const std::string& s)
{
    return "\"" + s + "\"";
}

Text fetchText (AEffect* e, VstInt32 opcode, VstInt32 index)
{
    char buffer[512];
    std::memset (buffer, 0x7e, sizeof (buffer));
    Text t;
    t.result = dispatch (e, opcode, index, 0, buffer);
    const auto* end = (const char*) std::memchr (buffer, 0, sizeof (buffer));
    t.terminated = end != nullptr;
    t.value.assign (buffer, end != nullptr ? (size_t) (end - buffer) : sizeof (buffer));
    t.written = std::any_of (buffer, buffer + sizeof (buffer), [] (char c) { return c != 0x7e; });
    return t;
}

std::string programName (AEffect* e, int p)         { return fetchText (e, effGetProgramNameIndexed, p).value; }
std::string parameterName (AEffect* e, int i)       { return fetchText (e, effGetParamName, i).value; }
std::string parameterText (AEffect* e, int i)       { return fetchText (e, effGetParamDisplay, i).value; }

Bytes getChunk (AEffect* e, bool program)
{
    return chunk (e, program);
}

void setChunk (AEffect* e, bool program, const void* data, size_t size)
{
    dispatch (e, effSetChunk, program ? 1 : 0, (VstIntPtr) size, const_cast<void*> (data));
}

void setChunk (AEffect* e, bool program, const Bytes& data)
{
    setChunk (e, program, data.data(), data.size());
}

static std::string describeBankByte (size_t i)
{
    if (i < bankHeader.size())
        return fmt ("header byte %zu", i);
    if (i < (size_t) bankRecordsEnd)
        return fmt ("program %zu record byte %zu", (i - bankHeader.size()) / recordSize, (i - bankHeader.size()) % recordSize);
    if (i < (size_t) bankIndexByte)
        return fmt ("current record byte %zu", i - (size_t) bankCurrentRecord);
    return "index byte";
}

// "" when equal, else where the first difference is and how many bytes differ.
std::string compareBytes (const Bytes& a, const Bytes& b, size_t from, size_t to, bool bank)
{
    if (a.size() < to || b.size() < to)
        return fmt ("sizes %zu and %zu", a.size(), b.size());
    size_t first = to, count = 0;
    for (size_t i = from; i < to; ++i)
        if (a[i] != b[i])
        {
            first = std::min (first, i);
            ++count;
        }
    if (count == 0)
        return {};
    const auto where = bank ? describeBankByte (first)
                     : first < programHeader.size() ? fmt ("header byte %zu", first)
                                                    : fmt ("record byte %zu", first - programHeader.size());
    return fmt ("%zu byte(s) differ, first at %zu (%s: %u -> %u)", count, first, where.c_str(),
                (unsigned) (unsigned char) a[first], (unsigned) (unsigned char) b[first]);
}

std::vector<float> parameterValues (AEffect* e)
{
    std::vector<float> v ((size_t) numParams);
    for (int i = 0; i < numParams; ++i)
        v[(size_t) i] = e->getParameter (e, i);
    return v;
}

std::vector<std::string> programNames (AEffect* e)
{
    std::vector<std::string> names;
    for (int p = 0; p < numPrograms; ++p)
        names.push_back (programName (e, p));
    return names;
}

// "" when every parameter reads the same, else the first few that differ.
std::string compareValues (AEffect* e, const std::vector<float>& expected, const std::vector<float>& actual)
{
    Problems p;
    for (int i = 0; i < numParams; ++i)
        if (std::memcmp (&expected[(size_t) i], &actual[(size_t) i], sizeof (float)) != 0)
            p.add (fmt ("parameter %d (%s) %g, expected %g", i, parameterName (e, i).c_str(),
                        (double) actual[(size_t) i], (double) expected[(size_t) i]));
    return p.str();
}

std::string compareNames (const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    Problems p;
    for (size_t i = 0; i < expected.size() && i < actual.size(); ++i)
        if (expected[i] != actual[i])
            p.add (fmt ("program %zu named %s, expected %s", i, quoted (actual[i]).c_str(), quoted (expected[i]).c_str()));
    return p.str();
}

State capture (AEffect* e)
{
    State s;
    s.program = (int) dispatch (e, effGetProgram);
    s.names = programNames (e);
    s.values = parameterValues (e);
    s.bank = getChunk (e, false);
    s.prog = getChunk (e, true);
    return s;
}

std::string compareStates (AEffect* e, const State& before, const State& after)
{
    Problems p;
    if (before.program != after.program)
        p.add (fmt ("current program %d -> %d", before.program, after.program));
    p.addAll (compareNames (before.names, after.names), "");
    p.addAll (compareValues (e, before.values, after.values), "");
    if (before.bank.size() != after.bank.size())
        p.add (fmt ("bank chunk size %zu -> %zu", before.bank.size(), after.bank.size()));
    else
        p.addAll (compareBytes (before.bank, after.bank, 0, before.bank.size(), true), "bank chunk");
    if (before.prog.size() != after.prog.size())
        p.add (fmt ("program chunk size %zu -> %zu", before.prog.size(), after.prog.size()));
    else
        p.addAll (compareBytes (before.prog, after.prog, 0, before.prog.size(), false), "program chunk");
    return p.str();
}

//==============================================================================
// Audio.
void prepare (AEffect* e, double rate, int maxBlock)
{
    host.sampleRate = rate;
    host.blockSize = maxBlock;
    dispatch (e, effSetSampleRate, 0, 0, nullptr, (float) rate);
    dispatch (e, effSetBlockSize, 0, maxBlock);
}

void resume (AEffect* e)
{
    dispatch (e, effMainsChanged, 0, 1);
    dispatch (e, effStartProcess);
}

void suspend (AEffect* e)
{
    dispatch (e, effStopProcess);
    dispatch (e, effMainsChanged, 0, 0);
}

static float specialValue (std::mt19937& rng, int i)
{
    static const float values[] = { 0.0f, -0.0f, FLT_MIN / 2.0f, -FLT_MIN / 3.0f, 1.0e-40f, -1.0e-44f, FLT_MIN, -FLT_MIN,
                                    FLT_MAX, -FLT_MAX, INFINITY, -INFINITY, 1.0f, -1.0f, 1.0e20f, -3.5e-30f };
    if (i % 3 == 2)
        return std::uniform_real_distribution<float> (-1.0f, 1.0f) (rng);
    return values[(size_t) i % (sizeof (values) / sizeof (values[0]))];
}

static float randomBits (std::mt19937& rng)
{
    for (;;)
    {
        const uint32_t bits = rng();
        float f;
        std::memcpy (&f, &bits, sizeof (f));
        if (! std::isnan (f))
            return f;
    }
}

// The control bits only: the sticky exception flags may change with any arithmetic.
static unsigned fpuControl()
{
#if defined(__x86_64__) || defined(__i386__)
    return _mm_getcsr() & ~0x3fu;
#else
    return 0;
#endif
}

// One block through processReplacing; "" when both outputs equal the inputs bit for bit.
std::string runBlock (AEffect* e, int frames, std::mt19937& rng, Signal signal, bool inPlace)
{
    std::vector<std::vector<float>> in ((size_t) numChannels), out ((size_t) numChannels);
    std::vector<float*> inPtrs, outPtrs;
    for (int c = 0; c < numChannels; ++c)
    {
        auto& data = in[(size_t) c];
        data.resize ((size_t) std::max (frames, 1));
        for (int i = 0; i < frames; ++i)
            data[(size_t) i] = signal == Signal::random ? std::uniform_real_distribution<float> (-1.0f, 1.0f) (rng)
                             : signal == Signal::special ? specialValue (rng, i + c)
                                                         : randomBits (rng);
        out[(size_t) c].assign ((size_t) std::max (frames, 1), 12345.0f + (float) c);
        inPtrs.push_back (data.data());
        outPtrs.push_back (inPlace ? data.data() : out[(size_t) c].data());
    }
    const auto expected = in;

    const auto fpuBefore = fpuControl();
    onAudioThread = true;
    currentBlockFrames = frames;
    e->processReplacing (e, inPtrs.data(), outPtrs.data(), frames);
    currentBlockFrames = -1;
    onAudioThread = false;
    const auto fpuAfter = fpuControl();

    if (fpuAfter != fpuBefore)
        return fmt ("processReplacing changed the caller's floating-point control word 0x%x -> 0x%x", fpuBefore, fpuAfter);

    for (int c = 0; c < numChannels; ++c)
    {
        const auto* result = outPtrs[(size_t) c];
        for (int i = 0; i < frames; ++i)
            if (std::memcmp (&result[i], &expected[(size_t) c][(size_t) i], sizeof (float)) != 0)
            {
                int differing = 0;
                for (int k = i; k < frames; ++k)
                    differing += std::memcmp (&result[k], &expected[(size_t) c][(size_t) k], sizeof (float)) != 0;
                return fmt ("%d-frame block: channel %d frame %d is %.9g, input was %.9g (%d frames differ)", frames, c, i,
                            (double) result[i], (double) expected[(size_t) c][(size_t) i], differing);
            }
    }

    if (frames == 0 && ! inPlace)
        for (int c = 0; c < numChannels; ++c)
            if (out[(size_t) c][0] != 12345.0f + (float) c)
                return fmt ("a 0-frame block wrote to output channel %d", c);
    return {};
}

// The answers every instance must give whatever it was fed: queries answered,
// values in range, strings terminated, chunks of the right size, audio through.
std::string answersEverything (AEffect* e, std::mt19937& rng)
{
    Problems p;
    const int current = (int) dispatch (e, effGetProgram);
    if (current < 0 || current >= numPrograms)
        p.add (fmt ("current program %d", current));

    for (int i = 0; i < numPrograms; ++i)
    {
        const auto t = fetchText (e, effGetProgramNameIndexed, i);
        if (! t.terminated || t.value.size() > kVstMaxProgNameLen || ! isValidUtf8 (t.value))
            p.add (fmt ("program %d name is %zu bytes%s", i, t.value.size(), isValidUtf8 (t.value) ? "" : ", not UTF-8"));
    }
    {
        const auto t = fetchText (e, effGetProgramName);
        if (! t.terminated || ! isValidUtf8 (t.value))
            p.add ("current program name not a terminated UTF-8 string");
    }

    for (int i = 0; i < numParams; ++i)
    {
        const float v = e->getParameter (e, i);
        if (! (v >= 0.0f && v <= 1.0f))
            p.add (fmt ("parameter %d reads %g", i, (double) v));
        const auto text = fetchText (e, effGetParamDisplay, i), name = fetchText (e, effGetParamName, i),
                   label = fetchText (e, effGetParamLabel, i);
        if (! text.terminated || ! isValidUtf8 (text.value))
            p.add (fmt ("parameter %d text is not a terminated UTF-8 string", i));
        if (! name.terminated || name.value.empty() || ! isValidUtf8 (name.value))
            p.add (fmt ("parameter %d name is empty or not UTF-8", i));
        if (! label.terminated || ! isValidUtf8 (label.value))
            p.add (fmt ("parameter %d label is not a terminated UTF-8 string", i));
    }

    const auto bank = getChunk (e, false), prog = getChunk (e, true);
    if (bank.size() != (size_t) bankSize || std::string (bank.data(), std::min (bank.size(), bankHeader.size())) != bankHeader)
        p.add (fmt ("bank chunk of %zu bytes", bank.size()));
    if (prog.size() != (size_t) programSize || std::string (prog.data(), std::min (prog.size(), programHeader.size())) != programHeader)
        p.add (fmt ("program chunk of %zu bytes", prog.size()));

    prepare (e, 44100.0, 256);
    resume (e);
    p.addAll (runBlock (e, 256, rng), "audio");
    suspend (e);
    return p.str();
}

// A short use of an instance: the answers a host asks for right after loading.
std::string quickUse (AEffect* e, std::mt19937& rng)
{
    Problems p;
    if (e->numParams != numParams || e->numPrograms != numPrograms)
        p.add (fmt ("%d parameters, %d programs", e->numParams, e->numPrograms));
    if (programName (e, 0).empty())
        p.add ("program 0 has no name");
    const float v = e->getParameter (e, 0);
    if (! (v >= 0.0f && v <= 1.0f))
        p.add (fmt ("parameter 0 reads %g", (double) v));
    if (getChunk (e, false).size() != (size_t) bankSize)
        p.add ("bank chunk size");
    prepare (e, 48000.0, 64);
    resume (e);
    p.addAll (runBlock (e, 64, rng), "audio");
    suspend (e);
    return p.str();
}

// Runs the body in a child process and hands back its answer; a crash there is an answer too.
SettingsFileSwap::SettingsFileSwap (const char* name, std::optional<std::string> content)
{
    const char* home = std::getenv ("HOME");
    file = std::filesystem::path (home != nullptr ? home : ".") / "VantorConfig" / name;
    if (std::ifstream in { file, std::ios::binary })
        before = std::string (std::istreambuf_iterator<char> (in), {});
    put (content);
}

SettingsFileSwap::~SettingsFileSwap()
{
    put (before);
}

void SettingsFileSwap::put (const std::optional<std::string>& content) const
{
    std::error_code ignored;
    if (! content)
    {
        std::filesystem::remove (file, ignored);
        return;
    }
    std::filesystem::create_directories (file.parent_path(), ignored);
    std::ofstream out (file, std::ios::binary | std::ios::trunc);
    out << *content;
}

std::string simulatedDevicePorts()
{
    return std::string (SimulatedDevice::inputName) + '\x0f' + SimulatedDevice::outputName + '\x10' + "NONE" + '\x11' + "0" + '\x12';
}

std::string inFreshProcess (const std::function<std::string()>& body)
{
    int fds[2];
    if (pipe (fds) != 0)
        return "no pipe";
    std::fflush (nullptr);
    const pid_t child = fork();
    if (child == 0)
    {
        ::close (fds[0]);
        const auto reason = body();
        if (! reason.empty())
            (void) ::write (fds[1], reason.data(), reason.size());
        ::close (fds[1]);
        std::fflush (nullptr);
        std::exit (0);   // a normal exit, so the plug-in's static teardown runs too
    }
    ::close (fds[1]);
    if (child < 0)
    {
        ::close (fds[0]);
        return "fork failed";
    }
    std::string reason;
    char buffer[1024];
    for (ssize_t n; (n = ::read (fds[0], buffer, sizeof (buffer))) > 0;)
        reason.append (buffer, (size_t) n);
    ::close (fds[0]);
    int status = 0;
    waitpid (child, &status, 0);
    if (WIFSIGNALED (status))
        reason += fmt ("%sthe process died: signal %d (%s)", reason.empty() ? "" : "; ", WTERMSIG (status), strsignal (WTERMSIG (status)));
    else if (WIFEXITED (status) && WEXITSTATUS (status) != 0)
        reason += fmt ("%sthe process exited with status %d", reason.empty() ? "" : "; ", WEXITSTATUS (status));
    return reason;
}
} // namespace vsthost::validation
