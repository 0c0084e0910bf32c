#include <gtest/gtest.h>
#include "controls/AppSetBarBut.h"
#include "controls/Check_But.h"
#include "controls/StsBut.h"
#include "controls/StsLabel.h"
#include "controls/SwitchLED.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

namespace
{
struct Root : juce::Component { Root (int w, int h) { setSize (w, h); setVisible (true); } };

// Counts what it hears; deletes the button when it owns it, as a dialog's CANCEL handler does.
struct Owner : public stsbutChangeListener
{
    void stsbutChanged (StsBut* source) override
    {
        ++calls;
        lastId = source->getId();
        if (source == button.get())
            button.reset();
    }
    std::unique_ptr<StsBut> button;
    int calls = 0, lastId = 0;
};
}

TEST (StsButClicks, EveryStyleNotifiesOncePerClickAndMayBeDeletedThen)
{
    struct Case { const char* what; int style; juce::Point<int> down, up; bool pressedWhileDown; };

    const Case cases[] = {
        { "function button",                  StsBut::functionButton, { 40, 10 }, { 40, 10 }, false },
        { "section tab",                      StsBut::sectionTab,     { 40, 10 }, { 40, 10 }, false },
        { "dialog button body",               StsBut::dialogButton,   { 40, 5 },  { 40, 5 },  false },
        { "dialog button bottom strip",       StsBut::dialogButton,   { 40, 19 }, { 40, 19 }, true },
        { "flat button",                      StsBut::flatButton,     { 40, 10 }, { 40, 10 }, true },
        { "flat button released outside",     StsBut::flatButton,     { 40, 10 }, { 300, 150 }, true },
        { "check entry on its box",           StsBut::checkEntry,     { 10, 10 }, { 10, 10 }, true },
        { "check entry on its caption",       StsBut::checkEntry,     { 30, 10 }, { 30, 10 }, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Root root (400, 200);
        Owner owner, calledLater;
        owner.button = std::make_unique<StsBut> ("OK", 1201, c.style);
        owner.button->setBoundsAndStyle (0, 0, 80, 20, true);
        root.addAndMakeVisible (*owner.button);
        owner.button->addListener (&calledLater);
        owner.button->addListener (&calledLater);

        ui::press (root, c.down);
        EXPECT_EQ (owner.button->isPressed(), c.pressedWhileDown);
        ui::release (root, c.up);
        EXPECT_FALSE (owner.button->isPressed());
        EXPECT_EQ (calledLater.calls, 1);   // added twice, told once
        EXPECT_EQ (calledLater.lastId, 1201);

        // Listeners are called last added first: the owner deletes the button before the other is reached.
        owner.button->addListener (&owner);
        ui::press (root, c.down);
        ui::release (root, c.up);
        EXPECT_EQ (owner.button, nullptr);
        EXPECT_EQ (owner.calls, 1);
        EXPECT_EQ (calledLater.calls, 1);
    }
}

TEST (SmallControls, ClickZonesBroadcast)
{
    struct Case { const char* what; std::function<std::unique_ptr<juce::Component>()> make; juce::Point<int> at; int changes; };

    auto label = [] { auto l = std::make_unique<StsLabel>(); l->setup ("Name", "Arial", 12.0f); l->setSize (100, 20); return std::unique_ptr<juce::Component> (std::move (l)); };
    auto led = [] { auto s = std::make_unique<SwitchLED> ("Use Loaded Data"); s->setSize (160, 18); return std::unique_ptr<juce::Component> (std::move (s)); };
    auto check = [] { return std::unique_ptr<juce::Component> (std::make_unique<Check_But>()); };
    auto bars = [] { auto b = std::make_unique<AppSetBarBut>(); b->setSize (36, 30); return std::unique_ptr<juce::Component> (std::move (b)); };

    const Case cases[] = {
        { "label inside",          label, { 1, 1 }, 1 },
        { "label top row",         label, { 50, 0 }, 0 },
        { "label left column",     label, { 0, 10 }, 0 },
        { "switch LED",            led,   { 19, 9 }, 1 },
        { "switch caption",        led,   { 20, 9 }, 0 },
        { "check box",             check, { 10, 10 }, 1 },
        { "menu bars",             bars,  { 10, 10 }, 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Root root (300, 100);
        auto control = c.make();
        root.addAndMakeVisible (*control);
        ChangeRecorder changes (*dynamic_cast<juce::ChangeBroadcaster*> (control.get()));

        ui::click (root, c.at);
        ASSERT_TRUE (ui::drain());

        EXPECT_EQ ((int) changes.seen.size(), c.changes);
    }
}

TEST (SmallControls, TogglesFollowClicks)
{
    Root root (300, 100);
    Check_But check;
    SwitchLED led ("Use Loaded Data");
    led.setBounds (0, 40, 160, 18);
    root.addAndMakeVisible (check);
    root.addAndMakeVisible (led);

    for (bool expected : { true, false })
    {
        ui::click (root, { 10, 10 });
        ui::click (root, { 5, 45 });
        EXPECT_EQ (check.checked, expected);
        EXPECT_EQ (led.on, expected);
    }
}
