#include "controls/ZoneKeyClassB.h"
#include "controls/Artwork.h"

namespace
{
constexpr int noteOffset[12] = { 0, 5, 8, 12, 15, 19, 22, 29, 33, 36, 41, 43 };
}

ZoneKeyClassB::ZoneKeyClassB()
    : picture (Artwork::get (Artwork::zoneKeys))
{
    setOpaque (true);
    setBounds (20, 24, 505, 34);
    setVisible (false);
}

void ZoneKeyClassB::setNote (int n)
{
    note = shownNote = juce::jlimit (0, 127, n);
    repaint();
}

// Drags run on past both ends; the note stays a note.
int ZoneKeyClassB::noteAt (int x) const noexcept
{
    const float perNote = 505.0f / (float) juce::jmax (1, noteCount);
    return juce::jlimit (0, 127, (int) ((float) x / perNote));
}

void ZoneKeyClassB::pick (int x, int code)
{
    const int n = noteAt (x);
    if (n != shownNote)
        setNote (n);

    changeCode = code;
    sendChangeMessage();
}

void ZoneKeyClassB::mouseDown (const juce::MouseEvent& e)
{
    pick (e.x, picked);
    dragging = true;
}

void ZoneKeyClassB::mouseDrag (const juce::MouseEvent& e)
{
    if (dragging)
        pick (e.x, dragged);
}

void ZoneKeyClassB::mouseUp (const juce::MouseEvent&)
{
    dragging = false;
    changeCode = picked;
    sendChangeMessage();
}

void ZoneKeyClassB::paint (juce::Graphics& g)
{
    const float z = zoom;
    g.drawImage (picture, 0, 0, (int) (505 * z), (int) (34 * z), 0, 0, 505, 34);

    const float px = (float) (49 * (note / 12) + noteOffset[note % 12]) * z;
    g.setColour (juce::Colour (0x66000000));
    g.fillRect (0.0f, 0.0f, px, 34 * z);
}
