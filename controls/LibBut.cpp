#include "controls/LibBut.h"
#include "controls/Artwork.h"

LibBut::LibBut (const juce::String& t, int buttonId, float height)
    : text (t), id (buttonId), fontHeight (height),
      body (Artwork::get (Artwork::libButton)),
      rightEnd (Artwork::get (Artwork::libButtonEnd))
{
    setSize (60, 40);
}

void LibBut::setTopLeft (int x, int y)
{
    setBounds (x, y, 100, 34);
    repaint();
}

void LibBut::addListener (LibButListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    if (l != nullptr)
        listeners.add (l);
}

void LibBut::removeListener (LibButListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.remove (l);
}

// The listener may delete this button: stop as soon as it is gone.
template <typename Callback>
void LibBut::fire (Callback&& callback)
{
    listeners.callChecked (juce::Component::BailOutChecker (this), std::forward<Callback> (callback));
}

void LibBut::paint (juce::Graphics& g)
{
    const int y0 = (getHeight() - 24) / 2;
    g.drawImage (body, 0, y0, 100, 24, 0, 0, body.getWidth(), body.getHeight());
    g.drawImage (rightEnd, getWidth() - 5, y0, 5, 24, 0, 0, rightEnd.getWidth(), rightEnd.getHeight());

    if (text.isNotEmpty())
    {
        g.setColour (juce::Colour (0xFFF7F7F7));
        g.setFont (juce::Font ("Arial", fontHeight, juce::Font::plain));
        g.drawText (text, getLocalBounds(), juce::Justification::centred, true);
    }
}

void LibBut::mouseEnter (const juce::MouseEvent&)   { fire ([this] (LibButListener& l) { l.libButEntered (this, id); }); }
void LibBut::mouseExit (const juce::MouseEvent&)    { fire ([this] (LibButListener& l) { l.libButExited (this, id); }); }
void LibBut::mouseDown (const juce::MouseEvent&)    { click(); }
void LibBut::click()                                { fire ([this] (LibButListener& l) { l.libButClicked (this, id); }); }
