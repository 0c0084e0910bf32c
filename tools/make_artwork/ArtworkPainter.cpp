#include "ArtworkPainter.h"
#include "controls/Artwork.h"

namespace
{
juce::Typeface::Ptr loadFace (const juce::File& file)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.getSize() == 0)
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}

void standIn (juce::Graphics& g, int w, int h)
{
    const auto r = juce::Rectangle<float> (0, 0, (float) w, (float) h);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff2c3034), 0, 0, juce::Colour (0xff15171a), 0, (float) h, false));
    g.fillRect (r);
    g.setColour (juce::Colour (0xff4a5056));
    g.drawRect (r, 1.0f);
}
}

ArtworkPainter::ArtworkPainter (const juce::File& fontFolder)
    : regular (loadFace (fontFolder.getChildFile ("LiberationSans-Regular.ttf"))),
      bold (loadFace (fontFolder.getChildFile ("LiberationSans-Bold.ttf")))
{
}

juce::Font ArtworkPainter::font (float height, bool isBold) const
{
    return juce::Font (isBold ? bold : regular).withHeight (height);
}

juce::Image ArtworkPainter::draw (const juce::String&, int w, int h) const
{
    juce::Image image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    standIn (g, w, h);
    return image;
}
