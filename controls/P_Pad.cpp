#include "controls/P_Pad.h"
#include "controls/Artwork.h"
#include "engine/MidiCntrState.h"

P_Pad::P_Pad (MidiCntrState* e)
    : engine (e), picture (Artwork::get (Artwork::xyPad))
{
    setSize (90, 90);
}

// The engine's values decide what is sent: the strips and the device move the
// same sliders, so the pad's own last values may be stale.
void P_Pad::setXY (int a, int b)
{
    if (engine == nullptr)
        return;

    a = juce::jlimit (0, 127, a);
    b = juce::jlimit (0, 127, b);

    const bool aDiffers = engine->getValue (ParameterIds::slider1) != a;
    const bool bDiffers = engine->getValue (ParameterIds::slider2) != b;
    vertical = a;
    horizontal = b;
    if (! aDiffers && ! bDiffers)
        return;

    // Stored first, as the strips do, so the host-value echo sends nothing twice.
    engine->setValue (ParameterIds::slider1, a);
    engine->setValue (ParameterIds::slider2, b);

    const int channel = engine->getMidiChannel();
    if (aDiffers)
        engine->sendSliderController (channel, ParameterIds::slider1, a, false, true);
    if (bDiffers)
        engine->sendSliderController (channel, ParameterIds::slider2, b, false, true);

    repaint();
}

void P_Pad::paint (juce::Graphics& g)
{
    const float z = zoom;
    g.fillAll (juce::Colours::black);
    g.drawImage (picture, 0, 0, (int) (90 * z), (int) (90 * z), 0, 0, picture.getWidth(), picture.getHeight());

    if (engine == nullptr)
        return;

    g.setColour (juce::Colour (0xFFC8C8C8));
    const int v1 = engine->getValue (ParameterIds::slider1);
    const int v2 = engine->getValue (ParameterIds::slider2);

    if (v1 > 0)
    {
        const float y = (float) juce::jmax (1, (int) (88.0f - (float) v1 * 11.0f / 16.0f + 1.0f)) * z;
        g.drawLine (z, y, 89 * z, y, 1.0f);
    }
    if (v2 > 0)
    {
        const float x = (float) (int) ((float) v2 * 11.0f / 16.0f + 1.0f) * z;
        g.drawLine (x, z, x, 89 * z, 1.0f);
    }
}

void P_Pad::mouseDrag (const juce::MouseEvent& e)
{
    const float a = (float) (88 - (int) ((float) e.y / zoom)) * 16.0f / 11.0f;
    const float b = (float) (int) ((float) e.x / zoom) * 16.0f / 11.0f;
    setXY ((int) juce::jlimit (0.0f, 127.0f, a), (int) juce::jlimit (0.0f, 127.0f, b));
}

void P_Pad::mouseUp (const juce::MouseEvent&)
{
    if (engine == nullptr)
        return;

    if (engine->getValue (ParameterIds::sliderLatch1) < 1)
        setXY (0, engine->getValue (ParameterIds::slider2));
    if (engine->getValue (ParameterIds::sliderLatch2) < 1)
        setXY (engine->getValue (ParameterIds::slider1), 0);
}
