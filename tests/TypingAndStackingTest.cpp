// Text entries own the computer keyboard while they show, and the editor's
// panels keep one stacking order through resizes, keyboard drags and zooms:
// what shows on top is what a click (real hit-testing) reaches.
#include <gtest/gtest.h>
#include <functional>
#include "controls/CorButton.h"
#include "controls/KitFonts.h"
#include "controls/TextInputCont.h"
#include "librarian/Lib_Manager_Comp.h"
#include "librarian/Plugin_Bank.h"
#include "librarian/TextSetCurCont.h"
#include "controls/LCD_Comp.h"
#include "controls/ProgBar.h"
#include "controls/RenameCnt.h"
#include "controls/StsGrid.h"
#include "controls/StsLabel.h"
#include "controls/TextEntry.h"
#include "editor/BankComp.h"
#include "editor/Global_Container.h"
#include "editor/WriteSnd.h"
#include "support/ChangeRecorder.h"
#include "support/EditorTestRig.h"
#include "support/QuietXErrors.h"

namespace
{
bool within (juce::Component* hit, juce::Component& expected)
{
    return hit != nullptr && (hit == &expected || expected.isParentOf (hit));
}

enum class Route { box, player, unfocused };

// A key as the toolkit delivers what reaches a window while nothing in it has
// the focus (a host kept the X focus).
void atRoot (juce::Component& window, const juce::KeyPress& k)
{
    if (! window.isOnDesktop())
        window.addToDesktop (0);
    juce::Component::unfocusAllComponents();
    window.getPeer()->handleKeyPress (k);
}

// Windows on a display without a window manager: quiet until they are gone.
struct Quiet
{
    QuietXErrors quiet;
};

struct EditorWindow : public Quiet, public OpenEditorTest
{
    RenameCnt& openRenameBox()
    {
        main->showWriteDialog (true);
        auto* dialog = main->getWriteDialog();
        dialog->openRename ("Init Program");
        return *dialog->getRenameBox();
    }

    void key (Route route, const juce::KeyPress& k)
    {
        switch (route)
        {
            // The toolkit's focus went to the box.
            case Route::box:
                if (auto* entry = TextEntry::current (*main))
                    entry->keyPressed (k);
                break;
            // The focus stayed with the keyboard's player (the host kept the X focus).
            case Route::player:
                main->getKeyboardPanel().player().keyPressed (k);
                break;
            // Nothing has the focus: the key reaches the window's root.
            case Route::unfocused:
                atRoot (*rig.editor, k);
                break;
        }
    }

    void type (Route route, const juce::String& text)
    {
        for (auto c : text)
            key (route, juce::KeyPress ((int) c, {}, c));
    }
};

struct TypingThreads : public EditorWindow {};
struct PanelStackThreads : public EditorWindow {};

const juce::KeyPress backspace (juce::KeyPress::backspaceKey), del (juce::KeyPress::deleteKey),
    left (juce::KeyPress::leftKey), home (juce::KeyPress::homeKey), end (juce::KeyPress::endKey),
    selectAll ('a', juce::ModifierKeys::ctrlModifier, 0), returnKey (juce::KeyPress::returnKey),
    escape (juce::KeyPress::escapeKey);
}

//==============================================================================
TEST_F (TypingThreads, EveryKeyReachesTheBoxWhereverTheFocusIsAndNoNotePlays)
{
    for (const auto route : { Route::box, Route::player, Route::unfocused })
    {
        auto& box = openRenameBox();
        ASSERT_EQ (TextEntry::current (*main), &box.getEditor());
        EXPECT_EQ (box.getText(), "Init Program");   // shown at once, not after a click
        rig.synth.clearReceived();

        struct Step { std::function<void()> act; const char* expected; };
        const Step steps[] =
        {
            { [&] { key (route, selectAll); type (route, "Xy"); }, "Xy" },
            { [&] { type (route, "zsxop"); },                      "Xyzsxop" },   // note and octave keys are letters here
            { [&] { key (route, backspace); },                     "Xyzsxo" },
            { [&] { key (route, home); key (route, del); },        "yzsxo" },
            { [&] { key (route, end); key (route, left); type (route, "1"); }, "yzsx1o" },
            { [&] { key (route, selectAll); key (route, backspace); type (route, "Xy"); }, "Xy" },
        };
        for (size_t i = 0; i < std::size (steps); ++i)
        {
            steps[i].act();
            EXPECT_EQ (box.getText(), juce::String (steps[i].expected)) << (int) route << " step " << i;
        }

        ASSERT_TRUE (rig.settle());
        EXPECT_EQ (rig.synth.numNotesReceived(), 0) << (int) route;

        // Return is OK: the name reaches the dialog and the box closes.
        key (route, returnKey);
        auto* dialog = main->getWriteDialog();
        ASSERT_TRUE (rig.pumpUntil ([&] { return ! dialog->isRenameShown(); })) << (int) route;
        EXPECT_EQ (dialog->getLcd().getProgramName(), "Xy");
        main->showWriteDialog (false);
    }
}

