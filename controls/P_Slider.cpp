#include "controls/P_Slider.h"
#include "controls/Artwork.h"
#include "engine/MidiCntrState.h"

namespace
{
constexpr int squareY[9] = { 113, 100, 87, 74, 61, 48, 35, 22, 9 };
constexpr int threshold[9] = { 0, 12, 24, 33, 50, 63, 88, 100, 113 };
}

P_Slider::P_Slider (MidiCntrState* e, int w)
    : engine (e), which (w == 2 ? 2 : 1), picture (Artwork::get (Artwork::touchStrip))
{
    setSize (20, 20);
}

int P_Slider::positionId() const noexcept   { return which == 2 ? ParameterIds::slider2 : ParameterIds::slider1; }
int P_Slider::latchId() const noexcept      { return which == 2 ? ParameterIds::sliderLatch2 : ParameterIds::sliderLatch1; }
int P_Slider::litThreshold (int k) noexcept { return threshold[juce::jlimit (0, 8, k)]; }

// Compared with the engine's state, not a copy: the pad and the device move
// the same values, and a return to an earlier value must still be sent.
void P_Slider::setPositionPressure (int p, int q)
{
    if (engine == nullptr)
        return;

    p = juce::jlimit (0, 127, p);
    q = juce::jlimit (0, 127, q);

    const int id = positionId();
    const bool positionDiffers = engine->getValue (id) != p;
    const bool pressureDiffers = engine->getValue (ParameterIds::sliderPress) != q;
    if (! positionDiffers && ! pressureDiffers)
        return;

    // Stored before the listeners hear of it: the processor's host-value echo
    // then finds the engine current and does not send the value a second time.
    engine->setValue (id, p);
    engine->setValue (ParameterIds::sliderPress, q);

    const int channel = engine->getMidiChannel();
    if (positionDiffers)
        engine->sendSliderController (channel, id, p, false, true);
    if (pressureDiffers)
        engine->sendSliderController (channel, ParameterIds::sliderPress, q, false, true);

    repaint();
}

void P_Slider::setDisplay (int p, int q)
{
    if (engine == nullptr)
        return;

    p = juce::jlimit (0, 127, p);
    q = juce::jlimit (0, 127, q);
    if (engine->getValue (positionId()) == p && engine->getValue (ParameterIds::sliderPress) == q)
        return;

    engine->setValue (positionId(), p);
    engine->setValue (ParameterIds::sliderPress, q);
    repaint();
}

void P_Slider::paint (juce::Graphics& g)
{
    const float z = zoom;
    g.drawImage (picture, 0, 0, (int) (36 * z), (int) (130 * z), 0, 0, picture.getWidth(), picture.getHeight());

    if (engine == nullptr)
        return;

    const int position = engine->getValue (positionId());
    const int pressure = engine->getValue (ParameterIds::sliderPress);
    const float side = 8 * z;

    for (int k = 0; k < 9; ++k)
    {
        const float y = z * (float) squareY[k];
        if (position > threshold[k])
        {
            g.setColour (juce::Colour (0xFF800000));
            g.fillRect (21 * z, y, side, side);
        }
        if (pressure > threshold[k])
        {
            g.setColour (juce::Colour (0xFFA3A3A3));
            g.fillRect (21 * z - 15, y, side, side);
        }
    }
}

void P_Slider::mouseDrag (const juce::MouseEvent& e)
{
    const int position = juce::jlimit (0, 127, 127 - (int) ((float) e.y / zoom));
    const int pressure = juce::jlimit (0, 127, (int) ((float) e.x / zoom) - 36);
    setPositionPressure (position, pressure);
}

void P_Slider::mouseUp (const juce::MouseEvent&)
{
    if (engine != nullptr && engine->getValue (latchId()) < 1)
        setPositionPressure (0, 0);
}
