#include <gtest/gtest.h>
#include "engine/FileMan.h"
#include "engine/DSI_Program.h"

namespace
{
juce::File write (const juce::String& name, const ByteArray& bytes)
{
    auto f = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (name);
    f.replaceWithData (bytes.data(), bytes.size());
    return f;
}

ByteArray programDump (int bank, int program)
{
    ByteArray d { 0xf0, 0x01, 0x2b, 0x02, (juce::uint8) bank, (juce::uint8) program };
    d.resize (6 + 1171, 0);
    d.push_back (0xf7);
    return d;
}

void append (ByteArray& to, const ByteArray& more)   { to.insert (to.end(), more.begin(), more.end()); }
}

TEST (FileMan, DialogSpec)
{
    FileMan fm;
    fm.dialogSpec (1);
    EXPECT_EQ (fm.getTitle(), "Load Single Prophet 12 Program");
    EXPECT_EQ (fm.getPatterns().joinIntoString (";"), "*.p12p;*.syx");

    // An unknown code clears the patterns and keeps the title.
    fm.dialogSpec (4);
    fm.dialogSpec (8);
    EXPECT_EQ (fm.getTitle(), "Load Program 12 Library");
    EXPECT_TRUE (fm.getPatterns().isEmpty());
}

TEST (FileMan, FirstSysExCutsTheFirstCompleteMessage)
{
    EXPECT_EQ (FileMan::firstSysEx ({ 0x00, 0xf0, 0x01, 0xf7, 0xf0, 0x02, 0xf7 }), (ByteArray { 0xf0, 0x01, 0xf7 }));
    EXPECT_EQ (FileMan::firstSysEx ({ 0xf7, 0xf0, 0xf7 }), (ByteArray { 0xf0, 0xf7 }));
    EXPECT_TRUE (FileMan::firstSysEx ({ 0x00, 0xf0, 0x01 }).empty());
    EXPECT_TRUE (FileMan::firstSysEx ({}).empty());
}

TEST (FileMan, SingleProgramFiles)
{
    FileMan fm;
    EXPECT_FALSE (fm.loadSingleProgram (juce::File()));

    // Too small to hold a program: refused before reading.
    EXPECT_FALSE (fm.loadSingleProgram (write ("tiny.p12p", { 0xf0, 1, 2, 3, 4, 5, 6, 7, 0xf7 })));
    EXPECT_TRUE (fm.getFileData().empty());

    ByteArray dump { 0xf0, 0x01, 0x2b, 0x03 };
    dump.resize (4 + 1171, 0);
    dump.push_back (0xf7);

    ByteArray file { 0x00, 0x01 };
    append (file, dump);
    append (file, programDump (0, 0));
    ASSERT_TRUE (fm.loadSingleProgram (write ("one.p12p", file)));
    EXPECT_EQ (fm.getProgramBytes(), dump);
    ASSERT_NE (fm.getProgram(), nullptr);
    EXPECT_EQ (fm.getProgram()->getParams(), ByteArray (1024, 0));

    // A complete message of the wrong size is no program.
    EXPECT_FALSE (fm.loadSingleProgram (write ("short.syx", { 0xf0, 1, 2, 3, 4, 5, 6, 7, 8, 0xf7 })));
}

TEST (FileMan, ProgramBankFilesSkipWhatIsNotADump)
{
    FileMan fm;

    ByteArray file { 0x12, 0xf0, 0x34 };
    ByteArray dumps;
    for (int p = 0; p < 3; ++p)
        append (dumps, programDump (1, p));
    append (file, dumps);
    append (file, ByteArray (2000, 0x55));
    append (file, { 0xf0, 0x01, 0xf7 });

    ASSERT_TRUE (fm.loadProgramBank (write ("bank.p12b", file)));
    EXPECT_EQ (fm.getFileData(), dumps);
    ASSERT_NE (fm.getProgram(), nullptr);
    EXPECT_EQ (fm.getProgram()->getDumpCount(), 3);

    EXPECT_FALSE (fm.loadProgramBank (write ("garbage.p12b", ByteArray (3000, 0xf0))));
    EXPECT_FALSE (fm.loadProgramBank (juce::File()));
}

TEST (FileMan, ProgramFilesLargerThanAnyRealOneAreRefusedUnread)
{
    // The synthesizer's whole memory as dumps loads; a file one dump past the bound does not.
    ByteArray whole;
    for (int n = 0; n < 8 * 99; ++n)
        append (whole, programDump (n / 99, n % 99));
    ASSERT_LE ((juce::int64) whole.size(), FileMan::largestProgramFile);
    auto over = whole;
    while ((juce::int64) over.size() <= FileMan::largestProgramFile)
        append (over, programDump (0, 0));

    const struct { const char* name; const ByteArray& bytes; bool loads; } cases[] =
    {
        { "all banks.syx", whole, true },
        { "too large.syx", over,  false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = write (c.name, c.bytes);

        FileMan single;
        EXPECT_EQ (single.loadSingleProgram (file), c.loads);
        EXPECT_EQ (single.wasTooLarge(), ! c.loads);

        FileMan bank;
        EXPECT_EQ (bank.loadProgramBank (file), c.loads);
        EXPECT_EQ (bank.wasTooLarge(), ! c.loads);
        EXPECT_EQ (bank.getFileData().empty(), ! c.loads);
    }
}

TEST (FileMan, SavesAppendTheExtensionUnlessTheNameEndsWithOne)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const struct { int code; const char* typed; const char* saved; } cases[] =
    {
        { FileMan::saveProgram,     "Pad v1.2",       "Pad v1.2.p12p" },
        { FileMan::saveProgram,     "Pad v1.23",      "Pad v1.23.p12p" },
        { FileMan::saveProgram,     "Pad.p12p",       "Pad.p12p" },
        { FileMan::saveProgram,     "Pad.P12P",       "Pad.P12P" },
        { FileMan::saveProgram,     "Pad.syx",        "Pad.syx" },
        { FileMan::saveProgram,     "Pad.p12b",       "Pad.p12b.p12p" },
        { FileMan::saveProgramBank, "Set 2024.1",     "Set 2024.1.p12b" },
        { FileMan::saveLibrary,     "Lib 2.10",       "Lib 2.10.p12l" },
        { FileMan::savePresetBank,  "Live.set",       "Live.set.fxb" },
        { FileMan::savePreset,      "Lead v3.0",      "Lead v3.0.fxp" },
        { FileMan::savePreset,      "Lead.fxp",       "Lead.fxp" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (FileMan::withSaveExtension (folder.getChildFile (c.typed), c.code), folder.getChildFile (c.saved)) << c.typed;

    EXPECT_EQ (FileMan::withSaveExtension (juce::File(), FileMan::saveProgram), juce::File());
}
