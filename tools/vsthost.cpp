// A small VST 2.4 host for the command line: loads a plug-in with dlopen,
// calls its entry point and prints what a host sees. Commands run in order
// against the current instance, so round trips can be scripted:
//
//   vsthost PLUGIN.so info
//   vsthost PLUGIN.so params 0 623 programs
//   vsthost PLUGIN.so set 0 0.5 get 0
//   vsthost PLUGIN.so savechunk bank /tmp/b.bin instance 2 loadchunk bank /tmp/b.bin
//   vsthost PLUGIN.so process 48000 512 "90 3c 64"
//   vsthost PLUGIN.so validate [--keep-home] [--only GROUP,...] [--seed N]
//
// Output lines are "key: value" so tests can read them; validate prints
// "PASS name" / "FAIL name: reason" lines and "N passed, N failed".

#include "pluginterfaces/vst2.x/aeffectx.h"

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
 #include <xmmintrin.h>
#endif

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
// The plug-in calls back from its own threads (audio, message thread), so
// everything here is safe to touch from any of them.
struct HostState
{
    std::atomic<int> automateCalls { 0 }, beginEditCalls { 0 }, endEditCalls { 0 };
    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> blockSize { 512 };
    std::atomic<int> sizeWindowWidth { 0 }, sizeWindowHeight { 0 }, sizeWindowCalls { 0 };

    std::mutex lock;
    std::vector<std::vector<unsigned char>> midiOut;       // guarded by lock
    std::vector<std::string> anomalies;                    // guarded by lock
    int anomalyCount = 0;                                  // guarded by lock
    std::map<std::pair<AEffect*, int>, int> openGestures;  // guarded by lock

    void anomaly (const std::string& what)
    {
        const std::lock_guard<std::mutex> l (lock);
        if (anomalies.size() < 8)
            anomalies.push_back (what);
        ++anomalyCount;
    }

    void clearMidi()
    {
        const std::lock_guard<std::mutex> l (lock);
        midiOut.clear();
    }

    size_t midiCount()
    {
        const std::lock_guard<std::mutex> l (lock);
        return midiOut.size();
    }
};

HostState host;

// Set by the validator around processReplacing, so the plug-in learns it runs
// on the audio thread and MIDI timestamps can be checked against the block.
thread_local bool onAudioThread = false;
thread_local int currentBlockFrames = -1;

VstIntPtr VSTCALLBACK hostCallback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        case audioMasterVersion:                return kVstVersion;
        case audioMasterAutomate:
            ++host.automateCalls;
            if (effect != nullptr && (index < 0 || index >= effect->numParams))
                host.anomaly ("automate for parameter index " + std::to_string (index));
            if (! (opt >= 0.0f && opt <= 1.0f))
                host.anomaly ("automate value " + std::to_string (opt) + " for parameter " + std::to_string (index));
            return 0;
        case audioMasterBeginEdit:
        {
            ++host.beginEditCalls;
            const std::lock_guard<std::mutex> l (host.lock);
            ++host.openGestures[{ effect, index }];
            return 1;
        }
        case audioMasterEndEdit:
        {
            ++host.endEditCalls;
            bool unmatched = false;
            {
                const std::lock_guard<std::mutex> l (host.lock);
                unmatched = --host.openGestures[{ effect, index }] < 0;
            }
            if (unmatched)
                host.anomaly ("endEdit without beginEdit for parameter " + std::to_string (index));
            return 1;
        }
        case audioMasterGetSampleRate:          return (VstIntPtr) host.sampleRate.load();
        case audioMasterGetBlockSize:           return host.blockSize.load();
        case audioMasterGetCurrentProcessLevel: return onAudioThread ? kVstProcessLevelRealtime : kVstProcessLevelUser;
        case audioMasterGetTime:                return 0;
        case audioMasterGetProductString:       std::strcpy ((char*) ptr, "vsthost"); return 1;
        case audioMasterGetVendorString:        std::strcpy ((char*) ptr, "test"); return 1;
        case audioMasterSizeWindow:
            host.sizeWindowWidth = index;
            host.sizeWindowHeight = (int) value;
            ++host.sizeWindowCalls;
            return 1;
        case audioMasterCanDo:
        {
            const std::string s ((const char*) ptr);
            return (s == "sendVstEvents" || s == "sendVstMidiEvent" || s == "receiveVstEvents"
                    || s == "receiveVstMidiEvent" || s == "sizeWindow") ? 1 : 0;
        }
        case audioMasterProcessEvents:
        {
            auto* events = (VstEvents*) ptr;
            if (events == nullptr)
            {
                host.anomaly ("processEvents with no event list");
                return 0;
            }
            const int frames = currentBlockFrames;
            std::vector<std::vector<unsigned char>> received;
            for (int i = 0; i < events->numEvents; ++i)
            {
                auto* e = events->events[i];
                if (e == nullptr)
                {
                    host.anomaly ("processEvents with a null event");
                    continue;
                }
                if (frames >= 0 && (e->deltaFrames < 0 || (e->deltaFrames >= frames && frames > 0)))
                    host.anomaly ("MIDI out at frame " + std::to_string (e->deltaFrames) + " of a "
                                  + std::to_string (frames) + "-frame block");
                if (e->type == kVstMidiType)
                {
                    auto* m = (VstMidiEvent*) e;
                    if ((m->midiData[0] & 0x80) == 0)
                        host.anomaly ("MIDI out without a status byte");
                    received.push_back ({ (unsigned char) m->midiData[0], (unsigned char) m->midiData[1],
                                          (unsigned char) m->midiData[2] });
                }
                else if (e->type == kVstSysExType)
                {
                    auto* s = (VstMidiSysexEvent*) e;
                    if (s->sysexDump == nullptr || s->dumpBytes <= 0)
                    {
                        host.anomaly ("empty SysEx out");
                        continue;
                    }
                    received.emplace_back ((unsigned char*) s->sysexDump, (unsigned char*) s->sysexDump + s->dumpBytes);
                }
                else
                    host.anomaly ("event of type " + std::to_string (e->type));
            }
            const std::lock_guard<std::mutex> l (host.lock);
            for (auto& r : received)
                host.midiOut.push_back (std::move (r));
            return 1;
        }
        default: return 0;
    }
}

using EntryPoint = AEffect* (*) (audioMasterCallback);

VstIntPtr dispatch (AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0)
{
    return e->dispatcher (e, opcode, index, value, ptr, opt);
}

std::string getString (AEffect* e, VstInt32 opcode, VstInt32 index = 0)
{
    char buffer[512] = {};
    dispatch (e, opcode, index, 0, buffer);
    return buffer;
}

const char* canDoStrings[] =
{
    "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents", "sendVstEvents", "sendVstMidiEvent",
    "sendVstMidiEvents", "receiveVstTimeInfo", "conformsToWindowRules", "bypass", "openCloseAnyThread",
    "midiProgramNames", "offline", "noRealTime"
};

void printInfo (AEffect* e)
{
    std::printf ("magic: 0x%08x\n", (unsigned) e->magic);
    std::printf ("name: %s\n", getString (e, effGetEffectName).c_str());
    std::printf ("vendor: %s\n", getString (e, effGetVendorString).c_str());
    std::printf ("product: %s\n", getString (e, effGetProductString).c_str());
    std::printf ("uniqueID: 0x%08x\n", (unsigned) e->uniqueID);
    std::printf ("version: %d\n", e->version);
    std::printf ("vendorVersion: %d\n", (int) dispatch (e, effGetVendorVersion));
    std::printf ("vstVersion: %d\n", (int) dispatch (e, effGetVstVersion));
    std::printf ("category: %d\n", (int) dispatch (e, effGetPlugCategory));
    std::printf ("numParams: %d\n", e->numParams);
    std::printf ("numPrograms: %d\n", e->numPrograms);
    std::printf ("numInputs: %d\n", e->numInputs);
    std::printf ("numOutputs: %d\n", e->numOutputs);
    std::printf ("initialDelay: %d\n", e->initialDelay);
    std::printf ("tailSize: %d\n", (int) dispatch (e, effGetTailSize));

    std::string flags;
    const std::pair<int, const char*> flagNames[] =
    {
        { effFlagsHasEditor, "has-editor" }, { effFlagsCanReplacing, "can-replacing" },
        { effFlagsProgramChunks, "program-chunks" }, { effFlagsIsSynth, "is-synth" },
        { effFlagsNoSoundInStop, "no-sound-in-stop" }, { effFlagsCanDoubleReplacing, "can-double-replacing" }
    };
    for (auto& f : flagNames)
        if (e->flags & f.first)
            flags += std::string (flags.empty() ? "" : " ") + f.second;
    std::printf ("flags: %s\n", flags.c_str());

    for (auto* s : canDoStrings)
        std::printf ("canDo %s: %d\n", s, (int) dispatch (e, effCanDo, 0, 0, (void*) s));

    for (int i = 0; i < e->numInputs; ++i)
    {
        VstPinProperties p {};
        dispatch (e, effGetInputProperties, i, 0, &p);
        std::printf ("input %d: %s stereo=%d\n", i, p.label, (p.flags & kVstPinIsStereo) ? 1 : 0);
    }
    for (int i = 0; i < e->numOutputs; ++i)
    {
        VstPinProperties p {};
        dispatch (e, effGetOutputProperties, i, 0, &p);
        std::printf ("output %d: %s stereo=%d\n", i, p.label, (p.flags & kVstPinIsStereo) ? 1 : 0);
    }
}

void printParameter (AEffect* e, int i)
{
    std::printf ("param %d: %s = %s (%g)\n", i, getString (e, effGetParamName, i).c_str(),
                 getString (e, effGetParamDisplay, i).c_str(), (double) e->getParameter (e, i));
}

std::vector<char> chunk (AEffect* e, bool program)
{
    void* data = nullptr;
    auto size = dispatch (e, effGetChunk, program ? 1 : 0, 0, &data);
    if (data == nullptr || size <= 0)
        return {};
    return std::vector<char> ((char*) data, (char*) data + size);
}

