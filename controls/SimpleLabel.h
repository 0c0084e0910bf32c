#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A plain one-line text label; the owner writes the text.
class SimpleLabel : public juce::Component
{
public:
    SimpleLabel (float fontHeight, juce::Colour background, void* unused, int fontStyleFlags, int justificationFlags);

    juce::Colour backgroundColour, textColour { juce::Colours::white };
    float fontHeight;
    int fontStyle, justification;
    juce::String text;

    void paint (juce::Graphics&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SimpleLabel)
};
