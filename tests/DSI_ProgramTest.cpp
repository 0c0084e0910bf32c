#include <gtest/gtest.h>
#include "engine/DSI_Program.h"

namespace
{
ByteArray randomRecord (juce::Random& random)
{
    ByteArray record ((size_t) ProgramRecord::size);
    for (auto& b : record)
        b = (juce::uint8) random.nextInt (256);
    return record;
}
}

TEST (DSI_Program, PackingRoundTripsAndCarriesTopBitsInGroupHeaders)
{
    juce::Random random (12345);
    for (int i = 0; i < 50; ++i)
    {
        const auto record = randomRecord (random);
        const auto packed = DSI_Program::pack (record);
        ASSERT_EQ (packed.size(), (size_t) ProgramRecord::packedSize);
        for (auto b : packed)
            ASSERT_LT (b, 0x80);
        ASSERT_EQ (DSI_Program::unpack (packed.data(), packed.size()), record);
    }

    ByteArray tail ((size_t) ProgramRecord::size, 0);
    tail[1022] = 200;
    tail[1023] = 7;
    const auto packedTail = DSI_Program::pack (tail);
    EXPECT_EQ (ByteArray (packedTail.end() - 3, packedTail.end()), (ByteArray { 0x01, 0x48, 0x07 }));
    EXPECT_EQ (DSI_Program::unpack (packedTail.data(), packedTail.size()), tail);

    ByteArray first ((size_t) ProgramRecord::size, 0);
    first[0] = 0x81;
    const auto packedFirst = DSI_Program::pack (first);
    EXPECT_EQ (ByteArray (packedFirst.begin(), packedFirst.begin() + 8), (ByteArray { 1, 1, 0, 0, 0, 0, 0, 0 }));
    EXPECT_EQ (DSI_Program::pack ({ 0x81 }), packedFirst);   // a short record packs zero-padded
}

TEST (DSI_Program, UnpackOfShortInputFillsOnlyTheBytesItReaches)
{
    juce::Random random (99);
    const auto record = randomRecord (random);
    const auto packed = DSI_Program::pack (record);

    // 100 packed bytes: 12 whole groups (84 bytes) and a header with 3 data bytes.
    const auto partial = DSI_Program::unpack (packed.data(), 100);
    ASSERT_EQ (partial.size(), (size_t) ProgramRecord::size);
    for (size_t i = 0; i < partial.size(); ++i)
        ASSERT_EQ (partial[i], i < 87 ? record[i] : 0) << i;

    EXPECT_EQ (DSI_Program::unpack (nullptr, 500), ByteArray ((size_t) ProgramRecord::size, 0));
    EXPECT_EQ (DSI_Program::unpack (packed.data(), 0), ByteArray ((size_t) ProgramRecord::size, 0));

    // A body followed by its F7 still unpacks to the record.
    auto withEnd = packed;
    withEnd.push_back (0xf7);
    EXPECT_EQ (DSI_Program::unpack (withEnd.data(), withEnd.size()), record);
}

TEST (DSI_Program, DumpsCarryHeaderPackedBodyAndEnd)
{
    juce::Random random (7);
    const auto record = randomRecord (random);
    const auto body = DSI_Program::pack (record);

    auto expectedEdit = ByteArray { 0xf0, 0x01, 0x2b, 0x03 }, expectedDump = ByteArray { 0xf0, 0x01, 0x2b, 0x02, 5, 98 };
    for (auto* expected : { &expectedEdit, &expectedDump })
    {
        expected->insert (expected->end(), body.begin(), body.end());
        expected->push_back (0xf7);
    }
    EXPECT_EQ (DSI_Program::editBufferDump (record), expectedEdit);
    EXPECT_EQ (DSI_Program::programDump (record, 5, 98), expectedDump);

    EXPECT_EQ (DSI_Program::programDump (record, 0, 0, ProgramRecord::keyboardDeviceId)[2], 0x2a);

    // Header bytes never leave the 7-bit range, or the message would end early.
    const auto wild = DSI_Program::programDump (record, 300, -4, 0xf7);
    for (int i = 1; i < 6; ++i)
        EXPECT_LT (wild[(size_t) i], 0x80);
}

