#include <gtest/gtest.h>

#include "editor/AskPanel.h"
#include "editor/BankComp.h"
#include "editor/WriteSnd.h"
#include "controls/SwitchLED.h"
#include "engine/ParDes.h"
#include "support/EditorTestRig.h"

namespace
{
juce::Point<int> centreIn (juce::Component& root, juce::Component& c)
{
    return root.getLocalPoint (&c, c.getLocalBounds().getCentre());
}
}

TEST (BankDialogsThreads, BankSelectorButtonsReachTheEngine)
{
    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    ui::MenuRecorder recorder;

    main.showAbout (false, 0);
    e.splitProgramIndex (12);
    main.handleCommand (99);
    ASSERT_TRUE (main.isBankPanelShown());
    auto& banks = *main.getBankComp();
    EXPECT_EQ (banks.getGrid().getSelectedRow(), 12);

    // Third "BANK F": device bank 6, same program.
    ui::click (main, centreIn (main, banks.getBankButton (6)));
    ASSERT_TRUE (rig.pumpUntil ([&] { return e.getCurrentBank() == 6; }));
    EXPECT_EQ (e.getCurrentProgram(), 12);
    EXPECT_EQ (banks.getGrid().rowBank (0), 6);

    // The switch sets the engine's flag; a grid click then loads the stored program.
    ui::click (main, centreIn (main, banks.getLoadedDataSwitch()).withX (banks.getLoadedDataSwitch().getScreenX() - main.getScreenX() + 5));
    ASSERT_TRUE (rig.pumpUntil ([&] { return e.getUseLoadedData(); }));

    // PRESETS shows its menu only while the grid shows a bank.
    ui::click (main, centreIn (main, banks.getPresetsButton()));
    ASSERT_TRUE (rig.pumpUntil ([&] { return recorder.menusShown == 1; }));
    recorder.choose (0);
    ui::click (main, centreIn (main, banks.getCategoryButton (0)));
    EXPECT_EQ (banks.getGridMode(), StsGrid::categoryMode);
    ui::click (main, centreIn (main, banks.getPresetsButton()));
    ASSERT_TRUE (ui::drain());
    EXPECT_EQ (recorder.menusShown, 1);

    ui::click (main, centreIn (main, banks.getOkButton()));
    EXPECT_FALSE (main.isBankPanelShown());
}

TEST (BankDialogsThreads, WriteDialogKeepsToUserSlotsAndNames)
{
    EditorTestRig rig;
    auto& e = rig.engine();

    struct Case { int bank, program; const char* name; int lcdBank; const char* kept; };
    for (auto c : { Case { 5, 20, "Twenty characters!!!", 0, "Twenty character" },
                    Case { 2, 98, "Pad", 2, "Pad             " } })
    {
        WriteSnd dialog (e, c.bank, c.program, c.name, 4);
        dialog.layout (0, 54, 1000, 600);
        EXPECT_EQ (dialog.getLcd().getBank(), c.lcdBank);
        EXPECT_EQ (dialog.getLcd().getProgram(), c.program);
        EXPECT_EQ (dialog.getName(), c.kept);
        EXPECT_EQ (dialog.getGrid().rowBank (0), c.lcdBank);
    }

    WriteSnd dialog (e, 0, 0, "Old", 0);
    dialog.layout (0, 54, 1000, 600);
    dialog.openRename ("First");
    auto* box = dialog.getRenameBox();
    dialog.openRename ("Second");
    EXPECT_EQ (dialog.getRenameBox(), box);
    box->getEditor().setText ("Renamed");
    dialog.stsbutChanged (&box->getOkButton());
    EXPECT_FALSE (dialog.isRenameShown());
    EXPECT_EQ (dialog.getLcd().getProgramName(), "Renamed");
}

