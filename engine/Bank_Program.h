#pragma once

#include <juce_core/juce_core.h>
#include "engine/ProgramRecord.h"
#include <array>
#include <atomic>

// One bank of 99 program records with an edit buffer beside it.
// No lock of its own: the engine keeps whole-bank replacement apart from dumps
// stored on the MIDI input thread. The records are allocated in full once, at
// construction, so single-record writes never move the storage.
class Bank_Program
{
public:
    explicit Bank_Program (const juce::String& bankName);

    juce::String getName() const                        { return name; }

    // false: every record and the edit buffer become the Basic Program;
    // true: factory bank 0, edit buffer untouched.
    void initialise (bool fromFactory);
    void loadFactoryBank (int n);

    // Cuts the buffer into whole 1178-byte dumps; dump k replaces record k.
    void loadFromDumps (const ByteArray& dumps);

    // A program bank file's dumps: exactly 99 load as loadFromDumps does; any
    // other number each go to the slot their own program byte names (the bank
    // byte is ignored), so a missing dump shifts none of the others, and the
    // first dump for a slot wins over later ones. Returns how many slots were
    // filled; `filled`, if given, marks which.
    using SlotMarks = std::array<bool, ProgramRecord::programsPerBank>;
    int loadFromBankFile (const ByteArray& dumps, SlotMarks* filled = nullptr);

    juce::String programName (int p) const;
    void renameProgram (int p, const juce::String& newName);   // as ProgramNames::write does
    static juce::uint8 nameCode (juce::juce_wchar c) noexcept;
    juce::String layerModeLabel (int p) const;
    juce::String arpMarker (int p) const;

    void storeProgram (int p, const ByteArray& bytes);
    void setProgramBytes (int p, const juce::MemoryBlock& block);
    ByteArray programBytes (int p) const;
    juce::MemoryBlock programBlock (int p) const;
    ByteArray programDump (int p) const;   // an edit-buffer dump of record p

    void setEditBuffer (const ByteArray& bytes);
    ByteArray editBufferBytes() const                   { return editBuffer; }
    juce::MemoryBlock editBufferBlock() const;
    juce::String editBufferName() const;
    juce::String editLayerModeLabel() const;
    juce::String editArpMarker() const;
    juce::MemoryBlock storeEditBuffer (int p);
    void setEditBufferAndProgram (int p, const juce::MemoryBlock& block);

    // The whole bank, 99 x 1024 bytes; a shorter input is zero-filled to full size.
    const ByteArray& records() const noexcept           { return data; }
    void setRecords (const juce::uint8* bytes, size_t numBytes);
    // The whole bank straight from a stream; false (the rest zero-filled) when it ends early.
    bool readRecords (juce::InputStream& in);

    // Whether any record byte changed since markRecordsUnchanged(): the owner
    // stores the bank again only then, and only the records that changed. The
    // edit buffer does not count.
    bool recordsChanged() const noexcept;
    bool recordChanged (int p) const noexcept           { return isValidProgram (p) && changed[(size_t) p].load(); }
    void markRecordsUnchanged() noexcept;

    juce::uint8 editBufferByte (int i) const noexcept;
    void setEditBufferByte (int i, juce::uint8 v) noexcept;

    static bool isValidProgram (int p) noexcept         { return p >= 0 && p < ProgramRecord::programsPerBank; }

private:
    juce::uint8* recordAt (int p) noexcept;
    const juce::uint8* recordAt (int p) const noexcept;
    void writeRecord (int p, const juce::uint8* bytes, size_t numBytes) noexcept;
    void writeBytes (juce::uint8* dest, const juce::uint8* bytes, size_t numBytes) noexcept;
    void zeroFrom (size_t offset) noexcept;
    void markChanged (size_t from, size_t to) noexcept;

    juce::String name;
    ByteArray data;
    ByteArray editBuffer;
    std::array<std::atomic<bool>, ProgramRecord::programsPerBank> changed {};
};
