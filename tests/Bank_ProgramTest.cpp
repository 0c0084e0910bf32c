#include <gtest/gtest.h>
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "librarian/LibraryRecords.h"
#include <algorithm>
#include <functional>

namespace
{
ByteArray filledRecord (juce::uint8 value)   { return ByteArray ((size_t) ProgramRecord::size, value); }
}

TEST (Bank_Program, InitialisedBankHoldsTheBasicProgramEverywhere)
{
    Bank_Program bank ("User Bank 1");
    EXPECT_EQ (bank.records().size(), (size_t) ProgramRecord::bankSize);
    EXPECT_EQ (bank.editBufferBytes(), filledRecord (0));

    bank.initialise (false);
    const DSI_Program basic;
    for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
        ASSERT_EQ (bank.programBytes (p), basic.getParams()) << p;

    // From the factory: bank 0 of the image, the edit buffer left alone.
    bank.setEditBufferByte (7, 42);
    bank.initialise (true);
    Bank_Program factory ("Factory Bank 1");
    factory.loadFactoryBank (0);
    EXPECT_EQ (bank.records(), factory.records());
    EXPECT_EQ (bank.editBufferByte (7), 42);
}

TEST (Bank_Program, LabelsFollowLayerModeAndArpeggiatorBytes)
{
    Bank_Program bank ("b");
    auto record = filledRecord (0);

    const char* expected[] = { "NOR", "A + B", "A | B", "" };
    for (int mode = 0; mode < 4; ++mode)
    {
        record[425] = (juce::uint8) mode;
        bank.storeProgram (3, record);
        EXPECT_EQ (bank.layerModeLabel (3), expected[mode]);
    }

    EXPECT_EQ (bank.arpMarker (3), "");
    record[808] = 1;
    bank.storeProgram (3, record);
    EXPECT_EQ (bank.arpMarker (3), "(A)");

    record[808] = 0;
    record[296] = 1;
    bank.setEditBuffer (record);
    EXPECT_EQ (bank.editArpMarker(), "(A)");
    EXPECT_EQ (bank.editLayerModeLabel(), "");

    // Code 0 adds nothing to a name; the bank's names lose trailing spaces, the edit buffer's do not.
    const juce::uint8 name[] = { 'H', 0, 'i', ' ' };
    std::copy (std::begin (name), std::end (name), record.begin() + 402);
    bank.storeProgram (4, record);
    bank.setEditBuffer (record);
    EXPECT_EQ (bank.programName (4), "Hi");
    EXPECT_EQ (bank.editBufferName(), "Hi ");
}

TEST (Bank_Program, LoadFromDumpsFillsSlotsByPosition)
{
    Bank_Program bank ("b");
    bank.setRecords (filledRecord (1).data(), (size_t) ProgramRecord::size);   // record 0 only; the rest zero

    ByteArray dumps;     // the header's program number is ignored: position decides the slot
    for (int p = 0; p < 99; ++p)
        for (auto b : DSI_Program::programDump (filledRecord ((juce::uint8) (p + 10)), 3, 98 - p))
            dumps.push_back (b);
    dumps.resize (dumps.size() + 5, 1);   // stray bytes after the last dump

    bank.loadFromDumps (dumps);
    for (int p = 0; p < 99; ++p)
        ASSERT_EQ (bank.programBytes (p), filledRecord ((juce::uint8) (p + 10))) << p;

    Bank_Program partial ("p");
    partial.initialise (false);
    const auto untouched = partial.programBytes (3);
    partial.loadFromDumps (ByteArray (dumps.begin(), dumps.begin() + 3 * ProgramRecord::programDumpSize));
    EXPECT_EQ (partial.programBytes (2), filledRecord (12));
    EXPECT_EQ (partial.programBytes (3), untouched);

    const auto before = partial.records();
    partial.loadFromDumps (ByteArray (dumps.begin(), dumps.begin() + ProgramRecord::programDumpSize - 1));
    EXPECT_EQ (partial.records(), before);
}

TEST (Bank_Program, RecordsAndEditBufferAreWrittenInPlace)
{
    Bank_Program bank ("b");
    bank.initialise (false);

    bank.renameProgram (5, "Soft Lead");
    const auto renamed = bank.programBytes (5);
    EXPECT_EQ (std::string (renamed.begin() + 402, renamed.begin() + 418), "Soft Lead       ");
    EXPECT_EQ (renamed[418], ' ');   // the rest of the 20-code field is left alone

    // A short store overwrites only its own bytes.
    bank.storeProgram (6, { 9, 9, 9 });
    EXPECT_EQ (bank.programBytes (6)[2], 9);
    EXPECT_EQ (bank.programName (6), "Basic Program");

    const juce::uint8 two[] = { 5, 6 };
    bank.setEditBufferAndProgram (7, juce::MemoryBlock (two, 2));
    auto expected = filledRecord (0);
    expected[0] = 5;
    expected[1] = 6;
    EXPECT_EQ (bank.programBytes (7), expected);
    EXPECT_EQ (bank.editBufferBytes(), expected);

    bank.setEditBuffer ({ 1 });
    const auto stored = bank.storeEditBuffer (8);
    EXPECT_EQ (stored.getSize(), (size_t) ProgramRecord::size);
    EXPECT_EQ (bank.programBytes (8)[0], 1);
    EXPECT_EQ (bank.programBytes (8)[1], 0);
    EXPECT_EQ (bank.programBlock (8), stored);
}