std::vector<unsigned char> parseHexBytes (const std::string& text)
{
    std::vector<unsigned char> bytes;
    for (size_t pos = 0; pos < text.size();)
    {
        size_t used = 0;
        try { bytes.push_back ((unsigned char) std::stoul (text.substr (pos), &used, 16)); }
        catch (...) { break; }
        pos += used;
    }
    return bytes;
}

// One block: audio in (a ramp) passes through; MIDI given as hex bytes goes in at frame 0.
void processBlock (AEffect* e, double rate, int frames, const std::string& midiHex)
{
    host.sampleRate = rate;
    host.blockSize = frames;
    dispatch (e, effSetSampleRate, 0, 0, nullptr, (float) rate);
    dispatch (e, effSetBlockSize, 0, frames);
    dispatch (e, effMainsChanged, 0, 1);
    dispatch (e, effStartProcess);

    const auto bytes = parseHexBytes (midiHex);
    VstMidiEvent midiEvent {};
    VstMidiSysexEvent sysexEvent {};
    VstEvents events {};

    if (! bytes.empty())
    {
        if (bytes[0] == 0xF0)
        {
            sysexEvent.type = kVstSysExType;
            sysexEvent.byteSize = sizeof (sysexEvent);
            sysexEvent.dumpBytes = (VstInt32) bytes.size();
            sysexEvent.sysexDump = (char*) bytes.data();
            events.events[0] = (VstEvent*) &sysexEvent;
        }
        else
        {
            midiEvent.type = kVstMidiType;
            midiEvent.byteSize = sizeof (midiEvent);
            for (size_t i = 0; i < bytes.size() && i < 3; ++i)
                midiEvent.midiData[i] = (char) bytes[i];
            events.events[0] = (VstEvent*) &midiEvent;
        }
        events.numEvents = 1;
        dispatch (e, effProcessEvents, 0, 0, &events);
    }

    const int numIn = e->numInputs, numOut = e->numOutputs;
    std::vector<std::vector<float>> in ((size_t) numIn, std::vector<float> ((size_t) frames)),
                                    out ((size_t) numOut, std::vector<float> ((size_t) frames, 7.0f));
    std::vector<float*> inPtrs, outPtrs;
    for (int c = 0; c < numIn; ++c)
    {
        for (int i = 0; i < frames; ++i)
            in[(size_t) c][(size_t) i] = (float) (c + 1) * 0.001f * (float) i;
        inPtrs.push_back (in[(size_t) c].data());
    }
    for (auto& o : out)
        outPtrs.push_back (o.data());

    host.midiOut.clear();
    e->processReplacing (e, inPtrs.data(), outPtrs.data(), frames);

    bool passThrough = true;
    for (int c = 0; c < numOut; ++c)
        for (int i = 0; i < frames; ++i)
            if (out[(size_t) c][(size_t) i] != (c < numIn ? in[(size_t) c][(size_t) i] : 0.0f))
                passThrough = false;

    std::printf ("process: rate=%g block=%d passthrough=%d midiOut=%d\n", rate, frames, passThrough ? 1 : 0,
                 (int) host.midiOut.size());
    for (auto& m : host.midiOut)
    {
        std::printf ("midiOut:");
        for (auto b : m)
            std::printf (" %02x", b);
        std::printf ("\n");
    }

    dispatch (e, effStopProcess);
    dispatch (e, effMainsChanged, 0, 0);
}

//==============================================================================
// validate: checks in the spirit of the usual plug-in validators. Each group
// runs in its own child process, forked before the plug-in is loaded, so a
// crash or hang is reported against the check that caused it and the other
// checks still run.
namespace validation
{
using Bytes = std::vector<char>;

constexpr int numParams = 624, numPrograms = 99, numChannels = 2;
constexpr int bankSize = 102430, bankMinimum = 101405, programSize = 1057, recordSize = 1024;
const std::string bankHeader = "Prophet12VantorBank" "Version100";
const std::string programHeader = "Prophet12VantorSettings" "Version100";
constexpr int bankRecordsEnd = bankMinimum;                   // header and 99 records
constexpr int bankCurrentRecord = bankMinimum;                // then the current record
constexpr int bankIndexByte = bankSize - 1;                   // and the current index

struct Options
{
    bool keepHome = false;
    std::set<std::string> only;
    unsigned seed = 20240611;
    int watchdogSeconds = 120;
    bool noFork = false;   // for debuggers: everything in this process
};

// Collects what went wrong in one check; the first few go into the reason.
struct Problems
{
    std::vector<std::string> list;
    int count = 0;

    void add (const std::string& what)
    {
        if (list.size() < 4)
            list.push_back (what);
        ++count;
    }

    void addAll (const std::string& reason, const std::string& context)
    {
        if (! reason.empty())
            add (context.empty() ? reason : context + ": " + reason);
    }

    std::string str() const
    {
        std::string s;
        for (auto& l : list)
            s += (s.empty() ? "" : "; ") + l;
        if (count > (int) list.size())
            s += " (and " + std::to_string (count - (int) list.size()) + " more)";
        return s;
    }
};

std::string fmt (const char* format, ...) __attribute__ ((format (printf, 1, 2)));
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

// A string answer read into a buffer pre-filled with a marker, so a missing
// terminator, and whether anything was written at all, show.
struct Text
{
    std::string value;
    bool terminated = true, written = true;
    VstIntPtr result = 0;

    // Untouched, or a terminated UTF-8 string: what a query that has no answer may leave.
    bool safe() const   { return ! written || (terminated && isValidUtf8 (value)); }
};

Text fetchText (AEffect* e, VstInt32 opcode, VstInt32 index = 0)
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

std::string describeBankByte (size_t i)
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

// Everything a host can ask about the instance's state. Taking it reads the
// bank chunk before the program chunk.
struct State
{
    int program = -1;
    std::vector<std::string> names;
    std::vector<float> values;
    Bytes bank, prog;
};

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

enum class Signal { random, special, bitPatterns };

float specialValue (std::mt19937& rng, int i)
{
    static const float values[] = { 0.0f, -0.0f, FLT_MIN / 2.0f, -FLT_MIN / 3.0f, 1.0e-40f, -1.0e-44f, FLT_MIN, -FLT_MIN,
                                    FLT_MAX, -FLT_MAX, INFINITY, -INFINITY, 1.0f, -1.0f, 1.0e20f, -3.5e-30f };
    if (i % 3 == 2)
        return std::uniform_real_distribution<float> (-1.0f, 1.0f) (rng);
    return values[(size_t) i % (sizeof (values) / sizeof (values[0]))];
}

float randomBits (std::mt19937& rng)
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
unsigned fpuControl()
{
#if defined(__x86_64__) || defined(__i386__)
    return _mm_getcsr() & ~0x3fu;
#else
    return 0;
#endif
}

// One block through processReplacing; "" when both outputs equal the inputs bit for bit.
std::string runBlock (AEffect* e, int frames, std::mt19937& rng, Signal signal = Signal::random, bool inPlace = false)
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

// MIDI for the plug-in, kept alive until the next block as hosts do.
struct EventList
{
    std::vector<VstMidiEvent> midi;
    std::vector<std::vector<char>> sysexData;
    std::vector<VstMidiSysexEvent> sysex;
    std::vector<char> storage;

    void addMidi (std::initializer_list<int> bytes, int frame)
    {
        VstMidiEvent m {};
        m.type = kVstMidiType;
        m.byteSize = sizeof (m);
        m.deltaFrames = frame;
        int k = 0;
        for (auto b : bytes)
            m.midiData[k++] = (char) b;
        midi.push_back (m);
    }

    void addSysex (std::vector<char> bytes, int frame)
    {
        sysexData.push_back (std::move (bytes));
        VstMidiSysexEvent s {};
        s.type = kVstSysExType;
        s.byteSize = sizeof (s);
        s.deltaFrames = frame;
        sysex.push_back (s);
    }

    VstEvents* build()
    {
        const size_t n = midi.size() + sysex.size();
        storage.assign (sizeof (VstEvents) + n * sizeof (VstEvent*), 0);
        auto* events = (VstEvents*) storage.data();
        events->numEvents = (VstInt32) n;
        size_t k = 0;
        for (auto& m : midi)
            events->events[k++] = (VstEvent*) &m;
        for (size_t i = 0; i < sysex.size(); ++i)
        {
            sysex[i].dumpBytes = (VstInt32) sysexData[i].size();
            sysex[i].sysexDump = sysexData[i].data();
            events->events[k++] = (VstEvent*) &sysex[i];
        }
        return events;
    }
};

//==============================================================================
// Loading.
struct Library
{
    void* handle = nullptr;
    EntryPoint entry = nullptr;
    std::string error;

    bool load (const std::string& path)
    {
        handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
        {
            const char* why = dlerror();
            error = "dlopen failed: " + std::string (why != nullptr ? why : "?");
            return false;
        }
        entry = (EntryPoint) dlsym (handle, "VSTPluginMain");
        if (entry == nullptr)
        {
            error = "no VSTPluginMain";
            unload();
            return false;
        }
        return true;
    }

    void unload()
    {
        if (handle != nullptr)
            dlclose (handle);
        handle = nullptr;
        entry = nullptr;
    }
};

struct Instance
{
    AEffect* e = nullptr;

    Instance() = default;
    explicit Instance (EntryPoint entry)        { open (entry); }
    Instance (const Instance&) = delete;
    Instance& operator= (const Instance&) = delete;
    ~Instance()                                 { close(); }

    bool open (EntryPoint entry)
    {
        close();
        auto* created = entry (hostCallback);
        if (created == nullptr || created->magic != kEffectMagic)
            return false;
        e = created;
        dispatch (e, effOpen);
        return true;
    }

    void close()
    {
        if (e != nullptr)
            dispatch (e, effClose);
        e = nullptr;
    }

    AEffect* operator->() const                 { return e; }
    operator AEffect*() const                   { return e; }
};

//==============================================================================
// Results go to the parent through a pipe: "B name" when a check begins,
// "P name" or "F name: reason" when it ends.
struct Reporter
{
    int fd = -1;
    std::function<void (const std::string&)> direct;   // used instead of the pipe with --no-fork
    std::set<std::string> skip;                        // reported already, by an earlier run of the group

