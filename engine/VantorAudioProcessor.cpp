#include "engine/VantorAudioProcessor.h"
#include "engine/HostParameter.h"
#include "editor/VantorAudioProcessorEditor.h"

VantorAudioProcessor::VantorAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    for (int i = 0; i < ParameterTable::numHostParameters; ++i)
        addParameter (new HostParameter (*this, i));

    setLatencySamples (0);
}

VantorAudioProcessor::~VantorAudioProcessor() = default;

// Exactly stereo in and out: accepting any equal count would make the wrapper offer 64 channels.
bool VantorAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == juce::AudioChannelSet::stereo()
        && layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

void VantorAudioProcessor::prepareToPlay (double, int)
{
    setLatencySamples (0);
}

void VantorAudioProcessor::releaseResources() {}

void VantorAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    midi.clear();

    for (int ch = getTotalNumInputChannels(); ch < getTotalNumOutputChannels(); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());
}

juce::AudioProcessorEditor* VantorAudioProcessor::createEditor()
{
    return new VantorAudioProcessorEditor (*this);
}

int VantorAudioProcessor::getCurrentProgram()
{
    if (currentPreset < 0)
        currentPreset = 0;
    return currentPreset;
}

void VantorAudioProcessor::setCurrentProgram (int index)
{
    if (juce::isPositiveAndBelow (index, numPrograms))
        currentPreset = index;
}

const juce::String VantorAudioProcessor::getProgramName (int) { return {}; }
void VantorAudioProcessor::changeProgramName (int, const juce::String&) {}

void VantorAudioProcessor::getStateInformation (juce::MemoryBlock&) {}
void VantorAudioProcessor::setStateInformation (const void*, int) {}
void VantorAudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock&) {}
void VantorAudioProcessor::setCurrentProgramStateInformation (const void*, int) {}

float VantorAudioProcessor::hostValue (int) const { return 0.0f; }
void VantorAudioProcessor::setHostValue (int, float) {}

juce::String VantorAudioProcessor::hostParameterName (int hostIndex) const
{
    if (! ParameterTable::isHostIndex (hostIndex))
        return juce::String (hostIndex);

    const auto id = table.idForHostIndex (hostIndex);

    if (id < ParameterIds::layerB)
        return "A " + table.name (id);
    if (id < ParameterIds::programSelect)
        return "B " + table.name (id - ParameterIds::layerB);
    return table.name (id);
}

juce::String VantorAudioProcessor::hostParameterText (int) const { return {}; }

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VantorAudioProcessor();
}
