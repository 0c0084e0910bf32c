// The host side of vsthost: loading a plug-in with dlopen, its entry point,
// the callback it talks back through, and the dispatcher calls.
#pragma once

#include "pluginterfaces/vst2.x/aeffectx.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vsthost
{
// The plug-in calls back from its own threads (audio, message thread), so
// everything here is safe to touch from any of them.
struct HostState
{
    std::atomic<int> automateCalls { 0 }, beginEditCalls { 0 }, endEditCalls { 0 };
    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> blockSize { 512 };
    std::atomic<int> sizeWindowWidth { 0 }, sizeWindowHeight { 0 }, sizeWindowCalls { 0 };
    std::atomic<int> updateDisplayCalls { 0 };
    // Set by a check: what the host does from inside audioMasterUpdateDisplay and
    // audioMasterAutomate, on the thread they came on (some hosts call the plug-in back).
    std::atomic<void (*) (AEffect*, VstInt32 opcode)> answerCallback { nullptr };

    std::mutex lock;
    std::vector<std::vector<unsigned char>> midiOut;       // guarded by lock
    std::vector<std::string> anomalies;                    // guarded by lock
    int anomalyCount = 0;                                  // guarded by lock
    std::map<std::pair<AEffect*, int>, int> openGestures;  // guarded by lock
    std::map<std::pair<AEffect*, int>, float> automated;   // the last value automated; guarded by lock

    void anomaly (const std::string& what);
    void clearMidi();
    size_t midiCount();
};

extern HostState host;

// Set by the validator around processReplacing, so the plug-in learns it runs
// on the audio thread and MIDI timestamps can be checked against the block.
extern thread_local bool onAudioThread;
extern thread_local int currentBlockFrames;

VstIntPtr VSTCALLBACK hostCallback (AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

using EntryPoint = AEffect* (*) (audioMasterCallback);

VstIntPtr dispatch (AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0);
std::string getString (AEffect* e, VstInt32 opcode, VstInt32 index = 0);
std::vector<char> chunk (AEffect* e, bool program);

struct Library
{
    std::string path;       // the plug-in's file, set by load()
    void* handle = nullptr;
    EntryPoint entry = nullptr;
    std::string error;

    bool load (const std::string& path);
    void unload();
};

// One plug-in instance, opened with effOpen and closed with effClose.
struct Instance
{
    AEffect* e = nullptr;

    Instance() = default;
    explicit Instance (EntryPoint entry)        { open (entry); }
    Instance (const Instance&) = delete;
    Instance& operator= (const Instance&) = delete;
    ~Instance()                                 { close(); }

    bool open (EntryPoint entry);
    void close();

    AEffect* operator->() const                 { return e; }
    operator AEffect*() const                   { return e; }
};
} // namespace vsthost
