#include <gtest/gtest.h>
#include "editor/EditorRules.h"
#include <limits>

using namespace EditorRules;

TEST (EditorRules, OpeningSizeFallsBackAndFitsTheMonitor)
{
    const juce::Rectangle<int> fullHd (0, 0, 1920, 1080), small (0, 0, 1024, 700), none;

    struct Case { int w, h; juce::Rectangle<int> monitor; int expectW, expectH; };
    const Case cases[] = {
        { 0, 0, fullHd, 1200, 730 } /* no geometry file */, { 99, 99, fullHd, 1200, 730 }, { 1500, 900, fullHd, 1500, 900 },
        { 3000, 2000, fullHd, 1910, 1070 }, { 0, 0, small, 1014, 690 },
        { 0, 0, none, 1200, 730 } /* headless */, { 5000, 5000, none, 1910, 1070 },
    };
    for (const auto& c : cases)
    {
        const auto size = openingSize (c.w, c.h, c.monitor);
        EXPECT_EQ (size.x, c.expectW) << c.w << "x" << c.h;
        EXPECT_EQ (size.y, c.expectH) << c.w << "x" << c.h;
    }
}

TEST (EditorRules, StoredZoomsFallBack)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();

    struct Case { float stored, opening, restored; };
    const Case cases[] = { { 0.0f, 1.0f, 1.5f }, { 0.05f, 1.0f, 1.5f }, { 0.1f, 0.1f, 0.1f }, { 0.8f, 0.8f, 0.8f },
                           { 1.5f, 1.5f, 1.5f }, { 2.0f, 1.5f, 1.5f }, { nan, 1.0f, 1.5f } };
    for (const auto& c : cases)
    {
        EXPECT_FLOAT_EQ (openingZoom (c.stored), c.opening) << c.stored;
        EXPECT_FLOAT_EQ (restoredZoom (c.stored), c.restored) << c.stored;
    }

    EXPECT_FLOAT_EQ (openingKeyboardZoom (0.19f), 1.0f);
    EXPECT_FLOAT_EQ (openingKeyboardZoom (0.2f), 0.2f);
    EXPECT_EQ (openingKeyboardHeight (49), 172);
    EXPECT_EQ (openingKeyboardHeight (50), 50);
}

TEST (EditorRules, ZoomHandleClampsToTheMonitor)
{
    struct Case { float requested; int monitorHeight; float expected; };
    const Case cases[] = {
        { 5000.0f, 900, 710.0f }, { 5000.0f, 1000, 710.0f }, { 5000.0f, 1080, 838.0f }, { 5000.0f, 1200, 838.0f },
        { 5000.0f, 1440, 1030.0f }, { 150.0f, 1080, 200.0f }, { -40.0f, 1080, 200.0f }, { 500.0f, 1080, 500.0f },
        { std::numeric_limits<float>::infinity(), 1080, 200.0f },
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (clampedPageHeight (c.requested, c.monitorHeight), c.expected) << c.requested << " on " << c.monitorHeight;

    EXPECT_FLOAT_EQ (zoomForPageHeight (838.0f), 1.2f);
    EXPECT_FLOAT_EQ (focusScale (1599), 1.0f);
    EXPECT_FLOAT_EQ (focusScale (1700), 1.3f);
    EXPECT_FLOAT_EQ (focusScale (2001), 1.5f);
}

TEST (EditorRules, ProgressTextsAndKeyCommands)
{
    EXPECT_EQ (progressText (1, 11), "U2:12");   // a factory bank's shows in the main component's transfer test

    // Digit keys 1-9 show tabs 1-7, 10 and 11; 0 and the player's other commands nothing.
    const std::pair<int, int> commands[] = { { 726, -1 }, { 727, 1 }, { 733, 7 }, { 734, 10 }, { 735, 11 }, { 736, -1 }, { 0, -1 } };
    for (const auto& c : commands)
        EXPECT_EQ (sectionForKeyCommand (c.first), c.second) << c.first;
}
