#include <gtest/gtest.h>
#include "editor/BankComp.h"
#include "editor/WriteSnd.h"
#include "controls/LCD_Comp.h"
#include "support/EditorTestRig.h"
#include "support/SynthMessages.h"

// A click on a row of the program grid, with the grid scrolled, picks the
// program shown there: in the bank selector it goes out as bank select and
// program change; in the write dialog it is the slot WRITE overwrites.
namespace
{
juce::Point<int> rowPoint (juce::Component& root, StsGrid& grid, int visibleRow)
{
    return root.getLocalPoint (&grid, juce::Point<int> (60, visibleRow * grid.getRowHeight() + grid.getRowHeight() / 2));
}

void scroll (juce::Component& root, StsGrid& grid, int notches)
{
    for (int i = 0; i < notches; ++i)
        ui::wheel (root, root.getLocalPoint (&grid, juce::Point<int> (60, 10)), -1.0f);
}

struct Case { int notches, row; };
const Case cases[] = { { 0, 0 }, { 0, 3 }, { 1, 0 }, { 4, 2 }, { 30, 1 }, { 500, 0 }, { 500, 99 } };
}

TEST (GridRowClickThreads, BankSelectorRowSendsBankSelectThenItsProgram)
{
    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    e.setMidiChannel (5);
    main.showAbout (false, 0);

    for (int bank : { 2, 6 })
        for (const auto& c : cases)
        {
            if (main.isBankPanelShown())
                main.handleCommand (99);
            e.splitProgramIndex (bank * 99);
            main.handleCommand (99);
            ASSERT_TRUE (main.isBankPanelShown());
            auto& grid = main.getBankComp()->getGrid();
            ASSERT_EQ (grid.rowBank (0), bank);
            const int visible = grid.getVisibleSlots();
            ASSERT_GT (visible, 3);
            const int row = juce::jmin (c.row, visible - 1);
            SCOPED_TRACE (juce::String::formatted ("bank %d, %d notches, row %d", bank, c.notches, row));

            grid.setTopRow (0);
            scroll (main, grid, c.notches);
            const int top = juce::jmin (c.notches, 99 - visible);
            ASSERT_EQ (grid.getTopRow(), top);

            rig.synth.waitUntilIdle();
            rig.synth.clearReceived();
            ui::click (main, rowPoint (main, grid, row));

            EXPECT_EQ (e.getCurrentBank(), bank);
            EXPECT_EQ (e.getCurrentProgram(), top + row);
            EXPECT_EQ (grid.getSelectedRow(), top + row);
            ASSERT_TRUE (rig.synth.waitForReceived (2));
            EXPECT_EQ (channelMessages (rig.synth), (std::vector<ByteArray> { { 0xB4, 32, (juce::uint8) bank },
                                                                               { 0xC4, (juce::uint8) (top + row) } }));
            const juce::ScopedLock sl (e.getProgramLock());
            EXPECT_EQ (e.editBuffer(), e.deviceBank (bank).programBytes (top + row));
        }
}

