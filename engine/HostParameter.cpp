#include "engine/HostParameter.h"
#include "engine/VantorAudioProcessor.h"

float HostParameter::getValue() const                 { return processor.hostValue (index); }
void HostParameter::setValue (float newValue)         { processor.setHostValue (index, newValue); }

juce::String HostParameter::getName (int maximumStringLength) const
{
    return processor.hostParameterName (index).substring (0, juce::jmin (maxNameLength, maximumStringLength));
}

juce::String HostParameter::getText (float normalisedValue, int maximumStringLength) const
{
    return processor.hostParameterText (index, normalisedValue).substring (0, maximumStringLength);
}

float HostParameter::getValueForText (const juce::String& text) const
{
    return processor.hostValueForText (index, text);
}

juce::String HostParameter::getCurrentValueAsText() const
{
    return processor.hostParameterText (index);
}
