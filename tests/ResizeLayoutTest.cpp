// Every resize keeps what a musician needs inside the window: the top bar,
// the keyboard's strip with its status line and player, and the buttons that
// close whatever panel is open. Checked by real hit-testing after each step.
#include <gtest/gtest.h>
#include "controls/AppSetBarBut.h"
#include "controls/CorButton.h"
#include "controls/LCD_Comp.h"
#include "controls/StsBut.h"
#include "controls/StsCont.h"
#include "controls/ZoneKeyClass.h"
#include "controls/ProgBar.h"
#include "controls/StsLabel.h"
#include "editor/AppBar.h"
#include "editor/BankComp.h"
#include "editor/EditorRules.h"
#include "editor/GroupClass.h"
#include "editor/WriteSnd.h"
#include "support/EditorTestRig.h"

namespace
{
bool shownIn (const juce::Component* c, const juce::Component& top)
{
    for (; c != nullptr && c != &top; c = c->getParentComponent())
        if (! c->isVisible())
            return false;
    return c == &top;
}

bool within (juce::Component* hit, juce::Component& expected)
{
    return hit != nullptr && (hit == &expected || expected.isParentOf (hit));
}

juce::Point<int> centreIn (MainComp& main, juce::Component& c)
{
    return c.getScreenBounds().getCentre() - main.getScreenPosition();
}

struct ResizeThreads : public OpenEditorTest
{
    // What must stay in reach whatever the size: a function button of the top
    // bar, the status line, the player strip and the zoom handle.
    void expectEverythingInReach()
    {
        auto& page = rig.page();
        auto& keyboard = main->getKeyboardPanel();
        const int h = main->getHeight();

        EXPECT_EQ (main->getBounds().getHeight(), rig.editor->getHeight());
        EXPECT_LE (page.getBottom(), h);
        EXPECT_EQ (keyboard.getY(), page.getBottom());
        EXPECT_LE (keyboard.getY() + EditorRules::keyboardStripHeight, h);
        // The keys show whole or not at all (never a strip of key tops), and
        // a whole keyboard reaches the window's foot (no empty band below).
        EXPECT_TRUE (keyboard.getY() + EditorRules::keyboardStripHeight == h || keyboard.getBottom() == h)
            << "keyboard " << keyboard.getBounds().toString() << " in a window " << h << " high";

        auto& banks = *page.getAppBar().getFunctionButton (0);
        EXPECT_TRUE (within (main->getComponentAt (centreIn (*main, banks)), banks));

        const juce::Point<int> status { 60, keyboard.getY() + 10 };
        EXPECT_TRUE (within (main->getComponentAt (status), keyboard));
        auto& player = keyboard.player();
        ASSERT_TRUE (main->getLocalBounds().contains (centreIn (*main, player)));
        EXPECT_TRUE (within (main->getComponentAt (centreIn (*main, player)), player));

        auto& corner = page.getZoomCorner();
        ASSERT_TRUE (main->getLocalBounds().contains (centreIn (*main, corner)));
        EXPECT_TRUE (within (main->getComponentAt (centreIn (*main, corner)), corner));
        const float zoom = EditorRules::zoomForPageHeight ((float) page.getHeight());
        EXPECT_EQ (corner.percent, (int) std::floor (zoom * 100.0f));
    }
};
}

TEST_F (ResizeThreads, ThePageZoomsOutForTheKeyboardStripAndFillsWhatTheKeyboardLeaves)
{
    // The chosen page is the opening one, 710 px (zoom 1.0).
    const struct { int w, h, page; } steps[] = {
        { 958, 613, 593 },    // the corner pulled up: the strip stays under the page
        { 700, 400, 380 },
        { VantorAudioProcessorEditor::minWidth, 298, 278 },    // the smallest editor
        { 1200, 500, 480 },
        { 1200, 882, 710 },   // room for the whole keyboard under the chosen page
        { 1200, 900, 728 },   // more room: the page fills it, no band below the keyboard
        { 1594, 1082, 910 },
        { 1200, 742, 722 },   // short of the whole keyboard: its keys go out of sight, not a strip of them
        { 1200, 731, 711 },
        { 1200, 729, 709 },
    };

    for (const auto& s : steps)
    {
        SCOPED_TRACE (juce::String (s.w) + "x" + juce::String (s.h));
        rig.editor->setSize (s.w, s.h);
        EXPECT_EQ (main->getWidth(), s.w);
        EXPECT_EQ (rig.page().getHeight(), s.page);
        expectEverythingInReach();
    }
}

