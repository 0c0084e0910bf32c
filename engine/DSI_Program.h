#pragma once

#include <juce_core/juce_core.h>
#include "engine/ProgramRecord.h"

// One program of the synthesizer, and the conversion between its unpacked
// 1024-byte record and the 7-in-8 packed body that travels inside SysEx dumps.
// A plain value: made for one conversion, owned by one thread.
class DSI_Program
{
public:
    // Holds the Basic Program (the unpacked init dump); the name stays empty until read.
    DSI_Program();

    // The 16-character name at 402-417; codes below 32 read as "A". Also kept as the name.
    juce::String nameFromParams();

    // Cut or padded to 16 characters and written as ProgramNames::write does (a short record grows).
    void setName (const juce::String& newName);
    juce::String getName() const                       { return name; }

    void setParams (const ByteArray& bytes);
    void setParamsFromBlock (const juce::MemoryBlock& block);
    juce::MemoryBlock paramsBlock() const;
    const ByteArray& getParams() const noexcept        { return params; }

    // A whole dump (1176 or 1178 bytes) loses its header; the rest is unpacked.
    void unpackDump (const juce::MemoryBlock& dump);
    void unpackPacked (const ByteArray& packed);

    // Takes a raw record (1024), an edit-buffer dump (1176) or a program dump (1178);
    // any other size is refused and nothing changes.
    bool loadFromData (const ByteArray& data);

    // Collects every complete program dump in the buffer into params; returns their number.
    int splitDumps (const ByteArray& buffer);
    int getDumpCount() const noexcept                  { return dumpCount; }

    static ByteArray pack (const ByteArray& record);
    static ByteArray unpack (const juce::uint8* packed, size_t numBytes);

    static ByteArray editBufferDump (const ByteArray& record,
                                     juce::uint8 deviceId = ProgramRecord::moduleDeviceId);
    static ByteArray programDump (const ByteArray& record, int bank, int program,
                                  juce::uint8 deviceId = ProgramRecord::moduleDeviceId);

    // The code a name character is stored as: 20-159 as itself, anything else a space.
    static juce::uint8 nameCode (juce::juce_wchar c) noexcept;

private:
    juce::String name;
    ByteArray params;
    int dumpCount = 0;
};
