#include <gtest/gtest.h>
#include "controls/Check_But.h"
#include "controls/StsLabel.h"
#include "editor/AppBar.h"
#include "editor/Global_Container.h"
#include "editor/MIDI_Setup.h"
#include "editor/MainComp.h"
#include "engine/SettingsFiles.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/EditorTestRig.h"
#include "support/EngineTestHelpers.h"

namespace
{
struct MidiSetup : public ::testing::Test
{
    RecordingMidiDevices devices { { "In A", "In B" }, { "Out A", "Out B", "Out C" } };
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();
    MIDI_Setup panel { &engine };

    void SetUp() override
    {
        panel.setPortLists (engine.ports().inputDeviceNames(), engine.ports().outputDeviceNames());
        panel.layout (820, 660);
    }
};

TEST_F (MidiSetup, PortChoiceFollowsTheNameWhenTheDeviceListChanged)
{
    struct Case { juce::StringArray nowOutputs; int item, code, value; juce::String shown; };
    const Case cases[] = {
        { { "Out A", "Out B", "Out C" }, 3, 302, 2, "Out B" },
        { { "Out B", "Out C" }, 3, 302, 1, "Out B" },        // "Out B" moved: its place now
        { { "Out X", "Out C" }, 2, 0, 0, "NONE" },            // gone: nothing opens
        { { "Out X", "Out C" }, 1, 302, 0, "NONE" },          // "NONE" always closes
    };
    for (const auto& c : cases)
    {
        panel.setPortLists (engine.ports().inputDeviceNames(), { "Out A", "Out B", "Out C" });
        panel.chosenOutput = 0;
        panel.commandCode = panel.commandValue = 0;
        devices.outputNames = c.nowOutputs;
        panel.applyPortMenu (MIDI_Setup::outputCommand, c.item);
        EXPECT_EQ (panel.commandCode, c.code) << c.shown;
        EXPECT_EQ (panel.commandValue, c.value) << c.shown;
        EXPECT_EQ (panel.outputNames()[panel.chosenOutput], c.shown);
    }
}

TEST_F (MidiSetup, PortBoxesOpenMenusOnlyInside)
{
    struct Case { juce::Point<int> at; int menus; };
    const Case cases[] = { { { 60, 90 }, 0 }, { { 350, 90 }, 0 }, { { 61, 90 }, 1 }, { { 349, 140 }, 1 },
                           { { 200, 80 }, 0 }, { { 200, 103 }, 1 }, { { 200, 154 }, 0 } };
    for (const auto& c : cases)
    {
        ui::MenuRecorder menus;
        menus.setAutoAnswer (0);
        ui::click (panel, c.at);
        EXPECT_EQ (menus.menusShown, c.menus) << c.at.toString();
    }

    ui::MenuRecorder outputs;
    outputs.setAutoAnswer (0);
    ui::click (panel, { 100, 140 });
    EXPECT_EQ (outputs.itemTexts(), (std::vector<juce::String> { "NONE", "Out A", "Out B", "Out C" }));

    panel.setPortLists ({}, {});
    ui::MenuRecorder none;
    for (const auto at : { juce::Point<int> { 100, 90 }, { 100, 140 } })
    {
        panel.statusLabel().setText ("------");
        ui::click (panel, at);
        EXPECT_EQ (none.menusShown, 0);
        EXPECT_EQ (panel.statusLabel().getText(), MIDI_Setup::noPortsText) << at.toString();   // says why nothing opened
    }
}
TEST_F (MidiSetup, TwoPortsOfOneNameAreEachTheOneChosen)
{
    // value: the device index + 1 sent to the engine, 0 with code 0 when nothing opens.
    struct Case { const char* what; juce::StringArray shown, now; int item, code, value, chosenInput; };
    const juce::StringArray twins { "USB MIDI", "USB MIDI", "Out C" };
    const Case cases[] = {
        { "first of two",            twins, twins, 2, 302, 1, 2 },
        { "second of two",           twins, twins, 3, 302, 2, 2 },
        { "second, list grew ahead", twins, { "Out X", "USB MIDI", "USB MIDI", "Out C" }, 3, 302, 3, 2 },
        { "second, one twin gone",   twins, { "USB MIDI", "Out C" }, 3, 0, 0, 2 },
        { "first, one twin gone",    twins, { "Out C", "USB MIDI" }, 2, 302, 2, 2 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        devices.inputNames = { "In A", "In B" };
        devices.outputNames = c.shown;
        panel.setPortLists (engine.ports().inputDeviceNames(), engine.ports().outputDeviceNames());
        panel.chosenInput = 2;
        panel.chosenOutput = 0;
        panel.commandCode = panel.commandValue = 0;
        devices.outputNames = c.now;
        panel.applyPortMenu (MIDI_Setup::outputCommand, c.item);
        EXPECT_EQ (panel.commandCode, c.code);
        EXPECT_EQ (panel.commandValue, c.value);
        EXPECT_EQ (panel.chosenOutput, c.value);
        EXPECT_EQ (panel.chosenInput, c.chosenInput);
    }

    // Inputs alike; the chosen output keeps its place among twins when the inputs change.
    devices.inputNames = { "Keys", "Keys" };
    devices.outputNames = twins;
    panel.setPortLists (engine.ports().inputDeviceNames(), engine.ports().outputDeviceNames());
    panel.chosenOutput = 2;
    devices.inputNames = { "Pad", "Keys", "Keys" };
    devices.outputNames = { "Out Z", "USB MIDI", "USB MIDI", "Out C" };
    panel.applyPortMenu (MIDI_Setup::inputCommand, 3);
    EXPECT_EQ (panel.commandCode, 300);
    EXPECT_EQ (panel.commandValue, 3);
    EXPECT_EQ (panel.chosenOutput, 3);
}

TEST_F (MidiSetup, SysExSizeMenuSetsTheModeAndSendsNoCommand)
{
    struct Case { int answer; int mode; const char* text; };
    const Case cases[] = { { 2, 1, "SySex Size" }, { 0, 1, "SySex Size" }, { 1, 0, "256" } };
    for (const auto& c : cases)
    {
        ui::MenuRecorder menus;
        menus.setAutoAnswer (c.answer);
        ui::click (panel, { 180 + 50, 172 + 8 });
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (menus.menusShown, 1);
        EXPECT_EQ (engine.ports().sysexChunkSize, c.mode);
        EXPECT_EQ (panel.sysExSizeLabel().getText(), c.text);
    }
    EXPECT_EQ (panel.commandCode, 0);
}

TEST_F (MidiSetup, GlobalsButtonTogglesThePageAndCloseIsIdempotent)
{
    ui::click (panel, panel.globalsButton().getBounds().getCentre());
    ASSERT_NE (panel.getGlobalPage(), nullptr);
    EXPECT_FALSE (panel.instructionLabel().isVisible());
    panel.toggleGlobalPage();
    EXPECT_EQ (panel.getGlobalPage(), nullptr);
    EXPECT_TRUE (panel.instructionLabel().isVisible());

    // Just beside the close box nothing happens; the close box, then GLOBALS
    // before the 100 ms are over.
    panel.toggleGlobalPage();
    ui::click (panel, { 38 + 750 - 27, 285 + 16 });
    ASSERT_TRUE (ui::pumpPastTimers (100));
    ASSERT_NE (panel.getGlobalPage(), nullptr);
    ui::click (panel, { 38 + 750 - 18, 285 + 16 });
    ASSERT_NE (panel.getGlobalPage(), nullptr);
    panel.toggleGlobalPage();
    EXPECT_EQ (panel.getGlobalPage(), nullptr);
    ASSERT_TRUE (ui::pumpPastTimers (100));
    EXPECT_EQ (panel.getGlobalPage(), nullptr);
    EXPECT_TRUE (panel.instructionLabel().isVisible());

    panel.toggleGlobalPage();
    ui::click (panel, { 38 + 750 - 18, 285 + 16 });
    ASSERT_TRUE (ui::pumpPastTimers (100));
    EXPECT_EQ (panel.getGlobalPage(), nullptr);
}

TEST (MidiSetupInEditorThreads, OkAndPortChoicesReachTheEngine)
{
    EditorTestRig rig;
    auto& main = rig.open();
    main.showMidiSetup (true);
    auto* panel = main.getMidiSetup();
    ASSERT_NE (panel, nullptr);

    panel->applyPortMenu (MIDI_Setup::outputCommand, 1);
    ASSERT_TRUE (rig.pumpUntil ([&] { return ! rig.engine().ports().isOutputOpen(); }));
    EXPECT_FALSE (panel->outputOpen);

    panel->applyPortMenu (MIDI_Setup::outputCommand, 2);
    ASSERT_TRUE (rig.pumpUntil ([&] { return rig.engine().ports().isOutputOpen(); }));
    ASSERT_TRUE (rig.pumpUntil ([&] { return panel->outputOpen; }));

    panel->automationToggle().checked = false;
    ui::click (*panel, panel->automationToggle().getBounds().getCentre());
    ASSERT_TRUE (rig.pumpUntil ([&] { return rig.engine().controlsProgramChange(); }));

    // A global dump while the page is open shows on it and in the status line.
    ByteArray globals ((size_t) SimulatedSynth::numGlobals, 0);
    globals[20] = 3;
    rig.synth.setGlobals (globals);
    ui::click (*panel, panel->globalsButton().getBounds().getCentre());
    ASSERT_NE (panel->getGlobalPage(), nullptr);
    // The status may read on-line from the opening's dump already: wait for the new value.
    EXPECT_TRUE (rig.pumpUntil ([&] { return panel->getGlobalPage()->widget (20).getValue() == 3; }));
    // The page reads the engine's bytes; the status line follows the dump's event, which may come later.
    EXPECT_TRUE (rig.pumpUntil ([&] { return panel->statusLabel().getText() == "DSI:  PROPHET 12 MDL ON-LINE"; }))
        << panel->statusLabel().getText();

    ui::click (*panel, panel->okButton().getBounds().getCentre());
    ASSERT_TRUE (rig.pumpUntil ([&] { return main.getMidiSetup() == nullptr; }));
}

// The channel the global page gives the synthesizer shows in the top bar's "Chan".
TEST (MidiSetupInEditorThreads, ChannelSetOnTheGlobalPageShowsInTheTopBar)
{
    EditorTestRig rig;
    rig.open();
    Global_Container page (rig.engine());
    page.widget (2).setValue (5);
    EXPECT_EQ (rig.engine().getMidiChannel(), 5);
    EXPECT_TRUE (rig.pumpUntil ([&] { return rig.page().getAppBar().getChannelLabel().getText() == "Chan: 5"; }))
        << rig.page().getAppBar().getChannelLabel().getText();
}

// An editor with its MIDI setup open on two inputs and three outputs, started without a ports file.
struct OpenSetup
{
    OpenSetup()
    {
        auto& main = editor->getMainComp();
        main.start();
        main.showMidiSetup (true);
    }

    MIDI_Setup* setup()   { return editor != nullptr ? editor->getMainComp().getMidiSetup() : nullptr; }

    bool portsFileRemoved = MidiCntrState::settingsFile (SettingsFiles::portsFileName).deleteFile();
    RecordingMidiDevices devices { { "In A", "In B" }, { "Out A", "Out B", "Out C" } };
    VantorAudioProcessor processor { devices };
    std::unique_ptr<VantorAudioProcessorEditor> editor = std::make_unique<VantorAudioProcessorEditor> (processor);
};

// The ports file's names ("?" where it cannot be read) and chunk size (-1 then).
struct StoredPorts
{
    StoredPorts()
    {
        read = SettingsFiles::decodePortsFile (SettingsFiles::readWholeFile (MidiCntrState::settingsFile (SettingsFiles::portsFileName)),
                                               names, chunk);
    }

    juce::StringArray names { "?", "?", "?", "?" };
    int chunk = -1;
    bool read = false;
};

TEST (MidiSetupInEditorThreads, PortsChosenAreStoredHoweverTheSetupCloses)
{
    struct Case { const char* what; std::function<void (std::unique_ptr<VantorAudioProcessorEditor>&)> close; };
    const Case cases[] = {
        { "OK",            [] (auto& ed) { auto* p = ed->getMainComp().getMidiSetup(); ui::click (*p, p->okButton().getBounds().getCentre()); } },
        { "MIDI button",   [] (auto& ed) { ed->getMainComp().handleCommand (77); } },
        { "editor closed", [] (auto& ed) { ed.reset(); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        OpenSetup open;
        ASSERT_NE (open.setup(), nullptr);

        open.setup()->applyPortMenu (MIDI_Setup::outputCommand, 3);
        open.setup()->applySysExSizeMenu (2);
        ASSERT_TRUE (EditorTestRig::pumpUntil ([&] { return open.processor.getEngine().ports().getOutputIndex() == 1; }));

        c.close (open.editor);
        ASSERT_TRUE (EditorTestRig::pumpUntil ([&] { return open.setup() == nullptr; }));

        const StoredPorts stored;
        ASSERT_TRUE (stored.read);
        EXPECT_EQ (stored.names[0], "NONE");
        EXPECT_EQ (stored.names[1], "Out B");
        EXPECT_EQ (stored.chunk, 1);
    }
}

// Either port is in the ports file as soon as it is chosen, while the setup is still open.
TEST (MidiSetupInEditorThreads, APortChosenIsStoredAtOnce)
{
    OpenSetup open;
    const struct { int command, choice, stored; const char* name; } cases[] =
    {
        { MIDI_Setup::outputCommand, 3, 1, "Out B" },
        { MIDI_Setup::inputCommand,  3, 0, "In B" },
        { MIDI_Setup::outputCommand, 1, 1, "NONE" },
        { MIDI_Setup::outputCommand, 4, 1, "Out C" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ASSERT_NE (open.setup(), nullptr);
        open.setup()->applyPortMenu (c.command, c.choice);
        EXPECT_TRUE (EditorTestRig::pumpUntil ([&] { return StoredPorts().names[c.stored] == c.name; }))
            << StoredPorts().names[c.stored];
    }

    const StoredPorts stored;
    EXPECT_EQ (stored.names[0], "In B");
    EXPECT_EQ (stored.names[1], "Out C");
    EXPECT_NE (open.setup(), nullptr);
}
}
