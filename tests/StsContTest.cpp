#include <gtest/gtest.h>
#include "controls/StsCont.h"
#include "support/ComponentTestSupport.h"
#include <optional>

namespace
{
struct ClickCounter : public StsContListener { void stsContClicked (int) override { ++clicks; } int clicks = 0; };

// A control of the given kind on a root at 1:1, shown value set as the engine would.
struct Rig
{
    Rig (int kind, int maximum, int width = 60, int height = 40, int layer = 0, float zoom = 1.0f)
        : control (cable, layer)
    {
        control.zoomFactor = zoom;
        control.setup (7, "Label", 0, 16, width, height, 0, maximum, kind, 0);
        control.setTopLeftScaled (0, 16);
        root.setSize (400, 300);
        root.setVisible (true);
        root.addAndMakeVisible (control);
        control.addListener (&listener);
    }

    void show (int value)  { control.setValue (value, juce::String (value)); }

    ui::RecordingCable cable;
    juce::Component root;
    StsCont control;
    ClickCounter listener;
};

struct Request { int id, value; bool endGesture; };

std::vector<Request> requests (const ui::RecordingCable& cable)
{
    std::vector<Request> out;
    for (const auto& c : cable.calls)
    {
        EXPECT_TRUE (c.sendToDevice);
        EXPECT_TRUE (c.notifyEditor);
        out.push_back ({ c.id, c.value, c.endGestureNow });
    }
    return out;
}

// Nothing requested when expected < 0, else exactly one request (or at least
// one, when a drag may send several) whose last value is expected.
std::optional<Request> lastRequest (const ui::RecordingCable& cable, int expected, bool exactlyOne = true)
{
    const auto got = requests (cable);
    if (expected < 0 || got.empty() || (exactlyOne && got.size() != 1))
    {
        EXPECT_TRUE (expected < 0 && got.empty()) << got.size() << " requests";
        return {};
    }
    EXPECT_EQ (got.back().value, expected);
    return got.back();
}
}

