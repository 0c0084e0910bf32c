// Speed of the engine's hot paths. Run: cmake -DVANTOR_BUILD_BENCHMARKS=ON, then build/bench/vantor_bench.
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "support/RecordingMidiDevices.h"
#include "support/SimulatedSynth.h"
#include <cstdlib>
#include <thread>

namespace
{
ByteArray randomRecord()
{
    juce::Random random (42);
    ByteArray record ((size_t) ProgramRecord::size);
    for (auto& b : record)
        b = (juce::uint8) random.nextInt (256);
    return record;
}

void packRecord (benchmark::State& state)
{
    const auto record = randomRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize (DSI_Program::pack (record));
}
BENCHMARK (packRecord);

void unpackRecord (benchmark::State& state)
{
    const auto packed = DSI_Program::pack (randomRecord());
    for (auto _ : state)
        benchmark::DoNotOptimize (DSI_Program::unpack (packed.data(), packed.size()));
}
BENCHMARK (unpackRecord);

void buildProgramDump (benchmark::State& state)
{
    const auto record = randomRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize (DSI_Program::programDump (record, 3, 42));
}
BENCHMARK (buildProgramDump);

void processBlockWithQueuedEvents (benchmark::State& state)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);
    processor.prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> audio (2, 512);
    audio.clear();
    juce::MidiBuffer midi;
    midi.ensureSize (8192);
    auto& engine = processor.getEngine();
    const int queued = (int) state.range (0);

    for (auto _ : state)
    {
        state.PauseTiming();
        for (int i = 0; i < queued; ++i)
            engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, i & 127), i);
        state.ResumeTiming();
        processor.processBlock (audio, midi);
    }
}
BENCHMARK (processBlockWithQueuedEvents)->Arg (0)->Arg (100);

void bankChunkRoundTrip (benchmark::State& state)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);
    for (auto _ : state)
    {
        juce::MemoryBlock chunk;
        processor.getStateInformation (chunk);
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
    }
}
BENCHMARK (bankChunkRoundTrip);

// The engine's own time per program of a bank receive, against a synth that answers at once.
void bankReceivePerProgram (benchmark::State& state)
{
    SimulatedSynth synth;
    {
        MidiCntrState engine (synth);
        engine.selectInputPort (1);
        engine.selectOutputPort (1);

        for (auto _ : state)
        {
            engine.takeEvents();
            engine.startBankReceive (3, 3);
            for (bool done = false; ! done;)
            {
                for (auto e : engine.takeEvents())
                    done = done || EngineEvent::kindOf (e) == EngineEvent::bankReceiveFinished;
                std::this_thread::yield();
            }
        }
        state.SetItemsProcessed (state.iterations() * 99);
    }
}
BENCHMARK (bankReceivePerProgram)->Unit (benchmark::kMillisecond)->UseRealTime();

// Decoding one incoming NRPN: four controllers through the dispatch.
void decodeIncomingNrpn (benchmark::State& state)
{
    RecordingMidiDevices devices;
    MidiCntrState engine (devices);
    const juce::MidiMessage ccs[] = { juce::MidiMessage::controllerEvent (1, 99, 0), juce::MidiMessage::controllerEvent (1, 98, 41),
                                      juce::MidiMessage::controllerEvent (1, 6, 0), juce::MidiMessage::controllerEvent (1, 38, 7) };
    int n = 0;
    for (auto _ : state)
    {
        for (auto& m : ccs)
            engine.handleIncomingMidiMessage (nullptr, m);
        if (++n == 1000)
        {
            engine.takeIncomingParameters();
            n = 0;
        }
    }
}
BENCHMARK (decodeIncomingNrpn);

// One note from the device through to an editor: queue, listener call, drain.
void deviceEventToEditor (benchmark::State& state)
{
    struct Editor : public MidiCntrStateListener
    {
        int calls = 0;
        void midiCntrStateChanged (MidiCntrState*) override   { ++calls; }
    };

    RecordingMidiDevices devices;
    MidiCntrState engine (devices);
    Editor editor;
    engine.addListener (&editor);
    const auto note = juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100);
    int n = 0;
    for (auto _ : state)
    {
        engine.handleIncomingMidiMessage (nullptr, note);
        if (++n == 1000)
        {
            engine.takeEvents();
            n = 0;
        }
    }
    engine.removeListener (&editor);
}
BENCHMARK (deviceEventToEditor);

void constructProcessor (benchmark::State& state)
{
    RecordingMidiDevices devices;
    for (auto _ : state)
        VantorAudioProcessor processor (devices);
}
BENCHMARK (constructProcessor)->Unit (benchmark::kMillisecond);
}

int main (int argc, char** argv)
{
    // Keep the user's settings out of it.
    char home[] = "/tmp/vantor-bench-home-XXXXXX";
    if (mkdtemp (home) == nullptr)
        return 1;
    setenv ("HOME", home, 1);
    unsetenv ("XDG_CONFIG_HOME");

    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::File (home).deleteRecursively();
    return 0;
}
