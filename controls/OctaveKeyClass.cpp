#include "controls/OctaveKeyClass.h"
#include "controls/Artwork.h"
#include "engine/MidiCntrState.h"

namespace
{
constexpr int noteOffset[12] = { 0, 4, 6, 9, 10, 11, 14, 16, 20, 22, 23, 26 };
constexpr int whiteKeyNote[7] = { 0, 1, 2, 2, 3, 4, 5 };   // added to the white-key index
}

OctaveKeyClass::OctaveKeyClass (MidiCntrState* e)
    : engine (e), picture (Artwork::get (Artwork::miniKeys))
{
    setOpaque (true);
    setSize (269, 18);
    setMouseCursor (juce::MouseCursor::LeftRightResizeCursor);
}

int OctaveKeyClass::noteToPixel (int note) noexcept
{
    note = juce::jmax (0, note);
    return 25 * (note / 12) + noteOffset[note % 12];
}

// Left of the first key there is no key: note 0; past the last, note 127.
int OctaveKeyClass::pixelToNote (float x) noexcept
{
    if (! (x > 0.0f))
        return 0;

    const float w = x / 3.573f;
    const int octave = (int) (w / 7.0f);
    const int k = juce::jlimit (0, 6, (int) (w - 7.0f * (float) octave));
    return juce::jmin (127, (int) (w + (float) whiteKeyNote[k]) + 5 * octave);
}

void OctaveKeyClass::setStartNote (int n)
{
    startNote = n < 12 ? 0 : juce::jmin (72, n / 12 * 12);
    repaint();
}

void OctaveKeyClass::setScale (float z, int width)
{
    zoom = z;
    setBounds ((int) (55 * z), (int) (37 * z), (int) ((float) width * z), (int) (16 * z));
}

// The start is one octave (25 unscaled pixels) left of the pointer.
void OctaveKeyClass::pick (int x)
{
    if (x < 0 || x > getWidth())
        return;

    setStartNote (pixelToNote ((float) x / zoom - 25.0f));
    if (engine != nullptr)
        engine->setKeyboardOctave (startNote / 12);
}

void OctaveKeyClass::mouseDown (const juce::MouseEvent& e)   { pick (e.x); }
void OctaveKeyClass::mouseDrag (const juce::MouseEvent& e)   { pick (e.x); }

void OctaveKeyClass::paint (juce::Graphics& g)
{
    const float z = zoom;
    g.drawImage (picture, 0, 0, (int) (269 * z), (int) (18 * z), 0, 0, 269, 18);

    g.setColour (juce::Colour (0x66000000));
    g.fillRect (0.0f, 0.0f, (float) noteToPixel (startNote) * z, 18 * z);
    const float right = juce::jmax (0.0f, (float) noteToPixel (startNote + span) * z);
    g.fillRect (right, 0.0f, (float) juce::roundToInt (270 * z), 18 * z);
}
