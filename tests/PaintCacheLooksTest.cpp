#include <gtest/gtest.h>
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"
#include "editor/GroupClass.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

// Pictures the store keeps must never stand in for another look: the same text
// in another colour, a see-through colour, the other layer's header.
namespace
{
const juce::Colour ground (0xFF202428);

juce::Image blank (int w, int h)
{
    juce::Image image (juce::Image::RGB, w, h, true);
    juce::Graphics (image).fillAll (ground);
    return image;
}

int largestDifference (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    int worst = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            worst = juce::jmax (worst, std::abs (p.getRed() - q.getRed()), std::abs (p.getGreen() - q.getGreen()),
                                std::abs (p.getBlue() - q.getBlue()));
        }
    return worst;
}

// A kept picture blended once more than a direct drawing: a level or two.
constexpr int rounding = 2;
}

TEST (PaintCacheLooks, OneTextInEveryColourLooksAsDrawnDirectly)
{
    const juce::Rectangle<int> area (6, 4, 120, 24);
    const auto font = kitFont (14.0f);

    const juce::Colour colours[] =
    {
        juce::Colour (0xFFF0F0F0), juce::Colour (0xFFFF5E5E),     // one text, two opaque colours
        juce::Colour (0x80FFFFFF), juce::Colour (0x40FFC2A6),     // see-through: never applied twice
        juce::Colour (0xFFF0F0F0),                                // and the first again, from the store
    };

    for (const char* text : { "LPF Cutoff", "Osc 2 Shape" })
        for (auto colour : colours)
        {
            auto direct = blank (140, 32), kept = blank (140, 32);
            {
                juce::Graphics g (direct);
                g.setFont (font);
                g.setColour (colour);
                g.drawText (text, area, juce::Justification::centred, true);
            }
            {
                juce::Graphics g (kept);
                PaintCache::drawText (g, text, area, juce::Justification::centred, font, colour, true);
            }
            EXPECT_LE (largestDifference (direct, kept, { 0, 0, 140, 32 }), rounding)
                << text << " in " << colour.toDisplayString (true);
        }
}

// Both layers' panels of one section share everything but the layer; each
// header must show its own letter however often the other was painted first.
TEST (PaintCacheLooks, EachLayersHeaderLooksAsDrawnDirectly)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };

    for (float zoom : { 1.0f, 0.73f })
        for (int section : { 1, 3, 4, 8, 14 })
            for (int round = 0; round < 2; ++round)
                for (int layer : { 0, 1 })
                {
                    SCOPED_TRACE (juce::String::formatted ("section %d layer %d zoom %.2f round %d", section, layer, zoom, round));
                    GroupClass panel (processor, section, layer);
                    panel.setPosition (0, 0, 520 + 40 * (section % 3), 160);
                    panel.setScale (zoom);
                    panel.setShown (true);
                    const int w = panel.getWidth(), h = panel.getHeight();
                    ASSERT_GT (w, 0);
                    ASSERT_GT (h, 16);

                    auto painted = blank (w, h);
                    {
                        juce::Graphics g (painted);
                        panel.paint (g);
                    }

                    const juce::Rectangle<int> bar (0, 0, w, (int) (16.0f * zoom));
                    auto direct = blank (w, h);
                    {
                        juce::Graphics g (direct);
                        g.setColour (juce::Colour (0xFF700010));
                        g.fillRect (bar);
                        g.setFont (kitFont (12.0f * zoom));
                        g.setColour (juce::Colour (0xFFF0F0F0));
                        g.drawText (GroupClass::sectionTitle (section), bar, juce::Justification::centred, true);
                        if (GroupClass::showsLayerLetter (section))
                            g.drawText (layer == 0 ? "A" : "B",
                                        juce::Rectangle<int> ((int) (4.0f * zoom), 0, (int) (200.0f * zoom), (int) (16.0f * zoom)),
                                        juce::Justification::centredLeft, true);
                    }

                    EXPECT_LE (largestDifference (direct, painted, bar), rounding);
                }
}