    void send (const std::string& line)
    {
        if (direct)
        {
            direct (line);
            return;
        }
        const auto text = line + "\n";
        for (size_t done = 0; done < text.size();)
        {
            const auto n = ::write (fd, text.data() + done, text.size() - done);
            if (n <= 0)
                return;
            done += (size_t) n;
        }
    }

    void check (const std::string& name, const std::function<std::string()>& body)
    {
        if (skip.count (name) != 0)
            return;
        send ("B " + name);
        std::string reason;
        try
        {
            reason = body();
        }
        catch (const std::exception& ex)
        {
            reason = std::string ("exception: ") + ex.what();
        }
        for (auto& c : reason)
            if (c == '\n')
                c = ' ';
        send (reason.empty() ? "P " + name : "F " + name + ": " + reason);
    }
};

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

void instanceGroup (Reporter& r, const std::string& path, std::mt19937& rng)
{
    // Cold: each cycle is a fresh process that loads the library, uses one
    // instance and unloads it (the library may stay resident after dlclose,
    // so only a new process starts it from nothing).
    r.check ("instance.coldCycles", [&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 3; ++cycle)
            p.addAll (inFreshProcess ([&]() -> std::string
            {
                Library cold;
                if (! cold.load (path))
                    return cold.error;
                std::string reason;
                {
                    Instance a (cold.entry);
                    reason = a.e == nullptr ? "no instance" : quickUse (a, rng);
                }
                cold.unload();
                if (void* still = dlopen (path.c_str(), RTLD_NOW | RTLD_NOLOAD); still != nullptr && cycle == 0)
                {
                    std::fprintf (stderr, "note: the library stays in memory after dlclose\n");
                    dlclose (still);
                }
                return reason;
            }), fmt ("cycle %d", cycle));
        return p.str();
    });

    Library lib;
    r.check ("instance.load", [&]() -> std::string
    {
        if (! lib.load (path))
            return lib.error;
        Instance a (lib.entry);
        if (a.e == nullptr)
            return "VSTPluginMain returned no effect with the VST magic number";
        return {};
    });
    if (lib.handle == nullptr)
        return;

    r.check ("instance.properties", [&]() -> std::string
    {
        Instance a (lib.entry);
        if (a.e == nullptr)
            return "no instance";
        Problems p;
        if (a->numParams != numParams)     p.add (fmt ("numParams %d", a->numParams));
        if (a->numPrograms != numPrograms) p.add (fmt ("numPrograms %d", a->numPrograms));
        if (a->numInputs != numChannels)   p.add (fmt ("numInputs %d", a->numInputs));
        if (a->numOutputs != numChannels)  p.add (fmt ("numOutputs %d", a->numOutputs));
        for (auto flag : { effFlagsHasEditor, effFlagsCanReplacing, effFlagsProgramChunks })
            if ((a->flags & flag) == 0)
                p.add (fmt ("flag 0x%x missing", (unsigned) flag));
        if (a->flags & effFlagsIsSynth)
            p.add ("claims to be a synth");
        if (a->uniqueID == 0)
            p.add ("unique ID 0");
        if (a->processReplacing == nullptr || a->getParameter == nullptr || a->setParameter == nullptr)
            p.add ("missing a function pointer");
        if (dispatch (a, effGetVstVersion) != kVstVersion)
            p.add (fmt ("VST version %d", (int) dispatch (a, effGetVstVersion)));
        if (dispatch (a, effGetPlugCategory) != kPlugCategEffect)
            p.add (fmt ("category %d", (int) dispatch (a, effGetPlugCategory)));
        const auto name = fetchText (a, effGetEffectName), vendor = fetchText (a, effGetVendorString),
                   product = fetchText (a, effGetProductString);
        if (name.value.empty() || name.value.size() >= kVstMaxEffectNameLen)
            p.add ("effect name " + quoted (name.value));
        if (vendor.value.empty() || vendor.value.size() >= kVstMaxVendorStrLen)
            p.add ("vendor " + quoted (vendor.value));
        if (product.value.empty() || product.value.size() >= kVstMaxProductStrLen)
            p.add ("product " + quoted (product.value));
        if (dispatch (a, effCanDo, 0, 0, (void*) "validatorSurelyUnknownFeature") > 0)
            p.add ("answers yes to an unknown canDo");

        Instance b (lib.entry);
        if (b.e == nullptr || b->uniqueID != a->uniqueID || b->numParams != a->numParams || b->flags != a->flags)
            p.add ("a second instance reports different properties");
        return p.str();
    });

    // Warm: the library stays loaded (but is closed and opened again half way,
    // as a rescanning host does); every other instance is closed while still processing.
    r.check ("instance.warmCycles", [&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 6; ++cycle)
        {
            if (cycle == 3)
            {
                lib.unload();
                if (! lib.load (path))
                    return "reloading: " + lib.error;
            }
            Instance a (lib.entry);
            if (a.e == nullptr)
            {
                p.add (fmt ("cycle %d: no instance", cycle));
                continue;
            }
            p.addAll (quickUse (a, rng), fmt ("cycle %d", cycle));
            if (cycle % 2 == 1)
            {
                prepare (a, 44100.0, 512);
                resume (a);
                p.addAll (runBlock (a, 512, rng), fmt ("cycle %d", cycle));
                // Closed without effMainsChanged 0, as some hosts do.
            }
        }
        return p.str();
    });

    r.check ("instance.twoAtOnce", [&]() -> std::string
    {
        Problems p;
        for (int order = 0; order < 2; ++order)
        {
            auto a = std::make_unique<Instance> (lib.entry);
            auto b = std::make_unique<Instance> (lib.entry);
            if (a->e == nullptr || b->e == nullptr)
                return "could not create two instances";

            dispatch (*a, effSetProgram, 0, 3);
            dispatch (*b, effSetProgram, 0, 5);
            const auto namesB = programNames (*b);
            dispatch (*a, effSetProgramName, 0, 0, (void*) "ONLY IN A");
            (*a)->setParameter (*a, 0, 1.0f);
            (*b)->setParameter (*b, 0, 0.0f);

            if (dispatch (*a, effGetProgram) != 3 || dispatch (*b, effGetProgram) != 5)
                p.add (fmt ("programs %d and %d, expected 3 and 5", (int) dispatch (*a, effGetProgram), (int) dispatch (*b, effGetProgram)));
            if ((*a)->getParameter (*a, 0) != 1.0f || (*b)->getParameter (*b, 0) != 0.0f)
                p.add (fmt ("parameter 0 reads %g and %g, expected 1 and 0", (double) (*a)->getParameter (*a, 0),
                            (double) (*b)->getParameter (*b, 0)));
            p.addAll (compareNames (namesB, programNames (*b)), "renaming in the first instance changed the second");

            for (auto* e : { a->e, b->e })
            {
                prepare (e, 48000.0, 256);
                resume (e);
            }
            for (int block = 0; block < 4; ++block)
            {
                p.addAll (runBlock (*a, 256, rng), "first instance");
                p.addAll (runBlock (*b, 256, rng), "second instance");
            }

            // Close one, the other must carry on.
            auto& first = order == 0 ? a : b;
            auto& second = order == 0 ? b : a;
            first.reset();
            p.addAll (runBlock (*second, 256, rng), "after closing the other instance");
            p.addAll (quickUse (*second, rng), "after closing the other instance");
            second.reset();
        }
        return p.str();
    });
}

//==============================================================================
void programsGroup (Reporter& r, Library& lib, std::mt19937&)
{
    Instance a (lib.entry);

    r.check ("programs.names", [&]() -> std::string
    {
        Problems p;
        for (int i = 0; i < numPrograms; ++i)
        {
            const auto t = fetchText (a, effGetProgramNameIndexed, i);
            if (t.result == 0)
                p.add (fmt ("program %d: the query answered 0", i));
            if (t.value.empty())
                p.add (fmt ("program %d has no name", i));
            else if (! t.terminated || t.value.size() >= kVstMaxProgNameLen)
                p.add (fmt ("program %d name %s is %zu bytes, more than fits a %d-byte buffer", i, quoted (t.value).c_str(),
                            t.value.size(), (int) kVstMaxProgNameLen));
            else if (! isValidUtf8 (t.value) || hasControlCharacters (t.value))
                p.add (fmt ("program %d name %s has invalid characters", i, quoted (t.value).c_str()));
        }
        return p.str();
    });

    r.check ("programs.selectEach", [&]() -> std::string
    {
        Problems p;
        getChunk (a, false);   // a fresh instance settles on program 0 with its first chunk
        const auto before = getChunk (a, false);
        const auto names = programNames (a);
        for (int pass = 0; pass < 2; ++pass)
            for (int k = 0; k < numPrograms; ++k)
            {
                const int i = pass == 0 ? k : numPrograms - 1 - k;
                dispatch (a, effSetProgram, 0, i);
                const int current = (int) dispatch (a, effGetProgram);
                if (current != i)
                    p.add (fmt ("selected %d, current program reads %d", i, current));
                const auto name = fetchText (a, effGetProgramName).value;
                if (name != names[(size_t) i])
                    p.add (fmt ("program %d: current name %s, indexed name %s", i, quoted (name).c_str(),
                                quoted (names[(size_t) i]).c_str()));
            }
        p.addAll (compareBytes (before, getChunk (a, false), 0, (size_t) bankRecordsEnd, true),
                  "selecting programs changed the stored programs");
        return p.str();
    });

    r.check ("programs.rename", [&]() -> std::string
    {
        Problems p;
        dispatch (a, effSetProgram, 0, 10);
        auto names = programNames (a);
        const std::string name = "VALIDATOR 10";
        dispatch (a, effSetProgramName, 0, 0, (void*) name.c_str());
        names[10] = name;
        if (fetchText (a, effGetProgramName).value != name)
            p.add ("current name reads " + quoted (fetchText (a, effGetProgramName).value));
        p.addAll (compareNames (names, programNames (a)), "");
        if (dispatch (a, effGetProgram) != 10)
            p.add (fmt ("current program %d after renaming 10", (int) dispatch (a, effGetProgram)));

        const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 ABCDEFGHIJ";
        dispatch (a, effSetProgram, 0, 11);
        dispatch (a, effSetProgramName, 0, 0, (void*) longName.c_str());
        const auto got = programName (a, 11);
        if (got.empty() || got.size() >= kVstMaxProgNameLen || longName.compare (0, got.size(), got) != 0)
            p.add ("a 48-character name reads back as " + quoted (got));
        dispatch (a, effSetProgramName, 0, 0, (void*) "");
        if (dispatch (a, effGetProgram) != 11)
            p.add ("an empty name changed the current program");
        return p.str();
    });

    r.check ("programs.renameKeepsEdits", [&]() -> std::string
    {
        dispatch (a, effSetProgram, 0, 12);
        for (int i : { 0, 7, 300 })
            a->setParameter (a, i, a->getParameter (a, i) < 0.5f ? 0.9f : 0.1f);
        const auto edited = parameterValues (a);
        dispatch (a, effSetProgramName, 0, 0, (void*) "EDITED 12");
        auto reason = compareValues (a, edited, parameterValues (a));
        return reason.empty() ? reason : "renaming the current program threw away its unsaved parameter edits: " + reason;
    });

    r.check ("programs.outOfRange", [&]() -> std::string
    {
        Problems p;
        dispatch (a, effSetProgram, 0, 6);
        capture (a);
        const auto before = capture (a);
        for (int index : { -1, numPrograms, 1000, INT32_MIN, INT32_MAX })
        {
            dispatch (a, effSetProgram, 0, index);
            const auto t = fetchText (a, effGetProgramNameIndexed, index);
            if (t.result != 0 || (t.written && ! t.value.empty()) || ! t.safe())
                p.add (fmt ("program %d has a name (%s, answer %d)", index, quoted (t.value).c_str(), (int) t.result));
        }
        p.addAll (compareStates (a, before, capture (a)), "");
        return p.str();
    });
}

