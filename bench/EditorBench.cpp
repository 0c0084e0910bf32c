// Opening the editor and painting it whole, against JUCE's generic editor for the same processor.
#include <benchmark/benchmark.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include "controls/PaintCache.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"
#include "support/RecordingMidiDevices.h"

namespace
{
void openAndPaintEditor (benchmark::State& state)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);
    processor.getEngine().setEditorOpenedBefore (true);

    for (auto _ : state)
    {
        VantorAudioProcessorEditor editor (processor);
        editor.getMainComp().start();
        benchmark::DoNotOptimize (editor.createComponentSnapshot (editor.getLocalBounds()));
    }
}
BENCHMARK (openAndPaintEditor)->Unit (benchmark::kMillisecond);

// The first opening in a process: every kept label, knob and control picture drawn anew.
void openAndPaintEditorFirstTime (benchmark::State& state)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);
    processor.getEngine().setEditorOpenedBefore (true);

    for (auto _ : state)
    {
        PaintCache::clear();
        VantorAudioProcessorEditor editor (processor);
        editor.getMainComp().start();
        benchmark::DoNotOptimize (editor.createComponentSnapshot (editor.getLocalBounds()));
    }
}
BENCHMARK (openAndPaintEditorFirstTime)->Unit (benchmark::kMillisecond);

void openAndPaintGenericEditor (benchmark::State& state)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);

    for (auto _ : state)
    {
        juce::GenericAudioProcessorEditor editor (processor);
        editor.setSize (1200, 730);
        benchmark::DoNotOptimize (editor.createComponentSnapshot (editor.getLocalBounds()));
    }
}
BENCHMARK (openAndPaintGenericEditor)->Unit (benchmark::kMillisecond);
}