TEST_F (ResizeThreads, TheNarrowestWindowShowsTheWholeFunctionRow)
{
    rig.editor->setSize (VantorAudioProcessorEditor::minWidth, VantorAudioProcessorEditor::minHeight);
    auto& bar = rig.page().getAppBar();
    for (int i = 0; i < bar.getNumFunctionButtons(); ++i)
    {
        auto& button = *bar.getFunctionButton (i);
        SCOPED_TRACE (button.getName());
        const auto at = centreIn (*main, button);
        ASSERT_TRUE (main->getLocalBounds().contains (button.getScreenBounds() - main->getScreenPosition()));
        EXPECT_TRUE (within (main->getComponentAt (at), button));
    }
    auto& channel = bar.getChannelLabel();
    EXPECT_TRUE (main->getLocalBounds().contains (channel.getScreenBounds() - main->getScreenPosition()));
    expectEverythingInReach();
}

TEST_F (ResizeThreads, AZoomChosenByTheHandleIsWhatAWindowOfItsHeightShows)
{
    auto& corner = rig.page().getZoomCorner();
    corner.changeCode = 321;
    main->zoomHandleChanged (400);
    ASSERT_EQ (rig.page().getHeight(), 400);
    // The editor follows the main component's broadcast.
    EXPECT_TRUE (rig.pumpUntil ([&] { return rig.editor->getHeight() == 400 + main->getKeyboardPanel().getHeight(); }));

    rig.editor->setSize (900, 300);
    EXPECT_EQ (rig.page().getHeight(), 280);
    expectEverythingInReach();

    rig.editor->setSize (900, 400 + EditorRules::defaultKeyboardHeight);
    EXPECT_EQ (rig.page().getHeight(), 400);
    expectEverythingInReach();

    rig.editor->setSize (900, 1000);
    EXPECT_EQ (rig.page().getHeight(), 1000 - EditorRules::defaultKeyboardHeight);
    expectEverythingInReach();

    // Closing at a small size and opening again keeps the page the window showed.
    rig.editor->setSize (900, 350);
    rig.close();
    main = &rig.open();
    main->showAbout (false, 0);
    EXPECT_EQ (main->getHeight(), 350);
    EXPECT_NEAR (rig.page().getHeight(), 330, 1);   // the stored zoom rounds to a pixel
    expectEverythingInReach();
}

TEST_F (ResizeThreads, TheBanksPageHandsTheFittedPageBack)
{
    main->showBankPanel (true);
    rig.editor->setSize (1000, 500);
    auto& banks = *main->getBankComp();
    auto& ok = banks.getOkButton();
    EXPECT_TRUE (within (main->getComponentAt (centreIn (*main, ok)), ok));
    EXPECT_LE (main->getKeyboardPanel().getY() + EditorRules::keyboardStripHeight, main->getHeight());

    main->showBankPanel (false);
    EXPECT_EQ (rig.page().getHeight(), 480);
    expectEverythingInReach();

    rig.editor->setSize (1000, 800);
    EXPECT_EQ (rig.page().getHeight(), 780);
    rig.editor->setSize (1000, 882);
    EXPECT_EQ (rig.page().getHeight(), 710);
}

TEST_F (ResizeThreads, ThePanelsThatCoverTheWindowKeepTheirButtonsInReachWhenItShrinks)
{
    rig.synth.setAnswer (SimulatedSynth::Answer::drop);   // a receive that waits for ever
    // Opened in a large window, then shrunk as far as the corner allows.
    const struct { const char* what; std::function<void()> open; std::function<juce::Component*()> button; std::function<void()> close; } panels[] = {
        { "write dialog", [&] { main->showWriteDialog (true); },
                          [&] { return (juce::Component*) &main->getWriteDialog()->getCancelButton(); },
                          [&] { main->showWriteDialog (false); } },
        { "write button", [&] { main->showWriteDialog (true); },
                          [&] { return (juce::Component*) &main->getWriteDialog()->getWriteButton(); },
                          [&] { main->showWriteDialog (false); } },
        { "bank selector", [&] { main->showBankPanel (true); },
                           [&] { return (juce::Component*) &main->getBankComp()->getOkButton(); },
                           [&] { main->showBankPanel (false); } },
        { "MIDI setup OK", [&] { main->showMidiSetup (true); },
                           [&] { return (juce::Component*) &main->getMidiSetup()->okButton(); },
                           [&] { main->showMidiSetup (false); } },
        { "MIDI setup GLOBALS", [&] { main->showMidiSetup (true); },
                                [&] { return (juce::Component*) &main->getMidiSetup()->globalsButton(); },
                                [&] { main->showMidiSetup (false); } },
        { "automation toggle", [&] { main->showMidiSetup (true); },
                               [&] { return (juce::Component*) &main->getMidiSetup()->automationToggle(); },
                               [&] { main->showMidiSetup (false); } },
        { "progress overlay", [&] { main->applyBankMidiMenu (200); },
                              [&] { return (juce::Component*) &main->getProgressOverlay()->getCancelButton(); },
                              [&] { main->endTransfer(); } },
    };

    const struct { int w, h; } sizes[] = { { 900, VantorAudioProcessorEditor::minHeight },
                                           { VantorAudioProcessorEditor::minWidth, VantorAudioProcessorEditor::minHeight },
                                           { VantorAudioProcessorEditor::minWidth, 700 } };
    for (const auto& p : panels)
    {
        for (const auto& s : sizes)
        {
            SCOPED_TRACE (juce::String (p.what) + " " + juce::String (s.w) + "x" + juce::String (s.h));
            rig.editor->setSize (1200, 1000);
            p.open();
            rig.editor->setSize (s.w, s.h);
            auto* button = p.button();
            ASSERT_NE (button, nullptr);
            const auto at = centreIn (*main, *button);
            ASSERT_TRUE (main->getLocalBounds().contains (button->getScreenBounds() - main->getScreenPosition()))
                << (button->getScreenBounds() - main->getScreenPosition()).toString();
            EXPECT_TRUE (within (main->getComponentAt (at), *button));
            p.close();
        }
    }
}