//==============================================================================
// An instance whose stored programs differ from the factory ones, so round
// trips show: program 7 holds program 20's sound, program 3 is renamed, 7 is current.
void makeDistinct (AEffect* e)
{
    dispatch (e, effSetProgram, 0, 20);
    const auto p20 = getChunk (e, true);
    dispatch (e, effSetProgram, 0, 7);
    setChunk (e, true, p20);
    dispatch (e, effSetProgram, 0, 3);
    dispatch (e, effSetProgramName, 0, 0, (void*) "ROUND TRIP 3");
    dispatch (e, effSetProgram, 0, 7);
}

void editSome (AEffect* e)
{
    for (int i : { 0, 1, 13, 200, 310, 500 })
        e->setParameter (e, i, e->getParameter (e, i) < 0.5f ? 0.875f : 0.125f);
}

void chunksGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    r.check ("chunks.layout", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        dispatch (a, effSetProgram, 0, 5);
        const auto bank = getChunk (a, false), prog = getChunk (a, true);
        if (bank.size() != (size_t) bankSize)
            return fmt ("bank chunk is %zu bytes", bank.size());
        if (prog.size() != (size_t) programSize)
            return fmt ("program chunk is %zu bytes", prog.size());
        if (std::string (bank.data(), bankHeader.size()) != bankHeader)
            p.add ("bank chunk header " + quoted (std::string (bank.data(), bankHeader.size())));
        if (std::string (prog.data(), programHeader.size()) != programHeader)
            p.add ("program chunk header " + quoted (std::string (prog.data(), programHeader.size())));
        if ((unsigned char) bank[(size_t) bankIndexByte] != 5)
            p.add (fmt ("index byte %d with program 5 selected", (int) (unsigned char) bank[(size_t) bankIndexByte]));
        if (std::memcmp (prog.data() + programHeader.size(), bank.data() + bankHeader.size() + 5 * recordSize, (size_t) recordSize) != 0)
            p.add ("the program chunk of unedited program 5 is not its stored record");
        return p.str();
    });

    // Reading a chunk stores the edit buffer into the current slot (that is how
    // edits reach the host's project); it must not change what the host hears or
    // sees, and reading again gives the same chunk.
    r.check ("chunks.gettersKeepState", [&]() -> std::string
    {
        Problems p;
        {
            Instance a (lib.entry);
            const auto names = programNames (a);
            const auto values = parameterValues (a);
            const auto b1 = getChunk (a, false), b2 = getChunk (a, false);
            p.addAll (compareBytes (b1, b2, 0, b1.size(), true), "a fresh instance's bank chunk read twice");
            p.addAll (compareNames (names, programNames (a)), "reading the bank chunk of a fresh instance");
            p.addAll (compareValues (a, values, parameterValues (a)), "reading the bank chunk of a fresh instance");
            const auto p1 = getChunk (a, true), p2 = getChunk (a, true);
            p.addAll (compareBytes (p1, p2, 0, p1.size(), false), "program chunk read twice");
        }
        {
            Instance a (lib.entry);
            dispatch (a, effSetProgram, 0, 4);
            editSome (a);
            const auto values = parameterValues (a);
            getChunk (a, true);
            const auto b1 = getChunk (a, false), b2 = getChunk (a, false);
            p.addAll (compareBytes (b1, b2, 0, b1.size(), true), "with edits to program 4, the bank chunk read twice");
            p.addAll (compareValues (a, values, parameterValues (a)), "reading chunks changed parameters");
            if (dispatch (a, effGetProgram) != 4)
                p.add (fmt ("reading chunks changed the current program to %d", (int) dispatch (a, effGetProgram)));
        }
        return p.str();
    });

    // The index byte and the current record say what instance 1 had selected;
    // setting a bank chunk need not select anything (hosts send effSetProgram
    // themselves), so a bare round trip compares the 99 records, and the
    // whole chunk once the host has selected the same program.
    r.check ("chunks.bankRoundTrip", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        const auto names = programNames (a);
        const auto bank = getChunk (a, false);
        setChunk (b, false, bank);
        p.addAll (compareBytes (bank, getChunk (b, false), 0, (size_t) bankRecordsEnd, true), "records");
        p.addAll (compareNames (names, programNames (b)), "");
        return p.str();
    });

    r.check ("chunks.bankThenProgram", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        const auto values = parameterValues (a);
        const auto bank = getChunk (a, false), prog = getChunk (a, true);
        setChunk (b, false, bank);
        dispatch (b, effSetProgram, 0, (unsigned char) bank.back());
        if (dispatch (b, effGetProgram) != 7)
            p.add (fmt ("current program %d", (int) dispatch (b, effGetProgram)));
        p.addAll (compareValues (b, values, parameterValues (b)), "");
        p.addAll (compareBytes (bank, getChunk (b, false), 0, bank.size(), true), "bank chunk");
        p.addAll (compareBytes (prog, getChunk (b, true), 0, prog.size(), false), "program chunk");
        return p.str();
    });

    r.check ("chunks.programThenBank", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        const auto values = parameterValues (a);
        const auto bank = getChunk (a, false);
        dispatch (b, effSetProgram, 0, (unsigned char) bank.back());
        setChunk (b, false, bank);
        if (dispatch (b, effGetProgram) != 7)
            p.add (fmt ("current program %d", (int) dispatch (b, effGetProgram)));
        auto diff = compareValues (b, values, parameterValues (b));
        if (! diff.empty())
            p.add ("program 7 was selected before the bank chunk arrived and its parameters still show the old program 7: " + diff);
        p.addAll (compareBytes (bank, getChunk (b, false), 0, bank.size(), true), "bank chunk");
        return p.str();
    });

    r.check ("chunks.bankKeepsEdits", [&]() -> std::string
    {
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        editSome (a);
        const auto values = parameterValues (a);
        const auto bank = getChunk (a, false);
        setChunk (b, false, bank);
        dispatch (b, effSetProgram, 0, (unsigned char) bank.back());
        const auto diff = compareValues (b, values, parameterValues (b));
        return diff.empty() ? diff : "parameter edits made after selecting program 7 are not restored from the bank chunk: " + diff;
    });

    r.check ("chunks.programRoundTrip", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        editSome (a);
        const auto values = parameterValues (a);
        const auto prog = getChunk (a, true);
        const auto name = fetchText (a, effGetProgramName).value;
        {
            Instance b (lib.entry);
            dispatch (b, effSetProgram, 0, 7);
            setChunk (b, true, prog);
            p.addAll (compareValues (b, values, parameterValues (b)), "into program 7");
            p.addAll (compareBytes (prog, getChunk (b, true), 0, prog.size(), false), "into program 7");
            if (programName (b, 7) != name)
                p.add ("program 7 named " + quoted (programName (b, 7)) + ", expected " + quoted (name));
        }
        {
            Instance c (lib.entry);
            setChunk (c, true, prog);
            p.addAll (compareValues (c, values, parameterValues (c)), "into a fresh instance");
            p.addAll (compareBytes (prog, getChunk (c, true), 0, prog.size(), false), "into a fresh instance");
        }
        return p.str();
    });

    // Chunks from another state, so anything wrongly accepted shows.
    Bytes otherBank, otherProg;
    {
        Instance o (lib.entry);
        dispatch (o, effSetProgram, 0, 30);
        dispatch (o, effSetProgramName, 0, 0, (void*) "OTHER 30");
        dispatch (o, effSetProgram, 0, 2);
        dispatch (o, effSetProgramName, 0, 0, (void*) "OTHER 2");
        otherBank = getChunk (o, false);
        otherProg = getChunk (o, true);
    }

    auto ignored = [&] (AEffect* e, bool program, const void* data, size_t size, const std::string& what) -> std::string
    {
        const auto before = capture (e);
        setChunk (e, program, data, size);
        const auto diff = compareStates (e, before, capture (e));
        return diff.empty() ? diff : what + " was not ignored: " + diff;
    };

    r.check ("chunks.empty", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        capture (a);
        for (bool program : { false, true })
        {
            const char* kind = program ? "program" : "bank";
            const auto& source = program ? otherProg : otherBank;
            p.addAll (ignored (a, program, source.data(), 0, fmt ("an empty %s chunk", kind)), "");
            p.addAll (ignored (a, program, nullptr, 0, fmt ("a null %s chunk", kind)), "");
            p.addAll (ignored (a, program, nullptr, source.size(), fmt ("a null %s chunk with a size", kind)), "");
        }
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.truncated", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        capture (a);
        for (size_t size : { (size_t) bankMinimum - 1, (size_t) 1, (size_t) 16, bankHeader.size(), (size_t) programSize })
            p.addAll (ignored (a, false, otherBank.data(), size, fmt ("a %zu-byte bank chunk", size)), "");
        for (size_t size : { (size_t) programSize - 1, (size_t) 1, (size_t) 16, programHeader.size() })
            p.addAll (ignored (a, true, otherProg.data(), size, fmt ("a %zu-byte program chunk", size)), "");
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.minimumSizes", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        setChunk (a, false, otherBank.data(), (size_t) bankMinimum);
        p.addAll (compareBytes (otherBank, getChunk (a, false), 0, (size_t) bankRecordsEnd, true), "a bank chunk of the minimum size");
        setChunk (a, true, otherProg.data(), (size_t) programSize);
        p.addAll (compareBytes (otherProg, getChunk (a, true), 0, otherProg.size(), false), "a program chunk of the minimum size");
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.oversized", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        Bytes bank2 = otherBank, prog2 = otherProg;
        bank2.insert (bank2.end(), otherBank.begin(), otherBank.end());
        prog2.insert (prog2.end(), otherProg.begin(), otherProg.end());
        setChunk (a, false, bank2);
        p.addAll (compareBytes (otherBank, getChunk (a, false), 0, (size_t) bankRecordsEnd, true), "a double-size bank chunk");
        setChunk (a, true, prog2);
        p.addAll (compareBytes (otherProg, getChunk (a, true), 0, otherProg.size(), false), "a double-size program chunk");
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.wrongKind", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        capture (a);
        p.addAll (ignored (a, false, otherProg.data(), otherProg.size(), "a program chunk given as a bank chunk"), "");
        setChunk (a, true, otherBank);
        p.addAll (answersEverything (a, rng), "after a bank chunk given as a program chunk");
        return p.str();
    });

    r.check ("chunks.random", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const size_t sizes[] = { (size_t) bankSize, (size_t) bankMinimum, (size_t) programSize, 5000, 2 * (size_t) bankSize, 200 };
        for (int trial = 0; trial < 12; ++trial)
        {
            const bool program = trial % 2 == 1;
            Bytes data (sizes[(size_t) trial / 2]);
            for (auto& c : data)
                c = (char) rng();
            const auto& header = program ? programHeader : bankHeader;
            if (trial % 4 < 2 && data.size() >= header.size())
                std::memcpy (data.data(), header.data(), header.size());
            setChunk (a, program, data);
            dispatch (a, effSetProgram, 0, (int) (rng() % numPrograms));
            p.addAll (answersEverything (a, rng), fmt ("after a random %s chunk of %zu bytes", program ? "program" : "bank", data.size()));
        }
        return p.str();
    });
}

