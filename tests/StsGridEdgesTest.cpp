#include <gtest/gtest.h>
#include "controls/StsGrid.h"
#include "engine/MidiCntrState.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

// The program grid at its edges: the last page, column borders, one row per
// drag step past the list, and a thumb dragged to the end at any height.
namespace
{
struct Codes : public GridListener
{
    void gridChanged (StsGrid* source) override   { codes.push_back (source->getChangeCode()); }
    std::vector<int> codes;
};

struct Grid
{
    explicit Grid (int slots)
    {
        grid.setRowHeight (46);
        grid.setScrollBarWidth (32);
        grid.setColumnWidths ({ 50, 140, 100, 0 });
        grid.setBounds (0, 0, 400, slots * 46);
        root.setSize (500, 4600);
        root.setVisible (true);
        root.addAndMakeVisible (grid);
        grid.addListener (&codes);
        grid.fill (StsGrid::bankMode, 1);
    }

    RecordingMidiDevices devices;
    MidiCntrState engine { devices };
    juce::Component root;
    StsGrid grid { engine };
    Codes codes;
};
}

TEST (StsGridEdges, TheTopRowStopsAtTheLastPage)
{
    for (int slots : { 1, 5, 9, 98, 99, 120 })
    {
        Grid g (slots);
        const int lastPage = juce::jmax (0, 99 - slots);
        for (int asked : { 0, 1, lastPage - 1, lastPage, lastPage + 1, 98, 99, 500 })
        {
            if (asked < 0)
                continue;
            g.grid.setTopRow (asked);
            EXPECT_EQ (g.grid.getTopRow(), juce::jmin (asked, lastPage)) << slots << " slots, asked " << asked;
            EXPECT_EQ (g.grid.getScrollPosition(), g.grid.getTopRow());
        }
    }
}

TEST (StsGridEdges, ColumnsContainOnlyTheirInside)
{
    Grid g (5);
    const struct { int x; int column; int rightCode; } cases[] =
    {
        { 1, 0, StsGrid::rightClick },   { 49, 0, StsGrid::rightClick },  { 50, -1, StsGrid::rightClick },
        { 51, 1, StsGrid::rightClick },  { 189, 1, StsGrid::rightClick }, { 190, -1, StsGrid::rightClick },
        { 191, 2, StsGrid::categoryRightClick }, { 289, 2, StsGrid::categoryRightClick },
        { 290, -1, StsGrid::rightClick }, { 300, -1, StsGrid::rightClick },
    };

    for (const auto& c : cases)
    {
        g.codes.codes.clear();
        ui::click (g.root, { c.x, 60 }, ui::rightButton);
        EXPECT_EQ (g.grid.getClickedColumn(), c.column) << c.x;
        EXPECT_EQ (g.codes.codes, (std::vector<int> { StsGrid::rowClicked, c.rightCode })) << c.x;
    }
}

TEST (StsGridEdges, ARowDragPastTheListMovesOneRowPerStep)
{
    for (int steps : { 1, 3, 7 })
    {
        Grid g (5);
        g.grid.setTopRow (20);
        ui::drag (g.root, { 100, 60 }, { 100, 5 * 46 + 40 }, steps);
        // Only the steps that end below the grid move it.
        int below = 0;
        for (int i = 1; i <= steps; ++i)
            below += 60 + (5 * 46 + 40 - 60) * i / steps > 5 * 46 ? 1 : 0;
        EXPECT_EQ (g.grid.getTopRow(), 20 + below) << steps;

        ui::drag (g.root, { 100, 60 }, { 100, -30 }, steps);
        int above = 0;
        for (int i = 1; i <= steps; ++i)
            above += 60 + (-30 - 60) * i / steps < 0 ? 1 : 0;
        EXPECT_EQ (g.grid.getTopRow(), 20 + below - above) << steps;
    }
}

TEST (StsGridEdges, TheThumbDraggedToTheEndShowsTheLastPage)
{
    for (int slots = 2; slots <= 20; ++slots)
    {
        Grid g (slots);
        ui::drag (g.root, { 390, 20 }, { 390, slots * 46 + 300 }, 4);
        EXPECT_EQ (g.grid.getTopRow(), 99 - slots) << slots;
        ui::drag (g.root, { 390, slots * 46 - 5 }, { 390, -200 }, 4);
        EXPECT_EQ (g.grid.getTopRow(), 0) << slots;
    }
}
