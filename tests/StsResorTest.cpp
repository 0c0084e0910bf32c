#include <gtest/gtest.h>
#include "controls/StsResor.h"

namespace
{
juce::Image knob (int width, int frame, int style, float zoom)
{
    juce::SharedResourcePointer<StsResor> resources;
    juce::Image image (juce::Image::ARGB, 90, 80, true);
    juce::Graphics g (image);
    resources->drawKnob (g, width, frame, style, zoom);
    return image;
}

int differingPixels (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += a.getPixelAt (x, y) != b.getPixelAt (x, y);
    return n;
}
}

TEST (StsResor, KnobFramesAndStylesDrawDifferently)
{
    // The mark moves between frames inside the knob face; the face itself sits
    // at ((w - 38) / 2, 8, 56, 56).
    const auto face = juce::Rectangle<int> (21, 8, 56, 56);
    EXPECT_GT (differingPixels (knob (80, 0, 0, 1.0f), knob (80, 60, 0, 1.0f), face), 20);
    EXPECT_GT (differingPixels (knob (80, 30, 0, 1.0f), knob (80, 31, 0, 1.0f), face), 0);

    // Style 3 has no background; the others draw one.
    const auto whole = juce::Rectangle<int> (0, 0, 90, 80);
    for (int style : { 0, 1, 2 })
        EXPECT_GT (differingPixels (knob (80, 10, style, 1.0f), knob (80, 10, 3, 1.0f), whole), 50) << style;

    // Out-of-range frames and styles draw the nearest frame, and nothing outside.
    EXPECT_EQ (differingPixels (knob (80, -5, 0, 1.0f), knob (80, 0, 0, 1.0f), whole), 0);
    EXPECT_EQ (differingPixels (knob (80, 99, 0, 1.0f), knob (80, 60, 0, 1.0f), whole), 0);
    EXPECT_EQ (differingPixels (knob (80, 10, 7, 1.0f), knob (80, 10, 3, 1.0f), whole), 0);
}

TEST (StsResor, KnobScalesWithZoom)
{
    // At half zoom nothing is drawn right of or below the scaled knob.
    const auto small = knob (80, 30, 2, 0.5f);
    const auto empty = juce::Image (juce::Image::ARGB, 90, 80, true);
    EXPECT_EQ (differingPixels (small, empty, { 46, 0, 44, 80 }), 0);
    EXPECT_EQ (differingPixels (small, empty, { 0, 36, 90, 44 }), 0);
    EXPECT_GT (differingPixels (small, empty, { 0, 0, 46, 36 }), 100);
}
