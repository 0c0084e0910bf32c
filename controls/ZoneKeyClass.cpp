#include "controls/ZoneKeyClass.h"
#include "controls/OctaveKeyClass.h"
#include "controls/Artwork.h"
#include "controls/PaintCache.h"

ZoneKeyClass::ZoneKeyClass()
    : picture (Artwork::get (Artwork::miniKeys))
{
    setSize (269, 18);
}

void ZoneKeyClass::paint (juce::Graphics& g)
{
    const float z = zoom;
    PaintCache::drawImage (g, picture, 0, 0, (int) (269 * z), (int) (18 * z), 0, 0, 269, 18);

    const float px = (float) OctaveKeyClass::noteToPixel (juce::jlimit (0, 127, splitNote)) * z;
    g.setColour (juce::Colour (0x66000000));
    if (shadeMode == 0)
        g.fillRect (px, 0.0f, (float) getWidth() - px, 18 * z);
    else if (shadeMode == 1)
        g.fillRect (0.0f, 0.0f, px, 18 * z);
}

void ZoneKeyClass::mouseUp (const juce::MouseEvent& e)
{
    if (getLocalBounds().contains (e.getPosition()))
        sendChangeMessage();
}
