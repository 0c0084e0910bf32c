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

// When a host closes the plug-in with the editor still open, JUCE's Linux VST
// wrapper lets its own message thread run again before the host window goes,
// and that thread may be painting into it. The wrapper takes us out of that
// window first: take the window down then, while the host still drives the
// message loop.
void VantorAudioProcessorEditor::parentHierarchyChanged()
{
    if (auto* parent = getParentComponent())
    {
        hostWindow = parent;
        return;
    }

    if (auto* window = hostWindow.getComponent())
        if (window->isOnDesktop())
            window->removeFromDesktop();

    hostWindow = nullptr;
}
