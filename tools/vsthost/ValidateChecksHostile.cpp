// Hostile hosts: typed texts, program names, playback formats, MIDI event lists
// and bank chunks that no careful host sends. Nothing may crash or hang (the
// watchdog limits every check), and nothing may be kept, shown or sent to the
// synthesizer that the synthesizer cannot show.
#include "SimulatedDevice.h"
#include "Validate.h"

#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace vsthost::validation
{
namespace
{
SimulatedDevice& device()   { return SimulatedDevice::get(); }

constexpr size_t nameOffset = 402, nameLength = 16;   // within a program record

// What the synthesizer has been sent beside SysEx, to see that nothing more arrives.
struct DeviceTraffic
{
    bool caughtUp = device().caughtUp (std::chrono::seconds (20));
    int messages = device().otherMessages();
    std::map<int, int> nrpn = device().nrpnValues();

    std::string since (const char* what) const
    {
        if (! caughtUp || ! device().caughtUp (std::chrono::seconds (20)))
            return "the synthesizer did not keep up with what it was sent";
        if (device().otherMessages() != messages || device().nrpnValues() != nrpn)
            return fmt ("%s sent the synthesizer %d messages", what, device().otherMessages() - messages);
        return {};
    }
};

// A name the synthesizer shows: printable ASCII only.
bool showable (const std::string& s)
{
    for (auto c : s)
        if (c < ' ' || c > '~')
            return false;
    return true;
}

std::string showableRecordName (const Bytes& chunk, size_t recordStart, const std::string& what)
{
    const auto name = std::string (chunk.data() + recordStart + nameOffset, nameLength);
    return showable (name) ? std::string() : what + " stores the name bytes " + quoted (name);
}

//==============================================================================
// Texts a host may pass to effString2Parameter that name no value of any parameter.
std::vector<std::string> meaninglessTexts()
{
    const std::string digits (5000, '9');
    return { "", "   ", "nan", "NaN", "-nan", "inf", "+inf", "-inf", "1e999", "-1e999", digits, "-" + digits,
             "\xc3\x84\xc3\x96\xc3\x9c", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", "\xff\xfe\x80", "\x1b[2J" };
}

std::string parameterTexts (AEffect* e)
{
    Problems p;
    const auto texts = meaninglessTexts();
    const auto start = std::chrono::steady_clock::now();
    const DeviceTraffic traffic;

    for (int i = 0; i < numParams; ++i)
    {
        const float value = e->getParameter (e, i);
        const auto text = parameterText (e, i);
        for (const auto& t : texts)
        {
            dispatch (e, effString2Parameter, i, 0, (void*) t.c_str());
            const float now = e->getParameter (e, i);
            const auto shown = fetchText (e, effGetParamDisplay, i);
            if (now != value || shown.value != text)
                p.add (fmt ("parameter %d (%s): the text %s changed %g (%s) to %g (%s)", i, parameterName (e, i).c_str(),
                            quoted (t.substr (0, 12)).c_str(), (double) value, text.c_str(), (double) now, shown.value.c_str()));
            if (! shown.terminated || ! isValidUtf8 (shown.value) || hasControlCharacters (shown.value))
                p.add (fmt ("parameter %d shows %s", i, quoted (shown.value).c_str()));
        }
    }
    p.addAll (traffic.since ("texts that name no value"), "");
    const auto ms = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
    std::fprintf (stderr, "note: hostile: %zu meaningless texts on each of %d parameters took %.0f ms\n", texts.size(), numParams, ms);

    // The texts the plug-in shows are read back as their values, and reach the synthesizer.
    for (int i = 0; i < numParams; ++i)
    {
        e->setParameter (e, i, 0.0f);
        const auto low = parameterText (e, i);
        e->setParameter (e, i, 1.0f);
        const auto high = parameterText (e, i);
        if (low == high)
            continue;
        dispatch (e, effString2Parameter, i, 0, (void*) low.c_str());
        if (parameterText (e, i) != low)
            p.add (fmt ("parameter %d (%s): typing %s shows %s", i, parameterName (e, i).c_str(), quoted (low).c_str(),
                        quoted (parameterText (e, i)).c_str()));
    }
    if (device().caughtUp (std::chrono::seconds (20)) && device().nrpnValues() == traffic.nrpn)
        p.add ("typed values never reached the synthesizer");
    return p.str();
}

//==============================================================================
struct HostileName
{
    const char* what;
    std::string bytes;
    std::string kept;   // printable text that must survive
};

std::string renames (AEffect* e)
{
    Problems p;
    const HostileName names[] = {
        { "escape sequences", "\x1b[2J\x1b[31mRED", "[31mRED" },
        { "tab and line ends", "TAB\tNL\nCR\rEND", "END" },
        { "codes 1 to 19", "\x01\x02\x03\x04\x05\x06\x07\x08\x0b\x0c\x0e\x0f\x10\x11\x12\x13", "" },
        { "codes 20 to 31", "\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f" "OK", "OK" },
        { "delete", "\x7f\x7f" "DEL", "DEL" },
        { "bytes that are not UTF-8", "\xff\xfe\xfd\xc3\x28\xa0\xa1" "X", "X" },
        { "a UTF-16 surrogate in UTF-8", "\xed\xa0\x80" "S", "S" },
        { "upper control characters", "\xc2\x85\xc2\x9b" "NEL", "NEL" },
        { "accented letters", "Caf\xc3\xa9 Cr\xc3\xa8me", "Caf" },
        { "a long mixed name", std::string (200, '\x1b') + "LONG" + std::string (200, 'Z'), "" },
    };

    dispatch (e, effSetProgram, 0, 20);
    const auto others = programNames (e);
    int k = 30;
    for (const auto& n : names)
    {
        dispatch (e, effSetProgram, 0, k);
        dispatch (e, effSetProgramName, 0, 0, (void*) n.bytes.c_str());
        const auto indexed = fetchText (e, effGetProgramNameIndexed, k), current = fetchText (e, effGetProgramName);
        for (const auto* t : { &indexed, &current })
            if (! t->terminated || ! showable (t->value) || t->value.size() > nameLength)
                p.add (fmt ("%s: program %d is named %s", n.what, k, quoted (t->value).c_str()));
        if (indexed.value.find (n.kept) == std::string::npos)
            p.add (fmt ("%s: program %d is named %s, without %s", n.what, k, quoted (indexed.value).c_str(), quoted (n.kept).c_str()));

        const auto bank = getChunk (e, false), prog = getChunk (e, true);
        p.addAll (showableRecordName (bank, bankHeader.size() + (size_t) k * recordSize, fmt ("%s: the bank chunk", n.what)), "");
        p.addAll (showableRecordName (prog, programHeader.size(), fmt ("%s: the edited program", n.what)), "");
        ++k;
    }

    dispatch (e, effSetProgram, 0, 40);
    dispatch (e, effSetProgramName, 0, 0, nullptr);
    if (dispatch (e, effGetProgram) != 40 || ! fetchText (e, effGetProgramName).safe())
        p.add ("a null name changed the current program or left an unreadable name");

    auto now = programNames (e);
    for (int i = 30; i <= 40; ++i)
        now[(size_t) i] = others[(size_t) i];
    p.addAll (compareNames (others, now), "programs not renamed");
    return p.str();
}

//==============================================================================
std::string playbackFormats (AEffect* e, std::mt19937& rng)
{
    Problems p;
    const float rates[] = { 0.0f, -44100.0f, NAN, INFINITY, -INFINITY, 1.0e30f, FLT_MAX, FLT_MIN / 4.0f, 1.0f, 44100.5f };
    const VstIntPtr blocks[] = { 0, -1, -512, INT_MIN, INT_MAX, 1 << 30, 1 };
    const DeviceTraffic traffic;
    for (float rate : rates)
        for (VstIntPtr block : blocks)
        {
            host.sampleRate = rate;
            host.blockSize = (int) block;
            dispatch (e, effSetSampleRate, 0, 0, nullptr, rate);
            dispatch (e, effSetBlockSize, 0, block);
            resume (e);
            const auto what = fmt ("rate %g, block size %ld", (double) rate, (long) block);
            p.addAll (runBlock (e, 64, rng), what);
            p.addAll (runBlock (e, 1, rng), what);
            p.addAll (runBlock (e, 700, rng, Signal::special), what);
            suspend (e);
        }
    p.addAll (traffic.since ("playback formats"), "");
    prepare (e, 44100.0, 512);
    p.addAll (answersEverything (e, rng), "afterwards");
    return p.str();
}

//==============================================================================
// An event list built by hand, as carelessly as a host may build it.
struct RawEvents
{
    std::vector<VstEvent*> pointers;
    std::vector<char> storage;
    EventList made;                      // the MIDI events; their addresses stay put
    std::vector<VstMidiSysexEvent> sysex;
    std::vector<VstEvent> other;
    char dump[8] = { (char) 0xF0, 0x7D, 0x01, 0x02, (char) 0xF7, 0, 0, 0 };

    RawEvents()   { made.midi.reserve (16); sysex.reserve (16); other.reserve (16); }

    VstEvent* addMidi (std::initializer_list<int> bytes, int frame)
    {
        made.addMidi (bytes, frame);
        return (VstEvent*) &made.midi.back();
    }

    VstEvent* addSysex (char* data, VstInt32 size)
    {
        VstMidiSysexEvent s {};
        s.type = kVstSysExType;
        s.byteSize = sizeof (s);
        s.dumpBytes = size;
        s.sysexDump = data;
        sysex.push_back (s);
        return (VstEvent*) &sysex.back();
    }

    VstEvent* addOther (VstInt32 type, VstInt32 byteSize)
    {
        VstEvent v {};
        v.type = type;
        v.byteSize = byteSize;
        std::memset (v.data, 0xF0, sizeof (v.data));
        other.push_back (v);
        return &other.back();
    }

    // numEvents as given; the list itself holds the pointers, then `spare` null ones.
    VstEvents* build (VstInt32 numEvents, size_t spare = 0)
    {
        storage.assign (sizeof (VstEvents) + (pointers.size() + spare) * sizeof (VstEvent*), 0);
        auto* events = (VstEvents*) storage.data();
        events->numEvents = numEvents;
        std::copy (pointers.begin(), pointers.end(), events->events);
        return events;
    }
};

std::string midiEvents (AEffect* e, std::mt19937& rng)
{
    Problems p;
    struct Case
    {
        const char* what;
        std::function<VstEvents* (RawEvents&)> build;
    };
    const std::vector<Case> cases = {
        { "no events", [] (RawEvents& l) { return l.build (0); } },
        { "a negative count", [] (RawEvents& l) { l.pointers = { l.addMidi ({ 0x90, 60, 100 }, 0) }; return l.build (-5); } },
        { "INT_MIN events", [] (RawEvents& l) { return l.build (INT_MIN); } },
        { "null entries", [] (RawEvents& l)
          {
              l.pointers = { nullptr, l.addMidi ({ 0x90, 60, 100 }, 0), nullptr, nullptr, l.addMidi ({ 0x80, 60, 0 }, 5), nullptr };
              return l.build (6);
          } },
        { "a count past the filled entries", [] (RawEvents& l)
          {
              l.pointers = { l.addMidi ({ 0xB0, 7, 100 }, 0) };
              return l.build (40, 39);
          } },
        { "unknown event types", [] (RawEvents& l)
          {
              for (VstInt32 type : { 2, 3, 4, 5, 7, 99, -1, INT_MAX })
                  l.pointers.push_back (l.addOther (type, (VstInt32) sizeof (VstEvent)));
              l.pointers.push_back (l.addOther (kVstMidiType, 0));
              return l.build ((VstInt32) l.pointers.size());
          } },
        { "SysEx of no bytes", [] (RawEvents& l) { l.pointers = { l.addSysex (l.dump + 5, 0) }; return l.build (1); } },
        { "SysEx of negative length", [] (RawEvents& l)
          {
              l.pointers = { l.addSysex (l.dump, -1), l.addSysex (l.dump, -100000), l.addSysex (l.dump, INT_MIN) };
              return l.build (3);
          } },
        { "SysEx without its end", [] (RawEvents& l) { l.pointers = { l.addSysex (l.dump, 3) }; return l.build (1); } },
        { "broken MIDI events", [] (RawEvents& l)
          {
              l.pointers = { l.addMidi ({ 0xF0, 0x7D, 0x01 }, 0), l.addMidi ({ 0xFF, 0xFF, 0xFF }, 1), l.addMidi ({ 0x12, 0x90, 0x80 }, 2),
                             l.addMidi ({ 0x90, 0xFF, 0xFF }, -100), l.addMidi ({ 0xB0, 99, 0 }, INT_MAX), l.addMidi ({ 0xF7 }, INT_MIN),
                             l.addMidi ({ 0xF2, 0x7F, 0x7F }, 3), l.addMidi ({}, 4) };
              return l.build ((VstInt32) l.pointers.size());
          } },
    };

    prepare (e, 48000.0, 256);
    resume (e);
    const DeviceTraffic traffic;
    for (const auto& c : cases)
    {
        RawEvents list;
        host.clearMidi();
        dispatch (e, effProcessEvents, 0, 0, c.build (list));
        p.addAll (runBlock (e, 256, rng), c.what);
        p.addAll (runBlock (e, 256, rng), c.what);
        if (const auto n = host.midiCount(); n != 0)
            p.add (fmt ("%s: %zu MIDI messages came out to the host", c.what, n));
    }
    p.addAll (traffic.since ("MIDI events from the host"), "");
    suspend (e);
    p.addAll (answersEverything (e, rng), "afterwards");
    return p.str();
}

// Lists that JUCE's wrapper alone would read through (a null list, SysEx
// without data, past the end of the list or of a SysEx): each in a process of
// its own, so that a crash names the list that caused it.
std::string brokenLists (const std::string& path)
{
    Problems p;
    const long page = sysconf (_SC_PAGESIZE);
    struct Probe
    {
        const char* what;
        std::function<VstEvents* (RawEvents&, char* lastPage)> build;
    };
    const Probe probes[] = {
        { "a null event list", [] (RawEvents&, char*) { return (VstEvents*) nullptr; } },
        { "SysEx with null data", [] (RawEvents& l, char*) { l.pointers = { l.addSysex (nullptr, 6) }; return l.build (1); } },
        { "SysEx with null data and no bytes", [] (RawEvents& l, char*) { l.pointers = { l.addSysex (nullptr, 0) }; return l.build (1); } },
        { "a count larger than the list", [page] (RawEvents& l, char* lastPage)
          {
              // The list ends where readable memory ends.
              auto* events = (VstEvents*) (lastPage + page - (long) sizeof (VstEvents));
              events->numEvents = 3;
              events->events[0] = l.addMidi ({ 0x90, 60, 1 }, 0);
              events->events[1] = nullptr;
              return events;
          } },
        { "SysEx longer than its data", [page] (RawEvents& l, char* lastPage)
          {
              char* data = lastPage + page - 4;
              std::memcpy (data, "\xF0\x7D\x01\x02", 4);
              l.pointers = { l.addSysex (data, 64) };
              return l.build (1);
          } },
    };

    for (const auto& probe : probes)
    {
        const auto outcome = inFreshProcess ([&]() -> std::string
        {
            Library lib;
            if (! lib.load (path))
                return lib.error;
            auto* pages = (char*) mmap (nullptr, (size_t) page * 2, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            mprotect (pages + page, (size_t) page, PROT_NONE);
            Instance a (lib.entry);
            prepare (a, 48000.0, 256);
            resume (a);
            RawEvents list;
            dispatch (a, effProcessEvents, 0, 0, probe.build (list, pages));
            suspend (a);
            return {};
        });
        p.addAll (outcome, probe.what);
    }
    return p.str();
}

//==============================================================================
std::string bankChunkSizes (AEffect* e, const Bytes& source, std::mt19937& rng)
{
    Problems p;
    std::vector<size_t> sizes = { (size_t) bankMinimum, (size_t) bankMinimum + 1, (size_t) bankCurrentRecord + 512,
                                  (size_t) bankIndexByte - 1, (size_t) bankIndexByte, (size_t) bankSize };
    for (int k = 0; k < 6; ++k)
        sizes.push_back ((size_t) bankMinimum + rng() % (size_t) (bankSize - bankMinimum));

    const auto sourceNames = [&]
    {
        std::vector<std::string> names;
        for (int i = 0; i < numPrograms; ++i)
        {
            // Shown as the synthesizer shows them: no zeros, anything else unshowable a space.
            std::string n;
            for (auto c : std::string (source.data() + bankHeader.size() + (size_t) i * recordSize + nameOffset, nameLength))
                if (c != 0)
                    n += c >= ' ' && c <= '~' ? c : ' ';
            n.erase (n.find_last_not_of (' ') + 1);
            names.push_back (n);
        }
        return names;
    }();

    for (const size_t size : sizes)
    {
        int current = (int) (rng() % numPrograms);
        dispatch (e, effSetProgram, 0, current);
        e->setParameter (e, 13, e->getParameter (e, 13) < 0.5f ? 0.9f : 0.1f);
        const auto values = parameterValues (e);
        setChunk (e, false, source.data(), size);

        // Only a whole chunk brings its current program back.
        const auto what = fmt ("a %zu-byte bank chunk", size);
        const bool whole = size >= (size_t) bankSize;
        if (whole)
            current = (unsigned char) source[(size_t) bankIndexByte];
        if (dispatch (e, effGetProgram) != current)
            p.add (fmt ("%s left program %d current, not %d", what.c_str(), (int) dispatch (e, effGetProgram), current));
        if (! whole)
            p.addAll (compareValues (e, values, parameterValues (e)), what + " changed the edited program");
        auto names = programNames (e);
        names[(size_t) current] = sourceNames[(size_t) current];
        p.addAll (compareNames (sourceNames, names), what);
        for (const auto& n : names)
            if (! showable (n))
                p.add (what + ": a program named " + quoted (n));
        p.addAll (answersEverything (e, rng), what);
    }
    return p.str();
}

void hostileGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    r.check ("hostile.brokenEventLists", [&] { return brokenLists (lib.path); });

    if (! lib.load (lib.path))
    {
        r.check ("hostile.load", [&] { return lib.error; });
        return;
    }

    // The stored ports name the simulated synthesizer's, so what reaches it shows.
    const SettingsFileSwap ports ("pro12plports.dat", simulatedDevicePorts());
    {
        Instance a (lib.entry);
        r.check ("hostile.parameterTexts", [&] { return parameterTexts (a); });
        r.check ("hostile.programNames", [&] { return renames (a); });
        r.check ("hostile.playbackFormats", [&] { return playbackFormats (a, rng); });
        r.check ("hostile.midiEvents", [&] { return midiEvents (a, rng); });
    }

    r.check ("hostile.bankChunkSizes", [&]() -> std::string
    {
        Bytes source;
        {
            Instance o (lib.entry);
            for (int i : { 0, 9, 50, 98 })
            {
                dispatch (o, effSetProgram, 0, i);
                dispatch (o, effSetProgramName, 0, 0, (void*) fmt ("SIZES %d", i).c_str());
            }
            source = getChunk (o, false);
        }
        // A damaged project may hold any bytes as names.
        const std::string hostileNames[] = { "\x1b[2JESC\x07\x08", std::string ("\x85\x9b\xff\x7f\0\x01Z", 7) };
        for (int k = 0; k < 2; ++k)
            std::memcpy (source.data() + bankHeader.size() + (size_t) (9 + 41 * k) * recordSize + nameOffset,
                         hostileNames[k].data(), hostileNames[k].size());
        Instance a (lib.entry);
        return bankChunkSizes (a, source, rng);
    });
    lib.unload();
}
} // namespace

const ValidationGroup hostileChecks { "hostile", 20, hostileGroup, true };
} // namespace vsthost::validation
