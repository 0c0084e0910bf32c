#include "Host.h"

#include <dlfcn.h>
#include <cstring>

namespace vsthost
{
HostState host;

thread_local bool onAudioThread = false;
thread_local int currentBlockFrames = -1;

void HostState::anomaly (const std::string& what)
{
    const std::lock_guard<std::mutex> l (lock);
    if (anomalies.size() < 8)
        anomalies.push_back (what);
    ++anomalyCount;
}

void HostState::clearMidi()
{
    const std::lock_guard<std::mutex> l (lock);
    midiOut.clear();
}

size_t HostState::midiCount()
{
    const std::lock_guard<std::mutex> l (lock);
    return midiOut.size();
}

VstIntPtr VSTCALLBACK hostCallback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        case audioMasterVersion:                return kVstVersion;
        case audioMasterAutomate:
            ++host.automateCalls;
            if (effect != nullptr && (index < 0 || index >= effect->numParams))
                host.anomaly ("automate for parameter index " + std::to_string (index));
            if (! (opt >= 0.0f && opt <= 1.0f))
                host.anomaly ("automate value " + std::to_string (opt) + " for parameter " + std::to_string (index));
            {
                const std::lock_guard<std::mutex> l (host.lock);
                host.automated[{ effect, index }] = opt;
            }
            if (auto* answer = host.answerCallback.load())
                answer (effect, opcode);
            return 0;
        case audioMasterUpdateDisplay:
            ++host.updateDisplayCalls;
            if (auto* answer = host.answerCallback.load())
                answer (effect, opcode);
            return 1;
        case audioMasterBeginEdit:
        {
            ++host.beginEditCalls;
            const std::lock_guard<std::mutex> l (host.lock);
            ++host.openGestures[{ effect, index }];
            return 1;
        }
        case audioMasterEndEdit:
        {
            ++host.endEditCalls;
            bool unmatched = false;
            {
                const std::lock_guard<std::mutex> l (host.lock);
                unmatched = --host.openGestures[{ effect, index }] < 0;
            }
            if (unmatched)
                host.anomaly ("endEdit without beginEdit for parameter " + std::to_string (index));
            return 1;
        }
        case audioMasterGetSampleRate:          return (VstIntPtr) host.sampleRate.load();
        case audioMasterGetBlockSize:           return host.blockSize.load();
        case audioMasterGetCurrentProcessLevel: return onAudioThread ? kVstProcessLevelRealtime : kVstProcessLevelUser;
        case audioMasterGetTime:                return 0;
        case audioMasterGetProductString:       std::strcpy ((char*) ptr, "vsthost"); return 1;
        case audioMasterGetVendorString:        std::strcpy ((char*) ptr, "test"); return 1;
        case audioMasterSizeWindow:
            host.sizeWindowWidth = index;
            host.sizeWindowHeight = (int) value;
            ++host.sizeWindowCalls;
            return 1;
        case audioMasterCanDo:
        {
            const std::string s ((const char*) ptr);
            return (s == "sendVstEvents" || s == "sendVstMidiEvent" || s == "receiveVstEvents"
                    || s == "receiveVstMidiEvent" || s == "sizeWindow") ? 1 : 0;
        }
        case audioMasterProcessEvents:
        {
            auto* events = (VstEvents*) ptr;
            if (events == nullptr)
            {
                host.anomaly ("processEvents with no event list");
                return 0;
            }
            const int frames = currentBlockFrames;
            std::vector<std::vector<unsigned char>> received;
            for (int i = 0; i < events->numEvents; ++i)
            {
                auto* e = events->events[i];
                if (e == nullptr)
                {
                    host.anomaly ("processEvents with a null event");
                    continue;
                }
                if (frames >= 0 && (e->deltaFrames < 0 || (e->deltaFrames >= frames && frames > 0)))
                    host.anomaly ("MIDI out at frame " + std::to_string (e->deltaFrames) + " of a "
                                  + std::to_string (frames) + "-frame block");
                if (e->type == kVstMidiType)
                {
                    auto* m = (VstMidiEvent*) e;
                    if ((m->midiData[0] & 0x80) == 0)
                        host.anomaly ("MIDI out without a status byte");
                    received.push_back ({ (unsigned char) m->midiData[0], (unsigned char) m->midiData[1],
                                          (unsigned char) m->midiData[2] });
                }
                else if (e->type == kVstSysExType)
                {
                    auto* s = (VstMidiSysexEvent*) e;
                    if (s->sysexDump == nullptr || s->dumpBytes <= 0)
                    {
                        host.anomaly ("empty SysEx out");
                        continue;
                    }
                    received.emplace_back ((unsigned char*) s->sysexDump, (unsigned char*) s->sysexDump + s->dumpBytes);
                }
                else
                    host.anomaly ("event of type " + std::to_string (e->type));
            }
            const std::lock_guard<std::mutex> l (host.lock);
            for (auto& r : received)
                host.midiOut.push_back (std::move (r));
            return 1;
        }
        default: return 0;
    }
}

VstIntPtr dispatch (AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return e->dispatcher (e, opcode, index, value, ptr, opt);
}

std::string getString (AEffect* e, VstInt32 opcode, VstInt32 index)
{
    char buffer[512] = {};
    dispatch (e, opcode, index, 0, buffer);
    return buffer;
}

std::vector<char> chunk (AEffect* e, bool program)
{
    void* data = nullptr;
    auto size = dispatch (e, effGetChunk, program ? 1 : 0, 0, &data);
    if (data == nullptr || size <= 0)
        return {};
    return std::vector<char> ((char*) data, (char*) data + size);
}

bool Library::load (const std::string& file)
{
    path = file;
    handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* why = dlerror();
        error = "dlopen failed: " + std::string (why != nullptr ? why : "?");
        return false;
    }
    entry = (EntryPoint) dlsym (handle, "VSTPluginMain");
    if (entry == nullptr)
    {
        error = "no VSTPluginMain";
        unload();
        return false;
    }
    return true;
}

void Library::unload()
{
    if (handle != nullptr)
        dlclose (handle);
    handle = nullptr;
    entry = nullptr;
}

bool Instance::open (EntryPoint entry)
{
    close();
    auto* created = entry (hostCallback);
    if (created == nullptr || created->magic != kEffectMagic)
        return false;
    e = created;
    dispatch (e, effOpen);
    return true;
}

void Instance::close()
{
    if (e != nullptr)
        dispatch (e, effClose);
    e = nullptr;
}
} // namespace vsthost
