// What a host pays to create and destroy the processor, and to load and close
// the plug-in, beside an empty JUCE effect of the same build: with a fresh HOME
// (no settings folder yet) and a warm one (the files of an earlier run).
// "vs_empty" is the ratio of their medians.
#include <benchmark/benchmark.h>
#include "engine/VantorAudioProcessor.h"
#include "EmptyProcessor.h"
#include "engine/SettingsFiles.h"
#include "support/RecordingMidiDevices.h"
#include "pluginterfaces/vst2.x/aeffectx.h"
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

// Other work on the machine comes in bursts: the ratio is taken of the medians.
double median (std::vector<double> v)
{
    std::sort (v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

void reportAgainstEmpty (benchmark::State& state, const std::vector<double>& times, const std::vector<double>& emptyTimes, bool fresh)
{
    state.counters["median_ms"] = benchmark::Counter (median (times) * 1000.0);
    state.counters["empty_median_ms"] = benchmark::Counter (median (emptyTimes) * 1000.0);
    state.counters["vs_empty"] = benchmark::Counter (median (times) / median (emptyTimes));
    state.SetLabel (fresh ? "fresh HOME" : "warm HOME");
}

template <typename Processor>
double secondsToCreateAndDestroy()
{
    const auto start = Clock::now();
    {
        Processor processor;
        benchmark::DoNotOptimize (&processor);
    }
    return std::chrono::duration<double> (Clock::now() - start).count();
}

// Each iteration times both, interleaved, so they share the machine's mood.
void createAndDestroyProcessor (benchmark::State& state)
{
    const bool fresh = state.range (0) == 0;
    const auto home = juce::File (std::getenv ("HOME")).getChildFile ("load-bench");
    home.deleteRecursively();
    home.createDirectory();
    const juce::String previousHome (std::getenv ("HOME"));
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    if (! fresh)
        VantorAudioProcessor warmUp;

    std::vector<double> times, emptyTimes;
    for (auto _ : state)
    {
        if (fresh)
            home.getChildFile ("VantorConfig").deleteRecursively();   // outside the timed part

        times.push_back (secondsToCreateAndDestroy<VantorAudioProcessor>());
        emptyTimes.push_back (secondsToCreateAndDestroy<EmptyProcessor>());
        state.SetIterationTime (times.back());
    }
    reportAgainstEmpty (state, times, emptyTimes, fresh);

    setenv ("HOME", previousHome.toRawUTF8(), 1);
    home.deleteRecursively();
}
BENCHMARK (createAndDestroyProcessor)->Arg (0)->Arg (1)->UseManualTime()->Unit (benchmark::kMillisecond);

//==============================================================================
// A start with a ports file of 10 MB of random bytes beside one with a good
// ports file, interleaved: "extra_ms" is what the damaged file costs.
void startWithRandomPortsFile (benchmark::State& state)
{
    const auto home = juce::File (std::getenv ("HOME")).getChildFile ("ports-bench");
    home.deleteRecursively();
    home.createDirectory();
    const juce::String previousHome (std::getenv ("HOME"));
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    const auto portsFile = home.getChildFile ("VantorConfig").getChildFile (SettingsFiles::portsFileName);
    const auto good = SettingsFiles::encodePortsFile ({ "Synth In", "Synth Out", "NONE", "0" });
    juce::Random random (25);
    ByteArray noise ((size_t) 10 * 1024 * 1024);
    for (auto& b : noise)
        b = (juce::uint8) random.nextInt (256);

    RecordingMidiDevices devices ({ "Synth In" }, { "Synth Out" });
    { VantorAudioProcessor warmUp (devices); }

    const auto timedStart = [&] (const ByteArray& ports)
    {
        SettingsFiles::writeWholeFile (ports, portsFile);
        const auto start = Clock::now();
        {
            VantorAudioProcessor processor (devices);
            benchmark::DoNotOptimize (&processor);
        }
        return std::chrono::duration<double> (Clock::now() - start).count();
    };

    std::vector<double> goodTimes, randomTimes;
    for (auto _ : state)
    {
        goodTimes.push_back (timedStart (good));
        randomTimes.push_back (timedStart (noise));
        state.SetIterationTime (randomTimes.back());
    }

    state.counters["good_median_ms"] = benchmark::Counter (median (goodTimes) * 1000.0);
    state.counters["random_median_ms"] = benchmark::Counter (median (randomTimes) * 1000.0);
    state.counters["extra_ms"] = benchmark::Counter ((median (randomTimes) - median (goodTimes)) * 1000.0);

    setenv ("HOME", previousHome.toRawUTF8(), 1);
    home.deleteRecursively();
}
BENCHMARK (startWithRandomPortsFile)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (20);

//==============================================================================
// As a host loads a plug-in: a new process opens the library, creates one
// instance through the VST entry point, closes it and unloads the library.
// The empty effect is built with the same JUCE modules and settings.
VstIntPtr VSTCALLBACK quietHost (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

bool loadAndCloseInNewProcess (const char* path)
{
    const pid_t child = fork();
    if (child == 0)
    {
        // The plug-in's output (JUCE's leak reports, say) is not the benchmark's.
        if (const int devNull = open ("/dev/null", O_WRONLY); devNull >= 0)
        {
            dup2 (devNull, STDOUT_FILENO);
            dup2 (devNull, STDERR_FILENO);
        }
        void* library = dlopen (path, RTLD_NOW | RTLD_LOCAL);
        auto entry = library != nullptr ? (AEffect* (*) (audioMasterCallback)) dlsym (library, "VSTPluginMain") : nullptr;
        AEffect* effect = entry != nullptr ? entry (quietHost) : nullptr;
        if (effect == nullptr)
            _exit (1);
        effect->dispatcher (effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
        dlclose (library);
        _exit (0);
    }
    int status = 0;
    return child > 0 && waitpid (child, &status, 0) == child && WIFEXITED (status) && WEXITSTATUS (status) == 0;
}

// VANTOR_BENCH_PLUGIN measures another build of the plug-in against the same empty effect.
const char* pluginPath()
{
    const char* other = std::getenv ("VANTOR_BENCH_PLUGIN");
    return other != nullptr && *other != 0 ? other : VANTOR_PLUGIN_PATH;
}

void loadAndClosePlugin (benchmark::State& state)
{
    const bool fresh = state.range (0) == 0;
    const auto home = juce::File (std::getenv ("HOME")).getChildFile ("plugin-load-bench");
    home.deleteRecursively();
    home.createDirectory();
    const juce::String previousHome (std::getenv ("HOME"));
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    if (! fresh && ! loadAndCloseInNewProcess (pluginPath()))
        state.SkipWithError ("the plug-in did not load");

    std::vector<double> times, emptyTimes;
    for (auto _ : state)
    {
        if (fresh)
            home.getChildFile ("VantorConfig").deleteRecursively();

        auto start = Clock::now();
        if (! loadAndCloseInNewProcess (pluginPath()))
            state.SkipWithError ("the plug-in did not load");
        times.push_back (std::chrono::duration<double> (Clock::now() - start).count());

        start = Clock::now();
        if (! loadAndCloseInNewProcess (EMPTY_PLUGIN_PATH))
            state.SkipWithError ("the empty effect did not load");
        emptyTimes.push_back (std::chrono::duration<double> (Clock::now() - start).count());

        state.SetIterationTime (times.back());
    }
    reportAgainstEmpty (state, times, emptyTimes, fresh);

    setenv ("HOME", previousHome.toRawUTF8(), 1);
    home.deleteRecursively();
}
BENCHMARK (loadAndClosePlugin)->Arg (0)->Arg (1)->UseManualTime()->Unit (benchmark::kMillisecond)->MinTime (2.0);
}