TEST (StsContRequests, ClickZonesDragsAndWheelsRequestWithinRange)
{
    enum Act { click, rightClick, drag, wheel };
    // to: the drag's end, or the wheel delta in y; expected -1: nothing requested;
    // notified: clicks left to the panel instead of requested.
    struct Case { const char* what; int kind, maximum, width; float zoom; int shown; Act act;
                  juce::Point<int> at, to; int expected, notified; };

    const auto knob = StsCont::knob, led = StsCont::ledSwitch, threeWay = StsCont::threeWay, centred = StsCont::centredLed;
    // Clicking LEDs off to on, drags up and wheels at 1:1 go through every control
    // of the editor in the round trip; these are the zones, limits and refusals.
    const Case cases[] = {
        { "LED on turns off",               led, 1, 60, 1.0f, 1, click, { 10, 5 }, {}, 0, 0 },
        { "LED caption does nothing",       led, 1, 60, 1.0f, 0, click, { 30, 5 }, {}, -1, 0 },
        { "3-way left at 2 goes to 0",      threeWay, 2, 64, 1.0f, 2, click, { 10, 5 }, {}, 0, 0 },
        { "3-way right at 1 goes to 0",     threeWay, 2, 64, 1.0f, 1, click, { 40, 5 }, {}, 0, 0 },
        { "3-way gap does nothing",         threeWay, 2, 64, 1.0f, 0, click, { 31, 5 }, {}, -1, 0 },
        { "centred LED edge is outside",    centred, 1, 60, 1.0f, 0, click, { 20, 5 }, {}, -1, 0 },
        { "centred LED inside its right edge", centred, 1, 60, 1.0f, 0, click, { 39, 5 }, {}, 1, 0 },
        { "centred LED right edge is outside", centred, 1, 60, 1.0f, 0, click, { 40, 5 }, {}, -1, 0 },
        { "LED zone ends before 25 px",     led, 1, 60, 1.0f, 0, click, { 24, 5 }, {}, 1, 0 },
        { "3-way right zone starts past 35", threeWay, 2, 64, 1.0f, 0, click, { 36, 5 }, {}, 2, 0 },
        { "knob click requests nothing",    knob, 127, 60, 1.0f, 5, click, { 30, 20 }, {}, -1, 0 },
        { "zoom below 0.6 only notifies",   led, 1, 60, 0.5f, 0, click, { 5, 5 }, {}, -1, 1 },
        { "right click only notifies",      led, 1, 60, 1.0f, 0, rightClick, { 5, 5 }, {}, -1, 1 },
        { "small range: 14 px is no step",  knob, 7, 60, 1.0f, 2, drag, { 30, 20 }, { 44, 20 }, -1, 0 },
        { "large range: 1 step per pixel",  knob, 127, 60, 1.0f, 20, drag, { 30, 20 }, { 40, 20 }, 30, 0 },
        { "right and down cancel",          knob, 127, 60, 1.0f, 20, drag, { 30, 20 }, { 55, 45 }, -1, 0 },
        { "drag clamped at the top",        knob, 127, 60, 1.0f, 120, drag, { 30, 20 }, { 70, 20 }, 127, 0 },
        { "drag clamped at the bottom",     knob, 127, 60, 1.0f, 3, drag, { 30, 20 }, { -10, 20 }, 0, 0 },
        { "wheel down on a shrunken knob",  knob, 127, 60, 0.5f, 5, wheel, { 5, 5 }, { 0, -1 }, 4, 0 },
        { "wheel up on a lit LED: dropped", led, 1, 60, 1.0f, 1, wheel, { 5, 5 }, { 0, 1 }, -1, 0 },
        { "zero wheel delta",               knob, 127, 60, 1.0f, 5, wheel, { 5, 5 }, { 0, 0 }, -1, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (c.kind, c.maximum, c.width, 40, 0, c.zoom);
        rig.show (c.shown);
        if (c.act == drag)
            ui::drag (rig.root, c.at, c.to, 1);
        else if (c.act == wheel)
            ui::wheel (rig.root, c.at, (float) c.to.y);
        else
            ui::click (rig.root, c.at, c.act == rightClick ? ui::rightButton : ui::leftButton);

        if (const auto got = lastRequest (rig.cable, c.expected, c.act != drag))
        {
            EXPECT_EQ (got->id, 7);
            EXPECT_TRUE (c.act == wheel || ! got->endGesture);
        }
        EXPECT_EQ (rig.listener.clicks, c.notified);
    }
}

TEST (StsContRequests, RequestPathClampsDropsUnchangedAndAddressesLayerB)
{
    // shown -1: never filled; expectedId -1: dropped
    struct Case { const char* what; int layer, minimum, maximum, shown, request, expectedId, expectedValue; };

    const Case cases[] = {
        { "clamped to the maximum",         0, 0, 10,  3, 40, 7, 10 },
        { "clamped to the minimum",         0, 2, 10,  3, -5, 7, 2 },
        { "equal to the shown value",       0, 0, 10,  3, 3, -1, 0 },
        { "clamps onto the shown value",    0, 0, 10, 10, 11, -1, 0 },
        { "layer B is 512 up",              1, 0, 10,  3, 4, 519, 4 },
        { "nothing shown yet: 0 goes out",  0, 0, 10, -1, 0, 7, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ui::RecordingCable cable;
        StsCont control (cable, c.layer);
        control.setup (7, "L", 0, 16, 60, 40, c.minimum, c.maximum, StsCont::knob, 0);
        if (c.shown >= 0)
            control.setValue (c.shown, "x");

        control.requestValue (c.request, true);

        if (const auto got = lastRequest (cable, c.expectedId < 0 ? -1 : c.expectedValue))
        {
            EXPECT_EQ (got->id, c.expectedId);
            EXPECT_TRUE (got->endGesture);
            EXPECT_EQ (control.getRequestedValue(), c.expectedValue);
        }
    }
}

TEST (StsContRequests, DropDownMenuChoiceEndsTheGestureAndDismissalRequestsNothing)
{
    // answer: menu item id, 0 = dismissed; expected -1: nothing requested
    struct Case { const char* what; int clickY, answer; bool menuShown; int expected; };

    const Case cases[] = {
        { "value chosen",           5, 4, true, 3 },
        { "menu dismissed",         5, 0, true, -1 },
        { "below the bar",         25, 4, false, -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ui::MenuRecorder menus;
        menus.setAutoAnswer (c.answer);
        Rig rig (StsCont::dropDown, 8, 100, 40);
        rig.show (0);
        ui::click (rig.root, { 40, c.clickY });
        ASSERT_TRUE (ui::drain());

        EXPECT_EQ (menus.menusShown > 0, c.menuShown);
        const auto got = lastRequest (rig.cable, c.expected);
        EXPECT_TRUE (! got || got->endGesture);
    }
}

TEST (StsContDisplay, ShownValueTextAndKnobFrame)
{
    ui::RecordingCable cable;
    StsCont control (cable, 0);
    control.setup (1, "Cutoff", 0, 16, 60, 40, 0, 127, StsCont::knob, 0);

    // The first fill shows its text even when the value is the one set up.
    control.setValue (0, "0");
    EXPECT_EQ (control.getValueText(), "0");

    control.setValue (0, "other");
    EXPECT_EQ (control.getValueText(), "0");

    control.setValue (500, "top");
    EXPECT_EQ (control.getShownValue(), 127);
    EXPECT_EQ (control.getKnobFrame(), 60);

    struct Case { int value, minimum, maximum, frame; };
    const Case frames[] = {
        { 0, 0, 127, 0 }, { 127, 0, 127, 60 }, { 63, 0, 127, 30 },
        { 1, 0, 120, 0 },  { 3, 0, 120, 2 },     // halves round to even
        { 5, 5, 5, 0 },                         // an empty range has one frame
        { -10, -64, 63, 26 },
    };
    for (const auto& f : frames)
        EXPECT_EQ (StsCont::frameForValue (f.value, f.minimum, f.maximum), f.frame)
            << f.value << " in " << f.minimum << ".." << f.maximum;
}

TEST (StsContDisplay, LitLedDiffersFromUnlit)
{
    ui::RecordingCable cable;
    StsCont control (cable, 0);
    control.setup (1, "Sync", 0, 16, 80, 20, 0, 1, StsCont::ledSwitch, 0);

    control.setValue (0, "Off");
    const auto off = control.createComponentSnapshot (control.getLocalBounds());
    control.setValue (1, "On");
    const auto on = control.createComponentSnapshot (control.getLocalBounds());

    EXPECT_NE (off.getPixelAt (14, 10), on.getPixelAt (14, 10));
}

// A drop-down opens its value list only from its top 18 pixels (scaled), pressed and released there.
TEST (StsContRequests, DropDownMenuOpensOnlyFromItsValueLine)
{
    const struct { float zoom; int pressY, releaseY; int menus; } cases[] =
    {
        { 1.0f, 5, 5, 1 },   { 1.0f, 17, 17, 1 }, { 1.0f, 18, 18, 0 }, { 1.0f, 30, 30, 0 },
        { 1.0f, 5, 25, 0 },  { 1.0f, 25, 5, 0 },  { 1.25f, 22, 22, 1 }, { 0.73f, 14, 14, 0 },
    };

    for (const auto& c : cases)
    {
        ui::MenuRecorder menus;
        menus.setAutoAnswer (0);
        Rig rig (StsCont::dropDown, 5, 70, 40, 0, c.zoom);
        rig.show (2);
        ui::press (rig.root, { 20, c.pressY });
        ui::release (rig.root, { 20, c.releaseY });
        EXPECT_EQ (menus.menusShown, c.menus) << c.zoom << " " << c.pressY << " " << c.releaseY;
        EXPECT_TRUE (rig.cable.calls.empty());
    }
}
