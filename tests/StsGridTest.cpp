#include <gtest/gtest.h>
#include "controls/StsGrid.h"
#include "engine/MidiCntrState.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"
#include <atomic>
#include <thread>

namespace
{
struct GridRecorder : public GridListener
{
    void gridChanged (StsGrid* source) override
    {
        codes.push_back (source->getChangeCode());
        programs.push_back (source->getClickedBank() * 99 + source->getClickedProgram());
    }
    std::vector<int> codes, programs;
};

void setCategory (MidiCntrState& engine, int bank, int program, int category)
{
    auto record = engine.deviceBank (bank).programBytes (program);
    record[(size_t) ProgramRecord::category] = (juce::uint8) category;
    engine.deviceBank (bank).storeProgram (program, record);
}

// The grid as the bank selector sets it up: rows of 46, columns 50, 140, 100, 0.
struct GridRig
{
    explicit GridRig (int slots = 5)
    {
        // No user program carries a category but those a test gives.
        for (int b = 0; b < 4; ++b)
        {
            auto records = engine.deviceBank (b).records();
            for (int p = 0; p < 99; ++p)
                records[(size_t) (p * ProgramRecord::size + ProgramRecord::category)] = 0;
            engine.deviceBank (b).setRecords (records.data(), records.size());
        }

        grid.setRowHeight (46);
        grid.setTextHeight (14);
        grid.setScrollBarWidth (32);
        grid.setDefaultColours();
        grid.setColumnWidths ({ 50, 140, 100, 0 });
        grid.setBounds (0, 0, 400, slots * 46);
        root.setSize (500, 600);
        root.setVisible (true);
        root.addAndMakeVisible (grid);
        grid.addListener (&recorder);
    }

    RecordingMidiDevices devices;
    MidiCntrState engine { devices };
    juce::Component root;
    StsGrid grid { engine };
    GridRecorder recorder;
};
}

TEST (StsGridRows, BankAndCategoryModes)
{
    GridRig rig;
    setCategory (rig.engine, 0, 3, 25);
    setCategory (rig.engine, 2, 0, 25);
    setCategory (rig.engine, 5, 1, 25);    // factory programs are never listed by category

    struct Case { int mode, value, rows; std::vector<std::pair<int, const char*>> texts; };

    const Case cases[] = {
        { StsGrid::bankMode, 5, 99, { { 0, "F2 P 1" }, { 98, "F2 P 99" } } },
        { StsGrid::bankMode, 0, 99, { { 98, "U1 P 99" }, { 99, "" } } },
        { StsGrid::categoryMode, 25, 2, { { 0, "U1 P 4" }, { 1, "U3 P 1" }, { -1, "" } } },
        { StsGrid::categoryMode, 24, 0, { { 0, "" } } },
        { StsGrid::bankMode, 8, 0, {} },    // not a bank: the list stays as it was
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.mode) + "/" + juce::String (c.value));
        const auto before = rig.grid.getNumRows();
        rig.grid.fill (c.mode, c.value);
        EXPECT_EQ (rig.grid.getNumRows(), c.texts.empty() ? before : c.rows);
        for (const auto& [row, text] : c.texts)
            EXPECT_EQ (rig.grid.entryText (row), text) << row;
        EXPECT_EQ (rig.grid.getSelectedRow(), -1);
    }
}

