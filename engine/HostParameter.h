#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class VantorAudioProcessor;

// One of the 624 host parameters; its value lives in the processor, not here.
class HostParameter : public juce::AudioProcessorParameter
{
public:
    // Names handed to the host are cut to this length.
    static constexpr int maxNameLength = 16;

    HostParameter (VantorAudioProcessor& owner, int hostIndex) : processor (owner), index (hostIndex) {}

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override                    { return 0.0f; }
    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override                    { return {}; }
    juce::String getText (float normalisedValue, int maximumStringLength) const override;
    juce::String getCurrentValueAsText() const override;
    float getValueForText (const juce::String& text) const override;
    bool isAutomatable() const override                       { return true; }
    bool isMetaParameter() const override                     { return false; }

private:
    VantorAudioProcessor& processor;
    const int index;
};
