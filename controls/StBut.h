#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The category button of the category selector. A release inside the button
// broadcasts a change; the owner finds the button by comparing broadcasters.
class StBut : public juce::Component,
              public juce::ChangeBroadcaster
{
public:
    StBut (const juce::String& text, int index);

    void setTopLeft (int x, int y);

    int getIndex() const noexcept                  { return index; }
    const juce::String& getText() const noexcept   { return text; }
    bool isPressed() const noexcept                { return pressed; }

    bool selected = false;   // kept for the owner; not drawn
    int storedX = 0, storedY = 0, storedWidth = 100, storedHeight = 18;
    juce::Colour textColour { 0xFF000000 }, pressedTextColour { 0xFFFFFFFF };
    int stripHeight = 18;
    float fontHeight = 12.0f;

    void paint (juce::Graphics&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    juce::String text;
    int index;
    bool pressed = false, hover = false;
    juce::Image picture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StBut)
};