//==============================================================================
void parametersGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    auto a = std::make_unique<Instance> (lib.entry);
    AEffect* e = *a;
    const int automateBefore = host.automateCalls;

    r.check ("parameters.names", [&]() -> std::string
    {
        Problems p;
        std::map<std::string, int> seen;
        for (int i = 0; i < numParams; ++i)
        {
            const auto t = fetchText (e, effGetParamName, i);
            if (t.value.empty() || ! t.terminated || ! isValidUtf8 (t.value) || hasControlCharacters (t.value))
                p.add (fmt ("parameter %d name %s", i, quoted (t.value).c_str()));
            else if (seen.count (t.value) != 0)
                p.add (fmt ("parameters %d and %d are both named %s", seen[t.value], i, quoted (t.value).c_str()));
            seen.emplace (t.value, i);
            if (dispatch (e, effCanBeAutomated, i) != 1)
                p.add (fmt ("parameter %d cannot be automated", i));
        }
        return p.str();
    });

    r.check ("parameters.setAndRead", [&]() -> std::string
    {
        Problems p;
        for (int i = 0; i < numParams; ++i)
        {
            const auto name = parameterName (e, i);
            e->setParameter (e, i, 0.0f);
            const float v0 = e->getParameter (e, i);
            const auto t0 = fetchText (e, effGetParamDisplay, i);
            e->setParameter (e, i, 1.0f);
            const float v1 = e->getParameter (e, i);
            const auto t1 = fetchText (e, effGetParamDisplay, i);
            const float target = std::uniform_real_distribution<float> (0.0f, 1.0f) (rng);
            e->setParameter (e, i, target);
            const float vr = e->getParameter (e, i);
            const auto tr = fetchText (e, effGetParamDisplay, i);
            e->setParameter (e, i, vr);
            const float again = e->getParameter (e, i);
            const auto tAgain = parameterText (e, i);

            if (v0 != 0.0f || v1 != 1.0f)
                p.add (fmt ("parameter %d (%s): set to 0 and 1 reads %g and %g", i, name.c_str(), (double) v0, (double) v1));
            if (! (vr >= 0.0f && vr <= 1.0f) || std::fabs (vr - target) > 0.5f)
                p.add (fmt ("parameter %d (%s): set to %g reads %g", i, name.c_str(), (double) target, (double) vr));
            if (again != vr || tAgain != tr.value)
                p.add (fmt ("parameter %d (%s): setting the value it read (%g, %s) gives %g, %s", i, name.c_str(), (double) vr,
                            quoted (tr.value).c_str(), (double) again, quoted (tAgain).c_str()));
            for (auto* t : { &t0, &t1, &tr })
                if (t->value.empty() || ! t->terminated || ! isValidUtf8 (t->value))
                    p.add (fmt ("parameter %d (%s) shows %s", i, name.c_str(), quoted (t->value).c_str()));
        }
        return p.str();
    });

    r.check ("parameters.rangeInEveryProgram", [&]() -> std::string
    {
        Problems p;
        for (int prog = 0; prog < numPrograms; ++prog)
        {
            dispatch (e, effSetProgram, 0, prog);
            for (int i = 0; i < numParams; ++i)
            {
                const float v = e->getParameter (e, i);
                if (! (v >= 0.0f && v <= 1.0f))
                    p.add (fmt ("program %d parameter %d reads %g", prog, i, (double) v));
                const auto t = fetchText (e, effGetParamDisplay, i);
                if (t.value.empty() || ! t.terminated || ! isValidUtf8 (t.value))
                    p.add (fmt ("program %d parameter %d (%s) shows %s", prog, i, parameterName (e, i).c_str(), quoted (t.value).c_str()));
            }
        }
        return p.str();
    });

    r.check ("parameters.outOfRange", [&]() -> std::string
    {
        Problems p;
        dispatch (e, effSetProgram, 0, 8);
        capture (e);
        const auto before = capture (e);
        for (int index : { numParams, -1, 100000, INT32_MIN })
        {
            e->setParameter (e, index, 0.7f);
            const float v = e->getParameter (e, index);
            if (! std::isfinite (v))
                p.add (fmt ("parameter %d reads %g", index, (double) v));
            for (auto opcode : { effGetParamName, effGetParamDisplay, effGetParamLabel })
                if (! fetchText (e, opcode, index).safe())
                    p.add (fmt ("parameter %d: opcode %d wrote an unterminated or invalid string", index, (int) opcode));
            if (dispatch (e, effCanBeAutomated, index) != 0)
                p.add (fmt ("parameter %d can be automated", index));
        }
        p.addAll (compareStates (e, before, capture (e)), "");
        return p.str();
    });

    r.check ("parameters.abnormalValues", [&]() -> std::string
    {
        Problems p;
        const float values[] = { NAN, INFINITY, -INFINITY, -0.5f, 1.5f, 1.0e30f, -1.0e30f, FLT_MIN / 4.0f, -0.0f };
        for (int i : { 0, 100, 309, 310, 617, 618, 619, 623 })
            for (float v : values)
            {
                e->setParameter (e, i, v);
                const float got = e->getParameter (e, i);
                const auto t = fetchText (e, effGetParamDisplay, i);
                if (! (got >= 0.0f && got <= 1.0f))
                    p.add (fmt ("parameter %d set to %g reads %g", i, (double) v, (double) got));
                if (t.value.empty() || ! isValidUtf8 (t.value))
                    p.add (fmt ("parameter %d set to %g shows %s", i, (double) v, quoted (t.value).c_str()));
            }
        return p.str();
    });

    r.check ("parameters.hostCallbacks", [&]() -> std::string
    {
        Problems p;
        a.reset();
        if (host.beginEditCalls != host.endEditCalls)
            p.add (fmt ("%d beginEdit and %d endEdit calls after closing", host.beginEditCalls.load(), host.endEditCalls.load()));
        {
            const std::lock_guard<std::mutex> l (host.lock);
            for (auto& [key, depth] : host.openGestures)
                if (depth > 0)
                {
                    p.add (fmt ("gesture on parameter %d still open after closing", key.second));
                    break;
                }
            for (auto& what : host.anomalies)
                p.add (what);
        }
        std::fprintf (stderr, "note: parameters: %d automate, %d beginEdit, %d endEdit calls from the plug-in\n",
                      host.automateCalls.load() - automateBefore, host.beginEditCalls.load(), host.endEditCalls.load());
        return p.str();
    });
}

