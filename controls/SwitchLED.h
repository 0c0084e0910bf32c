#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// An LED toggle with a caption; only a click on the LED itself toggles it.
class SwitchLED : public juce::Component,
                  public juce::ChangeBroadcaster
{
public:
    explicit SwitchLED (const juce::String& caption);

    // Written directly by the owner; read back in its change callback.
    juce::String caption;
    bool on = false;
    juce::Colour captionColour { 0xFFFEFEFE };
    float captionHeight = 10.0f;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    juce::Image ledImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SwitchLED)
};
