#include <gtest/gtest.h>
#include "editor/AboutPanel.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

TEST (AboutPanel, BoxIsCentredAndAnyClickAsksToClose)
{
    AboutPanel panel (1200, 0);
    EXPECT_FALSE (panel.isTimerRunningFlag());
    panel.setBounds (0, 0, 1200, 730);
    panel.setVisible (true);
    panel.centreBox();
    EXPECT_EQ (panel.getBox().getCentreX(), 600);
    EXPECT_TRUE (panel.getLocalBounds().contains (panel.getBox()));

    ChangeRecorder closeAsked (panel);
    for (auto at : { juce::Point<int> (400, 200), juce::Point<int> (5, 700) })
        ui::click (panel, at);
    ASSERT_TRUE (ui::drain());
    EXPECT_GE (closeAsked.seen.size(), 1u);
}

TEST (AboutPanel, SplashClosesItselfAfterItsTime)
{
    AboutPanel panel (1200, 30);
    ChangeRecorder closeAsked (panel);
    EXPECT_TRUE (panel.isTimerRunningFlag());
    ASSERT_TRUE (ui::pumpUntil ([&] { return ! closeAsked.seen.empty(); }));
    ASSERT_TRUE (ui::drain());
    EXPECT_EQ (closeAsked.seen.size(), 1u);
    EXPECT_FALSE (panel.isTimerRunningFlag());
}
