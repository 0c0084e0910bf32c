#include <gtest/gtest.h>
#include "editor/AboutPanel.h"
#include "support/ComponentTestSupport.h"

namespace
{
struct ChangeCounter : public juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};
}

TEST (AboutPanel, BoxIsCentredAndAnyClickAsksToClose)
{
    AboutPanel panel (1200, 0);
    EXPECT_EQ (panel.getBox().getPosition(), juce::Point<int> (370, 150));
    EXPECT_FALSE (panel.isTimerRunningFlag());

    panel.setBounds (0, 0, 1200, 730);
    panel.setVisible (true);
    panel.centreBox();
    EXPECT_EQ (panel.getBox().getPosition(), juce::Point<int> (370, 156));

    ChangeCounter counter;
    panel.addChangeListener (&counter);
    for (auto at : { juce::Point<int> (400, 200), juce::Point<int> (5, 700) })
        ui::click (panel, at);
    ui::pump (10);
    EXPECT_GE (counter.count, 1);
    panel.removeChangeListener (&counter);
}

TEST (AboutPanel, SplashClosesItselfAfterItsTime)
{
    AboutPanel panel (1200, 30);
    ChangeCounter counter;
    panel.addChangeListener (&counter);
    EXPECT_TRUE (panel.isTimerRunningFlag());
    ui::pump (200);
    EXPECT_EQ (counter.count, 1);
    EXPECT_FALSE (panel.isTimerRunningFlag());
    panel.removeChangeListener (&counter);
}
