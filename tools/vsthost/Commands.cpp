// The commands of vsthost: each prints what a host sees, in "key: value" lines.

#include "Commands.h"
#include "Host.h"

#include <dlfcn.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace vsthost
{
namespace
{
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
} // namespace

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

int runCommands (const std::string& path, const std::vector<std::string>& args)
{
    void* library = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf (stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
        return 1;
    }

    auto entry = (EntryPoint) dlsym (library, "VSTPluginMain");
    if (entry == nullptr)
    {
        std::fprintf (stderr, "no VSTPluginMain in %s\n", path.c_str());
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
} // namespace vsthost
