#include <gtest/gtest.h>
#include "engine/DSI_Program.h"
#include "engine/MIDI_PORTS_Control.h"
#include "support/SimulatedSynth.h"

namespace
{
// Collects what the synth sends, joining SysEx parts as the engine does.
struct Collector : public juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
    {
        const juce::ScopedLock sl (lock);
        threads.push_back (juce::Thread::getCurrentThreadId());
        ++parts;

        const auto* data = m.getRawData();
        if (data[0] == 0xf0)
            pending.clear();

        pending.insert (pending.end(), data, data + m.getRawDataSize());

        if (pending.front() == 0xf0 && pending.back() == 0xf7)
        {
            complete.push_back (pending);
            pending.clear();
        }
    }

    juce::CriticalSection lock;
    std::vector<juce::Thread::ThreadID> threads;
    std::vector<ByteArray> complete;
    ByteArray pending;
    int parts = 0;
};
}

TEST (SimulatedSynthThreads, AnswersProgramRequestsWholeAndSplitOnItsOwnThread)
{
    SimulatedSynth synth;
    Collector engine;
    {
        MIDI_PORTS_Control ports (synth);
        ports.openInput (1, &engine);
        ports.openOutput (1);
        ASSERT_TRUE (ports.isInputOpen() && ports.isOutputOpen());

        ports.sendSysEx ({ 0xf0, 0x01, 0x2b, 0x05, 3, 42, 0xf7 });
        synth.setAnswer (SimulatedSynth::Answer::split, 5);
        ports.sendSysEx ({ 0xf0, 0x01, 0x2b, 0x05, 7, 98, 0xf7 });
        synth.setAnswer (SimulatedSynth::Answer::drop);
        ports.sendSysEx ({ 0xf0, 0x01, 0x2b, 0x05, 0, 0, 0xf7 });
        synth.setAnswer (SimulatedSynth::Answer::whole);
        synth.setDeviceId (ProgramRecord::keyboardDeviceId);
        ports.sendSysEx ({ 0xf0, 0x01, 0x2b, 0x0e, 0xf7 });

        ASSERT_TRUE (synth.waitForReceived (4));
        ASSERT_TRUE (synth.waitUntilIdle());
    }

    const juce::ScopedLock sl (engine.lock);
    ASSERT_EQ (engine.complete.size(), 3u);
    EXPECT_EQ (engine.parts, 1 + 5 + 1);

    for (auto t : engine.threads)
        EXPECT_NE (t, juce::Thread::getCurrentThreadId());

    EXPECT_EQ (engine.complete[0], DSI_Program::programDump (synth.record (3, 42), 3, 42));
    EXPECT_EQ (engine.complete[1], DSI_Program::programDump (synth.record (7, 98), 7, 98));
    EXPECT_NE (synth.record (3, 42), synth.record (7, 98));
    EXPECT_EQ (ByteArray (engine.complete[2].begin(), engine.complete[2].begin() + 4), (ByteArray { 0xf0, 0x01, 0x2a, 0x0f }));
}