TEST (GridRowClickThreads, WriteDialogRowAfterScrollIsTheSlotWritten)
{
    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    ASSERT_TRUE (rig.pumpUntil ([&] { return e.haveGlobals(); }));
    main.showAbout (false, 0);
    e.transmitter().setPacing (0.0, 0.0);

    for (const auto& c : cases)
    {
        e.selectProgram (4 * 99 + 11, false, false);
        main.handleCommand (969);
        auto* dialog = main.getWriteDialog();
        ASSERT_NE (dialog, nullptr);
        dialog->getLcd().setBankProgram (2, 0);
        dialog->showBank (2);
        auto& grid = dialog->getGrid();
        ASSERT_EQ (grid.rowBank (0), 2);
        const int visible = grid.getVisibleSlots();
        ASSERT_GT (visible, 3);
        const int row = juce::jmin (c.row, visible - 1);
        SCOPED_TRACE (juce::String::formatted ("%d notches, row %d", c.notches, row));

        grid.setTopRow (0);
        scroll (main, grid, c.notches);
        const int top = juce::jmin (c.notches, 99 - visible);
        ASSERT_EQ (grid.getTopRow(), top);

        ui::click (main, rowPoint (main, grid, row));
        EXPECT_EQ (dialog->getLcd().getBank(), 2);
        ASSERT_EQ (dialog->getLcd().getProgram(), top + row);

        const int target = top + row;
        std::vector<ByteArray> neighbours;
        for (int p : { target - 1, target + 1 })
        {
            const juce::ScopedLock sl (e.getProgramLock());
            neighbours.push_back (p >= 0 && p < 99 ? e.deviceBank (2).programBytes (p) : ByteArray());
        }

        rig.synth.waitUntilIdle();
        rig.synth.clearReceived();
        main.stsbutChanged (&dialog->getWriteButton());
        ASSERT_EQ (main.getWriteDialog(), nullptr);
        EXPECT_EQ (main.getKeyboardPanel().getStatusText(), "WRITTEN TO U3 P " + juce::String (top + row + 1));

        ByteArray written;
        {
            const juce::ScopedLock sl (e.getProgramLock());
            written = e.deviceBank (2).programBytes (target);
            int k = 0;
            for (int p : { target - 1, target + 1 })
            {
                if (p >= 0 && p < 99)
                {
                    EXPECT_EQ (e.deviceBank (2).programBytes (p), neighbours[(size_t) k]) << p;
                }
                ++k;
            }
        }
        EXPECT_EQ (written, e.editBuffer());
        EXPECT_TRUE (rig.pumpUntil ([&] { return rig.synth.record (2, target) == written; }));
        ASSERT_TRUE (rig.pumpUntil ([&] { return ! e.isTransmitting(); }));
    }
}

// A category lists user programs of several banks: a row is its own bank and program.
TEST (GridRowClickThreads, CategoryRowsPickTheirOwnSlot)
{
    EditorTestRig rig;
    auto& main = rig.open();
    auto& e = rig.engine();
    ASSERT_TRUE (rig.pumpUntil ([&] { return e.haveGlobals(); }));
    main.showAbout (false, 0);
    constexpr int category = 5;

    // Twenty programs of the category spread over the four user banks, none elsewhere.
    {
        const juce::ScopedLock sl (e.getProgramLock());
        for (int b = 0; b < 4; ++b)
            for (int p = 0; p < 99; ++p)
            {
                auto record = e.deviceBank (b).programBytes (p);
                record[(size_t) ProgramRecord::category] = (juce::uint8) ((b * 99 + p) % 20 == 3 ? category : 1);
                e.deviceBank (b).storeProgram (p, record);
            }
    }

    main.handleCommand (99);
    ASSERT_TRUE (main.isBankPanelShown());
    auto& banks = *main.getBankComp();
    banks.showCategory (category);
    auto& grid = banks.getGrid();
    ASSERT_EQ (grid.getNumRows(), 20);
    const int visible = grid.getVisibleSlots();
    ASSERT_LT (visible, 20);

    for (const auto& c : cases)
    {
        const int row = juce::jmin (c.row, visible - 1);
        grid.setTopRow (0);
        scroll (main, grid, c.notches);
        const int top = juce::jmin (c.notches, 20 - visible);
        ASSERT_EQ (grid.getTopRow(), top);
        const int bank = grid.rowBank (top + row), program = grid.rowProgram (top + row);
        ASSERT_EQ ((bank * 99 + program) % 20, 3);

        ui::click (main, rowPoint (main, grid, row));
        EXPECT_EQ (e.getCurrentBank(), bank);
        EXPECT_EQ (e.getCurrentProgram(), program);
    }

    banks.showBank (0);
    main.handleCommand (99);
    ASSERT_FALSE (main.isBankPanelShown());
    main.handleCommand (969);
    auto* dialog = main.getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    dialog->showCategory (category);
    auto& writeGrid = dialog->getGrid();
    ASSERT_EQ (writeGrid.getNumRows(), 20);

    for (const auto& c : cases)
    {
        const int row = juce::jmin (c.row, writeGrid.getVisibleSlots() - 1);
        writeGrid.setTopRow (0);
        scroll (main, writeGrid, c.notches);
        const int top = writeGrid.getTopRow();
        ui::click (main, rowPoint (main, writeGrid, row));
        EXPECT_EQ (dialog->getLcd().getBank(), writeGrid.rowBank (top + row));
        EXPECT_EQ (dialog->getLcd().getProgram(), writeGrid.rowProgram (top + row));
    }
}
