#include <gtest/gtest.h>
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/FactoryData.h"
#include "engine/ParameterTable.h"
#include <set>

TEST (FactoryData, InitProgramDumpIsTheBasicProgram)
{
    const auto* dump = FactoryData::initProgramDump();
    EXPECT_EQ (ByteArray (dump, dump + 6), (ByteArray { 0xf0, 0x01, 0x29, 0x02, 0x00, 0x00 }));
    EXPECT_EQ (dump[1177], 0xf7);

    const auto r = DSI_Program::unpack (dump + 6, (size_t) ProgramRecord::packedSize);
    const std::pair<int, int> listed[] =
    {
        { 0, 24 }, { 3, 24 }, { 4, 50 }, { 8, 100 }, { 9, 0 }, { 13, 1 }, { 14, 0 }, { 16, 0 }, { 19, 3 },
        { 23, 10 }, { 27, 7 }, { 31, 64 }, { 51, 70 }, { 59, 1 }, { 75, 7 }, { 85, 83 }, { 86, 57 },
        { 88, 1 }, { 94, 127 }, { 97, 240 }, { 103, 3 }, { 131, 134 }, { 144, 5 }, { 171, 127 },
        { 189, 127 }, { 193, 40 }, { 209, 19 }, { 222, 150 }, { 223, 240 }, { 237, 127 }, { 241, 29 },
        { 242, 0 }, { 256, 120 }, { 260, 1 }, { 294, 2 }, { 298, 6 }, { 301, 2 }, { 306, 60 },
        { 337, 60 }, { 369, 120 }, { 370, 0 }, { 424, 60 }, { 425, 1 }, { 426, 0 }, { 511, 0 },
        { 597, 163 }, { 598, 0 }, { 601, 64 },     // layer B's own filter values
    };
    for (auto [id, value] : listed)
        EXPECT_EQ (r[(size_t) id], value) << id;

    EXPECT_EQ (std::string (r.begin() + 402, r.begin() + 422), "Basic Program       ");

    for (int n = 0; n < 512; ++n)
    {
        if (n == 85 || n == 86 || n == 89)
            continue;
        ASSERT_EQ (r[(size_t) (512 + n)], r[(size_t) n]) << n;
    }
}

// Every program parameter lies in its range; bytes that are no parameter keep
// the Basic Program's value; names are unique inside their bank.
TEST (FactoryData, EveryFactoryProgramIsValid)
{
    const ParameterTable table;
    const DSI_Program basicProgram;
    const auto& basic = basicProgram.getParams();
    std::set<juce::String> firstNames;

    for (int n = 0; n < 4; ++n)
    {
        Bank_Program bank ("factory");
        bank.loadFactoryBank (n);
        std::set<juce::String> names;

        for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
        {
            const auto r = bank.programBytes (p);
            const auto where = "bank " + std::to_string (n) + " program " + std::to_string (p);

            for (int i = 0; i < ProgramRecord::size; ++i)
            {
                const auto v = r[(size_t) i];
                const int layerA = i % 512;

                if (layerA >= 402 && layerA <= 421)
                    ASSERT_TRUE (v >= 32 && v <= 126) << where << " byte " << i;
                else if (i == ProgramRecord::category)
                    ASSERT_LE (v, 25) << where;
                else if (table.hasHostIndex (layerA))
                    ASSERT_TRUE (v >= juce::jmax (0, table.minimum (i)) && v <= table.maximum (i))
                        << where << " byte " << i << " = " << (int) v;
                else
                    ASSERT_EQ (v, basic[(size_t) i]) << where << " byte " << i;
            }

            EXPECT_TRUE (std::equal (r.begin() + 402, r.begin() + 422, r.begin() + 914)) << where;

            const auto name = bank.programName (p);
            EXPECT_FALSE (name.isEmpty()) << where;
            EXPECT_TRUE (names.insert (name.toLowerCase()).second) << where << " repeats " << name;
        }

        firstNames.insert (bank.programName (0));
    }

    EXPECT_EQ (firstNames.size(), 4u);   // each bank comes from its own part of the image
}