// Every button of the bank selector lies whole in the window, on no other and
// under nothing: each corner of it is hit as itself, at every size.
TEST_F (ResizeThreads, EveryBankSelectorButtonIsInReachAtEverySize)
{
    main->showBankPanel (true);
    auto& banks = *main->getBankComp();
    std::vector<juce::Component*> buttons { &banks.getFileButton(), &banks.getMidiButton(),
                                            &banks.getPresetsButton(), &banks.getOkButton() };
    for (int i = 0; i < 8; ++i)
        buttons.push_back (&banks.getBankButton (i));
    for (int k = 0; k < 26; ++k)
        buttons.push_back (&banks.getCategoryButton (k));

    const int minW = VantorAudioProcessorEditor::minWidth, minH = VantorAudioProcessorEditor::minHeight;
    const struct { int w, h; } sizes[] = { { minW, minH }, { minW, 400 }, { minW, 1000 }, { 700, 340 }, { 893, 404 },
                                           { 894, 404 }, { 900, minH }, { 1200, 730 }, { 1600, 1000 }, { 2400, minH } };
    for (const auto& s : sizes)
    {
        rig.editor->setSize (s.w, s.h);
        ASSERT_EQ (main->getWidth(), s.w);
        std::vector<juce::Rectangle<int>> taken;
        for (size_t n = 0; n < buttons.size(); ++n)
        {
            auto* b = buttons[n];
            SCOPED_TRACE (juce::String (s.w) + "x" + juce::String (s.h) + " button " + juce::String ((int) n));
            const auto area = b->getScreenBounds() - main->getScreenPosition();
            ASSERT_TRUE (main->getLocalBounds().contains (area)) << area.toString();
            EXPECT_GE (area.getHeight(), 12);
            for (const auto& other : taken)
                EXPECT_FALSE (area.intersects (other)) << area.toString() << " on " << other.toString();
            taken.push_back (area);

            const auto inner = area.reduced (2);
            for (const auto at : { inner.getTopLeft(), inner.getTopRight(), inner.getBottomLeft(), inner.getBottomRight(), inner.getCentre() })
                EXPECT_TRUE (within (main->getComponentAt (at), *b)) << at.toString();
        }
    }
}

TEST (ProgBarLayout, TheBoxFollowsTheOverlaySize)
{
    ProgBar bar (1200, 1000);
    bar.setProgress (10, "U1:11");
    const struct { int w, h; } sizes[] = { { 454, 298 }, { 1200, 1000 }, { 300, 30 } };
    for (const auto& s : sizes)
    {
        bar.setSize (s.w, s.h);
        auto& cancel = bar.getCancelButton();
        EXPECT_EQ (bar.getTrack().getX(), juce::jmax (0, (s.w - 400) / 2));
        EXPECT_EQ (bar.getTrack().getY(), juce::jmax (0, (s.h - 40) / 2));
        EXPECT_EQ (bar.getFill().getWidth(), 30);   // the progress shown so far stays
        EXPECT_EQ (cancel.getY(), bar.getTrack().getY() + 40);
        if (s.w >= 400 && s.h >= 104)
        {
            EXPECT_TRUE (bar.getLocalBounds().contains (cancel.getBounds()));
        }
    }
}

