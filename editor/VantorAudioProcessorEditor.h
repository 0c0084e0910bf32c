#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <memory>

#include "controls/KitLookAndFeel.h"

class VantorAudioProcessor;
class MainComp;

// The window the host opens: the main component, a corner resizer and, once
// shown, the tooltip window. It takes its size from the main component.
class VantorAudioProcessorEditor : public juce::AudioProcessorEditor,
                                   public juce::ChangeListener,
                                   private juce::Timer
{
public:
    explicit VantorAudioProcessorEditor (VantorAudioProcessor&);
    ~VantorAudioProcessorEditor() override;

    // The narrowest window still shows every function button and the channel
    // label of the top bar (WRITE, SEND and RECV have no other way in).
    static constexpr int minWidth = 653, minHeight = 298, maxWidth = 4000, maxHeight = 1082;

    MainComp& getMainComp() noexcept                     { return *mainComp; }

    void paint (juce::Graphics&) override;
    void resized() override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void parentHierarchyChanged() override;
    void visibilityChanged() override;

private:
    void startWhenShowing();
    void timerCallback() override                        { startWhenShowing(); }
    // The library window is a window of its own: it goes and comes back with ours.
    void followHostWindow (bool onScreen);

    KitLookAndFeel& lookAndFeel = KitLookAndFeel::shared();
    std::unique_ptr<MainComp> mainComp;
    std::unique_ptr<juce::ResizableCornerComponent> corner;
    juce::ComponentBoundsConstrainer constrainer;
    std::unique_ptr<juce::TooltipWindow> tooltips;   // made once the window shows
    juce::Component::SafePointer<juce::Component> hostWindow;
    bool onScreen = false, libraryHiddenByUs = false, windowGone = false;
    void hostWindowGone();
    bool standInLent = false;   // once per opening, when the window shows (see lendHostStandIn)

    // Hands on the X events left in the client library's queue (dispatchQueuedXEvents).
    struct QueuedEvents : public juce::Timer
    {
        void timerCallback() override;
    } queuedEvents;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VantorAudioProcessorEditor)
};