//==============================================================================
void processingGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    Instance a (lib.entry);

    for (int rate : { 44100, 48000, 88200, 96000, 176400, 192000 })
        r.check (fmt ("processing.rate%d", rate), [&]() -> std::string
        {
            Problems p;
            prepare (a, rate, 4096);
            resume (a);
            for (int frames : { 1, 2, 64, 512, 4096 })
                for (int block = 0; block < 3; ++block)
                    p.addAll (runBlock (a, frames, rng, block == 2 ? Signal::special : Signal::random), "");
            suspend (a);
            return p.str();
        });

    r.check ("processing.oversizedBlock", [&]() -> std::string
    {
        Problems p;
        prepare (a, 44100.0, 512);
        resume (a);
        p.addAll (runBlock (a, 1024, rng), "twice the prepared size");
        p.addAll (runBlock (a, 512, rng), "then the prepared size");
        suspend (a);
        prepare (a, 44100.0, 64);
        resume (a);
        p.addAll (runBlock (a, 4096, rng), "64 times the prepared size");
        suspend (a);
        return p.str();
    });

    r.check ("processing.suspendResume", [&]() -> std::string
    {
        Problems p;
        prepare (a, 48000.0, 512);
        for (int cycle = 0; cycle < 5; ++cycle)
        {
            resume (a);
            p.addAll (runBlock (a, 512, rng), fmt ("cycle %d", cycle));
            suspend (a);
        }
        resume (a);
        resume (a);
        p.addAll (runBlock (a, 512, rng), "after resuming twice");
        suspend (a);
        suspend (a);
        resume (a);
        p.addAll (runBlock (a, 256, rng), "after suspending twice");
        suspend (a);
        return p.str();
    });

    r.check ("processing.inPlace", [&]() -> std::string
    {
        Problems p;
        prepare (a, 44100.0, 512);
        resume (a);
        p.addAll (runBlock (a, 512, rng, Signal::random, true), "");
        p.addAll (runBlock (a, 333, rng, Signal::special, true), "");
        suspend (a);
        return p.str();
    });

    r.check ("processing.specialValues", [&]() -> std::string
    {
        Problems p;
        prepare (a, 96000.0, 1024);
        resume (a);
        for (int frames : { 64, 1024 })
        {
            p.addAll (runBlock (a, frames, rng, Signal::special), "denormals, zeros, extremes");
            p.addAll (runBlock (a, frames, rng, Signal::bitPatterns), "random bit patterns");
        }
        suspend (a);
        return p.str();
    });

    r.check ("processing.zeroFrames", [&]() -> std::string
    {
        Problems p;
        prepare (a, 44100.0, 512);
        resume (a);
        p.addAll (runBlock (a, 0, rng), "");
        p.addAll (runBlock (a, 0, rng, Signal::random, true), "in place");
        p.addAll (runBlock (a, 64, rng), "the block after");
        suspend (a);
        return p.str();
    });

    r.check ("processing.midiNotEchoed", [&]() -> std::string
    {
        Problems p;
        prepare (a, 48000.0, 256);
        resume (a);
        host.clearMidi();
        for (int block = 0; block < 4; ++block)
            runBlock (a, 256, rng);
        if (const auto idle = host.midiCount(); idle != 0)
            std::fprintf (stderr, "note: %zu MIDI messages for the host before any MIDI went in\n", idle);

        std::vector<std::pair<std::string, std::function<void (EventList&)>>> inputs =
        {
            { "note on and off", [] (EventList& l) { l.addMidi ({ 0x90, 60, 100 }, 0); l.addMidi ({ 0x80, 60, 0 }, 100); } },
            { "controller", [] (EventList& l) { l.addMidi ({ 0xB0, 74, 33 }, 10); l.addMidi ({ 0xB3, 1, 127 }, 255); } },
            { "program change", [] (EventList& l) { l.addMidi ({ 0xC0, 5 }, 3); } },
            { "pitch bend and pressure", [] (EventList& l) { l.addMidi ({ 0xE0, 0, 0x40 }, 1); l.addMidi ({ 0xD0, 90 }, 2); l.addMidi ({ 0xA0, 60, 20 }, 4); } },
            { "NRPN", [] (EventList& l) { l.addMidi ({ 0xB0, 99, 0 }, 0); l.addMidi ({ 0xB0, 98, 1 }, 0); l.addMidi ({ 0xB0, 6, 0 }, 0); l.addMidi ({ 0xB0, 38, 5 }, 0); } },
            { "identity request SysEx", [] (EventList& l) { l.addSysex ({ (char) 0xF0, 0x7E, 0x7F, 0x06, 0x01, (char) 0xF7 }, 0); } },
            { "long SysEx", [&] (EventList& l)
              {
                  std::vector<char> s { (char) 0xF0, 0x7D };
                  for (int i = 0; i < 1024; ++i)
                      s.push_back ((char) (rng() & 0x7F));
                  s.push_back ((char) 0xF7);
                  l.addSysex (s, 17);
              } },
        };

        for (auto& [what, fill] : inputs)
        {
            EventList list;
            fill (list);
            host.clearMidi();
            dispatch (a, effProcessEvents, 0, 0, list.build());
            p.addAll (runBlock (a, 256, rng), what);
            p.addAll (runBlock (a, 256, rng), what);
            if (const auto n = host.midiCount(); n != 0)
                p.add (fmt ("%s in: %zu MIDI messages came out to the host", what.c_str(), n));
        }
        suspend (a);
        return p.str();
    });

    r.check ("processing.withoutResume", [&]() -> std::string
    {
        Instance b (lib.entry);
        return runBlock (b, 512, rng);
    });

    r.check ("processing.hostCallbacks", [&]() -> std::string
    {
        Problems p;
        const std::lock_guard<std::mutex> l (host.lock);
        for (auto& what : host.anomalies)
            p.add (what);
        return p.str();
    });
}

//==============================================================================
// Bounded iterations on all threads; the only verdicts are that every thread
// finishes, nothing crashes and every answer stays well formed.
void threadsGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    struct Shared
    {
        std::mutex lock;
        // Hosts make chunk calls on their message thread only: JUCE's wrapper keeps
        // one chunk buffer per instance, so a set frees what a concurrent get returned.
        std::mutex chunkCalls;
        Problems problems;
        void add (const std::string& s)
        {
            const std::lock_guard<std::mutex> l (lock);
            problems.add (s);
        }
    };

    auto audioThread = [] (AEffect* e, Shared& shared, unsigned seed, int blocks)
    {
        std::mt19937 local (seed);
        for (int b = 0; b < blocks; ++b)
            if (auto reason = runBlock (e, 256, local); ! reason.empty())
                shared.add ("audio: " + reason);
    };

    auto readerThread = [] (AEffect* e, Shared& shared, unsigned seed, int rounds)
    {
        std::mt19937 local (seed);
        for (int k = 0; k < rounds; ++k)
        {
            for (int n = 0; n < 40; ++n)
            {
                const int i = (int) (local() % numParams);
                const float v = e->getParameter (e, i);
                if (! (v >= 0.0f && v <= 1.0f))
                    shared.add (fmt ("parameter %d read %g", i, (double) v));
                if (! isValidUtf8 (parameterText (e, i)) || parameterName (e, i).empty())
                    shared.add (fmt ("parameter %d text or name broken", i));
                programName (e, (int) (local() % numPrograms));
            }
            if (k % 4 == 0)
            {
                const std::lock_guard<std::mutex> l (shared.chunkCalls);
                const auto bank = getChunk (e, false), prog = getChunk (e, true);
                if (bank.size() != (size_t) bankSize || prog.size() != (size_t) programSize)
                    shared.add (fmt ("chunks of %zu and %zu bytes", bank.size(), prog.size()));
            }
        }
    };

    r.check ("threads.paramsProcessReads", [&]() -> std::string
    {
        Instance a (lib.entry);
        Shared shared;
        prepare (a, 48000.0, 256);
        resume (a);
        const unsigned seed = rng();
        AEffect* e = a;
        std::thread writer ([e, seed]
        {
            std::mt19937 local (seed);
            for (int n = 0; n < 200000; ++n)
                e->setParameter (e, (int) (local() % numParams), std::uniform_real_distribution<float> (0.0f, 1.0f) (local));
        });
        std::thread audio (audioThread, e, std::ref (shared), seed + 1, 20000);
        std::thread reader (readerThread, e, std::ref (shared), seed + 2, 2000);
        writer.join();
        audio.join();
        reader.join();
        suspend (a);
        shared.problems.addAll (answersEverything (a, rng), "afterwards");
        return shared.problems.str();
    });

    r.check ("threads.programsChunksProcess", [&]() -> std::string
    {
        Instance a (lib.entry);
        Shared shared;
        dispatch (a, effSetProgram, 0, 40);
        const auto bank = getChunk (a, false), prog = getChunk (a, true);
        prepare (a, 44100.0, 256);
        resume (a);
        const unsigned seed = rng();
        AEffect* e = a;
        std::thread writer ([e, seed, &bank, &prog, &shared]
        {
            std::mt19937 local (seed);
            for (int n = 0; n < 3000; ++n)
            {
                switch (n % 4)
                {
                    case 0: dispatch (e, effSetProgram, 0, (int) (local() % numPrograms)); break;
                    case 1: { const std::lock_guard<std::mutex> l (shared.chunkCalls); setChunk (e, true, prog); break; }
                    case 2: { const std::lock_guard<std::mutex> l (shared.chunkCalls); setChunk (e, false, bank); break; }
                    default: dispatch (e, effSetProgramName, 0, 0, (void*) "THREADED"); break;
                }
                e->setParameter (e, (int) (local() % numParams), 0.25f);
            }
        });
        std::thread audio (audioThread, e, std::ref (shared), seed + 1, 15000);
        std::thread reader (readerThread, e, std::ref (shared), seed + 2, 1500);
        writer.join();
        audio.join();
        reader.join();
        suspend (a);
        shared.problems.addAll (answersEverything (a, rng), "afterwards");
        return shared.problems.str();
    });
}
//==============================================================================
// The editor in a real window: the host owns an X window and hands its id to
// effEditOpen, as hosts on Linux do.
// Counts errors on every connection, the editor's own included: Xlib keeps one handler per process.
std::atomic<int> xErrors { 0 }, lastXError { 0 }, lastXRequest { 0 };

int onXError (Display*, XErrorEvent* event)
{
    ++xErrors;
    lastXError = event->error_code;
    lastXRequest = event->request_code;
    return 0;
}

struct XSession
{
    Display* display = nullptr;