TEST (DSI_Program, LoadFromDataAcceptsOnlyRecordAndDumpSizes)
{
    juce::Random random (3);
    const auto record = randomRecord (random);
    DSI_Program program;

    ASSERT_TRUE (program.loadFromData (record));
    EXPECT_EQ (program.getParams(), record);

    auto edit = DSI_Program::editBufferDump (record);
    edit[0] = edit[1] = edit[2] = edit[3] = 0x55;   // neither header nor end byte is looked at
    edit.back() = 0x11;
    DSI_Program fromEdit;
    ASSERT_TRUE (fromEdit.loadFromData (edit));
    EXPECT_EQ (fromEdit.getParams(), record);

    DSI_Program fromDump;
    ASSERT_TRUE (fromDump.loadFromData (DSI_Program::programDump (record, 1, 2)));
    EXPECT_EQ (fromDump.getParams(), record);

    auto shortDump = DSI_Program::programDump (record, 1, 2);
    shortDump.pop_back();
    const DSI_Program basic;
    DSI_Program refused;
    EXPECT_FALSE (refused.loadFromData (shortDump));
    EXPECT_FALSE (refused.loadFromData ({}));
    EXPECT_EQ (refused.getParams(), basic.getParams());
    EXPECT_TRUE (refused.getName().isEmpty());
}

TEST (DSI_Program, SplitDumpsFindsWholeDumpsAndSkipsEverythingElse)
{
    juce::Random random (11);
    const auto a = DSI_Program::programDump (randomRecord (random), 0, 0);
    const auto b = DSI_Program::programDump (randomRecord (random), 0, 1);
    const ByteArray strayHead { 0xf0, 0x12 }, strayMiddle { 0x00, 0xf7, 0xf0 };

    // A stray start byte before the first dump, stray bytes between the two.
    ByteArray buffer;
    for (const auto* part : { &strayHead, &a, &strayMiddle, &b })
        buffer.insert (buffer.end(), part->begin(), part->end());

    DSI_Program program;
    EXPECT_EQ (program.splitDumps (buffer), 2);
    EXPECT_EQ (program.getDumpCount(), 2);
    auto expected = a;
    expected.insert (expected.end(), b.begin(), b.end());
    EXPECT_EQ (program.getParams(), expected);

    const ByteArray cut (a.begin(), a.end() - 1);
    EXPECT_EQ (program.splitDumps (cut), 0);
    EXPECT_TRUE (program.getParams().empty());
}

TEST (DSI_Program, NamesAreReadAndWrittenByTheirRules)
{
    DSI_Program program;
    EXPECT_TRUE (program.getName().isEmpty());
    EXPECT_EQ (program.nameFromParams(), "Basic Program   ");

    program.setName ("Keys");
    const auto& p = program.getParams();
    EXPECT_EQ (std::string (p.begin() + 402, p.begin() + 418), "Keys            ");

    program.setName ("Twenty Characters!!!");
    EXPECT_EQ (program.getName(), "Twenty Character");
    EXPECT_EQ (p[417], 'r');
    EXPECT_EQ (p[418], ' ');   // bytes past the 16 name codes keep their value

    program.setName (juce::String::fromUTF8 ("A\xe2\x82\xac" "B"));   // a euro sign
    EXPECT_EQ (p[403], 32);
    for (auto [c, code] : { std::make_pair (20, 20), std::make_pair (19, 32), std::make_pair (159, 159), std::make_pair (160, 32) })
        EXPECT_EQ (DSI_Program::nameCode ((juce::juce_wchar) c), code) << c;

    ByteArray record ((size_t) ProgramRecord::size, 'x');
    record[402] = 0;
    record[403] = 31;
    record[404] = 200;
    ASSERT_TRUE (program.loadFromData (record));
    EXPECT_EQ (program.getName(), juce::String ("AA") + juce::String::charToString (200) + "xxxxxxxxxxxxx");

    // A record too short for a name reads as "A"s; its block, and writing a name, make it whole.
    program.setParams ({ 1, 2, 3 });
    EXPECT_EQ (program.nameFromParams(), juce::String::repeatedString ("A", 16));
    const auto block = program.paramsBlock();
    ASSERT_EQ (block.getSize(), (size_t) ProgramRecord::size);
    EXPECT_EQ (ByteArray ({ (juce::uint8) block[2], (juce::uint8) block[3] }), ByteArray ({ 3, 0 }));
    program.setName ("Short");
    EXPECT_EQ (program.getParams().size(), (size_t) ProgramRecord::size);
    EXPECT_EQ (program.getParams()[0], 1);

    program.setParamsFromBlock (juce::MemoryBlock (3, true));
    EXPECT_EQ (program.getParams(), ByteArray ((size_t) ProgramRecord::size, 0));
}