TEST_F (TypingThreads, EscapeCancelsAndThePlayerPlaysAgainOnceNoBoxHasTheKeys)
{
    main->showWriteDialog (true);
    const auto shownName = main->getWriteDialog()->getLcd().getProgramName();
    auto& box = openRenameBox();
    type (Route::player, "abc");
    key (Route::player, escape);
    auto* dialog = main->getWriteDialog();
    ASSERT_TRUE (rig.pumpUntil ([&] { return ! dialog->isRenameShown(); }));
    EXPECT_EQ (dialog->getLcd().getProgramName(), shownName);
    juce::ignoreUnused (box);

    EXPECT_EQ (TextEntry::current (*main), nullptr);
    rig.synth.clearReceived();
    key (Route::player, juce::KeyPress ('z', {}, 'z'));
    EXPECT_TRUE (rig.synth.waitForReceived (1));
    EXPECT_EQ (rig.synth.numNotesReceived(), 1);

    // A click on the player's strip takes the keys back from an open box.
    dialog->openRename ("Init");
    ASSERT_NE (TextEntry::current (*main), nullptr);
    auto& player = main->getKeyboardPanel().player();
    ui::click (*main, player.getScreenBounds().getCentre() - main->getScreenPosition());
    EXPECT_EQ (TextEntry::current (*main), nullptr);
}

// Two instances, both editors open: a box open in the first takes nothing that
// reaches the second's window, whether there the player has the focus or
// nothing has; the second plays it. What reaches the first's window, with
// nothing focused there, still goes into its box.
TEST_F (TypingThreads, EachEditorKeepsItsOwnKeys)
{
    EditorTestRig second;
    auto& other = second.open();
    other.showAbout (false, 0);
    second.editor->setSize (1200, 730);
    second.editor->setVisible (true);
    second.editor->addToDesktop (0);
    rig.editor->addToDesktop (0);

    auto& box = openRenameBox();
    ASSERT_EQ (TextEntry::current (*main), &box.getEditor());
    EXPECT_EQ (TextEntry::current (other), nullptr);
    box.getEditor().setText ("Ab", false);
    box.getEditor().moveCaretToEnd();
    rig.synth.clearReceived();
    second.synth.clearReceived();

    // Each key goes down and up: a note-on, then its note-off.
    auto& player = other.getKeyboardPanel().player();
    const struct { const char* how; std::function<void (const juce::KeyPress&)> send; } ways[] = {
        { "at its root", [&] (const juce::KeyPress& k)
          {
              atRoot (*second.editor, k);
              second.editor->getPeer()->handleKeyUpOrDown (false);
          } },
        { "to its focused player", [&] (const juce::KeyPress& k)
          {
              player.keyPressed (k);
              player.keyStateChanged (false);
          } },
    };
    int played = 0;
    for (const auto& way : ways)
    {
        for (auto c : juce::String ("cv"))
            way.send (juce::KeyPress ((int) c, {}, c));
        played += 4;
        EXPECT_TRUE (second.synth.waitForReceived (played)) << way.how;
        EXPECT_EQ (second.synth.numNotesReceived(), played) << way.how;
        EXPECT_EQ (box.getText(), "Ab") << way.how;
    }

    type (Route::unfocused, "Xy");
    EXPECT_EQ (box.getText(), "AbXy");
    ASSERT_TRUE (rig.settle());
    EXPECT_EQ (rig.synth.numNotesReceived(), 0);
    second.editor->removeFromDesktop();
}

