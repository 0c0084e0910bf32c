#include <gtest/gtest.h>
#include "editor/AboutPanel.h"
#include "editor/EditorRules.h"
#include "editor/GroupClass.h"
#include "controls/CorButton.h"
#include "controls/ProgBar.h"
#include "support/EditorTestRig.h"

TEST (MainCompThreads, FirstOpeningUsesDefaultsAndShowsTheSplashOnce)
{
    EditorTestRig rig;
    auto& main = rig.open (false);

    const auto expected = EditorRules::openingSize (0, 0, rig.engine().getMonitorArea());
    EXPECT_EQ (main.getWidth(), expected.x);
    EXPECT_EQ (main.getHeight(), expected.y);
    EXPECT_EQ (rig.page().getHeight(), 710);
    EXPECT_EQ (main.getKeyboardPanel().getBounds(), juce::Rectangle<int> (0, 710, main.getWidth(), 172));

    // Built but not shown (a host's size query): nothing has started.
    EXPECT_EQ (main.getAboutPanel(), nullptr);
    EXPECT_FALSE (rig.engine().getEditorOpenedBefore());

    main.start();
    ASSERT_NE (main.getAboutPanel(), nullptr);
    EXPECT_TRUE (main.getAboutPanel()->isTimerRunningFlag());
    EXPECT_TRUE (rig.pumpUntil ([&] { return main.getKeyboardPanel().getStatusText() == "OFF-LINE"; }));

    ui::click (main, { 5, 5 });
    EXPECT_TRUE (rig.pumpUntil ([&] { return main.getAboutPanel() == nullptr; }));

    // Reopening: no splash; the zoom chosen before comes back from the geometry file.
    rig.page().getZoomCorner().changeCode = CorButton::dragging;
    main.zoomHandleChanged (EditorRules::pageHeightForZoom (0.8f));
    EXPECT_TRUE (rig.pumpUntil ([&] { return rig.editor->getHeight() == main.getHeight(); }));
    rig.close();
    rig.engine().windowGeometry() = {};
    rig.open();
    EXPECT_EQ (rig.main().getAboutPanel(), nullptr);
    EXPECT_FLOAT_EQ (rig.page().getPanel (0, 1)->getScale(), 0.8f);
    EXPECT_EQ (rig.page().getHeight(), EditorRules::pageHeightForZoom (0.8f));
}

TEST (MainCompThreads, EngineEventsReachWhatShowsThemAndWaitForAnEditor)
{
    EditorTestRig rig;
    rig.engine().postCommand (EngineEvent::make (EngineEvent::keyboardCommand, 734));   // while closed
    auto& main = rig.open();
    EXPECT_TRUE (rig.pumpUntil ([&] { return rig.page().getCurrentSection() == 10; }));
    main.showAbout (false, 0);
    auto& keyboard = main.getKeyboardPanel();

    struct Case { const char* what; std::function<void()> act; std::function<bool()> shows; };
    const Case cases[] =
    {
        { "mod wheel from the synth", [&] { rig.synth.send (juce::MidiMessage::controllerEvent (1, 1, 77)); },
          [&] { return keyboard.getModWheel() == 77; } },
        { "pitch bend centre", [&] { rig.synth.send (juce::MidiMessage::pitchWheel (1, 0x2000)); },
          [&] { return keyboard.getPitchWheel() == 64; } },
        { "pitch bend top", [&] { rig.synth.send (juce::MidiMessage::pitchWheel (1, 0x3FFF)); },
          [&] { return keyboard.getPitchWheel() == 127; } },
        { "global request unanswered",
          [&] { rig.synth.setAnswer (SimulatedSynth::Answer::drop); rig.engine().requestGlobals(); },
          [&] { return keyboard.getStatusText() == "OFF-LINE"; } },
        { "digit key 3", [&] { rig.engine().postCommand (EngineEvent::make (EngineEvent::keyboardCommand, 729)); },
          [&] { return rig.page().getCurrentSection() == 3; } },
    };

    for (const auto& c : cases)
    {
        ASSERT_TRUE (rig.settle());
        c.act();
        EXPECT_TRUE (rig.pumpUntil (c.shows)) << c.what;
    }

    // Controller 7 moves no wheel; digit 0 changes no section.
    rig.synth.send (juce::MidiMessage::controllerEvent (1, 7, 5));
    rig.engine().postCommand (EngineEvent::make (EngineEvent::keyboardCommand, 726));
    ASSERT_TRUE (rig.settle());
    EXPECT_EQ (keyboard.getModWheel(), 77);
    EXPECT_EQ (rig.page().getCurrentSection(), 3);
}

TEST (MainCompThreads, TransferEventsWithoutAnOverlayAreHarmless)
{
    EditorTestRig rig;
    auto& main = rig.open();

    // Late progress, ends and transmit reports for a transfer that has no overlay.
    for (int event : { EngineEvent::bankProgram (7, 98), EngineEvent::make (EngineEvent::bankReceiveFinished),
                       EngineEvent::transmitted (3, 99), EngineEvent::make (EngineEvent::transmitFinished, 1) })
        main.handleEngineEvent (event);
    EXPECT_EQ (main.getProgressOverlay(), nullptr);

    rig.synth.setAnswer (SimulatedSynth::Answer::drop);
    main.startTransfer (0, 5);
    ASSERT_NE (main.getProgressOverlay(), nullptr);
    EXPECT_TRUE (rig.engine().isBankReceiveRunning());

    main.handleEngineEvent (EngineEvent::bankProgram (7, 98));
    EXPECT_EQ (main.getProgressOverlay()->getText(), "F4:99");

    main.endTransfer();
    main.endTransfer();
    EXPECT_EQ (main.getProgressOverlay(), nullptr);
    EXPECT_FALSE (rig.engine().isReceiveGoingOn());
    EXPECT_EQ (main.getTransferCode(), -1);
}

TEST (MainCompThreads, ZoomHandleResizesTheEditorWithinItsLimits)
{
    EditorTestRig rig;
    auto& main = rig.open();
    main.showAbout (false, 0);
    rig.editor->setSize (1200, 730);   // whatever the test display's size
    auto& corner = rig.page().getZoomCorner();

    for (auto [dy, pageHeight] : { std::pair { 2000, 838 }, { -2000, 200 }, { 400, 600 } })
    {
        rig.engine().setMonitorArea ({ 0, 0, 1920, 1080 });
        const auto at = corner.getBoundsInParent().getTopRight().translated (-4, 6) + rig.page().getPosition();
        ui::drag (main, at, at.translated (0, dy), 4);
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (rig.page().getHeight(), pageHeight) << dy;
        EXPECT_EQ (rig.editor->getHeight(), pageHeight + 172) << dy;
    }
}

