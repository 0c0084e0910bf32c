// The plug-in's VST entry: JUCE's, with one opcode kept from its wrapper.
// The wrapper copies every host MIDI event list before the plug-in is reached,
// and reads through a null list, through SysEx events without data and past
// the end of a list whose count is larger than the list. The plug-in discards
// the host's MIDI in processBlock anyway (it talks to the synthesizer over the
// synthesizer's own ports), so the lists are taken here and go no further.
// JUCE's own entry is built under another name (see CMakeLists.txt).
#undef VSTPluginMain
#include "pluginterfaces/vst2.x/aeffectx.h"

#include <atomic>

extern "C" AEffect* vantorJuceVSTPluginMain (audioMasterCallback host);

namespace
{
// The same for every instance: JUCE gives all of them one dispatcher. Hosts may
// open instances on several threads at once.
std::atomic<AEffectDispatcherProc> juceDispatcher { nullptr };

VstIntPtr VSTCALLBACK dispatcher (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode == effProcessEvents)
        return 1;   // taken, as the wrapper answers a plug-in that wants MIDI
    return juceDispatcher.load() (effect, opcode, index, value, ptr, opt);
}
}

extern "C" __attribute__ ((visibility ("default"))) AEffect* VSTPluginMain (audioMasterCallback host)
{
    auto* effect = vantorJuceVSTPluginMain (host);
    if (effect != nullptr && effect->dispatcher != dispatcher)
    {
        juceDispatcher = effect->dispatcher;
        effect->dispatcher = dispatcher;
    }
    return effect;
}
