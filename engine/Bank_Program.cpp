#include "Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/FactoryData.h"
#include "engine/ProgramNames.h"
#include <algorithm>
#include <cstring>

namespace
{
constexpr auto recordSize = (size_t) ProgramRecord::size;
constexpr auto bankBytes  = (size_t) ProgramRecord::bankSize;

juce::String nameOf (const juce::uint8* record)
{
    return ProgramNames::readForBank (record + ProgramRecord::nameOffset);
}

juce::String layerModeOf (const juce::uint8* record)
{
    switch (record[ProgramRecord::layerMode])
    {
        case 0:  return "NOR";
        case 1:  return "A + B";
        case 2:  return "A | B";
        default: return {};
    }
}

juce::String arpMarkerOf (const juce::uint8* record)
{
    return (record[ProgramRecord::arpOnA] != 0 || record[ProgramRecord::arpOnB] != 0) ? "(A)" : "";
}

juce::MemoryBlock blockOf (const juce::uint8* record)
{
    return record != nullptr ? juce::MemoryBlock (record, recordSize) : juce::MemoryBlock (recordSize, true);
}
}

Bank_Program::Bank_Program (const juce::String& bankName)
    : name (bankName), data (bankBytes, 0), editBuffer (recordSize, 0)
{
}

void Bank_Program::initialise (bool fromFactory)
{
    if (fromFactory)
    {
        loadFactoryBank (0);
        return;
    }

    const DSI_Program basic;
    const auto& record = basic.getParams();
    editBuffer = record;

    for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
        writeRecord (p, record.data(), record.size());
}

void Bank_Program::loadFactoryBank (int n)
{
    if (n < 0 || n > 3)
        return;

    const auto offset = FactoryData::banksOffset + (size_t) n * bankBytes;
    if (offset + bankBytes <= FactoryData::imageSize())
        setRecords (FactoryData::image() + offset, bankBytes);
}

void Bank_Program::loadFromDumps (const ByteArray& dumps)
{
    constexpr auto dumpSize = (size_t) ProgramRecord::programDumpSize;
    const auto count = juce::jmin (dumps.size() / dumpSize, (size_t) ProgramRecord::programsPerBank);

    DSI_Program program;
    ByteArray piece (dumpSize);

    for (size_t k = 0; k < count; ++k)
    {
        std::copy_n (dumps.begin() + (std::ptrdiff_t) (k * dumpSize), dumpSize, piece.begin());

        if (program.loadFromData (piece))
            writeRecord ((int) k, program.getParams().data(), program.getParams().size());
    }
}

int Bank_Program::loadFromBankFile (const ByteArray& dumps, SlotMarks* filledOut)
{
    constexpr auto dumpSize = (size_t) ProgramRecord::programDumpSize;
    constexpr int programByte = 5;
    const auto count = dumps.size() / dumpSize;

    if (count == (size_t) ProgramRecord::programsPerBank)
    {
        loadFromDumps (dumps);
        if (filledOut != nullptr)
            filledOut->fill (true);
        return ProgramRecord::programsPerBank;
    }

    DSI_Program program;
    ByteArray piece (dumpSize);
    SlotMarks filled {};

    for (size_t k = 0; k < count; ++k)
    {
        std::copy_n (dumps.begin() + (std::ptrdiff_t) (k * dumpSize), dumpSize, piece.begin());
        const int p = piece[programByte];

        // A file of several banks: the first bank's program keeps its slot.
        if (isValidProgram (p) && ! filled[(size_t) p] && program.loadFromData (piece))
        {
            writeRecord (p, program.getParams().data(), program.getParams().size());
            filled[(size_t) p] = true;
        }
    }

    if (filledOut != nullptr)
        *filledOut = filled;
    return (int) std::count (filled.begin(), filled.end(), true);
}

juce::String Bank_Program::programName (int p) const
{
    const auto* record = recordAt (p);
    return record != nullptr ? nameOf (record).trimEnd() : juce::String();
}

void Bank_Program::renameProgram (int p, const juce::String& newName)
{
    auto* record = recordAt (p);
    if (record == nullptr)
        return;

    // Written through writeRecord, which notes what changed.
    std::array<juce::uint8, recordSize> renamed;
    std::copy_n (record, recordSize, renamed.begin());
    ProgramNames::write (renamed.data(), newName);
    writeRecord (p, renamed.data(), renamed.size());
}

juce::uint8 Bank_Program::nameCode (juce::juce_wchar c) noexcept
{
    return ProgramNames::code (c);
}

juce::String Bank_Program::layerModeLabel (int p) const
{
    const auto* record = recordAt (p);
    return record != nullptr ? layerModeOf (record) : juce::String();
}

juce::String Bank_Program::arpMarker (int p) const
{
    const auto* record = recordAt (p);
    return record != nullptr ? arpMarkerOf (record) : juce::String();
}

void Bank_Program::storeProgram (int p, const ByteArray& bytes)
{
    writeRecord (p, bytes.data(), bytes.size());
}

void Bank_Program::setProgramBytes (int p, const juce::MemoryBlock& block)
{
    writeRecord (p, static_cast<const juce::uint8*> (block.getData()), block.getSize());
}

ByteArray Bank_Program::programBytes (int p) const
{
    const auto* record = recordAt (p);
    return record != nullptr ? ByteArray (record, record + recordSize) : ByteArray (recordSize, 0);
}