// Below the sizes a window gives it, the dialog still keeps each control
// whole inside itself and off the others: it is drawn smaller as a whole.
TEST (BankDialogsThreads, ASmallWriteDialogKeepsEveryControlWholeAndApart)
{
    EditorTestRig rig;
    WriteSnd dialog (rig.engine(), 0, 0, "Small", 0);
    dialog.openRename ("Small");

    const struct { int w, h; float scale; } sizes[] = { { 653, 146, 1.0f }, { 566, 128, 1.0f }, { 400, 128, 400.0f / 566.0f },
                                                         { 653, 64, 0.5f }, { 200, 40, 40.0f / 128.0f } };
    for (const auto& s : sizes)
    {
        SCOPED_TRACE (juce::String (s.w) + "x" + juce::String (s.h));
        dialog.layout (0, 54, s.w, s.h);
        EXPECT_FLOAT_EQ (dialog.getScale(), s.scale);
        std::vector<juce::Component*> controls { &dialog.getGrid(), &dialog.getLcd(), &dialog.getCancelButton(), &dialog.getWriteButton() };
        for (int i = 0; i < 4; ++i)
            controls.push_back (&dialog.getBankButton (i));

        std::vector<juce::Rectangle<int>> taken;
        for (auto* c : controls)
        {
            const auto area = dialog.getLocalArea (c, c->getLocalBounds());
            EXPECT_TRUE (dialog.getLocalBounds().contains (area)) << area.toString();
            EXPECT_GT (area.getHeight(), 0);
            for (const auto& other : taken)
                EXPECT_FALSE (area.intersects (other)) << area.toString() << " on " << other.toString();
            taken.push_back (area);
        }
        // The rename box follows the display it opened over.
        auto* box = dialog.getRenameBox();
        EXPECT_EQ (dialog.getLocalArea (box, box->getLocalBounds()).getTopLeft(),
                   dialog.getLocalPoint (&dialog.getLcd(), juce::Point<int> (72, 10)));
    }
}

TEST (BankDialogsThreads, WriteStoresNameAndCategoryAndSendsOneDump)
{
    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    ui::MenuRecorder recorder;

    ASSERT_TRUE (rig.pumpUntil ([&] { return e.haveGlobals(); }));
    ASSERT_TRUE (rig.settle());
    e.selectProgram (4 * 99 + 7, false, false);   // a factory program is current
    main.handleCommand (969);
    auto* dialog = main.getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (dialog->getLcd().getBank(), 0);

    dialog->getLcd().setBankProgram (3, 44);
    dialog->setName ("My Lead");
    main.applyCategoryMenu (10, 89, -1, -1);
    ASSERT_TRUE (rig.synth.waitUntilIdle());
    rig.synth.clearReceived();

    main.stsbutChanged (&dialog->getWriteButton());
    EXPECT_EQ (main.getWriteDialog(), nullptr);
    EXPECT_EQ (e.getCurrentBank(), 3);
    EXPECT_EQ (e.getCurrentProgram(), 44);
    EXPECT_EQ (e.deviceBank (3).programName (44).trimEnd(), "My Lead");
    EXPECT_EQ (e.deviceBank (3).programBytes (44)[(size_t) ProgramRecord::category], 9);
    EXPECT_EQ (e.editBuffer(), e.deviceBank (3).programBytes (44));

    ASSERT_TRUE (rig.synth.waitForReceived (1));
    ASSERT_TRUE (rig.settle());
    const auto got = rig.synth.received();
    ASSERT_EQ (got.size(), 1u);
    EXPECT_EQ (got[0].message.getRawDataSize(), 1178);
    EXPECT_EQ (rig.synth.record (3, 44), e.deviceBank (3).programBytes (44));
    EXPECT_EQ (main.getKeyboardPanel().getStatusText(), "WRITTEN TO U4 P 45");
}

TEST (BankDialogsThreads, PanelsCloseFromTheirOwnButtons)
{
    EditorTestRig rig;
    auto& main = rig.open();
    main.showAbout (false, 0);

    // Each closes from inside its own button's click.
    main.handleCommand (969);
    ASSERT_NE (main.getWriteDialog(), nullptr);
    ui::click (main, centreIn (main, main.getWriteDialog()->getCancelButton()));
    EXPECT_EQ (main.getWriteDialog(), nullptr);

    main.applyPresetsMenu (100);
    ASSERT_NE (main.getQuestion(), nullptr);
    ui::click (main, centreIn (main, main.getQuestion()->getCancelButton()));
    EXPECT_EQ (main.getQuestion(), nullptr);

    // Return answers the question with its default, CANCEL.
    const auto u2 = rig.engine().deviceBank (1).records();
    main.applyPresetsMenu (101);
    ASSERT_NE (main.getQuestion(), nullptr);
    main.getQuestion()->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_EQ (main.getQuestion(), nullptr);
    EXPECT_EQ (rig.engine().deviceBank (1).records(), u2);
}
