#include "DSI_Program.h"
#include "engine/FactoryData.h"
#include "engine/ProgramNames.h"

namespace
{
constexpr int groupSize = 7;
constexpr int numGroups = (ProgramRecord::size + groupSize - 1) / groupSize;   // 147, the last holding 2 bytes

// The Basic Program never changes, so unpack it once.
const ByteArray& basicProgram()
{
    static const ByteArray record = DSI_Program::unpack (FactoryData::initProgramDump() + 6,
                                                         (size_t) ProgramRecord::packedSize);
    return record;
}

ByteArray asRecord (const juce::uint8* data, size_t numBytes)
{
    ByteArray record ((size_t) ProgramRecord::size, 0);
    std::copy_n (data, juce::jmin (numBytes, record.size()), record.begin());
    return record;
}

ByteArray dumpAround (const ByteArray& record, std::initializer_list<juce::uint8> header)
{
    ByteArray dump (header);
    const auto body = DSI_Program::pack (record);
    dump.insert (dump.end(), body.begin(), body.end());
    dump.push_back (0xf7);
    return dump;
}
}

DSI_Program::DSI_Program()
    : params (basicProgram())
{
}

juce::String DSI_Program::nameFromParams()
{
    // A short record reads its missing codes as 0.
    juce::uint8 codes[ProgramRecord::nameLength] = {};
    for (int i = 0; i < ProgramRecord::nameLength; ++i)
        if (const auto index = (size_t) (ProgramRecord::nameOffset + i); index < params.size())
            codes[i] = params[index];

    name = ProgramNames::readForEditor (codes);
    return name;
}

void DSI_Program::setName (const juce::String& newName)
{
    name = newName.substring (0, ProgramRecord::nameLength).paddedRight (' ', ProgramRecord::nameLength);

    // A short record grows to full size rather than losing the name.
    if (params.size() < (size_t) ProgramRecord::size)
        params.resize ((size_t) ProgramRecord::size, 0);

    ProgramNames::write (params.data(), name);
}

void DSI_Program::setParams (const ByteArray& bytes)
{
    params.assign (bytes.begin(), bytes.begin() + (std::ptrdiff_t) juce::jmin (bytes.size(), (size_t) ProgramRecord::size));
}

void DSI_Program::setParamsFromBlock (const juce::MemoryBlock& block)
{
    params = asRecord (static_cast<const juce::uint8*> (block.getData()), block.getSize());
}

juce::MemoryBlock DSI_Program::paramsBlock() const
{
    const auto record = asRecord (params.data(), params.size());
    return { record.data(), record.size() };
}

void DSI_Program::unpackDump (const juce::MemoryBlock& dump)
{
    auto* data = static_cast<const juce::uint8*> (dump.getData());
    size_t skip = 0;

    if (dump.getSize() == (size_t) ProgramRecord::editBufferDumpSize)
        skip = 4;
    else if (dump.getSize() == (size_t) ProgramRecord::programDumpSize)
        skip = 6;

    params = unpack (data + skip, dump.getSize() - skip);
}

void DSI_Program::unpackPacked (const ByteArray& packed)
{
    params = unpack (packed.data(), packed.size());
}

bool DSI_Program::loadFromData (const ByteArray& data)
{
    if (data.size() == (size_t) ProgramRecord::size)
        params = data;
    else if (data.size() == (size_t) ProgramRecord::editBufferDumpSize)
        params = unpack (data.data() + 4, (size_t) ProgramRecord::packedSize);
    else if (data.size() == (size_t) ProgramRecord::programDumpSize)
        params = unpack (data.data() + 6, (size_t) ProgramRecord::packedSize);
    else
        return false;

    nameFromParams();
    return true;
}

int DSI_Program::splitDumps (const ByteArray& buffer)
{
    constexpr auto dumpSize = (size_t) ProgramRecord::programDumpSize;

    params.clear();
    dumpCount = 0;

    size_t i = 0;
    while (i + dumpSize <= buffer.size())
    {
        if (buffer[i] == 0xf0 && buffer[i + dumpSize - 1] == 0xf7)
        {
            params.insert (params.end(), buffer.begin() + (std::ptrdiff_t) i, buffer.begin() + (std::ptrdiff_t) (i + dumpSize));
            ++dumpCount;
            i += dumpSize;
        }
        else
        {
            ++i;
        }
    }

    return dumpCount;
}

ByteArray DSI_Program::pack (const ByteArray& record)
{
    const auto source = asRecord (record.data(), record.size());
    ByteArray packed;
    packed.reserve ((size_t) ProgramRecord::packedSize);

    for (int g = 0; g < numGroups; ++g)
    {
        const int first = g * groupSize;
        const int count = juce::jmin (groupSize, ProgramRecord::size - first);

        juce::uint8 header = 0;
        for (int k = 0; k < count; ++k)
            if ((source[(size_t) (first + k)] & 0x80) != 0)
                header = (juce::uint8) (header | (1 << k));

        packed.push_back (header);
        for (int k = 0; k < count; ++k)
            packed.push_back ((juce::uint8) (source[(size_t) (first + k)] & 0x7f));
    }

    jassert (packed.size() == (size_t) ProgramRecord::packedSize);
    return packed;
}

ByteArray DSI_Program::unpack (const juce::uint8* packed, size_t numBytes)
{
    ByteArray record ((size_t) ProgramRecord::size, 0);

    if (packed == nullptr)
        return record;

    numBytes = juce::jmin (numBytes, (size_t) ProgramRecord::packedSize);

    for (int g = 0; g < numGroups; ++g)
    {
        const auto headerIndex = (size_t) (g * (groupSize + 1));
        if (headerIndex >= numBytes)
            break;

        const auto header = packed[headerIndex];
        const int first = g * groupSize;
        const int count = juce::jmin (groupSize, ProgramRecord::size - first);

        for (int k = 0; k < count && headerIndex + 1 + (size_t) k < numBytes; ++k)
        {
            auto value = (juce::uint8) (packed[headerIndex + 1 + (size_t) k] & 0x7f);
            if ((header & (1 << k)) != 0)
                value = (juce::uint8) (value | 0x80);

            record[(size_t) (first + k)] = value;
        }
    }

    return record;
}

ByteArray DSI_Program::editBufferDump (const ByteArray& record, juce::uint8 deviceId)
{
    return dumpAround (record, { 0xf0, 0x01, (juce::uint8) (deviceId & 0x7f), 0x03 });
}

ByteArray DSI_Program::programDump (const ByteArray& record, int bank, int program, juce::uint8 deviceId)
{
    // Every header byte must stay a 7-bit data byte, or the message would end early.
    return dumpAround (record, { 0xf0, 0x01,
                                 (juce::uint8) (deviceId & 0x7f),
                                 0x02,
                                 (juce::uint8) juce::jlimit (0, 127, bank),
                                 (juce::uint8) juce::jlimit (0, 127, program) });
}

juce::uint8 DSI_Program::nameCode (juce::juce_wchar c) noexcept
{
    return ProgramNames::code (c);
}