juce::MemoryBlock Bank_Program::programBlock (int p) const
{
    return blockOf (recordAt (p));
}

ByteArray Bank_Program::programDump (int p) const
{
    return DSI_Program::editBufferDump (programBytes (p));
}

void Bank_Program::setEditBuffer (const ByteArray& bytes)
{
    const auto n = juce::jmin (bytes.size(), recordSize);
    std::copy_n (bytes.begin(), n, editBuffer.begin());
    std::fill (editBuffer.begin() + (std::ptrdiff_t) n, editBuffer.end(), (juce::uint8) 0);
}

juce::MemoryBlock Bank_Program::editBufferBlock() const
{
    return blockOf (editBuffer.data());
}

juce::String Bank_Program::editBufferName() const      { return nameOf (editBuffer.data()); }
juce::String Bank_Program::editLayerModeLabel() const  { return layerModeOf (editBuffer.data()); }
juce::String Bank_Program::editArpMarker() const       { return arpMarkerOf (editBuffer.data()); }

juce::MemoryBlock Bank_Program::storeEditBuffer (int p)
{
    writeRecord (p, editBuffer.data(), editBuffer.size());
    return editBufferBlock();
}

void Bank_Program::setEditBufferAndProgram (int p, const juce::MemoryBlock& block)
{
    const auto n = juce::jmin (block.getSize(), recordSize);
    auto* bytes = static_cast<const juce::uint8*> (block.getData());

    std::copy_n (bytes, n, editBuffer.begin());
    std::fill (editBuffer.begin() + (std::ptrdiff_t) n, editBuffer.end(), (juce::uint8) 0);

    if (auto* record = recordAt (p))
        writeBytes (record, editBuffer.data(), editBuffer.size());
}

void Bank_Program::setRecords (const juce::uint8* bytes, size_t numBytes)
{
    const auto n = bytes != nullptr ? juce::jmin (numBytes, bankBytes) : (size_t) 0;
    writeBytes (data.data(), bytes, n);
    zeroFrom (n);
}

bool Bank_Program::readRecords (juce::InputStream& in)
{
    size_t done = 0;

    while (done < bankBytes)
    {
        const auto got = in.read (data.data() + done, (int) (bankBytes - done));
        if (got <= 0)
            break;

        done += (size_t) got;
    }

    markChanged (0, bankBytes);
    zeroFrom (done);
    return done == bankBytes;
}

juce::uint8 Bank_Program::editBufferByte (int i) const noexcept
{
    return (i >= 0 && i < ProgramRecord::size) ? editBuffer[(size_t) i] : (juce::uint8) 0;
}

void Bank_Program::setEditBufferByte (int i, juce::uint8 v) noexcept
{
    if (i >= 0 && i < ProgramRecord::size)
        editBuffer[(size_t) i] = v;
}

juce::uint8* Bank_Program::recordAt (int p) noexcept
{
    return isValidProgram (p) ? data.data() + (size_t) p * recordSize : nullptr;
}

const juce::uint8* Bank_Program::recordAt (int p) const noexcept
{
    return isValidProgram (p) ? data.data() + (size_t) p * recordSize : nullptr;
}

void Bank_Program::writeRecord (int p, const juce::uint8* bytes, size_t numBytes) noexcept
{
    if (auto* record = recordAt (p); record != nullptr && bytes != nullptr)
        writeBytes (record, bytes, juce::jmin (numBytes, recordSize));
}

// A write of what is already there is no change: receiving the same bank again
// must not make the owner store it over what another instance stored since.
// Counted per record, so the owner can store just the records this instance changed.
void Bank_Program::writeBytes (juce::uint8* dest, const juce::uint8* bytes, size_t numBytes) noexcept
{
    for (auto offset = (size_t) (dest - data.data()), end = offset + numBytes; offset < end;)
    {
        const auto next = juce::jmin (end, (offset / recordSize + 1) * recordSize);

        if (std::memcmp (data.data() + offset, bytes, next - offset) != 0)
        {
            std::memcpy (data.data() + offset, bytes, next - offset);
            markChanged (offset, next);
        }

        bytes += next - offset;
        offset = next;
    }
}

void Bank_Program::zeroFrom (size_t offset) noexcept
{
    for (auto p = offset / recordSize; p < (size_t) ProgramRecord::programsPerBank; ++p)
    {
        const auto from = data.begin() + (std::ptrdiff_t) juce::jmax (offset, p * recordSize);
        const auto to = data.begin() + (std::ptrdiff_t) ((p + 1) * recordSize);

        if (std::any_of (from, to, [] (juce::uint8 b) { return b != 0; }))
        {
            std::fill (from, to, (juce::uint8) 0);
            changed[p] = true;
        }
    }
}

void Bank_Program::markChanged (size_t from, size_t to) noexcept
{
    for (auto p = from / recordSize; p * recordSize < to && p < changed.size(); ++p)
        changed[p] = true;
}

bool Bank_Program::recordsChanged() const noexcept
{
    return std::any_of (changed.begin(), changed.end(), [] (const auto& c) { return c.load(); });
}

void Bank_Program::markRecordsUnchanged() noexcept
{
    for (auto& c : changed)
        c = false;
}
