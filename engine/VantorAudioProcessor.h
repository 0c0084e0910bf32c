#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <array>
#include "engine/MidiCntrState.h"

// The object the host loads: an effect that passes audio through, presents the
// synthesizer's program as 624 host parameters and the preset bank as 99 host
// programs, and hands the engine's MIDI for the host out in processBlock.
class VantorAudioProcessor : public juce::AudioProcessor,
                             public juce::ChangeListener,
                             public CableListener,
                             private juce::Timer
{
public:
    static constexpr int numPrograms = 99;
    static constexpr int bankChunkSize = 102430;
    static constexpr int bankChunkMinimum = 101405;   // header and 99 slots
    static constexpr int programChunkSize = 1057;
    static constexpr int gestureDelayMs = 200;

    explicit VantorAudioProcessor (MidiDeviceSystem& devices = MidiDeviceSystem::juceDevices());
    ~VantorAudioProcessor() override;

    const juce::String getName() const override            { return "Prophet 12 Vantor"; }

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    using AudioProcessor::processBlock;
    using AudioProcessor::processBlockBypassed;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}

    const juce::String getInputChannelName (int index) const override   { return juce::String (index + 1); }
    const juce::String getOutputChannelName (int index) const override  { return juce::String (index + 1); }
    bool isInputChannelStereoPair (int) const override                  { return true; }
    bool isOutputChannelStereoPair (int) const override                 { return true; }
    bool silenceInProducesSilenceOut() const override                   { return false; }

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
    static void writeProgramChunk (const ByteArray& record, juce::MemoryBlock& block);
    // Whether bytes are a whole chunk of that kind, tag included: files are checked before loading.
    static bool isProgramChunk (const void* data, size_t numBytes);
    static bool isBankChunk (const void* data, size_t numBytes);

    // The single edit entry.
    void parameterChanged (ParameterId id, int value, bool endGestureNow, bool sendToDevice, bool notifyEditor) override;
    void sendParameterToDevice (ParameterId id, int value);
    void endGesture (int hostIndex);
    bool isGestureOpen (int hostIndex) const;

    // Our own change of programs (the librarian's): the host rereads them.
    void tellHostProgramsChanged()                          { engine.requestHostRefresh(); }
    // Whether this thread may call the host. JUCE's Linux wrapper runs a message
    // thread of its own while no editor is open; a host that answers a call from
    // it by calling the dispatcher makes the wrapper stop that thread from inside
    // itself, and both hang. Only threads JUCE did not start are the host's.
    static bool mayCallHost();

    // Host parameters by host index (0-623).
    float hostValue (int hostIndex) const;
    void setHostValue (int hostIndex, float normalised);
    juce::String hostParameterName (int hostIndex) const;
    juce::String hostParameterText (int hostIndex) const;
    // The text of any value, and the value of a typed text, as hosts ask for them.
    juce::String hostParameterText (int hostIndex, float normalised) const;
    float hostValueForText (int hostIndex, const juce::String& text) const;

    MidiCntrState& getEngine() noexcept                     { return engine; }
    const ParameterTable& parameterTable() const noexcept   { return engine.parameterTable(); }

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void timerCallback() override;
    void endGesture (int hostIndex, bool tellHostNow);
    // What waited for a thread of the host's: values (each inside a gesture) and a program refresh.
    void deliverHostNotifications();
    // A program we replaced: the host's copy of each value that differs follows, without a
    // gesture, so that hosts keep no stale copy and record no automation from it.
    void tellHostChangedValues();
    void rememberHostHolds (int hostIndex, float normalised);
    // The host chose or restored a program itself, and rereads the values it holds.
    void hostHoldsCurrentValues();
    juce::AudioProcessorParameter* hostParameter (int hostIndex) const;
    void reportChange (ParameterId id, int value, bool endGestureNow, bool sendToDevice, bool notifyEditor);
    int hostToValue (ParameterId id, float normalised) const;
    float normalisedFor (ParameterId id, int value) const;
    juce::String valueText (ParameterId id, int value) const;

    MidiCntrState engine;

    juce::CriticalSection gestureLock;
    static constexpr int gestureSlots = 2000;   // one per host index, with room to spare
    std::array<juce::uint8, gestureSlots> gestureFlags {};
    juce::Array<juce::uint16> pendingGestureEnds;
    juce::Array<juce::uint16> deferredValues;
    // Each value as the host holds it, as far as we know.
    std::array<std::atomic<float>, ParameterTable::numHostParameters> hostHolds;
    std::atomic<bool> refreshPending { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VantorAudioProcessor)
};
