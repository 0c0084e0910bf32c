#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The about box, also the splash of the first editor opening: a dimmed cover
// over the whole editor that any click, or its own timer, asks the owner to close.
class AboutPanel : public juce::Component,
                   public juce::ChangeBroadcaster,
                   private juce::Timer
{
public:
    AboutPanel (int parentWidth, int autoCloseMs);
    ~AboutPanel() override;

    static juce::String versionText()                        { return "Version 2.7.0"; }

    void centreBox();
    juce::Rectangle<int> getBox() const noexcept             { return box; }
    bool isTimerRunningFlag() const noexcept                 { return timerRunning; }
    void stop();

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    void timerCallback() override;

    juce::Rectangle<int> box;
    bool timerRunning = false;
    juce::Image splash, lower;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutPanel)
};
