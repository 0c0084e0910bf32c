// Audio: every rate and block size passes through bit for bit; host MIDI is not echoed.
#include "Validate.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace vsthost::validation
{
namespace
{
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

    // Hosts flush with empty blocks, some without any buffers: nothing may be
    // read or written; a block without buffers to read is passed over too.
    r.check ("processing.nullBuffers", [&]() -> std::string
    {
        Problems p;
        prepare (a, 44100.0, 512);
        resume (a);
        float* noFloats[numChannels] = {};
        double* noDoubles[numChannels] = {};
        const bool doubles = (a->flags & effFlagsCanDoubleReplacing) != 0 && a->processDoubleReplacing != nullptr;
        for (int frames : { 0, 64 })
        {
            a->processReplacing (a, nullptr, nullptr, frames);
            a->processReplacing (a, noFloats, noFloats, frames);
            if (doubles)
            {
                a->processDoubleReplacing (a, nullptr, nullptr, frames);
                a->processDoubleReplacing (a, noDoubles, noDoubles, frames);
            }
            p.addAll (runBlock (a, 0, rng), fmt ("after %d frames: 0 frames with buffers", frames));
            p.addAll (runBlock (a, 256, rng), fmt ("after %d frames: a whole block", frames));
        }

        // Outputs without inputs: passed over, the block is silent.
        std::vector<float> left (64, 0.5f), right (64, 0.5f);
        float* outputs[numChannels] = { left.data(), nullptr };
        a->processReplacing (a, nullptr, outputs, 64);
        outputs[1] = right.data();
        a->processReplacing (a, noFloats, outputs, 64);
        for (const auto* channel : { &left, &right })
            if (std::any_of (channel->begin(), channel->end(), [] (float v) { return v != 0.0f; }))
                p.add ("a block without inputs kept what the host had in its output buffers");
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
} // namespace

const ValidationGroup processingChecks { "processing", 4, processingGroup };
} // namespace vsthost::validation