    bool open()
    {
        XInitThreads();
        display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return false;
        XSetErrorHandler (onXError);

        // Without a window manager these atoms do not exist, and the editor's
        // toolkit looks them up only if they exist; a None answer ends in BadAtom.
        const char* names[] =
        {
            "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_STATE", "WM_TAKE_FOCUS", "WM_CHANGE_STATE", "WM_NAME",
            "_NET_WM_NAME", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_FULLSCREEN",
            "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_PING", "_NET_WM_WINDOW_TYPE",
            "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_PID", "_NET_WM_USER_TIME",
            "_NET_ACTIVE_WINDOW", "_NET_SUPPORTED", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_NET_WM_ICON",
            "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_FULLSCREEN",
            "_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE", "_NET_WM_CM_S0", "_MOTIF_WM_HINTS", "_WIN_HINTS",
            "KWM_WIN_DECORATION", "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", "XdndAware", "_XEMBED", "_XEMBED_INFO",
            "UTF8_STRING", "CLIPBOARD", "TARGETS"
        };
        std::vector<Atom> atoms (sizeof (names) / sizeof (names[0]));
        XInternAtoms (display, const_cast<char**> (names), (int) atoms.size(), False, atoms.data());
        XSync (display, False);
        return true;
    }

    ~XSession()
    {
        if (display != nullptr)
            XCloseDisplay (display);
    }

    ::Window createParent (int width, int height)
    {
        const int screen = DefaultScreen (display);
        const auto window = XCreateSimpleWindow (display, RootWindow (display, screen), 0, 0, (unsigned) std::max (width, 1),
                                                 (unsigned) std::max (height, 1), 0, BlackPixel (display, screen),
                                                 WhitePixel (display, screen));
        XStoreName (display, window, "vsthost editor");
        XSelectInput (display, window, StructureNotifyMask | SubstructureNotifyMask);
        XMapWindow (display, window);
        XSync (display, False);
        return window;
    }

    void destroy (::Window window)
    {
        XDestroyWindow (display, window);
        XSync (display, False);
        pump();
    }

    void pump()
    {
        while (XPending (display) > 0)
        {
            XEvent event;
            XNextEvent (display, &event);
        }
    }

    // The number of child windows, and the size of the first.
    int children (::Window window, int* width = nullptr, int* height = nullptr)
    {
        XSync (display, False);
        ::Window root = 0, parent = 0, *kids = nullptr;
        unsigned count = 0;
        if (XQueryTree (display, window, &root, &parent, &kids, &count) == 0)
            return -1;
        if (count > 0 && width != nullptr && height != nullptr)
        {
            XWindowAttributes attributes {};
            if (XGetWindowAttributes (display, kids[0], &attributes) != 0)
            {
                *width = attributes.width;
                *height = attributes.height;
            }
        }
        if (kids != nullptr)
            XFree (kids);
        return (int) count;
    }

    // Idles the editor until the condition holds, for a bounded number of rounds.
    bool idleUntil (AEffect* e, const std::function<bool()>& condition, int rounds = 300)
    {
        for (int i = 0; i < rounds; ++i)
        {
            if (condition())
                return true;
            if (e != nullptr)
                dispatch (e, effEditIdle);
            pump();
            usleep (10000);
        }
        return condition();
    }

    void idle (AEffect* e, int rounds)
    {
        for (int i = 0; i < rounds; ++i)
        {
            dispatch (e, effEditIdle);
            pump();
            usleep (5000);
        }
    }
};

bool editorRect (AEffect* e, int& width, int& height)
{
    ERect* rect = nullptr;
    dispatch (e, effEditGetRect, 0, 0, &rect);
    if (rect == nullptr)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

// Opens the editor into the window and checks it arrives there at its size.
std::string openEditor (XSession& x, AEffect* e, ::Window parent)
{
    int width = 0, height = 0;
    if (! editorRect (e, width, height))
        return "no editor size";
    if (dispatch (e, effEditOpen, 0, 0, (void*) (uintptr_t) parent) == 0)
        return "effEditOpen answered 0";
    // The editor's toolkit installs its own handler, which would hide its errors.
    XSetErrorHandler (onXError);
    if (! x.idleUntil (e, [&] { return x.children (parent) > 0; }))
        return "no editor window appeared in the host's window";
    int childWidth = 0, childHeight = 0;
    x.children (parent, &childWidth, &childHeight);
    if (childWidth != width || childHeight != height)
        return fmt ("the editor window is %dx%d, effEditGetRect said %dx%d", childWidth, childHeight, width, height);
    return {};
}

std::string closeEditor (XSession& x, AEffect* e, ::Window parent)
{
    dispatch (e, effEditClose);
    if (! x.idleUntil (e, [&] { return x.children (parent) == 0; }))
        return "the editor window stayed in the host's window after effEditClose";
    return {};
}

void editorGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    r.check ("editor.rectHeadless", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w0 = 0, h0 = 0;
        for (int k = 0; k < 5; ++k)
        {
            int w = 0, h = 0;
            if (! editorRect (a, w, h))
            {
                p.add (fmt ("query %d: no size", k));
                continue;
            }
            if (w <= 0 || h <= 0 || w > 8192 || h > 8192)
                p.add (fmt ("size %dx%d", w, h));
            if (k == 0)
            {
                w0 = w;
                h0 = h;
                std::fprintf (stderr, "note: editor size %dx%d\n", w, h);
            }
            else if (w != w0 || h != h0)
                p.add (fmt ("size changed from %dx%d to %dx%d between queries", w0, h0, w, h));
        }
        return p.str();
    });

    const char* displayName = std::getenv ("DISPLAY");
    if (displayName == nullptr || *displayName == 0)
    {
        std::fprintf (stderr, "note: DISPLAY not set: the editor was not opened in a window\n");
        return;
    }

    XSession x;
    if (! x.open())
    {
        r.check ("editor.window", [&] { return fmt ("DISPLAY is %s but it cannot be opened", displayName); });
        return;
    }

    auto withXErrors = [&] (const std::function<std::string()>& body)
    {
        return [&x, body]() -> std::string
        {
            const int before = xErrors;
            Problems p;
            p.addAll (body(), "");
            x.pump();
            if (xErrors != before)
                p.add (fmt ("%d X errors (last: error code %d, request code %d)", xErrors - before, lastXError.load(),
                            lastXRequest.load()));
            return p.str();
        };
    };

    r.check ("editor.window", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        if (! editorRect (a, w, h))
            return "no editor size";
        auto parent = x.createParent (w, h);
        for (int cycle = 0; cycle < 6; ++cycle)
        {
            if (cycle >= 3)
            {
                // Later cycles get a new window each time, as hosts that rebuild their frames do.
                x.destroy (parent);
                parent = x.createParent (w, h);
            }
            if (auto reason = openEditor (x, a, parent); ! reason.empty())
            {
                p.add (fmt ("cycle %d: %s", cycle, reason.c_str()));
                dispatch (a, effEditClose);
                continue;
            }
            x.idle (a, 5);
            int w2 = 0, h2 = 0;
            if (! editorRect (a, w2, h2) || w2 != w || h2 != h)
                p.add (fmt ("cycle %d: the size reads %dx%d while open", cycle, w2, h2));
            p.addAll (closeEditor (x, a, parent), fmt ("cycle %d", cycle));
        }
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.parametersWhileOpen", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto parent = x.createParent (w, h);
        p.addAll (openEditor (x, a, parent), "");
        for (int i = 0; i < numParams; ++i)
        {
            a->setParameter (a, i, std::uniform_real_distribution<float> (0.0f, 1.0f) (rng));
            if (i % 50 == 0)
                x.idle (a, 1);
        }
        for (int prog : { 0, 50, 98 })
        {
            dispatch (a, effSetProgram, 0, prog);
            x.idle (a, 3);
        }
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.twoInstances", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto pa = x.createParent (w, h), pb = x.createParent (w, h);
        p.addAll (openEditor (x, a, pa), "first");
        p.addAll (openEditor (x, b, pb), "second");
        for (int k = 0; k < 10; ++k)
        {
            a->setParameter (a, k, 0.3f);
            b->setParameter (b, k, 0.7f);
            x.idle (a, 1);
            x.idle (b, 1);
        }
        p.addAll (closeEditor (x, a, pa), "first");
        x.idle (b, 3);
        p.addAll (closeEditor (x, b, pb), "second");
        x.destroy (pa);
        x.destroy (pb);
        return p.str();
    }));

    r.check ("editor.whileProcessing", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto parent = x.createParent (w, h);
        p.addAll (openEditor (x, a, parent), "");
        prepare (a, 48000.0, 256);
        resume (a);
        std::atomic<bool> done { false };
        std::string audioProblem;
        AEffect* e = a;
        const unsigned seed = rng();
        std::thread audio ([e, seed, &done, &audioProblem]
        {
            std::mt19937 local (seed);
            for (int b = 0; b < 1500; ++b)
            {
                e->setParameter (e, (int) (local() % numParams), std::uniform_real_distribution<float> (0.0f, 1.0f) (local));
                if (auto reason = runBlock (e, 256, local); ! reason.empty() && audioProblem.empty())
                    audioProblem = reason;
            }
            done = true;
        });
        while (! done)
            x.idle (a, 1);
        audio.join();
        suspend (a);
        p.addAll (audioProblem, "audio");
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.randomState", withXErrors ([&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        Bytes bank ((size_t) bankSize), prog ((size_t) programSize);
        for (auto& c : bank)
            c = (char) rng();
        for (auto& c : prog)
            c = (char) rng();
        std::memcpy (bank.data(), bankHeader.data(), bankHeader.size());
        std::memcpy (prog.data(), programHeader.data(), programHeader.size());
        setChunk (a, false, bank);
        dispatch (a, effSetProgram, 0, 17);
        setChunk (a, true, prog);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto parent = x.createParent (w, h);
        p.addAll (openEditor (x, a, parent), "");
        x.idle (a, 10);
        dispatch (a, effSetProgram, 0, 60);
        x.idle (a, 5);
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    // Some hosts close the plug-in without effEditClose; repeated because what goes wrong there may be a race.
    r.check ("editor.closeInstanceWithEditorOpen", withXErrors ([&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 4; ++cycle)
        {
            auto a = std::make_unique<Instance> (lib.entry);
            int w = 0, h = 0;
            editorRect (*a, w, h);
            const auto parent = x.createParent (w, h);
            p.addAll (openEditor (x, *a, parent), fmt ("cycle %d", cycle));
            x.idle (*a, 3);
            a.reset();
            if (! x.idleUntil (nullptr, [&] { return x.children (parent) == 0; }))
                p.add (fmt ("cycle %d: the editor window stayed in the host's window after effClose", cycle));
            x.destroy (parent);
        }
        return p.str();
    }));
}

