#include <gtest/gtest.h>
#include "controls/CorButton.h"
#include "controls/HorScrollClass.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

TEST (HorScrollClass, ClicksStepOrPageAndStayWithinRange)
{
    // Width 200, thumb 60, maximum 11: step 10, thumb left = 10 x position + 14.
    struct Case { int start, x, end; bool broadcast; };
    const Case cases[] = {
        { 0, 5, 0, false },      // left end at 0
        { 5, 5, 4, true },
        { 5, 195, 6, true },     // right end
        { 11, 195, 11, false },
        { 5, 30, 3, true },      // track left of the thumb
        { 5, 150, 7, true },     // right of it
        { 10, 190, 11, true },   // 12 is held at 11
        { 5, 64, 5, false },     // on the thumb
    };

    for (const auto& c : cases)
    {
        HorScrollClass bar;
        bar.setSize (200, 14);
        bar.setPosition (c.start);
        ChangeRecorder changes (bar, [&bar] { return bar.getPosition(); });
        ui::click (shown (bar), { c.x, 7 });
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (bar.getPosition(), c.end) << c.start << " at " << c.x;
        EXPECT_EQ (changes.seen.size(), c.broadcast ? 1u : 0u) << c.start << " at " << c.x;
    }
}

TEST (HorScrollClass, DragCentresTheThumbOnThePointer)
{
    HorScrollClass bar;
    bar.setSize (200, 14);
    ui::drag (shown (bar), { 20, 7 }, { 104, 7 }, 3);   // (104 - 30 - 14) / 10
    EXPECT_EQ (bar.getPosition(), 6);
    ui::drag (bar, { 100, 7 }, { 400, 7 }, 1);
    EXPECT_EQ (bar.getPosition(), 11);
}

// A bar no wider than its thumb, or with nothing to scroll, has a step of 0.
TEST (HorScrollClass, NarrowOrEmptyBarsNeitherDivideByZeroNorLeaveTheirRange)
{
    struct Case { int width, maximum; };
    const Case cases[] = { { 40, 11 }, { 80, 11 }, { 200, 0 }, { 10, 0 } };

    for (const auto& c : cases)
    {
        HorScrollClass bar;
        bar.setSize (c.width, 14);
        bar.maximum = c.maximum;
        ui::drag (shown (bar), { 2, 7 }, { c.width - 2, 7 }, 4);
        ui::click (bar, { c.width / 2, 7 });
        EXPECT_GE (bar.getPosition(), 0);
        EXPECT_LE (bar.getPosition(), c.maximum);
        EXPECT_TRUE (ui::snapshot (bar).isValid());
    }
}

//==============================================================================
TEST (CorButton, OnlyTheRightPartDragsAndReportsTheSizePulledTo)
{
    struct Case { int x; std::vector<int> codes; int width, height; };
    const Case cases[] = {
        { 38, {}, 0, 0 },
        { 39, { 320, 321, 322 }, 700 - 6, 500 + 30 },
    };

    for (const auto& c : cases)
    {
        CorButton corner;
        corner.baseWidth = 700;
        corner.baseHeight = 500;
        ChangeRecorder codes (corner, [&corner] { return corner.changeCode; });

        shown (corner);
        ui::press (corner, { c.x, 7 });
        ASSERT_TRUE (ui::drain());
        corner.mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { c.x + 6.0f, 37.0f }, ui::leftButton,
                                            1.0f, 0, 0, 0, 0, &corner, &corner, juce::Time(), { (float) c.x, 7.0f }, juce::Time(), 1, true));
        ASSERT_TRUE (ui::drain());
        ui::release (corner, { c.x + 6, 37 });
        ASSERT_TRUE (ui::drain());

        EXPECT_EQ (codes.seen, c.codes) << c.x;
        EXPECT_EQ (corner.reportedWidth, c.width) << c.x;
        EXPECT_EQ (corner.reportedHeight, c.height) << c.x;
    }
}
