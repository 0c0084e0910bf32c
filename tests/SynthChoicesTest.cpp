// What the synthesizer chooses on its own panel, delivered on its own thread as
// a MIDI input would: programs it selects and the channel its settings name.
#include <gtest/gtest.h>
#include "controls/StsLabel.h"
#include "editor/AppBar.h"
#include "editor/KeyBrd.h"
#include "support/EditorTestRig.h"
#include "support/EngineTestHelpers.h"

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
