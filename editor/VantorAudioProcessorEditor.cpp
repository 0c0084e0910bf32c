#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"

VantorAudioProcessorEditor::VantorAudioProcessorEditor (VantorAudioProcessor& p)
    : AudioProcessorEditor (p)
{
    setSize (800, 500);
}

void VantorAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Arial", 20.0f, juce::Font::plain));
    g.drawText ("OFF-LINE", getLocalBounds(), juce::Justification::centred);
}
