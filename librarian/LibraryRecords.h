#pragma once

#include "engine/ProgramRecord.h"

// Functions on a block of whole records back to back (record k at k * 1024),
// as the library holds them. An index outside the block is ignored.
namespace ProgramRecord
{
    // A copy of record i; empty when i is not a whole record of the block.
    ByteArray get (const ByteArray& block, int i);

    // The 16 name characters of record i; codes outside 32..127 read as "A".
    juce::String name (const ByteArray& block, int i);

    // Cut or padded to 16 characters; codes 20..159 are stored as themselves, others as a space.
    void setName (ByteArray& block, int i, const juce::String& text);

    // True when some record of the block equals the 1024 candidate bytes.
    bool sameAs (const ByteArray& block, const juce::uint8* candidate);

    // 64-bit content hash of one record: the key of the library's duplicate index.
    juce::uint64 hash (const juce::uint8* record) noexcept;

    inline int count (const ByteArray& block) noexcept   { return (int) (block.size() / (size_t) size); }
}
