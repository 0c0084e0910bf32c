#include <gtest/gtest.h>
#include "controls/Envel.h"
#include "controls/ShapeClass.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

namespace
{
juce::Point<int> handlePoint (const Envel& env, int handle)
{
    const int i = handle == 0 ? 1 : handle == 1 ? 2 : 4;
    const float x = handle == 1 ? (env.pointX (2) + env.pointX (3)) / 2 : env.pointX (i);
    return { (int) (x * env.zoom), (int) (env.pointY (i) * env.zoom) };
}

// One drag event from the handle's point, then the release.
void dragHandle (Envel& env, int handle, int dx, int dy)
{
    const auto from = handlePoint (env, handle);
    ui::drag (shown (env), from, from + juce::Point<int> (dx, dy), 1);
}

int litPixels (const juce::Image& image)
{
    int n = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            n += image.getPixelAt (x, y).getBrightness() > 0.5f;
    return n;
}
}

//==============================================================================
TEST (Envel, HandleDragsMoveTheirValuesAndStopAtTheLimits)
{
    struct Case { int handle, dx, dy; float attack, decay, sustain, release; const char* text; };
    const Case cases[] = {
        { 0, 3, 0, 32, 30, 30, 30, "32" },
        { 0, 30, -40, 50, 30, 30, 30, "50" },          // the peak ignores vertical moves
        { 0, -400, 0, 0, 30, 30, 30, "0" },
        { 0, 400, 0, 127, 30, 30, 30, "127" },
        { 1, 3, -3, 30, 32, 32, 30, "32 , 32" },
        { 1, 0, 60, 30, 30, 0, 30, "  , 0" },          // down lowers sustain, to 0 at most
        { 1, 0, -400, 30, 30, 127, 30, "  , 127" },
        { 2, -2, 0, 30, 30, 30, 29, "29" },
        { 0, 0, 5, 30, 30, 30, 30, " " },              // nothing changed: nothing reported
    };

    for (const auto& c : cases)
    {
        Envel env;
        ChangeRecorder codes (env, [&env] { return env.changeCode; });
        dragHandle (env, c.handle, c.dx, c.dy);
        const auto where = juce::String (c.handle) + " " + juce::String (c.dx) + "," + juce::String (c.dy);
        EXPECT_EQ ((std::vector<float> { env.attack, env.decay, env.sustain, env.release }),
                   (std::vector<float> { c.attack, c.decay, c.sustain, c.release })) << where;
        EXPECT_EQ (env.valueText, c.text) << where;

        // The settle report comes from a timer; a slow message loop may fold the
        // gesture's own report into it, never turn it into another one.
        ASSERT_TRUE (ui::pumpUntil ([&] { return ! codes.seen.empty() && codes.seen.back() == 66; })) << where;
        EXPECT_TRUE (codes.seen.front() == (juce::String (c.text) == " " ? 67 : 1) || codes.seen.size() == 1) << where;
        EXPECT_EQ (codes.seen.back(), 66) << where;
    }
}

TEST (Envel, ClicksThePanelOwnsAreNotGrabs)
{
    struct Case { float zoom; juce::ModifierKeys mods; int code; };
    const Case cases[] = { { 0.5f, ui::leftButton, 100 }, { 1.0f, ui::rightButton, 100 }, { 1.0f, ui::leftButton, 67 } };

    for (const auto& c : cases)
    {
        Envel env;
        env.zoom = c.zoom;
        env.rebuildPath();
        ChangeRecorder codes (env, [&env] { return env.changeCode; });
        ui::press (shown (env), handlePoint (env, 0), c.mods);
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (codes.seen, (std::vector<int> { c.code })) << c.zoom;
        EXPECT_EQ (env.isDragging(), c.code == 67) << c.zoom;
        ui::release (env, handlePoint (env, 0), c.mods);
    }
}

TEST (Envel, HandlesAreFoundWhereTheyAreDrawnAtAnyZoom)
{
    for (float zoom : { 1.0f, 0.75f, 1.5f })
    {
        Envel env;
        env.zoom = zoom;
        env.release = 0;
        env.sustain = 127;
        env.rebuildPath();

        for (int handle : { 0, 1, 2 })
            EXPECT_EQ (env.hitHandle (handlePoint (env, handle).x, handlePoint (env, handle).y), handle) << zoom;
        EXPECT_EQ (env.hitHandle (2, 2), -1) << zoom;
    }
}

//==============================================================================
TEST (ShapeClass, DrawsEveryShapeIndexAndNothingForUnknownOnes)
{
    ShapeClass icon (nullptr, 40);
    for (int index = 0; index <= 21; ++index)
    {
        icon.shapeIndex = index;
        icon.widthValue = 64;
        icon.renderShape();
        EXPECT_EQ (litPixels (icon.getShapePicture()) > 0, index <= 19) << index;
    }
}
