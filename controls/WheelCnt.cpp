#include "controls/WheelCnt.h"
#include "controls/Artwork.h"
#include "engine/MidiCntrState.h"
#include <cmath>

WheelCnt::WheelCnt (MidiCntrState* e, int, int, int initialValue, bool isPitchWheel)
    : engine (e), spring (isPitchWheel),
      sprite (Artwork::get (Artwork::wheelStrip))
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setSize (31, 112);
    setValue (initialValue, false);
}

void WheelCnt::setValue (int v, bool send)
{
    const float clamped = juce::jlimit (minimum, maximum, (float) v);
    if (clamped == value)
        return;

    value = clamped;
    frame = (int) (value * framesPerUnit);

    if (send && engine != nullptr)
    {
        const int channel = engine->getMidiChannel();
        if (spring)
        {
            engine->sendPitchWheel (channel, (int) (value * 128.0f));
        }
        else
        {
            engine->sendModWheel (channel, (int) value);
        }
    }

    repaint();
}

void WheelCnt::setDesignBounds (float x, float y, float w, float h)
{
    designX = x;
    designY = y;
    designW = w;
    designH = h;
    setScale (zoom);
}

void WheelCnt::setScale (float z)
{
    zoom = z;
    setBounds ((int) (designX * z), (int) (designY * z), (int) (designW * z), (int) (designH * z));
}

void WheelCnt::paint (juce::Graphics& g)
{
    // The last frame runs past the strip's edge: read only what is there.
    const int sx = frame * 54;
    const int sw = juce::jmin (55, sprite.getWidth() - sx);
    if (sw > 0)
        g.drawImage (sprite, 0, 0, (int) (31 * zoom * (float) sw / 55.0f), (int) (112 * zoom), sx, 0, sw, 200);
}

void WheelCnt::mouseDown (const juce::MouseEvent& e)
{
    dragStartY = e.y;
    dragStartValue = (int) value;
}

void WheelCnt::mouseDrag (const juce::MouseEvent& e)
{
    const int next = dragStartValue - (e.y - dragStartY);
    if ((float) next != value)
        setValue (next, true);
}

void WheelCnt::mouseUp (const juce::MouseEvent&)
{
    if (spring)
        setValue (64, true);
}

void WheelCnt::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0)
        setValue ((int) value + 1, true);
    else if (wheel.deltaY < 0)
        setValue ((int) value - 1, true);
}
