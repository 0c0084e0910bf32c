#include "controls/StsLabel.h"
#include "controls/KitFonts.h"

StsLabel::StsLabel() = default;

void StsLabel::setup (const juce::String& newText, const juce::String& newFontName, float newFontHeight)
{
    text = newText;
    fontName = newFontName;
    fontHeight = newFontHeight;
    textColour = juce::Colours::white;
    fontStyleFlags = juce::Font::plain;
    justification = juce::Justification::centred;
    repaint();
}

void StsLabel::setText (const juce::String& newText)
{
    if (newText == text)
        return;

    text = newText;
    repaint();
}

juce::Font StsLabel::labelFont() const
{
    // Every "Arial" is the kit's embedded face, so widths match on every machine.
    if (fontName.isEmpty() || fontName == "Arial")
        return kitFont (fontHeight, fontStyleFlags);

    return juce::Font (fontName, fontHeight, fontStyleFlags);
}

void StsLabel::paint (juce::Graphics& g)
{
    if (fillMode >= filled)
    {
        g.setColour (fillColour);
        g.fillRect (getLocalBounds());
    }

    if (fillMode == filledAndFramed)
    {
        g.setColour (frameColour);
        g.drawRect (getLocalBounds(), 1);
    }

    g.setColour (textColour);
    g.setFont (labelFont());
    g.drawText (text, getLocalBounds(), juce::Justification (justification), false);
}

void StsLabel::mouseDown (const juce::MouseEvent& e)
{
    if (e.x >= 1 && e.x < getWidth() && e.y >= 1 && e.y < getHeight())
        sendChangeMessage();
}