// The library window's name box hides with its answer (OK): a Return that
// reaches the window later answers nothing again, and the window's player has
// the keys back.
TEST_F (TypingThreads, ABoxHiddenWithItsAnswerTakesNoKeys)
{
    main->openLibraryWindow();
    auto* library = main->getLibraryWindow();
    ASSERT_NE (library, nullptr);
    auto* bank = library->getContent().getPresetBankPage();
    ASSERT_NE (bank, nullptr);
    bank->showSetCurrent();
    auto* nameBox = bank->getNameBox();
    ASSERT_NE (nameBox, nullptr);
    ASSERT_EQ (TextEntry::current (*library), &nameBox->getEditor());
    EXPECT_EQ (TextEntry::current (*main), &nameBox->getEditor());   // one editor, one keyboard

    nameBox->getEditor().setText ({}, false);
    for (auto c : juce::String ("Xy"))
        atRoot (*library, juce::KeyPress ((int) c, {}, c));
    nameBox->getButton (TextSetCurCont::okId).click();
    ASSERT_TRUE (rig.pumpUntil ([&] { return ! nameBox->isVisible(); }));
    EXPECT_EQ (rig.processor->getProgramName (0), "Xy");
    EXPECT_EQ (TextEntry::current (*library), nullptr);

    rig.processor->setCurrentProgram (5);
    rig.synth.clearReceived();
    atRoot (*library, returnKey);
    atRoot (*library, juce::KeyPress ('z', {}, 'z'));
    EXPECT_TRUE (rig.synth.waitForReceived (1));
    EXPECT_EQ (rig.synth.numNotesReceived(), 1);
    EXPECT_EQ (rig.processor->getCurrentProgram(), 5);
    atRoot (*library, juce::KeyPress (' ', {}, ' '));
}

TEST_F (TypingThreads, TextSitsInTheMiddleOfItsBoxWithItsDescendersWhole)
{
    auto& box = openRenameBox();
    auto& editor = box.getEditor();

    // A moved caret makes a one-line entry scroll its line to the middle on its
    // own: in a host the first key or click did, and cut the tail of the y.
    const struct { const char* what; std::function<void()> act; } states[] = {
        { "as opened",     [&] { editor.setText ("Xy", false); } },
        { "after End",     [&] { editor.keyPressed (juce::KeyPress (juce::KeyPress::endKey)); } },
        { "after typing",  [&] { editor.setText ("X", false); editor.moveCaretToEnd(); editor.insertTextAtCaret ("y"); } },
        { "after Home",    [&] { editor.keyPressed (juce::KeyPress (juce::KeyPress::homeKey)); } },
        { "after resize",  [&] { editor.setSize (editor.getWidth(), editor.getHeight() + 6); } },
        { "smaller again", [&] { editor.setSize (editor.getWidth(), editor.getHeight() - 6); editor.moveCaretToEnd(); } },
    };

    for (const auto& state : states)
    {
        state.act();
        ASSERT_EQ (editor.getText(), "Xy") << state.what;
        editor.setCaretVisible (false);
        editor.setHighlightedRegion ({});

        // Rows of the box (inside its frame) that hold ink, over the two letters only.
        const auto image = ui::snapshot (editor);
        const int textWidth = juce::roundToInt (editor.getFont().getStringWidthFloat ("Xy"));
        int first = -1, last = -1;
        for (int y = 1; y < image.getHeight() - 1; ++y)
            for (int x = 2; x < juce::jmin (image.getWidth() - 2, 4 + textWidth); ++x)
                if (image.getPixelAt (x, y).getBrightness() < 0.5f)
                {
                    if (first < 0)
                        first = y;
                    last = y;
                    break;
                }

        ASSERT_GE (first, 0) << state.what;
        const int above = first - 1, below = image.getHeight() - 2 - last;
        EXPECT_GE (below, 1) << state.what << ": the tail of the y touches the frame";
        EXPECT_LE (std::abs (above - below), 3) << state.what << ": " << above << " px above, " << below << " below";

        // The tail is drawn whole, not cut where the text's own area ends: the y
        // reaches as low as a y drawn freely with the same font.
        juce::Image free (juce::Image::ARGB, 60, 60, true);
        {
            juce::Graphics g (free);
            g.setColour (juce::Colours::black);
            g.setFont (editor.getFont());
            g.drawSingleLineText ("Xy", 4, 30);
        }
        int freeFirst = -1, freeLast = -1;
        for (int y = 0; y < free.getHeight(); ++y)
            for (int x = 0; x < free.getWidth(); ++x)
                if (free.getPixelAt (x, y).getAlpha() > 128)
                {
                    if (freeFirst < 0)
                        freeFirst = y;
                    freeLast = y;
                    break;
                }
        EXPECT_LE (std::abs ((last - first) - (freeLast - freeFirst)), 1) << state.what << ": the letters are cut";
        editor.setCaretVisible (true);
    }
}

