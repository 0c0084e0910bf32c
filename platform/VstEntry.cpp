// The plug-in's VST entry: JUCE's, with one opcode and empty blocks kept from its wrapper.
// The wrapper copies every host MIDI event list before the plug-in is reached,
// and reads through a null list, through SysEx events without data and past
// the end of a list whose count is larger than the list. The plug-in discards
// the host's MIDI in processBlock anyway (it talks to the synthesizer over the
// synthesizer's own ports), so the lists are taken here and go no further.
// Blocks of no frames (hosts flush with them, some without any buffers), and
// blocks without input buffers, are passed over: the wrapper would read and
// copy through the null buffers.
// JUCE's own entry is built under another name (see CMakeLists.txt).
#undef VSTPluginMain
#include "pluginterfaces/vst2.x/aeffectx.h"

#include <algorithm>
#include <atomic>

extern "C" AEffect* vantorJuceVSTPluginMain (audioMasterCallback host);

namespace
{
// The same for every instance: JUCE gives all of them one dispatcher. Hosts may
// open instances on several threads at once.
std::atomic<AEffectDispatcherProc> juceDispatcher { nullptr };

std::atomic<AEffectProcessProc> juceProcess { nullptr };
std::atomic<AEffectProcessDoubleProc> juceProcessDouble { nullptr };

VstIntPtr VSTCALLBACK dispatcher (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode == effProcessEvents)
        return 1;   // taken, as the wrapper answers a plug-in that wants MIDI
    return juceDispatcher.load() (effect, opcode, index, value, ptr, opt);
}

// Frames to process and somewhere to read them from: the wrapper copies every
// input channel and replaces missing output channels with its own.
template <typename Sample>
bool isProcessable (const AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 sampleFrames)
{
    if (sampleFrames <= 0 || inputs == nullptr || outputs == nullptr)
        return false;
    for (int i = 0; i < effect->numInputs; ++i)
        if (inputs[i] == nullptr)
            return false;
    return true;
}

// A block passed over still plays silence, not what the host left in its buffers.
template <typename Sample>
void silence (const AEffect* effect, Sample** outputs, VstInt32 sampleFrames)
{
    if (outputs == nullptr || sampleFrames <= 0)
        return;
    for (int i = 0; i < effect->numOutputs; ++i)
        if (outputs[i] != nullptr)
            std::fill (outputs[i], outputs[i] + sampleFrames, Sample());
}

void VSTCALLBACK processReplacing (AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (isProcessable (effect, inputs, outputs, sampleFrames))
        juceProcess.load() (effect, inputs, outputs, sampleFrames);
    else
        silence (effect, outputs, sampleFrames);
}

void VSTCALLBACK processDoubleReplacing (AEffect* effect, double** inputs, double** outputs, VstInt32 sampleFrames)
{
    if (isProcessable (effect, inputs, outputs, sampleFrames))
        juceProcessDouble.load() (effect, inputs, outputs, sampleFrames);
    else
        silence (effect, outputs, sampleFrames);
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback host)
{
    auto* effect = vantorJuceVSTPluginMain (host);
    if (effect == nullptr)
        return effect;

    if (effect->dispatcher != dispatcher)
    {
        juceDispatcher = effect->dispatcher;
        effect->dispatcher = dispatcher;
    }
    if (effect->processReplacing != nullptr && effect->processReplacing != processReplacing)
    {
        juceProcess = effect->processReplacing;
        effect->processReplacing = processReplacing;
    }
    if (effect->processDoubleReplacing != nullptr && effect->processDoubleReplacing != processDoubleReplacing)
    {
        juceProcessDouble = effect->processDoubleReplacing;
        effect->processDoubleReplacing = processDoubleReplacing;
    }
    return effect;
}
