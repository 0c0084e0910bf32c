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
