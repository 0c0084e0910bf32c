#include "LibraryRecords.h"

#include "engine/ProgramNames.h"
#include <cstring>

namespace ProgramRecord
{
namespace
{
bool isRecord (const ByteArray& block, int i) noexcept
{
    return i >= 0 && i < count (block);
}

const juce::uint8* recordAt (const ByteArray& block, int i) noexcept
{
    return block.data() + (size_t) i * (size_t) size;
}
}

ByteArray get (const ByteArray& block, int i)
{
    if (! isRecord (block, i))
        return {};

    const auto* r = recordAt (block, i);
    return ByteArray (r, r + size);
}

juce::String name (const ByteArray& block, int i)
{
    if (! isRecord (block, i))
        return {};

    return ProgramNames::readForLibrary (recordAt (block, i) + nameOffset);
}

void setName (ByteArray& block, int i, const juce::String& text)
{
    if (! isRecord (block, i))
        return;

    ProgramNames::write (block.data() + (size_t) i * (size_t) size, text);
}

bool sameAs (const ByteArray& block, const juce::uint8* candidate)
{
    if (candidate == nullptr)
        return false;

    // Most records differ in the category or the first name characters.
    for (int i = 0, n = count (block); i < n; ++i)
    {
        const auto* r = recordAt (block, i);

        if (r[category] == candidate[category]
             && r[nameOffset] == candidate[nameOffset]
             && r[nameOffset + 3] == candidate[nameOffset + 3]
             && std::memcmp (r, candidate, (size_t) size) == 0)
            return true;
    }

    return false;
}

juce::uint64 hash (const juce::uint8* record) noexcept
{
    // Eight bytes at a time, multiply-rotate mixing; good enough to make
    // collisions between distinct records practically absent.
    juce::uint64 h = 0x9e3779b97f4a7c15ull;

    for (size_t k = 0; k < (size_t) size; k += 8)
    {
        juce::uint64 w;
        std::memcpy (&w, record + k, 8);
        h ^= w * 0xff51afd7ed558ccdull;
        h = ((h << 29) | (h >> 35)) * 0xc4ceb9fe1a85ec53ull;
    }

    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    return h ^ (h >> 33);
}
}
