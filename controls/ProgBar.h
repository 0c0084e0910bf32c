#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/StsBut.h"

// The progress overlay of a bank receive: covers its owner, shows a bar, a
// text and "CANCEL". It never closes itself; the owner deletes it at the end
// or from the CANCEL button's callback.
class ProgBar : public juce::Component
{
public:
    static constexpr int cancelId = 999;

    ProgBar (int overlayWidth, int overlayHeight);

    // value = progress held within minimum..maximum; the fill grows 3 px a step.
    void setProgress (int progress, const juce::String& progressText);

    int getValue() const noexcept                 { return value; }
    const juce::String& getText() const noexcept  { return text; }
    StsBut& getCancelButton() noexcept            { return cancel; }
    juce::Label& getLabel() noexcept              { return label; }
    juce::TextButton& getTrack() noexcept         { return track; }
    juce::TextButton& getFill() noexcept          { return fill; }

    int minimum = 0, maximum = 127;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    int value = 0;
    juce::String text;
    StsBut cancel { "CANCEL", cancelId, StsBut::dialogButton };
    juce::Label label;
    juce::TextButton track, fill;
    int boxX, boxHeight = 40, boxY, boxWidth = 400;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgBar)
};
