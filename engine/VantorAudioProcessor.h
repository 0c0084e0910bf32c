#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include "engine/ParameterTable.h"

// The object the host loads: an effect that passes audio through and
// presents the synthesizer's program as 624 host parameters and 99 programs.
class VantorAudioProcessor : public juce::AudioProcessor
{
public:
    static constexpr int numPrograms = 99;

    VantorAudioProcessor();
    ~VantorAudioProcessor() override;

    const juce::String getName() const override            { return "Prophet 12 Vantor"; }

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}

    const juce::String getInputChannelName (int index) const override   { return juce::String (index + 1); }
    const juce::String getOutputChannelName (int index) const override  { return juce::String (index + 1); }
    bool isInputChannelStereoPair (int) const override                  { return true; }
    bool isOutputChannelStereoPair (int) const override                 { return true; }

    double getTailLengthSeconds() const override            { return 0.0; }
    bool acceptsMidi() const override                       { return true; }
    bool producesMidi() const override                      { return true; }
    void reset() override {}
    void numChannelsChanged() override {}

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override                         { return true; }

    int getNumPrograms() override                           { return numPrograms; }
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    // Host parameters by host index (0-623).
    float hostValue (int hostIndex) const;
    void setHostValue (int hostIndex, float normalised);
    juce::String hostParameterName (int hostIndex) const;
    juce::String hostParameterText (int hostIndex) const;

    const ParameterTable& parameterTable() const noexcept   { return table; }

private:
    ParameterTable table;
    int currentPreset = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VantorAudioProcessor)
};