TEST (Bank_Program, BadIndicesAndShortInputNeverCorruptTheBank)
{
    Bank_Program bank ("b");
    bank.initialise (false);
    const auto before = bank.records();

    for (int p : { -1, 99, 100000 })
    {
        bank.storeProgram (p, filledRecord (3));
        bank.setProgramBytes (p, juce::MemoryBlock (10, true));
        bank.renameProgram (p, "X");
        bank.storeEditBuffer (p);
        EXPECT_EQ (bank.programBytes (p), filledRecord (0));
        EXPECT_EQ (bank.programBlock (p).getSize(), (size_t) ProgramRecord::size);
        EXPECT_TRUE ((bank.programName (p) + bank.layerModeLabel (p) + bank.arpMarker (p)).isEmpty()) << p;
    }
    EXPECT_EQ (bank.records(), before);

    bank.setEditBufferByte (-1, 1);
    bank.setEditBufferByte (1024, 1);
    EXPECT_EQ (bank.editBufferByte (1024), 0);
    EXPECT_EQ (bank.editBufferBytes().size(), (size_t) ProgramRecord::size);

    bank.loadFactoryBank (4);
    bank.loadFactoryBank (-1);
    EXPECT_EQ (bank.records(), before);

    // A short whole-bank image fills what it has and zeros the rest; a long one is cut.
    const ByteArray head (1500, 7);
    bank.setRecords (head.data(), head.size());
    ASSERT_EQ (bank.records().size(), (size_t) ProgramRecord::bankSize);
    EXPECT_EQ (bank.records()[1499], 7);
    EXPECT_EQ (bank.records()[1500], 0);

    const ByteArray big ((size_t) ProgramRecord::bankSize + 10, 2);
    bank.setRecords (big.data(), big.size());
    EXPECT_EQ (bank.records(), ByteArray ((size_t) ProgramRecord::bankSize, 2));

    bank.setRecords (nullptr, 50);
    EXPECT_EQ (bank.records(), ByteArray ((size_t) ProgramRecord::bankSize, 0));
}

