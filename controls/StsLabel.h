#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A text that can be filled and framed; a click inside its outer pixel row
// and column broadcasts a change.
class StsLabel : public juce::Component,
                 public juce::ChangeBroadcaster
{
public:
    enum FillMode { noFill = 0, filled = 1, filledAndFramed = 2 };

    StsLabel();

    void setup (const juce::String& text, const juce::String& fontName, float fontHeight);
    void setText (const juce::String&);
    const juce::String& getText() const noexcept  { return text; }

    // Written directly by the owner.
    int fillMode = noFill;
    juce::Colour fillColour, frameColour;
    juce::Colour textColour { juce::Colours::white };
    int justification = juce::Justification::centred;
    int fontStyleFlags = juce::Font::plain;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    juce::Font labelFont() const;

    float fontHeight = 14.0f;
    juce::String fontName;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsLabel)
};
