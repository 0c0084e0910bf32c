// The validation: checks in the spirit of the usual plug-in validators, in
// groups by what they check. Each group runs in its own child process, forked
// before the plug-in is loaded, so a crash or hang is reported against the
// check that caused it and the other checks still run. A group is one
// ValidateChecks*.cpp file that registers itself with ValidationGroup.
#pragma once

#include "Host.h"

#include <unistd.h>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace vsthost::validation
{
using Bytes = std::vector<char>;

constexpr int numParams = 624, numPrograms = 99, numChannels = 2;
constexpr int bankSize = 102430, bankMinimum = 101405, programSize = 1057, recordSize = 1024;
const std::string bankHeader = "Prophet12VantorBank" "Version100";
const std::string programHeader = "Prophet12VantorSettings" "Version100";
constexpr int bankRecordsEnd = bankMinimum;                   // header and 99 records
constexpr int bankCurrentRecord = bankMinimum;                // then the current record
constexpr int bankIndexByte = bankSize - 1;                   // and the current index

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
bool isValidUtf8 (const std::string& s);
bool hasControlCharacters (const std::string& s);
std::string quoted (const std::string& s);

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

Text fetchText (AEffect* e, VstInt32 opcode, VstInt32 index = 0);
std::string programName (AEffect* e, int p);
std::string parameterName (AEffect* e, int i);
std::string parameterText (AEffect* e, int i);

Bytes getChunk (AEffect* e, bool program);
void setChunk (AEffect* e, bool program, const void* data, size_t size);
void setChunk (AEffect* e, bool program, const Bytes& data);

// "" when equal, else where the first difference is and how many bytes differ.
std::string compareBytes (const Bytes& a, const Bytes& b, size_t from, size_t to, bool bank);

std::vector<float> parameterValues (AEffect* e);
std::vector<std::string> programNames (AEffect* e);

// "" when every parameter reads the same, else the first few that differ.
std::string compareValues (AEffect* e, const std::vector<float>& expected, const std::vector<float>& actual);
std::string compareNames (const std::vector<std::string>& expected, const std::vector<std::string>& actual);

// Everything a host can ask about the instance's state. Taking it reads the
// bank chunk before the program chunk.
struct State
{
    int program = -1;
    std::vector<std::string> names;
    std::vector<float> values;
    Bytes bank, prog;
};

State capture (AEffect* e);
std::string compareStates (AEffect* e, const State& before, const State& after);

// A file of the plug-in's settings folder ("VantorConfig" beside ~/.config)
// given the content some checks need while they run; what was there before
// comes back afterwards, for the groups that follow. No content: no file.
class SettingsFileSwap
{
public:
    SettingsFileSwap (const char* name, std::optional<std::string> content);
    ~SettingsFileSwap();
    SettingsFileSwap (const SettingsFileSwap&) = delete;
    SettingsFileSwap& operator= (const SettingsFileSwap&) = delete;

private:
    void put (const std::optional<std::string>& content) const;

    std::filesystem::path file;
    std::optional<std::string> before;
};

// The ports file ("pro12plports.dat") that names the simulated synthesizer's ports.
std::string simulatedDevicePorts();

//==============================================================================
// Audio.
void prepare (AEffect* e, double rate, int maxBlock);
void resume (AEffect* e);
void suspend (AEffect* e);

enum class Signal { random, special, bitPatterns };

// One block through processReplacing; "" when both outputs equal the inputs bit for bit.
std::string runBlock (AEffect* e, int frames, std::mt19937& rng, Signal signal = Signal::random, bool inPlace = false);

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
std::string answersEverything (AEffect* e, std::mt19937& rng);

// A short use of an instance: the answers a host asks for right after loading.
std::string quickUse (AEffect* e, std::mt19937& rng);

// Runs the body in a child process and hands back its answer; a crash there is an answer too.
std::string inFreshProcess (const std::function<std::string()>& body);

//==============================================================================
// A group's body gets the plug-in loaded into lib, unless the group loads it
// itself (then lib holds only the path).
using GroupBody = void (*) (Reporter&, Library& lib, std::mt19937&);

struct ValidationGroup
{
    const char* name;
    int order;              // groups run in this order; it also picks each group's seed
    GroupBody body;
    bool loadsLibraryItself;

    // Static registration: "static const ValidationGroup g { name, order, body };" in a checks file.
    ValidationGroup (const char* name, int order, GroupBody body, bool loadsLibraryItself = false);
};

int run (const std::string& path, const std::vector<std::string>& args);
} // namespace vsthost::validation
