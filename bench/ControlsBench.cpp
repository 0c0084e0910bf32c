// Speed of the controls that repaint most: knobs while dragged, the grid during a bank receive.
#include <benchmark/benchmark.h>
#include "controls/StsCont.h"
#include "controls/StsGrid.h"
#include "engine/MidiCntrState.h"
#include "support/RecordingMidiDevices.h"

namespace
{
struct NoCable : public CableListener
{
    void parameterChanged (ParameterId, int, bool, bool, bool) override {}
};

void paintKnob (benchmark::State& state)
{
    NoCable cable;
    StsCont knob (cable, 0);
    knob.setup (1, "Cutoff", 0, 16, 80, 80, 0, 127, StsCont::knob, 0);
    juce::Image image (juce::Image::ARGB, 80, 80, true);
    int value = 0;

    for (auto _ : state)
    {
        value = (value + 1) % 128;
        knob.setValue (value, juce::String (value));
        juce::Graphics g (image);
        knob.paintEntireComponent (g, false);
    }
}
BENCHMARK (paintKnob);

void paintGridPage (benchmark::State& state)
{
    RecordingMidiDevices devices;
    MidiCntrState engine (devices);
    StsGrid grid (engine);
    grid.setDefaultColours();
    grid.setColumnWidths ({ 50, 140, 100, 0 });
    grid.setScrollBarWidth (32);
    grid.setSize (340, 46 * 10);
    grid.fill (StsGrid::bankMode, 4);
    juce::Image image (juce::Image::ARGB, grid.getWidth(), grid.getHeight(), true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        grid.paintEntireComponent (g, false);
    }
}
BENCHMARK (paintGridPage)->Unit (benchmark::kMicrosecond);

void fillGridByCategory (benchmark::State& state)
{
    RecordingMidiDevices devices;
    MidiCntrState engine (devices);
    StsGrid grid (engine);

    for (auto _ : state)
        grid.fill (StsGrid::categoryMode, 3);
}
BENCHMARK (fillGridByCategory)->Unit (benchmark::kMicrosecond);
}
