// Binary interface of a VST 2.4 plug-in: the effect structure, its callbacks,
// the core opcodes and flags. Written for this project from the published ABI
// numbers; declarations only. Included by JUCE's VST wrapper inside a namespace.
#pragma once

#include <stdint.h>

#define VSTCALLBACK
#define kVstVersion 2400

typedef int16_t VstInt16;
typedef int32_t VstInt32;
typedef int64_t VstInt64;
typedef intptr_t VstIntPtr;

struct AEffect;

typedef VstIntPtr (VSTCALLBACK* audioMasterCallback) (AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr (VSTCALLBACK* AEffectDispatcherProc) (AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                        VstIntPtr value, void* ptr, float opt);
typedef void (VSTCALLBACK* AEffectProcessProc) (AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
typedef void (VSTCALLBACK* AEffectProcessDoubleProc) (AEffect* effect, double** inputs, double** outputs, VstInt32 sampleFrames);
typedef void (VSTCALLBACK* AEffectSetParameterProc) (AEffect* effect, VstInt32 index, float parameter);
typedef float (VSTCALLBACK* AEffectGetParameterProc) (AEffect* effect, VstInt32 index);

#define kEffectMagic 0x56737450 /* 'VstP' */

// 192 bytes on a 64-bit target; field offsets are fixed by the ABI.
struct AEffect
{
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;              // accumulating process, unused since 2.4
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags
{
    effFlagsHasEditor          = 1 << 0,
    effFlagsHasClip            = 1 << 1,
    effFlagsHasVu              = 1 << 2,
    effFlagsCanMono            = 1 << 3,
    effFlagsCanReplacing       = 1 << 4,
    effFlagsProgramChunks      = 1 << 5,
    effFlagsIsSynth            = 1 << 8,
    effFlagsNoSoundInStop      = 1 << 9,
    effFlagsExtIsAsync         = 1 << 10,
    effFlagsExtHasBuffer       = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12
};

enum AEffectOpcodes
{
    effOpen = 0,
    effClose,               // 1
    effSetProgram,          // 2
    effGetProgram,          // 3
    effSetProgramName,      // 4
    effGetProgramName,      // 5
    effGetParamLabel,       // 6
    effGetParamDisplay,     // 7
    effGetParamName,        // 8
    effGetVu,               // 9
    effSetSampleRate,       // 10
    effSetBlockSize,        // 11
    effMainsChanged,        // 12
    effEditGetRect,         // 13
    effEditOpen,            // 14
    effEditClose,           // 15
    effEditDraw,            // 16
    effEditMouse,           // 17
    effEditKey,             // 18
    effEditIdle,            // 19
    effEditTop,             // 20
    effEditSleep,           // 21
    effIdentify,            // 22
    effGetChunk,            // 23
    effSetChunk,            // 24
    effNumOpcodes           // 25
};

enum AudioMasterOpcodes
{
    audioMasterAutomate = 0,
    audioMasterVersion,     // 1
    audioMasterCurrentId,   // 2
    audioMasterIdle,        // 3
    audioMasterPinConnected // 4
};

enum VstStringConstants
{
    kVstMaxProgNameLen   = 24,
    kVstMaxParamStrLen   = 8,
    kVstMaxVendorStrLen  = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32
};
