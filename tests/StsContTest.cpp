#include <gtest/gtest.h>
#include "controls/StsCont.h"
#include "support/ComponentTestSupport.h"
#include <optional>

namespace
{
struct ClickCounter : public StsContListener
{
    void stsContClicked (int) override  { ++clicks; }
    int clicks = 0;
};

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

struct Request
{
    int id, value;
    bool endGesture;
};

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

TEST (StsContRequests, ClickZonesAndToggles)
{
    struct Case { const char* what; int kind, maximum, width, shown, x, y, expected; };   // expected -1: nothing requested

    const Case cases[] = {
        { "LED off turns on",                StsCont::ledSwitch, 1, 60, 0, 10, 5, 1 },
        { "LED on turns off",                StsCont::ledSwitch, 1, 60, 1, 10, 5, 0 },
        { "LED caption does nothing",        StsCont::ledSwitch, 1, 60, 0, 30, 5, -1 },
        { "3-way left from 0",               StsCont::threeWay,  2, 64, 0, 10, 5, 1 },
        { "3-way right from 0",              StsCont::threeWay,  2, 64, 0, 40, 5, 2 },
        { "3-way left at 2 goes to 0",       StsCont::threeWay,  2, 64, 2, 10, 5, 0 },
        { "3-way right at 1 goes to 0",      StsCont::threeWay,  2, 64, 1, 40, 5, 0 },
        { "3-way gap does nothing",          StsCont::threeWay,  2, 64, 0, 31, 5, -1 },
        { "centred LED on the LED",          StsCont::centredLed, 1, 60, 0, 30, 5, 1 },
        { "centred LED edge is outside",     StsCont::centredLed, 1, 60, 0, 20, 5, -1 },
        { "knob click requests nothing",     StsCont::knob,      127, 60, 5, 30, 20, -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (c.kind, c.maximum, c.width);
        rig.show (c.shown);
        ui::click (rig.root, { c.x, c.y });

        if (const auto got = lastRequest (rig.cable, c.expected))
        {
            EXPECT_EQ (got->id, 7);
            EXPECT_FALSE (got->endGesture);
        }
        EXPECT_EQ (rig.listener.clicks, 0);
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

TEST (StsContRequests, KnobDragStepsWithRange)
{
    struct Case { const char* what; int maximum, shown, dx, dy, expected; };   // expected -1: nothing requested

    const Case cases[] = {
        { "small range: 1 step per 15 px",  7,  2, 31, 0, 4 },
        { "small range: 14 px is no step",  7,  2, 14, 0, -1 },
        { "large range: 1 step per pixel",  127, 20, 10, 0, 30 },
        { "up raises the value",            127, 20, 0, -12, 32 },
        { "right and down cancel",          127, 20, 25, 25, -1 },
        { "clamped at the top",             127, 120, 40, 0, 127 },
        { "clamped at the bottom",          127, 3, -40, 0, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (StsCont::knob, c.maximum);
        rig.show (c.shown);
        ui::drag (rig.root, { 30, 20 }, { 30 + c.dx, 20 + c.dy }, 1);

        if (const auto got = lastRequest (rig.cable, c.expected, false))
            EXPECT_FALSE (got->endGesture);
    }
}

TEST (StsContRequests, LowZoomAndRightClicksOnlyNotify)
{
    struct Case { const char* what; float zoom; bool rightButton; };

    const Case cases[] = {
        { "zoom below 0.6", 0.5f, false },
        { "right click at full size", 1.0f, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (StsCont::ledSwitch, 1, 60, 40, 0, c.zoom);
        rig.show (0);
        ui::click (rig.root, { 5, 5 }, c.rightButton ? juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)
                                                     : juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier));
        EXPECT_TRUE (rig.cable.calls.empty());
        EXPECT_EQ (rig.listener.clicks, 1);
    }
}

TEST (StsContRequests, WheelStepsAtAnyZoom)
{
    struct Case { const char* what; int kind, maximum, shown; float zoom, delta; int expected; };   // -1: nothing requested

    const Case cases[] = {
        { "up on a knob",              StsCont::knob, 127, 5, 1.0f, 1.0f, 6 },
        { "down on a shrunken knob",   StsCont::knob, 127, 5, 0.5f, -1.0f, 4 },
        { "up on a lit LED is dropped", StsCont::ledSwitch, 1, 1, 1.0f, 1.0f, -1 },
        { "zero delta",                StsCont::knob, 127, 5, 1.0f, 0.0f, -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (c.kind, c.maximum, 60, 40, 0, c.zoom);
        rig.show (c.shown);
        ui::wheel (rig.root, { 5, 5 }, c.delta);

        lastRequest (rig.cable, c.expected);
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
        ui::pump (20);

        EXPECT_EQ (menus.menusShown > 0, c.menuShown);
        if (const auto got = lastRequest (rig.cable, c.expected))
            EXPECT_TRUE (got->endGesture);
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
