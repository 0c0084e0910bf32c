#include <gtest/gtest.h>
#include "engine/DSI_Program.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryRecords.h"
#include "engine/SettingsFiles.h"
#include <filesystem>

namespace
{
constexpr size_t recordSize = (size_t) ProgramRecord::size;

ByteArray makeRecords (int n, int seed = 1)
{
    juce::Random random (seed);
    ByteArray records ((size_t) n * recordSize);
    for (auto& b : records)
        b = (juce::uint8) random.nextInt (128);
    return records;
}

ByteArray concat (std::initializer_list<ByteArray> parts)
{
    ByteArray out;
    for (auto& p : parts)
        out.insert (out.end(), p.begin(), p.end());
    return out;
}

ByteArray bankFile (const ByteArray& records)
{
    ByteArray out;
    for (int k = 0; k < ProgramRecord::count (records); ++k)
        for (auto b : DSI_Program::programDump (ProgramRecord::get (records, k), k / 99, k % 99))
            out.push_back (b);
    return out;
}

juce::File tempFolder()   { return juce::File::getSpecialLocation (juce::File::userHomeDirectory); }   // fresh for each test

juce::File writeFile (const juce::String& name, const ByteArray& bytes)
{
    auto f = tempFolder().getChildFile (name);
    f.deleteFile();
    juce::FileOutputStream out (f);
    if (! bytes.empty())
        out.write (bytes.data(), bytes.size());
    return f;
}

ByteArray fileBytes (const juce::File& f)   { return SettingsFiles::readWholeFile (f); }
}

TEST (LibraryFile, RoundTripsExactly)
{
    for (int n : { 1, 3, 1000 })
    {
        SCOPED_TRACE (n);
        const auto records = makeRecords (n, n);
        const auto file = tempFolder().getChildFile ("lib" + juce::String (n) + ".p12l");

        ASSERT_TRUE (LibraryFile::write (records, file));
        const auto bytes = fileBytes (file);
        ASSERT_EQ (bytes.size(), (size_t) n * recordSize + 26);
        EXPECT_EQ (std::string (bytes.begin(), bytes.begin() + 13), "Mopho  Libr >");
        EXPECT_EQ (std::string (bytes.end() - 13, bytes.end()), "< Mopho  Libr");

        const auto read = LibraryFile::read (file);
        EXPECT_EQ (read.kind, LibraryFile::Contents::Kind::library);
        EXPECT_TRUE (read.problem.isEmpty());
        EXPECT_EQ (read.records, records);
    }
}

TEST (LibraryFile, ReadsWholeRecordsAndReportsShortFiles)
{
    struct Case { size_t size; int records; bool problem; };
    const Case cases[] = {
        { 1036, 0, true },    // one byte short of a record
        { 1037, 1, true },    // a record, no trailer
        { 2048, 1, true },    // a record and part of another
        { 3098, 3, false },   // three records and the trailer
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.size);
        auto bytes = concat ({ LibraryFile::header(), makeRecords (3) , LibraryFile::trailer() });
        bytes.resize (c.size);

        const auto read = LibraryFile::parse (bytes.data(), bytes.size());
        EXPECT_EQ (read.kind, LibraryFile::Contents::Kind::library);
        EXPECT_EQ (read.numRecords(), c.records);
        EXPECT_EQ (read.problem.isNotEmpty(), c.problem);
        EXPECT_TRUE (std::equal (read.records.begin(), read.records.end(), bytes.begin() + 13));
    }
}

