#include "controls/StsResor.h"
#include "controls/Artwork.h"

StsResor::StsResor()
    : knobStrip (Artwork::get (Artwork::knobStrip)),
      knobBackground { Artwork::get (Artwork::knobBack0), Artwork::get (Artwork::knobBack1), Artwork::get (Artwork::knobBack2) },
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
    const auto s = [z] (int v) { return (int) ((float) v * z); };

    // Background rectangles by style: source region, then the width it is drawn at.
    struct Back { int sx, sy, sw, sh; };
    static constexpr Back backs[3] = { { 16, 14, 50, 50 }, { 16, 14, 50, 48 }, { 6, 14, 70, 60 } };

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
