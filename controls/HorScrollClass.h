#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A horizontal scroll bar with a position from 0 to a maximum. The listener
// reads the position back after a change broadcast.
class HorScrollClass : public juce::Component,
                       public juce::ChangeBroadcaster
{
public:
    HorScrollClass();

    int pageStep = 2;
    int maximum = 11;
    int thumbWidth = 60;

    int getPosition() const noexcept   { return position; }
    void setPosition (int newPosition);

    int step() const noexcept;          // pixels per position, at least 1
    int thumbLeft() const noexcept;     // where a click meets the thumb

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;

private:
    int position = 0;
    juce::Image bar;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HorScrollClass)
};
