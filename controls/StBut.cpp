#include "controls/StBut.h"
#include "controls/Artwork.h"

StBut::StBut (const juce::String& t, int i)
    : text (t), index (i), picture (Artwork::get (Artwork::categoryButton))
{
    setSize (storedWidth, storedHeight);
}

void StBut::setTopLeft (int x, int y)
{
    storedX = x;
    storedY = y;
    setBounds (x, y, storedWidth, storedHeight);
}

void StBut::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    const int y0 = (int) ((h - 18) * 0.5);

    if (w < 100)
    {
        g.drawImage (picture, 0, y0, w, h, 0, 0, w, 9);
    }
    else
    {
        g.drawImage (picture, 0, y0, w, h, 2, 0, 10, 9);
        g.drawImage (picture, 0, y0, 2, h, 0, 0, 2, 9);
        g.drawImage (picture, w - 2, y0, 2, h, 98, 0, 2, 9);
    }

    if (hover)
        g.fillAll (juce::Colour (0x11000000));
    if (pressed)
        g.fillAll (juce::Colour (0x22000000));

    g.setColour (pressed ? pressedTextColour : textColour);
    g.setFont (juce::Font ("Arial", fontHeight, juce::Font::plain));
    g.drawText (text, getLocalBounds(), juce::Justification::centred, false);
}

void StBut::mouseEnter (const juce::MouseEvent&)   { hover = true;  repaint(); }
void StBut::mouseExit (const juce::MouseEvent&)    { hover = false; repaint(); }
void StBut::mouseDown (const juce::MouseEvent&)    { pressed = true; repaint(); }

void StBut::mouseUp (const juce::MouseEvent& e)
{
    if (! pressed)
        return;

    pressed = false;
    // Released outside: nothing to report, but it must not stay drawn pressed.
    repaint();

    const auto p = e.getPosition();
    if (p.x >= 0 && p.x <= getWidth() && p.y >= 0 && p.y <= getHeight())
        sendChangeMessage();
}