TEST (LibraryFile, RefusesWhatIsNoLibraryAndTakesBankFilesWhole)
{
    const auto records = makeRecords (150);
    auto noHeader = concat ({ makeRecords (2), LibraryFile::trailer() });
    auto lowerCaseHeader = concat ({ LibraryFile::header(), makeRecords (1) });
    lowerCaseHeader[0] = 'm';

    using Kind = LibraryFile::Contents::Kind;
    struct Case { const char* name; ByteArray bytes; Kind kind; int records; };
    const Case cases[] = {
        { "empty",          {},                         Kind::refused,     0 },
        { "no header",      noHeader,                   Kind::refused,     0 },
        { "wrong header",   lowerCaseHeader,            Kind::refused,     0 },
        { "header only",    LibraryFile::header(),      Kind::library,     0 },
        { "emptied library", concat ({ LibraryFile::header(), LibraryFile::trailer() }), Kind::library, 0 },
        { "150-program bank", bankFile (records),       Kind::programBank, 150 },
        { "bank with junk", concat ({ { 1, 2, 3 }, bankFile (makeRecords (2)), { 0xf0, 0x01 } }), Kind::programBank, 2 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto read = LibraryFile::read (writeFile ("hostile.p12l", c.bytes));
        EXPECT_EQ (read.kind, c.kind);
        EXPECT_EQ (read.numRecords(), c.records);
        EXPECT_EQ (read.problem.isEmpty(), c.kind == Kind::programBank || c.bytes.size() == 26);
    }

    const auto bank = LibraryFile::parse (bankFile (records).data(), bankFile (records).size());
    EXPECT_EQ (ProgramRecord::get (bank.records, 149), ProgramRecord::get (records, 149));
}

TEST (LibraryFile, RefusesOversizeFilesUnread)
{
    // A sparse file far over the cap: refused from its size alone.
    const auto file = writeFile ("huge.p12l", LibraryFile::header());
    std::filesystem::resize_file (file.getFullPathName().toStdString(), (std::uintmax_t) 200'000'000);

    const auto read = LibraryFile::read (file);
    EXPECT_EQ (read.kind, LibraryFile::Contents::Kind::refused);
    EXPECT_TRUE (read.problem.containsIgnoreCase ("too large"));
}

TEST (LibraryFile, FailedWriteKeepsTheOldFile)
{
    // The temporary file beside a name this long exceeds the file system's
    // name limit, so the write fails after the old file exists.
    const auto longName = juce::String::repeatedString ("x", 240) + ".p12l";
    const auto old = concat ({ LibraryFile::header(), makeRecords (2, 7), LibraryFile::trailer() });
    const auto file = writeFile (longName, old);
    ASSERT_EQ (fileBytes (file), old);

    EXPECT_FALSE (LibraryFile::write (makeRecords (5), file));
    EXPECT_EQ (fileBytes (file), old);

    EXPECT_FALSE (LibraryFile::write ({}, file));   // nothing to write
    EXPECT_EQ (fileBytes (file), old);
}

TEST (LibraryFile, StoresOwnChangesOverAnotherInstancesFile)
{
    const auto a = makeRecords (1, 11), b = makeRecords (1, 12), c = makeRecords (1, 13),
               x = makeRecords (1, 14), y = makeRecords (1, 15);

    // ours: this instance's records after its edits (loaded a b c); otherWrote: what another wrote meanwhile, if anyone.
    struct Case { const char* name; ByteArray ours, otherWrote, expected; LibraryFile::StoreResult result; };
    const Case cases[] = {
        { "nobody else wrote",  concat ({ a, c, x }), {},                      concat ({ a, c, x }),    LibraryFile::StoreResult::written },
        { "both added",         concat ({ a, b, c, x }), concat ({ a, b, c, y }), concat ({ a, b, c, y, x }), LibraryFile::StoreResult::merged },
        { "we removed b",       concat ({ a, c }),   concat ({ a, b, c, y }),  concat ({ a, c, y }),    LibraryFile::StoreResult::merged },
        { "they removed a",     concat ({ a, b, c, x }), concat ({ b, c }),     concat ({ b, c, x }),    LibraryFile::StoreResult::merged },
        { "same addition",      concat ({ a, b, c, x }), concat ({ a, b, c, x }), concat ({ a, b, c, x }), LibraryFile::StoreResult::merged },
        { "we emptied it",      {},                   {},                      {},                      LibraryFile::StoreResult::written },
        { "we emptied, they added", {},               concat ({ a, b, c, y }), y,                       LibraryFile::StoreResult::merged },
    };

    for (const auto& t : cases)
    {
        SCOPED_TRACE (t.name);
        const auto file = tempFolder().getChildFile ("shared.p12l");
        ASSERT_TRUE (LibraryFile::write (concat ({ a, b, c }), file));

        LibraryFile::Origin origin;
        ASSERT_EQ (LibraryFile::load (file, origin).numRecords(), 3);

        ASSERT_TRUE (t.otherWrote.empty() || LibraryFile::write (t.otherWrote, file));

        EXPECT_EQ (LibraryFile::store (t.ours, origin), t.result);
        EXPECT_EQ (LibraryFile::read (file).records, t.expected);
        EXPECT_TRUE (LibraryFile::read (file).problem.isEmpty());

        // The origin now follows the file: a second store is a plain write.
        EXPECT_EQ (LibraryFile::store (t.ours, origin), LibraryFile::StoreResult::written);
    }
}

TEST (LibraryFile, KeepsADamagedOriginalBeforeRewritingIt)
{
    auto damaged = concat ({ LibraryFile::header(), makeRecords (2) });
    damaged.resize (damaged.size() - 100);   // the second record cut short
    const auto file = writeFile ("p12Lib.p12l", damaged);

    LibraryFile::Origin origin;
    const auto loaded = LibraryFile::load (file, origin);
    EXPECT_EQ (loaded.numRecords(), 1);
    EXPECT_TRUE (loaded.problem.isNotEmpty());

    EXPECT_EQ (LibraryFile::store (concat ({ loaded.records, makeRecords (1, 9) }), origin), LibraryFile::StoreResult::written);
    EXPECT_EQ (LibraryFile::read (file).numRecords(), 2);
    EXPECT_EQ (fileBytes (file.getSiblingFile ("p12Lib damaged.p12l")), damaged);
}
