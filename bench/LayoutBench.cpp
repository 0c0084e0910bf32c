// Keeping the editor current: a whole new program, and one parameter, repainted.
#include <benchmark/benchmark.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include "controls/StsCont.h"
#include "editor/EditorPanel.h"
#include "editor/GroupClass.h"
#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/VantorAudioProcessor.h"
#include "support/RecordingMidiDevices.h"

namespace
{
struct OpenEditor
{
    OpenEditor()
    {
        processor.getEngine().setEditorOpenedBefore (true);
        editor = std::make_unique<VantorAudioProcessorEditor> (processor);
        editor->getMainComp().start();
        drain();
        paint();
    }

    void drain()   { editor->getMainComp().handleUpdateNowIfNeeded(); }
    juce::Image paint()   { return editor->createComponentSnapshot (editor->getLocalBounds()); }

    // Every control at its minimum, or every control at its maximum.
    ByteArray extremeRecord (bool maxima) const
    {
        ByteArray record ((size_t) ProgramRecord::size);
        const auto& table = processor.parameterTable();
        for (int id = 0; id < ProgramRecord::size; ++id)
            record[(size_t) id] = (juce::uint8) (maxima ? table.maximum (id) : table.minimum (id));
        return record;
    }

    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    std::unique_ptr<VantorAudioProcessorEditor> editor;
};

// All 496 controls take new values; the editor repaints what is in view.
void fullProgramChangeRepainted (benchmark::State& state)
{
    OpenEditor open;
    const ByteArray records[] = { open.extremeRecord (false), open.extremeRecord (true) };
    auto& engine = open.processor.getEngine();
    int n = 0;

    for (auto _ : state)
    {
        {
            const juce::ScopedLock sl (engine.getProgramLock());
            engine.presetBank().setEditBuffer (records[(n++) & 1]);
        }
        engine.postEvent (EngineEvent::make (EngineEvent::editBufferChanged));
        open.drain();
        benchmark::DoNotOptimize (open.paint());
    }
}
BENCHMARK (fullProgramChangeRepainted)->Unit (benchmark::kMillisecond);

// One value arrives; only its control's area needs painting again.
void oneParameterRepainted (benchmark::State& state)
{
    OpenEditor open;
    auto& page = open.editor->getMainComp().getEditorPanel();
    auto* control = page.getPanel (0, 1)->getControl (0);   // oscillator 1 pitch
    const auto area = open.editor->getLocalArea (control, control->getLocalBounds());
    int n = 0;

    for (auto _ : state)
    {
        page.updateControl (control->getKey(), 40 + ((n++) & 1) * 20, false);
        benchmark::DoNotOptimize (open.editor->createComponentSnapshot (area));
    }
}
BENCHMARK (oneParameterRepainted)->Unit (benchmark::kMicrosecond);
}