//==============================================================================
namespace
{
// The ways a musician changes the layout under an open panel.
enum class Disturb { resize, dragKeyboardUp, zoom };

void disturb (EditorTestRig& rig, MainComp& main, Disturb how)
{
    auto& keyboard = main.getKeyboardPanel();
    switch (how)
    {
        case Disturb::resize:
            rig.editor->setSize (1100, 900);
            break;
        case Disturb::dragKeyboardUp:
        {
            const juce::Point<int> strip { 100, keyboard.getY() + 5 };
            ui::drag (main, strip, { 100, 120 }, 6);
            break;
        }
        case Disturb::zoom:
        {
            auto& corner = rig.page().getZoomCorner();
            corner.changeCode = 321;
            main.zoomHandleChanged (300);
            break;
        }
    }
}
}

TEST_F (PanelStackThreads, WhatCoversWhatSurvivesEveryLayout)
{
    for (const auto how : { Disturb::resize, Disturb::dragKeyboardUp, Disturb::zoom })
    {
        SCOPED_TRACE ((int) how);
        rig.editor->setSize (1200, 730);
        main->getKeyboardPanel().setZoom (1.0f, rig.page().getBottom(), 1200, 172);

        // The write dialog: its buttons stay clear of the keyboard panel at its place.
        main->showWriteDialog (true);
        disturb (rig, *main, how);
        auto& cancel = main->getWriteDialog()->getCancelButton();
        const auto cancelAt = cancel.getScreenBounds().getCentre() - main->getScreenPosition();
        EXPECT_TRUE (within (main->getComponentAt (cancelAt), cancel));
        // Dragged over the dialog, the panel lies on top of it and takes the click there.
        if (how == Disturb::dragKeyboardUp)
        {
            auto& keyboard = main->getKeyboardPanel();
            EXPECT_TRUE (within (main->getComponentAt (keyboard.getBounds().getCentre()), keyboard));
        }
        main->showWriteDialog (false);

        // The MIDI setup and its global page: over the keyboard, wherever it is.
        main->getKeyboardPanel().setTopLeftPosition (0, 100);
        main->showMidiSetup (true);
        disturb (rig, *main, how);
        auto* setup = main->getMidiSetup();
        ASSERT_NE (setup, nullptr);
        EXPECT_EQ (setup->getBounds(), main->getLocalBounds());
        EXPECT_TRUE (within (main->getComponentAt (juce::Point<int> { 100, 90 }), *setup));   // "MIDI In Port"
        setup->toggleGlobalPage();
        auto* page = setup->getGlobalPage();
        ASSERT_NE (page, nullptr);
        const auto inPage = page->getScreenBounds().getCentre() - main->getScreenPosition();
        EXPECT_TRUE (within (main->getComponentAt (inPage), *page));
        main->showMidiSetup (false);
    }
}

TEST_F (PanelStackThreads, TheProgressOverlayTakesEveryClickDuringAReceive)
{
    rig.synth.setAnswer (SimulatedSynth::Answer::drop);   // the receive waits for ever
    for (const auto how : { Disturb::resize, Disturb::dragKeyboardUp, Disturb::zoom })
    {
        SCOPED_TRACE ((int) how);
        rig.editor->setSize (1200, 730);
        main->applyBankMidiMenu (200);
        ASSERT_NE (main->getProgressOverlay(), nullptr);
        disturb (rig, *main, how);
        auto& keyboard = main->getKeyboardPanel();
        const juce::Point<int> strip { 100, keyboard.getY() + 5 };
        EXPECT_TRUE (within (main->getComponentAt (strip), *main->getProgressOverlay()));
        ui::click (*main, strip);
        ASSERT_TRUE (rig.settle());
        EXPECT_NE (main->getProgressOverlay(), nullptr);   // the receive goes on
        main->endTransfer();
    }
}

TEST_F (PanelStackThreads, AStripClickWithBanksOpenLeavesTheBankSelectorClear)
{
    main->showBankPanel (true);
    auto& banks = *main->getBankComp();
    auto& keyboard = main->getKeyboardPanel();
    const int anchor = banks.getBottom();
    EXPECT_EQ (keyboard.getY(), anchor);

    // The panel's own broadcast reaches the main component in the same delivery.
    ChangeRecorder dragEnded (keyboard);
    const auto strip = keyboard.player().getBoundsInParent().getCentre() + keyboard.getPosition();
    ui::click (*main, strip);
    ASSERT_TRUE (rig.pumpUntil ([&] { return ! dragEnded.seen.empty(); }));
    EXPECT_EQ (keyboard.getY(), anchor);
    const auto grid = banks.getGrid().getScreenBounds().getCentre() - main->getScreenPosition();
    EXPECT_TRUE (within (main->getComponentAt (grid), banks));
}