TEST_F (ResizeThreads, ANarrowWindowNarrowsTheTabsAndKeepsEveryOneInReach)
{
    for (const int w : { 1200, 900, VantorAudioProcessorEditor::minWidth })
    {
        rig.editor->setSize (w, 730);
        auto& bar = rig.page().getAppBar();
        for (int i = 0; i < bar.getNumTabs(); ++i)
        {
            auto& tab = *bar.getTab (i);
            SCOPED_TRACE (juce::String (w) + " wide, tab " + juce::String (i));
            const auto bounds = tab.getScreenBounds() - main->getScreenPosition();
            ASSERT_TRUE (main->getLocalBounds().contains (bounds)) << bounds.toString();
            EXPECT_TRUE (within (main->getComponentAt (bounds.getCentre()), tab));
            EXPECT_LE (tab.getWidth(), AppBar::tabWidth);
        }
    }
}

// The top bar at every width down to the smallest window: each control whole
// inside the window and found as itself by hit-testing, the AB mode group
// (split keyboard and split-point selector) included.
TEST_F (ResizeThreads, EveryTopBarControlIsWholeAndInReachAtEveryWidth)
{
    const struct { int w; bool splitKeys; } widths[] = {
        { VantorAudioProcessorEditor::minWidth, false }, { 800, false }, { 900, true }, { 945, true }, { 1200, true }
    };

    for (const auto& step : widths)
    {
        rig.editor->setSize (step.w, 730);
        auto& page = rig.page();
        auto& bar = page.getAppBar();
        auto& abMode = *page.getAbModePanel();

        std::vector<std::pair<juce::String, juce::Component*>> controls {
            { "menu", &page.getMenuButton() }, { "display", &page.getLcd() },
            { "channel", &bar.getChannelLabel() }, { "split point", abMode.getControl (0) } };
        for (int i = 0; i < bar.getNumFunctionButtons(); ++i)
            controls.push_back ({ bar.getFunctionButton (i)->getName(), bar.getFunctionButton (i) });
        for (int i = 0; i < bar.getNumTabs(); ++i)
            controls.push_back ({ "tab " + juce::String (i), bar.getTab (i) });
        auto* keys = (juce::Component*) abMode.getSmallSplitKeyboard();
        if (step.splitKeys)
            controls.push_back ({ "split keyboard", keys });
        else
            EXPECT_FALSE (shownIn (keys, *main) && ! main->getLocalBounds().contains (keys->getScreenBounds() - main->getScreenPosition()));

        for (auto& [what, c] : controls)
        {
            SCOPED_TRACE (juce::String (step.w) + " wide: " + what);
            ASSERT_NE (c, nullptr);
            ASSERT_TRUE (shownIn (c, *main));
            const auto bounds = c->getScreenBounds() - main->getScreenPosition();
            ASSERT_TRUE (main->getLocalBounds().contains (bounds)) << bounds.toString();
            EXPECT_LE (bounds.getBottom(), EditorRules::barHeight);
            EXPECT_TRUE (within (main->getComponentAt (bounds.getCentre()), *c));

            // Its caption is whole, and still big enough to read.
            if (auto* button = dynamic_cast<StsBut*> (c))
            {
                const auto font = button->captionFont();
                EXPECT_LE (font.getStringWidthFloat (button->getCaption()), (float) button->getWidth() - 3.5f) << button->getCaption();
                EXPECT_GE (font.getHeight(), 9.0f) << button->getCaption();
            }
        }
    }

    // The default width keeps the bar as it always was.
    EXPECT_EQ (rig.page().getAbModePanel()->getBounds(), juce::Rectangle<int> (667, 2, 260, 18));
    EXPECT_EQ (rig.page().getAppBar().getFunctionButton (6)->getBounds(), juce::Rectangle<int> (276, 3, 46, 16));
    EXPECT_EQ (rig.page().getAppBar().getChannelLabel().getBounds(), juce::Rectangle<int> (330, 4, 56, 15));
}

