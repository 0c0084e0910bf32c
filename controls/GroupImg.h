#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A coloured overlay over a section panel, shown for a while or until hidden.
// A click on it is broadcast.
class GroupImg : public juce::Component,
                 public juce::ChangeBroadcaster,
                 private juce::Timer
{
public:
    explicit GroupImg (juce::Colour colour);

    // Shows it on top; hides it again after the given time, or never for 0 or less.
    void show (int milliseconds);
    void hide();

    bool isShown() const noexcept { return shown; }

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    void timerCallback() override;

    bool shown = false;
    juce::Colour colour;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GroupImg)
};
