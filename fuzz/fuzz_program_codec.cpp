// Program files and dumps of any shape: loading, splitting and unpacking must
// stay in bounds, and what the codec writes must survive its own reading.
#include "FuzzSupport.h"
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"

namespace
{
bool allDataBytes (const ByteArray& bytes, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i)
        if (bytes[i] >= 0x80)
            return false;
    return true;
}
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseFramework();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const ByteArray input (data, data + size);
    constexpr auto recordSize = (size_t) ProgramRecord::size;
    constexpr auto dumpSize = (size_t) ProgramRecord::programDumpSize;

    {
        DSI_Program program;
        const bool loaded = program.loadFromData (input);
        FUZZ_CHECK (loaded == (size == recordSize || size == (size_t) ProgramRecord::editBufferDumpSize || size == dumpSize));
        FUZZ_CHECK (program.getParams().size() == recordSize);
        if (loaded)
            FUZZ_CHECK (program.getName().length() == ProgramRecord::nameLength);
    }

    {
        DSI_Program program;
        const int count = program.splitDumps (input);
        FUZZ_CHECK (count == program.getDumpCount());
        FUZZ_CHECK (program.getParams().size() == (size_t) count * dumpSize);
        FUZZ_CHECK (program.getParams().size() <= size);
        for (int k = 0; k < count; ++k)
        {
            FUZZ_CHECK (program.getParams()[(size_t) k * dumpSize] == 0xF0);
            FUZZ_CHECK (program.getParams()[(size_t) (k + 1) * dumpSize - 1] == 0xF7);
        }

        Bank_Program bank ("Fuzz");
        const auto before = bank.records();
        bank.loadFromDumps (program.getParams());
        bank.loadFromDumps (input);
        FUZZ_CHECK (bank.records().size() == before.size());
        for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
            FUZZ_CHECK (bank.programName (p).length() <= ProgramRecord::nameLength);
    }

    {
        DSI_Program program;
        program.unpackDump (juce::MemoryBlock (data, size));
        FUZZ_CHECK (program.getParams().size() == recordSize);
        program.unpackPacked (input);
        FUZZ_CHECK (program.getParams().size() == recordSize);
    }

    // Packing any record gives 7-bit bytes that unpack to the same record,
    // and a dump built from it reads back as that record.
    const auto record = DSI_Program::unpack (data, size);
    FUZZ_CHECK (record.size() == recordSize);

    ByteArray raw (input);
    raw.resize (recordSize, 0);
    const auto packed = DSI_Program::pack (raw);
    FUZZ_CHECK (packed.size() == (size_t) ProgramRecord::packedSize);
    FUZZ_CHECK (allDataBytes (packed, 0, packed.size()));
    FUZZ_CHECK (DSI_Program::unpack (packed.data(), packed.size()) == raw);

    const int bankNumber = size > 0 ? data[0] - 64 : 0, programNumber = size > 1 ? data[1] * 3 - 200 : 0;
    const auto dump = DSI_Program::programDump (raw, bankNumber, programNumber, size > 2 ? data[2] : 0x2B);
    FUZZ_CHECK (dump.size() == dumpSize && dump.front() == 0xF0 && dump.back() == 0xF7);
    FUZZ_CHECK (allDataBytes (dump, 1, dump.size() - 1));

    DSI_Program reread;
    FUZZ_CHECK (reread.loadFromData (dump));
    FUZZ_CHECK (reread.getParams() == raw);

    const auto editDump = DSI_Program::editBufferDump (raw);
    FUZZ_CHECK (editDump.size() == (size_t) ProgramRecord::editBufferDumpSize && allDataBytes (editDump, 1, editDump.size() - 1));
    FUZZ_CHECK (reread.loadFromData (editDump) && reread.getParams() == raw);

    return 0;
}