// The write dialog at every size and zoom the editor allows, from the smallest
// page and window up: each bank button, the grid, the name on the display and
// its rename box, WRITE and CANCEL lie whole inside the window, under nothing
// (its corners and centre are hit as itself), and a click there does its work.
TEST_F (ResizeThreads, EveryWriteDialogControlIsInReachAtEverySizeAndZoom)
{
    auto& editor = *rig.editor;
    auto& e = rig.engine();

    const auto expectInReach = [&] (juce::Component& c, const juce::String& what)
    {
        const auto area = editor.getLocalArea (&c, c.getLocalBounds());
        SCOPED_TRACE (what + " at " + area.toString());
        ASSERT_TRUE (editor.getLocalBounds().contains (area));
        EXPECT_GE (area.getHeight(), 12);
        const auto inner = area.reduced (2);
        for (const auto at : { inner.getCentre(), inner.getTopLeft(), inner.getTopRight(), inner.getBottomLeft(), inner.getBottomRight() })
            ASSERT_TRUE (within (editor.getComponentAt (at), c)) << at.toString();
    };
    const auto centreOf = [&] (juce::Component& c) { return editor.getLocalPoint (&c, c.getLocalBounds().getCentre()); };

    const int minW = VantorAudioProcessorEditor::minWidth, minH = VantorAudioProcessorEditor::minHeight;
    // Page heights pulled with the zoom handle: the smallest, a small one, the
    // opening one and the largest the monitor allows.
    const int zooms[] = { EditorRules::minPageHeight, 228, 400, 710, 2000 };
    std::vector<juce::Point<int>> sizes;
    for (const int h : { minH, 320, 350, 376, 390, 400, 410, 418, 450, 500, 560, 730, 900, VantorAudioProcessorEditor::maxHeight })
        for (const int w : { minW, 1200 })
            sizes.push_back ({ w, h });
    for (const auto s : { juce::Point<int> { 660, 376 }, { 700, 400 }, { 800, 560 }, { 2400, 730 }, { 4000, minH } })
        sizes.push_back (s);

    for (const int zoom : zooms)
    {
        auto& corner = rig.page().getZoomCorner();
        corner.changeCode = CorButton::dragging;
        main->zoomHandleChanged (zoom);
        ASSERT_TRUE (rig.pumpUntil ([&] { return editor.getHeight() == main->getHeight(); }));

        for (const auto s : sizes)
        {
            SCOPED_TRACE ("page " + juce::String (zoom) + ", window " + s.toString());
            editor.setSize (s.x, s.y);
            ASSERT_EQ (main->getBounds(), editor.getLocalBounds());
            e.splitProgramIndex (0);
            main->showWriteDialog (true);
            auto* dialog = main->getWriteDialog();
            ASSERT_NE (dialog, nullptr);

            // Each bank button shows its bank (none is the bank shown before it).
            for (const int i : { 1, 0, 3, 2 })
            {
                auto& b = dialog->getBankButton (i);
                expectInReach (b, b.getCaption());
                ui::click (editor, centreOf (b));
                ASSERT_EQ (dialog->getGrid().rowBank (0), i);
            }

            // A row of the grid becomes the target slot.
            auto& grid = dialog->getGrid();
            expectInReach (grid, "grid");
            grid.setTopRow (40);
            ui::click (editor, centreOf (grid));
            EXPECT_EQ (dialog->getLcd().getBank(), 2);
            EXPECT_EQ (dialog->getLcd().getProgram(), grid.rowProgram (grid.getSelectedRow()));
            EXPECT_GE (dialog->getLcd().getProgram(), 40);

            // The name on the display opens the rename box, whose OK names the program.
            auto& lcd = dialog->getLcd();
            const auto name = editor.getLocalPoint (&lcd, juce::Point<int> (94, 32));
            ASSERT_EQ (LCD_Comp::zoneAt (94, 32), (int) LCD_Comp::nameZone);
            ASSERT_TRUE (editor.getLocalBounds().contains (name));
            ASSERT_TRUE (within (editor.getComponentAt (name), lcd)) << name.toString();
            ui::click (editor, name);
            ASSERT_TRUE (rig.pumpUntil ([&] { return dialog->isRenameShown(); }));
            auto& box = *dialog->getRenameBox();
            expectInReach (box.getEditor(), "name box");
            expectInReach (box.getOkButton(), "rename OK");
            box.getEditor().setText ("Reached", false);
            ui::click (editor, centreOf (box.getOkButton()));
            EXPECT_FALSE (dialog->isRenameShown());
            EXPECT_EQ (lcd.getProgramName(), "Reached");

            expectInReach (dialog->getCancelButton(), "CANCEL");
            expectInReach (dialog->getWriteButton(), "WRITE");
            ui::click (editor, centreOf (dialog->getCancelButton()));
            ASSERT_EQ (main->getWriteDialog(), nullptr);

            main->showWriteDialog (true);
            dialog = main->getWriteDialog();
            dialog->getLcd().setBankProgram (3, 17);
            ui::click (editor, centreOf (dialog->getWriteButton()));
            ASSERT_EQ (main->getWriteDialog(), nullptr);
            EXPECT_EQ (e.getCurrentBank(), 3);
            EXPECT_EQ (e.getCurrentProgram(), 17);
        }
    }
}
