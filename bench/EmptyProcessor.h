#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The least a JUCE effect can be: stereo in and out, MIDI in and out, no state.
// What the plug-in's own load and unload are measured against.
class EmptyProcessor final : public juce::AudioProcessor
{
public:
    EmptyProcessor()
        : AudioProcessor (BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                           .withOutput ("Output", juce::AudioChannelSet::stereo(), true)) {}

    const juce::String getName() const override                          { return "Empty"; }
    void prepareToPlay (double, int) override                            {}
    void releaseResources() override                                     {}
    using AudioProcessor::processBlock;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    double getTailLengthSeconds() const override                         { return 0.0; }
    bool acceptsMidi() const override                                    { return true; }
    bool producesMidi() const override                                   { return true; }
    juce::AudioProcessorEditor* createEditor() override                  { return nullptr; }
    bool hasEditor() const override                                      { return false; }
    int getNumPrograms() override                                        { return 1; }
    int getCurrentProgram() override                                     { return 0; }
    void setCurrentProgram (int) override                                {}
    const juce::String getProgramName (int) override                     { return {}; }
    void changeProgramName (int, const juce::String&) override           {}
    void getStateInformation (juce::MemoryBlock&) override               {}
    void setStateInformation (const void*, int) override                 {}
};
