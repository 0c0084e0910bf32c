#include "controls/SwitchLED.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"

SwitchLED::SwitchLED (const juce::String& captionToUse)
    : caption (captionToUse), ledImage (Artwork::get (Artwork::switchLed))
{
}

void SwitchLED::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::black);
    g.drawImage (ledImage, 0, 5, 14, 9, on ? 15 : 0, 0, 14, 9);
    g.setColour (captionColour);
    g.setFont (kitFont (captionHeight));
    g.drawText (caption, 20, 0, 140, 18, juce::Justification::centredLeft, true);
}

void SwitchLED::mouseDown (const juce::MouseEvent& e)
{
    if (e.x >= 20)
        return;

    on = ! on;
    sendChangeMessage();
    repaint();
}
