#include <gtest/gtest.h>
#include "controls/LibBut.h"
#include "controls/StBut.h"
#include "controls/WinMovCan.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

namespace
{
struct ToolLog : public winToolListener
{
    void windowToolClicked (WinMovCan*, int code) override   { codes.push_back (code); }
    std::vector<int> codes;
};

struct ButtonLog : public LibButListener
{
    void libButClicked (LibBut*, int id) override   { log.push_back ("click " + juce::String (id)); if (deleteOnClick) owned.reset(); }
    void libButEntered (LibBut*, int id) override   { log.push_back ("enter " + juce::String (id)); }
    void libButExited (LibBut*, int id) override    { log.push_back ("exit " + juce::String (id)); }

    std::vector<juce::String> log;
    std::unique_ptr<LibBut> owned;
    bool deleteOnClick = false;
};

juce::MouseEvent at (juce::Component& c, int x, int y)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { (float) x, (float) y }, {}, 1.0f,
                             0, 0, 0, 0, &c, &c, juce::Time(), { (float) x, (float) y }, juce::Time(), 0, false);
}
}

//==============================================================================
TEST (WinMovCan, ReportsOnlyReleasesOverThePressedZone)
{
    struct Case { bool strip, close; int down, up; std::vector<int> codes; };
    const Case cases[] = {
        { true, true, 10, 10, { 120 } },
        { true, true, 25, 37, { 121 } },
        { true, true, 45, 45, { 122 } },
        { true, true, 10, 30, {} },
        { true, true, 45, 60, {} },     // released past the strip
        { false, false, 5, 5, { 122 } },
        { false, false, 5, 40, { 122 } },  // the close button alone reports any release
        { true, false, 45, 45, {} },       // mixed modes show and report nothing
    };

    for (const auto& c : cases)
    {
        WinMovCan tools (c.strip, c.close);
        ToolLog log;
        tools.addListener (&log);
        tools.addListener (&log);
        ui::press (shown (tools), { c.down, 8 });
        ui::release (tools, { c.up, 8 });
        EXPECT_EQ (log.codes, c.codes) << c.strip << c.close << " " << c.down << "->" << c.up;
    }
}

// The owner closes the window, and the strip with it, from the callback.
TEST (WinMovCan, OwnerMayDeleteTheStripFromItsCallback)
{
    struct Closer : public winToolListener
    {
        std::unique_ptr<WinMovCan> tools;
        void windowToolClicked (WinMovCan*, int) override   { tools.reset(); }
    } closer;
    ToolLog bystander;

    closer.tools = std::make_unique<WinMovCan> (false, false);
    closer.tools->addListener (&bystander);
    closer.tools->addListener (&closer);
    ui::click (shown (*closer.tools), { 5, 5 });
    EXPECT_EQ (closer.tools, nullptr);
    EXPECT_TRUE (bystander.codes.empty());
}

//==============================================================================
TEST (LibBut, ReportsEnterExitAndClickOnPressAndMayBeDeletedThen)
{
    ButtonLog first, second;
    LibBut button ("Load", 1319, 14.0f);
    button.setTopLeft (0, 0);
    button.addListener (&first);
    button.addListener (&second);
    button.addListener (&first);

    button.mouseEnter (at (button, 5, 5));
    ui::press (shown (button), { 50, 17 });
    button.mouseExit (at (button, 5, 5));
    EXPECT_EQ (second.log, (std::vector<juce::String> { "enter 1319", "click 1319", "exit 1319" }));
    EXPECT_EQ (first.log, second.log);

    ButtonLog owner, bystander;
    owner.owned = std::make_unique<LibBut> ("", 5, 14.0f);
    owner.owned->setTopLeft (0, 0);
    owner.owned->addListener (&bystander);
    owner.owned->addListener (&owner);
    owner.deleteOnClick = true;
    ui::press (shown (*owner.owned), { 50, 17 });
    EXPECT_EQ (owner.owned, nullptr);
    EXPECT_TRUE (bystander.log.empty());
}

TEST (StBut, BroadcastsOnlyWhenReleasedInsideAndNeverStaysPressed)
{
    const std::pair<juce::Point<int>, size_t> cases[] = { { { 50, 9 }, 1 }, { { 100, 18 }, 1 }, { { 101, 9 }, 0 }, { { 50, -1 }, 0 } };

    for (auto [up, broadcasts] : cases)
    {
        StBut button ("Bass", 3);
        ChangeRecorder changes (button);
        ui::press (shown (button), { 50, 9 });
        EXPECT_TRUE (button.isPressed());
        ui::release (button, up);
        ASSERT_TRUE (ui::drain());
        EXPECT_FALSE (button.isPressed()) << up.toString();
        EXPECT_EQ (changes.seen.size(), broadcasts) << up.toString();
    }
}
