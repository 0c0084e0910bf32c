#include <gtest/gtest.h>
#include "controls/StsBut.h"
#include "editor/MIDI_Setup.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "editor/KeyBrd.h"
#include "engine/SettingsFiles.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"
#include "support/ScopedUnreadable.h"

// The ports chosen in the MIDI setup and confirmed with OK are the ones the
// next instance opens.
TEST (StoredPorts, OkInTheMidiSetupStoresThePortsANewEngineOpens)
{
    // Menu items: 1 is NONE, n + 1 is device n.
    const struct { int inputItem, outputItem; int inputIndex, outputIndex; } cases[] =
    {
        { 3, 4, 1, 2 },
        { 2, 2, 0, 0 },
        { 1, 3, -1, 1 },
        { 3, 1, 1, -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String::formatted ("input item %d output item %d", c.inputItem, c.outputItem));
        RecordingMidiDevices devices { { "In A", "In B" }, { "Out A", "Out B", "Out C" } };
        {
            VantorAudioProcessor processor { devices };
            std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
            auto& main = dynamic_cast<VantorAudioProcessorEditor&> (*editor).getMainComp();
            main.start();

            main.showMidiSetup (true);
            auto* panel = main.getMidiSetup();
            ASSERT_NE (panel, nullptr);
            auto& ports = processor.getEngine().ports();
            panel->applyPortMenu (MIDI_Setup::inputCommand, c.inputItem);
            ASSERT_TRUE (ui::pumpUntil ([&] { return ports.getInputIndex() == c.inputIndex; }));
            panel->applyPortMenu (MIDI_Setup::outputCommand, c.outputItem);
            ASSERT_TRUE (ui::pumpUntil ([&] { return ports.getOutputIndex() == c.outputIndex; }));

            ui::click (*panel, panel->okButton().getBounds().getCentre());
            ASSERT_TRUE (ui::pumpUntil ([&] { return main.getMidiSetup() == nullptr; }));

            // Opened while the first still runs, as a second instance in the host.
            MidiCntrState second (devices);
            EXPECT_EQ (second.ports().getInputIndex(), c.inputIndex);
            EXPECT_EQ (second.ports().getOutputIndex(), c.outputIndex);
            EXPECT_EQ (second.ports().isOutputOpen(), c.outputIndex >= 0);
        }

        // And after the first closed.
        MidiCntrState later (devices);
        EXPECT_EQ (later.ports().getInputIndex(), c.inputIndex);
        EXPECT_EQ (later.ports().getOutputIndex(), c.outputIndex);
    }
}

// Two instances each choose one port: the file keeps both, whichever stores last.
TEST (StoredPorts, EachInstanceStoresOnlyThePortItChose)
{
    for (const bool inputStoredFirst : { true, false })
    {
        SCOPED_TRACE (inputStoredFirst ? "input first" : "output first");
        ScopedHome home;
        RecordingMidiDevices devices { { "In A", "In B" }, { "Out A", "Out B" } };
        { MidiCntrState makesTheFile (devices); }

        MidiCntrState input (devices), output (devices);
        input.selectInputPort (2);
        output.selectOutputPort (1);
        if (inputStoredFirst) { input.loadPorts (1); output.loadPorts (1); }
        else                  { output.loadPorts (1); input.loadPorts (1); }

        MidiCntrState next (devices);
        EXPECT_EQ (next.ports().getInputIndex(), 1);
        EXPECT_EQ (next.ports().getOutputIndex(), 0);
    }
}

// Settings that cannot be read, or a change to them that cannot be stored, are
// on the status line, not "ON-LINE". Unreadable: the test reads as another user.
TEST (StoredPorts, SettingsThatCannotBeReadOrStoredAreOnTheStatusLine)
{
    ScopedHome home;
    RecordingMidiDevices devices { { "In A" }, { "Out A" } };
    const auto file = home.settings ("ph12plugstV2.dat");
    auto block = SettingsFiles::defaultSettingsBlock();
    block[6] = 5;
    ASSERT_TRUE (SettingsFiles::writeWholeFile (block, file));

    ScopedUnreadable unreadable (file, true);
    VantorAudioProcessor processor { devices };
    EXPECT_EQ (processor.getEngine().getFilesNotice(), "SETTINGS NOT READ: ph12plugstV2.dat UNREADABLE");

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    auto& main = dynamic_cast<VantorAudioProcessorEditor&> (*editor).getMainComp();
    main.start();
    EXPECT_TRUE (ui::pumpUntil ([&] { return main.getKeyboardPanel().getStatusText() == "SETTINGS NOT READ: ph12plugstV2.dat UNREADABLE"; }))
        << main.getKeyboardPanel().getStatusText();

    main.showMidiSetup (true);
    main.handleMidiSetupCommand (212, 1);
    EXPECT_TRUE (ui::pumpUntil ([&] { return main.getKeyboardPanel().getStatusText() == "SETTINGS NOT STORED: THEIR FILE CANNOT BE READ OR WRITTEN"; }))
        << main.getKeyboardPanel().getStatusText();
    main.showMidiSetup (false);
}
