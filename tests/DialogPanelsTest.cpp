#include <gtest/gtest.h>
#include "controls/ProgBar.h"
#include "controls/RenameCnt.h"
#include "controls/TextInputCont.h"
#include "engine/ParDes.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

namespace
{
// Keeps the answers in the order the listeners heard them.
struct Answers : public textmsgListener
{
    Answers (std::vector<juce::String>& l, juce::String n) : log (l), name (std::move (n)) {}

    void okPressed (int c, int v) override       { log.push_back (name + " ok " + juce::String (c) + " " + juce::String (v)); }
    void noPressed (int c, int v) override       { log.push_back (name + " no " + juce::String (c) + " " + juce::String (v)); }
    void cancelPressed (int c, int v) override   { log.push_back (name + " cancel " + juce::String (c) + " " + juce::String (v)); }

    std::vector<juce::String>& log;
    juce::String name;
};

juce::Point<int> centreOf (juce::Component& c)   { return c.getBounds().getCentre(); }
}

//==============================================================================
TEST (TextInputCont, ShowsOnlyTheAnswersItIsGivenSideBySide)
{
    // One box set up again and again: nothing of an earlier setup may stay.
    struct Case { const char* cancel; const char* no; int category; };
    TextInputCont box;
    box.setSize (600, 200);
    for (const auto& c : { Case { "Cancel", "NO", 3 }, Case { "Cancel", "", -1 }, Case { "", "", 3 }, Case { "Cancel", "NO", -1 } })
    {
        box.setup ("Title", "text", c.cancel, "OK", c.no, c.category, 7, 9);
        const auto where = juce::String (c.cancel) + "/" + c.no + "/" + juce::String (c.category);
        juce::RectangleList<int> taken;
        for (auto [id, text] : { std::pair { (int) TextInputCont::okId, "OK" }, { (int) TextInputCont::noId, c.no }, { (int) TextInputCont::cancelId, c.cancel } })
        {
            auto& b = box.getButton (id);
            EXPECT_EQ (b.isVisible(), *text != 0) << where << " " << id;
            EXPECT_FALSE (b.isVisible() && taken.intersectsRectangle (b.getBounds())) << where << " " << id;
            taken.add (b.isVisible() ? b.getBounds() : juce::Rectangle<int>());
        }

        EXPECT_EQ (box.isCategoryShown(), c.category >= 0) << where;
        EXPECT_EQ (box.getCategoryText(), c.category >= 0 ? ParDes::categoryName (3).toUpperCase() : juce::String()) << where;
    }
}

TEST (TextInputCont, AnswersCarryTheLastSetupToEveryListenerLastFirst)
{
    std::vector<juce::String> log;
    Answers first (log, "first"), second (log, "second");
    TextInputCont box;
    box.addListener (&first);
    box.addListener (&second);
    box.addListener (&first);   // once only
    box.setup ("A", "", "Cancel", "OK", "NO", -1, 1, 2);
    box.setup ("B", "", "Cancel", "OK", "NO", -1, 42, 5);

    for (int id : { (int) TextInputCont::noId, (int) TextInputCont::okId, (int) TextInputCont::cancelId })
        ui::click (shown (box), centreOf (box.getButton (id)));

    EXPECT_EQ (log, (std::vector<juce::String> { "second no 42 5", "first no 42 5", "second ok 42 5", "first ok 42 5",
                                                 "second cancel 42 5", "first cancel 42 5" }));
}

TEST (TextInputCont, CategoryMenuSetsTheCategoryAndDismissalKeepsIt)
{
    ui::MenuRecorder menus;
    TextInputCont box;
    box.setup ("Save", "name", "Cancel", "OK", "", 3, 0, 0);

    ui::click (shown (box), { 300, 110 });
    ASSERT_TRUE (menus.menuPending());
    EXPECT_EQ (menus.itemIds().size(), 26u);
    EXPECT_EQ (menus.itemTexts()[25], ParDes::categoryName (25));
    menus.choose (0);
    EXPECT_EQ (box.getCategory(), 3);

    ui::click (box, { 300, 110 });
    menus.choose (11);
    EXPECT_EQ (box.getCategory(), 10);
    EXPECT_EQ (box.getCategoryText(), ParDes::categoryName (10).toUpperCase());

    // The page deletes the box while its menu is still open.
    auto doomed = std::make_unique<TextInputCont>();
    doomed->setup ("Save", "name", "Cancel", "OK", "", 3, 0, 0);
    ui::click (shown (*doomed), { 300, 110 });
    doomed.reset();
    if (menus.menuPending())
        menus.choose (5);
}

//==============================================================================
// Owners delete these panels from inside their own answers' callbacks; the
// sanitizer build proves nothing touches them afterwards. Panels that only hold
// a button go the way the button's own deletion test proves.
TEST (DialogDeletion, OwnersDeletePanelsFromTheirButtonsCallbacks)
{
    struct Owner : public textmsgListener
    {
        std::unique_ptr<TextInputCont> box;
        int answers = 0;

        void okPressed (int, int) override       { ++answers; box.reset(); }
        void noPressed (int, int) override       { ++answers; box.reset(); }
        void cancelPressed (int, int) override   { ++answers; box.reset(); }
    };

    for (int id : { (int) TextInputCont::okId, (int) TextInputCont::noId, (int) TextInputCont::cancelId })
    {
        Owner owner, bystander;
        owner.box = std::make_unique<TextInputCont>();
        owner.box->addListener (&bystander);   // told after the owner: must not be reached
        owner.box->addListener (&owner);
        owner.box->setup ("Delete?", "", "Cancel", "OK", "NO", -1, 0, 0);
        ui::click (shown (*owner.box), centreOf (owner.box->getButton (id)));
        EXPECT_EQ (owner.box, nullptr);
        EXPECT_EQ (owner.answers, 1);
        EXPECT_EQ (bystander.answers, 0);
    }
}

//==============================================================================
TEST (ProgBar, ProgressIsHeldWithinItsRange)
{
    const std::pair<int, int> cases[] = { { 0, 0 }, { 50, 150 }, { 127, 381 }, { 200, 381 }, { -4, 0 } };

    ProgBar bar (800, 600);
    for (auto [progress, fillWidth] : cases)
    {
        bar.setProgress (progress, "Bank 1: " + juce::String (progress));
        EXPECT_EQ (bar.getFill().getBounds(), bar.getTrack().getBounds().withWidth (fillWidth)) << progress;
    }
}

TEST (RenameCnt, RefusesTheSeventeenthCharacter)
{
    RenameCnt rename (10, 20, "Sixteen chars ok");
    ASSERT_EQ (rename.getText().length(), 16);

    auto& editor = rename.getEditor();
    editor.moveCaretToEnd();
    editor.insertTextAtCaret ("X");
    EXPECT_EQ (rename.getText(), "Sixteen chars ok");

    editor.setText ("", false);
    editor.insertTextAtCaret ("A pasted name too long for the slot");
    EXPECT_EQ (rename.getText(), "A pasted name to");

    RenameCnt longName (0, 0, "Seventeen chars!!");
    EXPECT_EQ (longName.getText(), "Seventeen chars!");
}
