#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A 30x30 check box. The owner sets the caption fields directly and reads
// checked in its change callback.
class Check_But : public juce::Component,
                  public juce::ChangeBroadcaster
{
public:
    Check_But();

    // Draws the caption beside the box from the parent's paint, when it is not drawn on the box.
    void paintLabelOnParent (juce::Graphics&);

    bool checked = false;
    juce::Colour captionColour { juce::Colours::black };
    float captionHeight = 14.0f;
    bool captionOnItself = false;
    juce::String caption;

    bool isPressed() const noexcept  { return pressed; }

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    void drawCaption (juce::Graphics&, int x, int y) const;

    bool pressed = false;
    juce::Image checkedImage, uncheckedImage, pressedImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Check_But)
};