// A record longer than 1024 bytes (a dump with trailing bytes, a big chunk) keeps
// to its own slot: the neighbours and the edit buffer's size stay as they were.
TEST (Bank_Program, LongRecordsAreCutToTheirSlot)
{
    const ByteArray longRecord ((size_t) ProgramRecord::size + 300, 0x6E);
    const juce::MemoryBlock longBlock (longRecord.data(), longRecord.size());
    const auto cut = filledRecord (0x6E);

    // slot: the slot written, -1 for none; editBuffer: whether the edit buffer takes the record.
    struct Case { const char* what; std::function<void (Bank_Program&)> write; int slot; bool editBuffer; };

    const Case cases[] =
    {
        { "storeProgram",            [&] (Bank_Program& b) { b.storeProgram (40, longRecord); },            40, false },
        { "storeProgram last slot",  [&] (Bank_Program& b) { b.storeProgram (98, longRecord); },            98, false },
        { "setProgramBytes",         [&] (Bank_Program& b) { b.setProgramBytes (40, longBlock); },          40, false },
        { "setEditBufferAndProgram", [&] (Bank_Program& b) { b.setEditBufferAndProgram (40, longBlock); },  40, true },
        { "setEditBuffer",           [&] (Bank_Program& b) { b.setEditBuffer (longRecord); },               -1, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Bank_Program bank ("b");
        bank.initialise (false);
        const auto before = bank.records();

        c.write (bank);

        ASSERT_EQ (bank.records().size(), (size_t) ProgramRecord::bankSize);
        ASSERT_EQ (bank.editBufferBytes().size(), (size_t) ProgramRecord::size);
        EXPECT_EQ (bank.editBufferBytes() == cut, c.editBuffer);
        for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
            EXPECT_EQ (bank.programBytes (p), p == c.slot ? cut : ProgramRecord::get (before, p)) << "slot " << p;
    }
}

// The owner stores the banks again only after a change: every way of writing a
// record must report one, and writing what is already there must not.
TEST (Bank_Program, OnlyWritesThatChangeARecordCountAsAChange)
{
    struct Case
    {
        const char* what;
        std::function<void (Bank_Program&)> write;
        bool changes;
    };

    const auto same = [] (Bank_Program& b) { return b.programBytes (4); };
    const Case cases[] =
    {
        { "store the same",        [&] (Bank_Program& b) { b.storeProgram (4, same (b)); },                                   false },
        { "store another",         [] (Bank_Program& b) { b.storeProgram (4, filledRecord (9)); },                            true },
        { "store out of range",    [] (Bank_Program& b) { b.storeProgram (99, filledRecord (9)); },                           false },
        { "set block",             [] (Bank_Program& b) { b.setProgramBytes (4, juce::MemoryBlock (1024, true)); },           true },
        { "rename to its name",    [] (Bank_Program& b) { b.renameProgram (4, b.programName (4)); },                          false },
        { "rename",                [] (Bank_Program& b) { b.renameProgram (4, "Other"); },                                    true },
        { "edit buffer only",      [] (Bank_Program& b) { b.setEditBuffer (filledRecord (9)); b.setEditBufferByte (3, 1); },  false },
        { "store edit buffer",     [] (Bank_Program& b) { b.setEditBuffer (filledRecord (9)); b.storeEditBuffer (4); },       true },
        { "edit buffer and slot",  [] (Bank_Program& b) { b.setEditBufferAndProgram (4, juce::MemoryBlock (10, true)); },     true },
        { "same whole bank",       [] (Bank_Program& b) { const auto r = b.records(); b.setRecords (r.data(), r.size()); },   false },
        { "shorter whole bank",    [] (Bank_Program& b) { const auto r = b.records(); b.setRecords (r.data(), 5000); },       true },
        { "factory bank",          [] (Bank_Program& b) { b.loadFactoryBank (1); },                                           true },
        { "dumps",                 [] (Bank_Program& b) { b.loadFromDumps (DSI_Program::programDump (filledRecord (2), 0, 0)); }, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Bank_Program bank ("b");
        bank.loadFactoryBank (0);
        bank.markRecordsUnchanged();

        c.write (bank);
        EXPECT_EQ (bank.recordsChanged(), c.changes);
    }
}

// A program bank file's dumps each go to the slot their own program byte names,
// whatever bank they were saved from, the first for a slot winning; exactly 99
// replace the bank as they come.
TEST (Bank_ProgramFiles, BankFileDumpsLandInTheSlotTheyName)
{
    const auto record = [] (int p, int b = 0)
    {
        ByteArray r ((size_t) ProgramRecord::size, (juce::uint8) (p + 1));
        r[0] = (juce::uint8) b;
        return r;
    };
    const auto dumpsOf = [&] (const std::vector<std::pair<int, int>>& bankAndProgram)
    {
        ByteArray out;
        for (auto [b, p] : bankAndProgram)
        {
            const auto d = DSI_Program::programDump (record (p, b), b, p);
            out.insert (out.end(), d.begin(), d.end());
        }
        return out;
    };
    std::vector<std::pair<int, int>> twoBanks;
    for (int b : { 0, 1 })
        for (int p = 0; p < 99; ++p)
            twoBanks.push_back ({ b, p });

    struct Case { const char* what; std::vector<std::pair<int, int>> dumps; int loaded; std::vector<int> filled, untouched; };
    const Case cases[] =
    {
        { "out of order, from bank 3", { { 3, 40 }, { 3, 7 } },            2, { 7, 40 }, { 0, 8 } },
        { "a program past the bank",   { { 0, 99 }, { 0, 120 }, { 0, 5 } }, 1, { 5 },     { 0 } },
        { "a slot twice",              { { 2, 5 }, { 1, 5 }, { 1, 6 } },    2, { 5, 6 },  { 0, 7 } },
        { "two whole banks",           twoBanks,                          99, { 0, 50, 98 }, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Bank_Program bank ("bank");
        bank.initialise (false);
        const auto basic = bank.programBytes (0);

        EXPECT_EQ (bank.loadFromBankFile (dumpsOf (c.dumps)), c.loaded);
        for (int p : c.filled)
        {
            const auto first = std::find_if (c.dumps.begin(), c.dumps.end(), [p] (auto d) { return d.second == p; });
            EXPECT_EQ (bank.programBytes (p), record (p, first->first)) << p;
        }
        for (int p : c.untouched)
            EXPECT_EQ (bank.programBytes (p), basic) << p;
    }

    std::vector<std::pair<int, int>> reversed;
    for (int p = 98; p >= 0; --p)
        reversed.push_back ({ 0, p });

    Bank_Program whole ("whole");
    EXPECT_EQ (whole.loadFromBankFile (dumpsOf (reversed)), 99);
    EXPECT_EQ (whole.programBytes (0), record (98));
    EXPECT_EQ (whole.programBytes (98), record (0));
}