//==============================================================================
using GroupBody = void (*) (Reporter&, Library&, std::mt19937&);

struct Group
{
    const char* name;
    GroupBody body;   // nullptr: the instance group, which loads the library itself
};

const Group groups[] =
{
    { "instance", nullptr },
    { "programs", programsGroup },
    { "chunks", chunksGroup },
    { "parameters", parametersGroup },
    { "processing", processingGroup },
    { "threads", threadsGroup },
    { "editor", editorGroup },
};

void runGroup (const Group& group, Reporter& r, const std::string& path, unsigned seed)
{
    std::mt19937 rng (seed);
    if (group.body == nullptr)
        instanceGroup (r, path, rng);
    else
    {
        Library lib;
        if (lib.load (path))
        {
            group.body (r, lib, rng);
            lib.unload();
        }
        else
            r.check (std::string (group.name) + ".load", [&] { return lib.error; });
    }
}

[[noreturn]] void runGroupInChild (const Group& group, int fd, const std::string& path, unsigned seed,
                                   const std::set<std::string>& skip)
{
    // The plug-in's own output must not mix with the results.
    dup2 (STDERR_FILENO, STDOUT_FILENO);
    Reporter r { fd, {}, skip };
    runGroup (group, r, path, seed);
    ::close (fd);
    std::fflush (nullptr);
    std::exit (0);
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

    for (size_t g = 0; g < sizeof (groups) / sizeof (groups[0]); ++g)
    {
        const auto& group = groups[g];
        if (! options.only.empty() && options.only.count (group.name) == 0)
            continue;

        if (options.noFork)
        {
            std::string current;
            Reporter r { -1, [&] (const std::string& line) { handleLine (line, current); }, {} };
            runGroup (group, r, path, options.seed + (unsigned) g);
            continue;
        }

        // After a crash or hang the group runs again in a new process, skipping
        // the checks already reported, so one fault does not hide the rest.
        std::set<std::string> done;
        for (bool again = true; again;)
        {
            again = false;
            int fds[2];
            if (pipe (fds) != 0)
            {
                result (false, group.name, "no pipe");
                break;
            }
            std::fflush (nullptr);
            const pid_t child = fork();
            if (child == 0)
            {
                ::close (fds[0]);
                runGroupInChild (group, fds[1], path, options.seed + (unsigned) g, done);
            }
            ::close (fds[1]);
            if (child < 0)
            {
                ::close (fds[0]);
                result (false, group.name, "fork failed");
                break;
            }

            std::string pending, current;
            bool hung = false;
            for (;;)
            {
                pollfd pfd { fds[0], POLLIN, 0 };
                const int ready = poll (&pfd, 1, options.watchdogSeconds * 1000);
                if (ready == 0)
                {
                    hung = true;
                    kill (child, SIGKILL);
                    break;
                }
                if (ready < 0)
                {
                    if (errno == EINTR)
                        continue;
                    break;
                }
                char buffer[4096];
                const auto n = ::read (fds[0], buffer, sizeof (buffer));
                if (n <= 0)
                    break;
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
            ::close (fds[0]);

            int status = 0;
            waitpid (child, &status, 0);
            const bool died = hung || WIFSIGNALED (status) || (WIFEXITED (status) && WEXITSTATUS (status) != 0);
            const auto where = current.empty() ? std::string (group.name) + ".teardown" : current;
            if (hung)
                result (false, where, fmt ("no progress for %d s, killed (hang or deadlock)", options.watchdogSeconds));
            else if (WIFSIGNALED (status))
                result (false, where, fmt ("the process died: signal %d (%s)%s", WTERMSIG (status), strsignal (WTERMSIG (status)),
                                           current.empty() ? " while closing instances or unloading the library" : ""));
            else if (WIFEXITED (status) && WEXITSTATUS (status) != 0)
                result (false, where, fmt ("the process exited with status %d", WEXITSTATUS (status)));
            else if (! current.empty())
                result (false, where, "the check did not finish");

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
} // namespace validation

void usage()
{
    std::fprintf (stderr,
                  "usage: vsthost PLUGIN.so COMMAND...\n"
                  "  info                       properties, flags and canDo answers\n"
                  "  params [FROM [TO]]         parameter names, texts and values\n"
                  "  programs                   program names\n"
                  "  program N                  select program N\n"
                  "  rename N NAME              rename program N\n"
                  "  set INDEX VALUE            set a parameter (0..1)\n"
                  "  get INDEX                  print one parameter\n"
                  "  chunks                     bank and program chunk sizes\n"
                  "  savechunk bank|program FILE\n"
                  "  loadchunk bank|program FILE\n"
                  "  process RATE FRAMES [HEX]  one block with optional MIDI in\n"
                  "  editor                     the editor's size\n"
                  "  instance K                 switch to instance K (created when new)\n"
                  "  validate [--keep-home] [--only GROUP,...] [--seed N] [--watchdog S] [--no-fork]\n"
                  "                             run the validation (must be the only command)\n");
}
} // namespace

int main (int argc, char** argv)
{
    if (argc < 3)
    {
        usage();
        return 2;
    }

    if (std::string (argv[2]) == "validate")
        return validation::run (argv[1], std::vector<std::string> (argv + 3, argv + argc));

    void* library = dlopen (argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf (stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 1;
    }

    auto entry = (EntryPoint) dlsym (library, "VSTPluginMain");
    if (entry == nullptr)
    {
        std::fprintf (stderr, "no VSTPluginMain in %s\n", argv[1]);
        return 1;
    }

    std::map<int, AEffect*> instances;
    auto open = [&] (int k) -> AEffect*
    {
        auto it = instances.find (k);
        if (it != instances.end())
            return it->second;
        auto* e = entry (hostCallback);
        if (e == nullptr || e->magic != kEffectMagic)
            return nullptr;
        dispatch (e, effOpen);
        instances[k] = e;
        return e;
    };

    AEffect* effect = open (1);
    if (effect == nullptr)
    {
        std::fprintf (stderr, "VSTPluginMain returned no effect\n");
        return 1;
    }

    int status = 0;
    std::vector<std::string> args (argv + 2, argv + argc);
    auto arg = [&] (size_t i) -> std::string { return i < args.size() ? args[i] : std::string(); };

    for (size_t i = 0; i < args.size(); ++i)
    {
        const auto& cmd = args[i];

        if (cmd == "info")
            printInfo (effect);
        else if (cmd == "params")
        {
            int from = 0, to = effect->numParams - 1;
            if (i + 1 < args.size() && std::isdigit ((unsigned char) args[i + 1][0]))
            {
                from = to = std::atoi (args[++i].c_str());
                if (i + 1 < args.size() && std::isdigit ((unsigned char) args[i + 1][0]))
                    to = std::atoi (args[++i].c_str());
            }
            for (int p = from; p <= to; ++p)
                printParameter (effect, p);
        }
        else if (cmd == "programs")
        {
            for (int p = 0; p < effect->numPrograms; ++p)
                std::printf ("program %d: %s\n", p, getString (effect, effGetProgramNameIndexed, p).c_str());
        }
        else if (cmd == "program")
        {
            dispatch (effect, effSetProgram, 0, std::atoi (arg (++i).c_str()));
            std::printf ("current program: %d %s\n", (int) dispatch (effect, effGetProgram),
                         getString (effect, effGetProgramName).c_str());
        }
        else if (cmd == "rename")
        {
            const int p = std::atoi (arg (++i).c_str());
            auto name = arg (++i);
            dispatch (effect, effSetProgram, 0, p);
            dispatch (effect, effSetProgramName, 0, 0, (void*) name.c_str());
        }
        else if (cmd == "set")
        {
            const int p = std::atoi (arg (++i).c_str());
            const float v = std::strtof (arg (++i).c_str(), nullptr);
            effect->setParameter (effect, p, v);
        }
        else if (cmd == "get")
            printParameter (effect, std::atoi (arg (++i).c_str()));
        else if (cmd == "chunks")
        {
            std::printf ("bank chunk: %d\n", (int) chunk (effect, false).size());
            std::printf ("program chunk: %d\n", (int) chunk (effect, true).size());
        }
        else if (cmd == "savechunk" || cmd == "loadchunk")
        {
            const bool program = arg (++i) == "program";
            const auto file = arg (++i);
            if (cmd == "savechunk")
            {
                auto data = chunk (effect, program);
                std::ofstream (file, std::ios::binary).write (data.data(), (std::streamsize) data.size());
                std::printf ("saved %s chunk: %d\n", program ? "program" : "bank", (int) data.size());
            }
            else
            {
                std::ifstream in (file, std::ios::binary);
                std::vector<char> data ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
                dispatch (effect, effSetChunk, program ? 1 : 0, (VstIntPtr) data.size(), data.data());
                std::printf ("loaded %s chunk: %d\n", program ? "program" : "bank", (int) data.size());
            }
        }
        else if (cmd == "process")
        {
            const double rate = std::atof (arg (++i).c_str());
            const int frames = std::atoi (arg (++i).c_str());
            std::string midi;
            if (i + 1 < args.size() && args[i + 1].find_first_not_of ("0123456789abcdefABCDEF ") == std::string::npos
                && args[i + 1].find (' ') != std::string::npos)
                midi = args[++i];
            processBlock (effect, rate, frames, midi);
        }
        else if (cmd == "editor")
        {
            ERect* rect = nullptr;
            dispatch (effect, effEditGetRect, 0, 0, &rect);
            if (rect != nullptr)
                std::printf ("editor: %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
            else
                std::printf ("editor: none\n");
        }
        else if (cmd == "instance")
        {
            effect = open (std::atoi (arg (++i).c_str()));
            if (effect == nullptr)
            {
                std::fprintf (stderr, "cannot create instance\n");
                status = 1;
                break;
            }
        }
        else
        {
            std::fprintf (stderr, "unknown command: %s\n", cmd.c_str());
            usage();
            status = 2;
            break;
        }
    }

    for (auto& [k, e] : instances)
        dispatch (e, effClose);

    std::fflush (stdout);
    // The plug-in's statics are torn down with the library.
    dlclose (library);
    return status;
}
