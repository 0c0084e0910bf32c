#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The three-bar menu button of the top bar.
class AppSetBarBut : public juce::Component,
                     public juce::ChangeBroadcaster
{
public:
    static constexpr int clickedCode = 128;

    AppSetBarBut() = default;

    int changeCode = 0;

    void paint (juce::Graphics&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppSetBarBut)
};
