// What the synthesizer chooses on its own panel, delivered on its own thread as
// a MIDI input would: programs it selects and the channel its settings name.
#include <gtest/gtest.h>
#include "controls/StsLabel.h"
#include "editor/AppBar.h"
#include "editor/KeyBrd.h"
#include "support/EditorTestRig.h"
#include "support/EngineTestHelpers.h"

namespace
{
struct HostProgramChanges : public juce::AudioProcessorListener
{
    int programChanges = 0;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& d) override   { programChanges += d.programChanged ? 1 : 0; }
};

std::atomic<juce::uint32> testNow { 100000 };

struct SynthChoicesThreads : public ::testing::Test
{
    SimulatedSynth synth;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (synth);
    MidiCntrState& engine = processor->getEngine();
    HostProgramChanges host;

    void SetUp() override
    {
        engine.selectInputPort (1);
        engine.selectOutputPort (1);
        ASSERT_TRUE (engine.ports().isInputOpen() && engine.ports().isOutputOpen());
        engine.setClock ([] { return testNow.load(); });
        processor->addListener (&host);
    }

    void TearDown() override
    {
        processor->removeListener (&host);
        processor.reset();   // closes the devices before the synth goes
    }

    // The synthesizer's choice, and all it set off on the message thread.
    void synthChooses (int bank, int program, bool withBankSelect = true)
    {
        if (withBankSelect)
            synth.send (juce::MidiMessage::controllerEvent (1, 32, bank));
        synth.send (juce::MidiMessage::programChange (1, program));
        ASSERT_TRUE (synth.settle());
    }

    ByteArray slot (int bank, int program)
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        return engine.deviceBank (bank).programBytes (program);
    }

    bool editBufferWasReplaced()
    {
        const auto events = engine.takeEvents();
        return std::find (events.begin(), events.end(), EngineEvent::make (EngineEvent::editBufferChanged)) != events.end();
    }
};
}

// The synthesizer's program change names a slot of the bank it is on, and the
// plug-in's own choice put it on that bank.
TEST_F (SynthChoicesThreads, ProgramChangeWithoutBankSelectStaysInTheBankTheEditorChose)
{
    synthChooses (0, 2);
    engine.selectProgram (3 * 99 + 4, true, true);          // the editor's U4 P5
    ASSERT_TRUE (synth.waitForReceived (2));

    synthChooses (3, 7, false);

    EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (3, 7));
    EXPECT_EQ (engine.editBuffer(), slot (3, 7));
}

// Choosing on the synthesizer the slot it chose last reloads it there; the
// editor and the host get it back unless the edit buffer still holds it, or the
// choice is the echo of the plug-in's own.
TEST_F (SynthChoicesThreads, RepeatedChoiceBringsTheSlotBackOnceTheEditBufferHoldsAnotherProgram)
{
    struct Case { const char* between; std::function<void()> act; bool reloads; };
    const Case cases[] = {
        { "nothing",                     [] {},                                                         false },
        { "a preset loaded",             [this] { processor->setCurrentProgram (7); },                  true },
        { "a program file loaded",       [this] { engine.putProgram (false, 0, 0, ByteArray (1024, 3)); }, true },
        { "a knob turned on the synth",  [this] { synth.turnKnob (1, 19, (slot (2, 5)[5] + 1) % 100); }, true },
        { "the plug-in's own choice echoed after an edit",
          [this] { engine.selectProgram (2 * 99 + 5, true, false); engine.setParameterFromHost (5, (slot (2, 5)[5] + 1) % 100); },
          false },
        { "the same, the echo's time past",
          [this] { engine.selectProgram (2 * 99 + 5, true, false); engine.setParameterFromHost (5, (slot (2, 5)[5] + 1) % 100);
                   testNow += 1000; },
          true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.between);
        synthChooses (1, 0);
        synthChooses (2, 5);
        ASSERT_EQ (engine.editBuffer(), slot (2, 5));

        c.act();
        ASSERT_TRUE (synth.settle());
        const auto before = engine.editBuffer();
        engine.takeEvents();
        host.programChanges = 0;

        synthChooses (2, 5);

        EXPECT_EQ (engine.editBuffer(), c.reloads ? slot (2, 5) : before);
        EXPECT_EQ (editBufferWasReplaced(), c.reloads);
        EXPECT_EQ (host.programChanges > 0, c.reloads);
        EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (2, 5));
    }
}

// The channel the synthesizer's settings name is the one it listens on: the
// plug-in follows it, says so, and sends everything there.
TEST (ChannelFollowThreads, GlobalDumpNamingOneChannelMovesThePluginThere)
{
    struct Case { int named, channelBefore, channelAfter; const char* status; };
    const Case cases[] = {
        { 5,  1, 5, "ON-LINE: CHANNEL 5 FOLLOWED FROM THE SYNTHESIZER" },
        { 5,  5, 5, "DSI:  PROPHET 12 MDL ON-LINE" },
        { 0,  3, 3, "DSI:  PROPHET 12 MDL ON-LINE" },     // all channels hear the plug-in's
        { 17, 3, 3, "DSI:  PROPHET 12 MDL ON-LINE" },     // no channel at all
        { 16, 3, 16, "ON-LINE: CHANNEL 16 FOLLOWED FROM THE SYNTHESIZER" },
    };

    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    ASSERT_TRUE (rig.settle());

    int id = 10;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.named);
        auto globals = rig.synth.globals();
        globals[(size_t) MidiCntrState::globalMidiChannel] = (juce::uint8) c.named;
        rig.synth.setGlobals (globals);
        e.setMidiChannel (c.channelBefore);

        e.requestGlobals();
        ASSERT_TRUE (rig.settle());
        ASSERT_TRUE (rig.pumpUntil ([&] { return main.getKeyboardPanel().getStatusText() != "OFF-LINE"; }));

        EXPECT_EQ (e.getMidiChannel(), c.channelAfter);
        EXPECT_EQ (e.getSettingsBlock()[(size_t) SettingsFiles::midiChannelOffset], c.channelAfter);
        EXPECT_EQ (main.getKeyboardPanel().getStatusText(), c.status);
        EXPECT_EQ (rig.page().getAppBar().getChannelLabel().getText(), "Chan: " + juce::String (c.channelAfter));

        rig.synth.clearReceived();
        e.sendParameter (id++, 5);            // a new number: all four controllers go out
        e.selectProgram (1 * 99 + 3, true, true);
        ASSERT_TRUE (rig.synth.waitForReceived (6));
        for (const auto& r : rig.synth.received())
            EXPECT_EQ (r.message.getChannel(), c.channelAfter);
    }
}