TEST (StsGridClicks, ReportsOnlyRowsThatExist)
{
    // categoryRows -1: bank 1 in bank mode; program: bank * 99 + program clicked, -1 none
    struct Case { const char* what; int categoryRows; juce::Point<int> at; juce::ModifierKeys mods;
                  std::vector<int> codes; int program, selectedRow; };

    const auto left = ui::leftButton, right = ui::rightButton;
    const Case cases[] = {
        { "left click on a row",            -1, { 20, 50 },  left,  { 91 },     99 + 1, 1 },
        { "right click in the third column", -1, { 200, 50 }, right, { 91, 88 }, 99 + 1, 1 },
        { "right click elsewhere",          -1, { 100, 5 },  right, { 91, 90 }, 99, 0 },
        { "below a short list",              2, { 20, 200 }, left,  {},         -1, -1 },
        { "right below a short list",        2, { 200, 100 }, right, {},        -1, -1 },
        { "last row of a short list",        2, { 20, 91 },  left,  { 91 },     99 * 2, 1 },
        { "left on an empty list",           0, { 20, 50 },  left,  {},         -1, -1 },
        { "right on an empty list",          0, { 200, 50 }, right, {},         -1, -1 },
        { "left edge keeps the last click", -1, { 0, 50 },   left,  {},         3 * 99, -1 },
        { "scroll bar keeps the last click", -1, { 390, 50 }, left, {},         3 * 99, -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GridRig rig;
        rig.grid.fill (StsGrid::bankMode, 3);
        ui::click (rig.root, { 20, 5 });    // an earlier click must not be reported again
        rig.recorder = {};
        if (c.categoryRows < 0)
            rig.grid.fill (StsGrid::bankMode, 1);
        else
        {
            for (int i = 0; i < c.categoryRows; ++i)
                setCategory (rig.engine, i + 1, 0, 25);
            rig.grid.fill (StsGrid::categoryMode, 25);
        }

        ui::click (rig.root, c.at, c.mods);

        EXPECT_EQ (rig.recorder.codes, c.codes);
        for (auto p : rig.recorder.programs)
            EXPECT_EQ (p, c.program);
        EXPECT_EQ (rig.grid.getSelectedRow(), c.selectedRow);
        EXPECT_EQ (rig.grid.getClickedProgram() < 0 ? -1 : rig.grid.getClickedBank() * 99 + rig.grid.getClickedProgram(),
                   c.program);
    }
}

TEST (StsGridScrolling, WheelAndThumbStayInsideTheList)
{
    GridRig rig (5);
    rig.grid.fill (StsGrid::bankMode, 0);
    const auto lastPage = 99 - 5;

    ui::wheel (rig.root, { 100, 50 }, -1.0f);
    EXPECT_EQ (rig.grid.getTopRow(), 1);
    ui::wheel (rig.root, { 100, 50 }, 1.0f);
    ui::wheel (rig.root, { 100, 50 }, 1.0f);
    EXPECT_EQ (rig.grid.getTopRow(), 0);

    ui::drag (rig.root, { 390, 40 }, { 390, 1000 }, 3);
    EXPECT_EQ (rig.grid.getScrollPosition(), lastPage);
    EXPECT_EQ (rig.grid.getTopRow(), lastPage);

    ui::wheel (rig.root, { 100, 50 }, -1.0f);
    ui::wheel (rig.root, { 100, 50 }, -1.0f);
    EXPECT_EQ (rig.grid.getScrollPosition(), lastPage);
    EXPECT_EQ (rig.grid.getTopRow(), lastPage);
    EXPECT_TRUE (rig.recorder.codes.empty());

    // A refill starts at the top, and the first wheel step after it counts.
    rig.grid.fill (StsGrid::bankMode, 2);
    EXPECT_EQ (rig.grid.getTopRow(), 0);
    ui::wheel (rig.root, { 100, 50 }, -1.0f);
    EXPECT_EQ (rig.grid.getTopRow(), 1);

    // Placing the rows from outside moves the thumb with them.
    rig.grid.setTopRow (50);
    EXPECT_EQ (rig.grid.getScrollPosition(), 50);
    ui::wheel (rig.root, { 100, 50 }, -1.0f);
    EXPECT_EQ (rig.grid.getTopRow(), 51);

    // A list shorter than a page never scrolls, whatever is asked.
    setCategory (rig.engine, 0, 0, 7);
    rig.grid.fill (StsGrid::categoryMode, 7);
    rig.grid.setTopRow (3);
    ui::wheel (rig.root, { 100, 50 }, -1.0f);
    EXPECT_EQ (rig.grid.getTopRow(), 0);
    EXPECT_EQ (rig.grid.getScrollPosition(), 0);
    EXPECT_FALSE (rig.grid.createComponentSnapshot (rig.grid.getLocalBounds()).isNull());
}

TEST (StsGridPaintingThreads, ReadsBanksWhileTheInputThreadStoresThem)
{
    GridRig rig (8);
    rig.grid.fill (StsGrid::bankMode, 0);
    std::atomic<bool> stop { false };

    std::thread writer ([&] {
        auto record = rig.engine.deviceBank (0).programBytes (0);
        for (int i = 0; ! stop; ++i)
        {
            record[(size_t) ProgramRecord::nameOffset] = (juce::uint8) ('A' + i % 26);
            const juce::ScopedLock sl (rig.engine.getProgramLock());
            rig.engine.deviceBank (0).storeProgram (i % 8, record);
        }
    });

    for (int i = 0; i < 30; ++i)
        rig.grid.createComponentSnapshot (rig.grid.getLocalBounds());

    stop = true;
    writer.join();
}
