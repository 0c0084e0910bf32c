// Two instances with their editors on the desktop: a name begun in the first
// editor's box, then a click into the second. Mouse and keys go through each
// window's peer, as the toolkit delivers what X sends to that window, so focus
// changes and hit-testing are the toolkit's own. The X focus either follows the
// click (the windows are told) or stays on a host's own window (they are not,
// and the toolkit's focus stays wherever it was).
#include <gtest/gtest.h>
#include "controls/RenameCnt.h"
#include "editor/KeyBrd.h"
#include "editor/KeyPlayClass.h"
#include "editor/WriteSnd.h"
#include "support/EditorTestRig.h"
#include "support/QuietXErrors.h"

namespace
{
// A press and release at a point of the window (its own coordinates).
void clickWindow (juce::Component& window, juce::Point<int> at)
{
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);
    const auto now = juce::Time::currentTimeMillis();
    // The pointer comes to the spot first: a press goes where the last move left it.
    int step = 0;
    for (const bool down : { false, true, false })
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(),
                                down ? ui::leftButton : juce::ModifierKeys(), juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation, now + step++);
}

// Each key goes down and comes up again.
void typeInto (juce::Component& window, const juce::String& text)
{
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);
    for (auto c : text)
    {
        peer->handleKeyPress (juce::KeyPress ((int) c, {}, c));
        peer->handleKeyUpOrDown (false);
    }
}

juce::Point<int> centreIn (juce::Component& window, juce::Component& c)
{
    return window.getLocalPoint (&c, c.getLocalBounds().getCentre());
}

struct Editor
{
    EditorTestRig& rig;

    juce::Component& window()   { return *rig.editor; }
    MainComp& main()            { return rig.main(); }

    RenameCnt& openNameBox (const juce::String& text)
    {
        main().showWriteDialog (true);
        auto* dialog = main().getWriteDialog();
        dialog->openRename ("Init Program");
        auto& box = *dialog->getRenameBox();
        box.getEditor().setText (text, false);
        box.getEditor().moveCaretToEnd();
        return box;
    }

    void closeNameBox()   { main().showWriteDialog (false); }
};

struct TwoEditorsThreads : public ::testing::Test
{
    QuietXErrors quiet;
    EditorTestRig firstRig, secondRig;
    Editor first { firstRig }, second { secondRig };

    // Side by side: a window on top takes the clicks where it covers another.
    void SetUp() override
    {
        for (auto* e : { &first, &second })
        {
            e->rig.open().showAbout (false, 0);
            e->window().setBounds (e == &first ? 0 : 1220, 0, 1200, 730);
            e->window().setVisible (true);
            e->window().addToDesktop (0);
        }
    }

    void TearDown() override
    {
        for (auto* e : { &first, &second })
            e->window().removeFromDesktop();
    }
};
}

TEST_F (TwoEditorsThreads, KeysAfterAClickIntoTheSecondEditorAreTheSecondsAlone)
{
    enum class Into { bareSpot, playerStrip, ownBox };
    const struct { const char* what; bool secondHasBox; Into into; } cases[] = {
        { "a bare spot of the top bar",              false, Into::bareSpot },
        { "the keyboard player's strip",             false, Into::playerStrip },
        { "a bare spot, with its own name box open", true,  Into::bareSpot },
        { "its own name box",                        true,  Into::ownBox },
    };

    for (const bool focusFollows : { false, true })
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.what) + (focusFollows ? ", the X focus following" : ", the host keeping the X focus"));
        RenameCnt* secondBox = c.secondHasBox ? &second.openNameBox ("Cd") : nullptr;

        // The name begun in the first editor, its box clicked as a musician does.
        auto& firstBox = first.openNameBox ({});
        clickWindow (first.window(), centreIn (first.window(), firstBox.getEditor()));
        typeInto (first.window(), "Ab");
        ASSERT_EQ (firstBox.getText(), "Ab");

        juce::Point<int> at { 1000, 13 };   // the logo
        if (c.into == Into::playerStrip)
            at = centreIn (second.window(), second.main().getKeyboardPanel().player());
        else if (c.into == Into::ownBox)
            at = centreIn (second.window(), secondBox->getEditor());
        ASSERT_TRUE (second.window().getLocalBounds().contains (at));
        if (focusFollows)
        {
            first.window().getPeer()->handleFocusLoss();
            second.window().getPeer()->handleFocusGain();
        }
        clickWindow (second.window(), at);

        firstRig.synth.clearReceived();
        secondRig.synth.clearReceived();
        typeInto (second.window(), "cv");

        if (secondBox != nullptr)
        {
            // Typed at the caret, or over the text a click into the box selected.
            EXPECT_TRUE (secondBox->getText() == "Cdcv" || secondBox->getText() == "cv") << secondBox->getText();
            ASSERT_TRUE (secondRig.settle());
            EXPECT_EQ (secondRig.synth.numNotesReceived(), 0);
        }
        else
        {
            // c and v, each started and stopped.
            EXPECT_TRUE (secondRig.pumpUntil ([&] { return secondRig.synth.numNotesReceived() >= 4; }));
            EXPECT_EQ (secondRig.synth.numNotesReceived(), 4);
        }

        EXPECT_EQ (firstBox.getText(), "Ab");
        ASSERT_TRUE (firstRig.settle());
        EXPECT_EQ (firstRig.synth.numNotesReceived(), 0);

        first.closeNameBox();
        second.closeNameBox();
    }
}
