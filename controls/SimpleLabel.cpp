#include "controls/SimpleLabel.h"

SimpleLabel::SimpleLabel (float height, juce::Colour background, void*, int styleFlags, int justificationFlags)
    : backgroundColour (background), fontHeight (height), fontStyle (styleFlags), justification (justificationFlags)
{
    setSize (100, 20);
}

void SimpleLabel::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
    if (text.isEmpty())
        return;

    g.setColour (textColour);
    g.setFont (juce::Font ("Arial", fontHeight, fontStyle));
    g.drawText (text, juce::Rectangle<int> (0, 0, getWidth(), 20), juce::Justification (justification), true);
}
