#include "controls/AppSetBarBut.h"

void AppSetBarBut::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xFF999999));
    g.fillRect (8, 8, 20, 3);
    g.fillRect (8, 14, 20, 3);
    g.fillRect (8, 20, 20, 3);
}

void AppSetBarBut::mouseUp (const juce::MouseEvent&)
{
    changeCode = clickedCode;
    sendChangeMessage();
}
