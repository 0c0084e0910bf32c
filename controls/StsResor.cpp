#include "controls/StsResor.h"
#include "controls/Artwork.h"
#include "controls/PaintCache.h"

namespace
{
// Background rectangles by style: source region, then the width it is drawn at.
struct Back { int sx, sy, sw, sh; };
constexpr Back backs[3] = { { 16, 14, 50, 50 }, { 16, 14, 50, 48 }, { 6, 14, 70, 60 } };
}

StsResor::StsResor()
    : knobStrip (Artwork::get (Artwork::knobStrip)),
      knobBackground { Artwork::get (Artwork::knobBack0), Artwork::get (Artwork::knobBack1), Artwork::get (Artwork::knobBack2) },
      dropBar (Artwork::get (Artwork::dropBar)),
      dropArrow (Artwork::get (Artwork::dropArrow)),
      dropFrame (Artwork::get (Artwork::dropFrame)),
      led (Artwork::get (Artwork::led)),
      whiteUp (Artwork::get (Artwork::whiteKeyUp)),
      whiteDown (Artwork::get (Artwork::whiteKeyDown)),
      blackUp (Artwork::get (Artwork::blackKeyUp)),
      blackDown (Artwork::get (Artwork::blackKeyDown))
{
    setVisible (false);
}

int StsResor::knobFrameX (int knobFrame) noexcept
{
    return Artwork::knobFrameX (juce::jlimit (0, numKnobFrames - 1, knobFrame));
}

const juce::Image& StsResor::keyImage (bool black, bool down) const noexcept
{
    if (black)
        return down ? blackDown : blackUp;
    return down ? whiteDown : whiteUp;
}

void StsResor::drawKnob (juce::Graphics& g, int w, int knobFrame, int knobStyle, float z) const
{
    knobFrame = juce::jlimit (0, numKnobFrames - 1, knobFrame);
    if (knobStyle < 0 || knobStyle >= numKnobStyles)
        knobStyle = numKnobStyles - 1;   // no background

    const auto s = [z] (int v) { return (int) ((float) v * z); };
    const auto& b = backs[juce::jmin (knobStyle, 2)];
    auto area = juce::Rectangle<int> (s ((w - 38) / 2), s (8), s (56), s (56))
                    .getUnion ({ s ((w - 38) / 2 + 7), s (15), s (30), s (30) });
    if (knobStyle < 3)
        area = area.getUnion ({ s ((w - b.sw) / 2), 0, s (b.sw), s (b.sh) });

    // Every knob of one look, position and zoom is the same picture: compose it once.
    PaintCache::Key key;
    key.kind = 0x6b6e6f62;   // knob
    key.number1 = (juce::uint64) (juce::uint32) knobFrame | ((juce::uint64) (juce::uint32) knobStyle << 8)
                | ((juce::uint64) (juce::uint32) w << 32);
    key.number2 = PaintCache::floatBits (z);

    g.setColour (juce::Colours::black);
    PaintCache::drawPicture (g, key, area, false, [&] (juce::Graphics& pg)
    {
        drawKnobLayers (pg, w, knobFrame, knobStyle, z);
    });
}

void StsResor::drawKnobLayers (juce::Graphics& g, int w, int knobFrame, int knobStyle, float z) const
{
    const auto s = [z] (int v) { return (int) ((float) v * z); };

    g.setColour (juce::Colour (0xbb000000));

    if (knobStyle >= 0 && knobStyle < 3 && knobBackground[knobStyle].isValid())
    {
        const auto& b = backs[knobStyle];
        g.drawImage (knobBackground[knobStyle], s ((w - b.sw) / 2), 0, s (b.sw), s (b.sh), b.sx, b.sy, b.sw, b.sh);
    }

    g.setColour (juce::Colour (0x88000000));
    g.fillEllipse ((float) s ((w - 38) / 2 + 7), (float) s (15), (float) s (30), (float) s (30));

    if (knobStrip.isValid())
    {
        g.setColour (juce::Colours::black);
        g.drawImage (knobStrip, s ((w - 38) / 2), s (8), s (56), s (56), knobFrameX (knobFrame), 0, 56, 56);
    }
}
