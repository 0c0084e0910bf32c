#include <gtest/gtest.h>
#include "controls/GroupImg.h"
#include "support/ComponentTestSupport.h"

TEST (GroupImg, TimedAndUntimedShows)
{
    struct Case { const char* name; std::vector<int> shows; bool upAfterWait; };
    const Case cases[] =
    {
        { "timed show hides itself",            { 60 },    false },
        { "untimed show stays",                 { 0 },     true },
        { "untimed show cancels an earlier timer", { 60, 0 }, true },
        { "a later timed show restarts it",     { 0, 60 }, false },
    };

    juce::Component parent;
    parent.setSize (200, 100);

    for (const auto& c : cases)
    {
        GroupImg overlay (juce::Colour (0x77000000));
        parent.addChildComponent (overlay);

        for (int ms : c.shows)
            overlay.show (ms);
        overlay.setBounds (0, 0, 200, 100);
        EXPECT_TRUE (overlay.isShown()) << c.name;

        ASSERT_TRUE (ui::pumpPastTimers (60));
        EXPECT_EQ (overlay.isShown(), c.upAfterWait) << c.name;
        EXPECT_EQ (overlay.isVisible(), c.upAfterWait) << c.name;

        parent.removeChildComponent (&overlay);
    }
}