//==============================================================================
TEST_F (PanelStackThreads, MidiSetupReadsTheStatusAtOnceAndItsPageFitsTheSmallestEditor)
{
    main->showMidiSetup (true);
    auto* setup = main->getMidiSetup();
    ASSERT_NE (setup, nullptr);
    EXPECT_TRUE (rig.pumpUntil ([&] { return setup->statusLabel().getText() != "------"; }));

    // The lowest page (200 px) in the narrowest window the corner allows.
    auto& corner = rig.page().getZoomCorner();
    corner.changeCode = 321;
    main->zoomHandleChanged (200);
    // The window follows the handle (a taller one would give the page its room).
    ASSERT_TRUE (rig.pumpUntil ([&] { return rig.editor->getHeight() == main->getHeight(); }));
    rig.editor->setSize (454, rig.editor->getHeight());
    ASSERT_EQ (rig.page().getHeight(), 200);
    EXPECT_EQ (setup->getBounds(), main->getLocalBounds());

    const auto globals = setup->globalsButton().getBoundsInParent().getCentre();
    ASSERT_TRUE (main->getLocalBounds().contains (globals));
    ui::click (*main, globals);
    auto* page = setup->getGlobalPage();
    ASSERT_NE (page, nullptr);

    // What of the page shows lies inside the window, and its far corner scrolls into view.
    auto* view = page->findParentComponentOfClass<juce::Viewport>();
    ASSERT_NE (view, nullptr);
    EXPECT_TRUE (setup->getLocalBounds().contains (view->getBoundsInParent()));
    view->setViewPosition (page->getWidth(), 0);
    const auto close = page->getScreenPosition().translated (page->getWidth() - 18, 16) - main->getScreenPosition();
    ASSERT_TRUE (main->getLocalBounds().contains (close));
    EXPECT_TRUE (within (main->getComponentAt (close), *page));
    ui::click (*main, close);
    EXPECT_TRUE (rig.pumpUntil ([&] { return setup->getGlobalPage() == nullptr; }));
}

// Every name box draws with the embedded face: a font looked up by name can
// come back empty inside a host (no ascent), and its line then sits low with
// the tails of y, g, p and q cut off.
TEST_F (TypingThreads, EveryNameBoxUsesTheEmbeddedFace)
{
    // Without the editor's default look (a box outliving it, a host's look).
    auto& before = juce::LookAndFeel::getDefaultLookAndFeel();
    juce::LookAndFeel_V4 hostLook;
    juce::LookAndFeel::setDefaultLookAndFeel (&hostLook);
    juce::Typeface::clearTypefaceCache();

    RenameCnt rename (0, 0, "Xy");
    TextInputCont input;
    TextSetCurCont libraryName (*rig.processor);
    const struct { const char* what; juce::TextEditor& editor; } boxes[] = {
        { "rename box", rename.getEditor() },
        { "name entry", input.getEditor() },
        { "library name box", libraryName.getEditor() },
    };

    for (const auto& box : boxes)
    {
        const auto font = box.editor.getFont();
        EXPECT_EQ (font.getTypefacePtr().get(), kitTypeface (false).get()) << box.what;
        EXPECT_LT (font.getAscent(), font.getHeight()) << box.what;
    }

    juce::LookAndFeel::setDefaultLookAndFeel (&before);
    juce::Typeface::clearTypefaceCache();
}

// A host's default look is not ours: the open editor itself makes "Arial" the
// embedded face, and gives the host's default back when it closes.
TEST (OpenEditorFontThreads, ArialIsTheEmbeddedFaceWhileTheEditorIsOpen)
{
    auto& before = juce::LookAndFeel::getDefaultLookAndFeel();
    const auto arial = [] { return juce::Font ("Arial", 14.0f, juce::Font::plain).getTypefacePtr(); };

    juce::LookAndFeel_V4 hostLook;
    juce::LookAndFeel::setDefaultLookAndFeel (&hostLook);
    juce::Typeface::clearTypefaceCache();
    ASSERT_NE (arial(), kitTypeface (false));

    {
        EditorTestRig rig;
        rig.open();
        EXPECT_EQ (arial(), kitTypeface (false));
    }

    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &hostLook);
    juce::LookAndFeel::setDefaultLookAndFeel (&before);
    juce::Typeface::clearTypefaceCache();
}
