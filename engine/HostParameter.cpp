#include "engine/HostParameter.h"
#include "engine/VantorAudioProcessor.h"

float HostParameter::getValue() const                 { return processor.hostValue (index); }
void HostParameter::setValue (float newValue)         { processor.setHostValue (index, newValue); }

juce::String HostParameter::getName (int maximumStringLength) const
{
    return processor.hostParameterName (index).substring (0, juce::jmin (maxNameLength, maximumStringLength));
}

juce::String HostParameter::getText (float, int maximumStringLength) const
{
    return getCurrentValueAsText().substring (0, maximumStringLength);
}

juce::String HostParameter::getCurrentValueAsText() const
{
    return processor.hostParameterText (index);
}
