#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class VantorAudioProcessor;

class VantorAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit VantorAudioProcessorEditor (VantorAudioProcessor&);

    void paint (juce::Graphics&) override;
    void parentHierarchyChanged() override;

private:
    juce::Component::SafePointer<juce::Component> hostWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VantorAudioProcessorEditor)
};
