#include <gtest/gtest.h>
#include "controls/Check_But.h"
#include "controls/ProgBar.h"
#include "editor/MIDI_Setup.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/EditorTestRig.h"
#include "support/RecordingMidiDevices.h"

// What the editor shows of the engine's state: the MIDI setup opened over the
// ports in use, and the progress of a transfer.
TEST (SetupShowsState, TheMidiSetupOpensOnThePortsAndSwitchInUse)
{
    const struct { int input, output; bool refuse, automation; } cases[] =
    {
        { 2, 3, false, true },
        { 1, 1, false, false },
        { 0, 2, false, true },
        { 2, 0, false, false },
        { 1, 2, true,  false },   // chosen, but the devices would not open
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String::formatted ("input %d output %d refuse %d", c.input, c.output, (int) c.refuse));
        RecordingMidiDevices devices { { "In A", "In B" }, { "Out A", "Out B", "Out C" } };
        VantorAudioProcessor processor { devices };
        auto& e = processor.getEngine();
        devices.refuseToOpen = c.refuse;
        e.selectInputPort (c.input);
        e.selectOutputPort (c.output);
        e.setControlsProgramChange (c.automation);

        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        auto& main = dynamic_cast<VantorAudioProcessorEditor&> (*editor).getMainComp();
        main.start();
        main.showMidiSetup (true);
        auto* panel = main.getMidiSetup();
        ASSERT_NE (panel, nullptr);

        EXPECT_EQ (panel->chosenInput, c.input);
        EXPECT_EQ (panel->chosenOutput, c.output);
        EXPECT_EQ (panel->inputOpen, c.input > 0 && ! c.refuse);
        EXPECT_EQ (panel->outputOpen, c.output > 0 && ! c.refuse);
        EXPECT_EQ (panel->automationToggle().checked, c.automation);
        EXPECT_EQ (panel->inputNames(), juce::StringArray ({ "NONE", "In A", "In B" }));
        EXPECT_EQ (panel->outputNames(), juce::StringArray ({ "NONE", "Out A", "Out B", "Out C" }));
    }
}

TEST (TransferProgressThreads, TheOverlayShowsWhatWasSentAndReceived)
{
    EditorTestRig rig;
    auto& main = rig.open();
    rig.synth.setAnswer (SimulatedSynth::Answer::drop);
    main.startTransfer (0, 1);
    ASSERT_NE (main.getProgressOverlay(), nullptr);
    auto& overlay = *main.getProgressOverlay();

    const struct { int event; int value; const char* text; } cases[] =
    {
        { EngineEvent::transmitted (1, 99),    1 * 127 / 99,    "1 / 99" },
        { EngineEvent::transmitted (200, 396), 200 * 127 / 396, "200 / 396" },
        { EngineEvent::transmitted (396, 396), 127,             "396 / 396" },
        { EngineEvent::bankProgram (0, 0),     0,               "U1:1" },
        { EngineEvent::bankProgram (3, 98),    98,              "U4:99" },
        { EngineEvent::bankProgram (4, 10),    10,              "F1:11" },
    };

    for (const auto& c : cases)
    {
        main.handleEngineEvent (c.event);
        EXPECT_EQ (overlay.getValue(), c.value) << c.text;
        EXPECT_EQ (overlay.getText(), c.text);
    }

    // A report of nothing to send leaves the overlay as it was.
    main.handleEngineEvent (EngineEvent::transmitted (0, 0));
    EXPECT_EQ (overlay.getText(), "F1:11");
    main.endTransfer();
}
