#include <gtest/gtest.h>
#include "engine/FileMan.h"
#include "engine/DSI_Program.h"
#include "support/TestFolder.h"
#include <cstdlib>

namespace
{
// Points HOME (and so the settings folder) at a fresh temp folder and puts a
// scripted chooser in place of the dialog.
struct FileManTest : public ::testing::Test
{
    TestFolder folder { "fileman-test-home" };
    juce::File home = folder.file();
    juce::String savedHome { std::getenv ("HOME") };

    struct Call { bool save; juce::String title, patterns; juce::File initial; };
    std::vector<Call> calls;
    juce::File answer;   // File() = cancel

    void SetUp() override
    {
        ASSERT_TRUE (home.isDirectory());
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

        FileMan::chooserHook = [this] (bool save, const juce::String& title, const juce::String& patterns,
                                       const juce::File& initial, juce::File& result)
        {
            calls.push_back ({ save, title, patterns, initial });
            result = answer;
            return answer != juce::File();
        };
    }

    void TearDown() override
    {
        FileMan::chooserHook = nullptr;
        setenv ("HOME", savedHome.toRawUTF8(), 1);
    }

    juce::File write (const juce::String& name, const ByteArray& bytes)
    {
        auto f = home.getChildFile (name);
        f.replaceWithData (bytes.data(), bytes.size());
        return f;
    }
};

ByteArray programDump (int bank, int program)
{
    ByteArray d { 0xf0, 0x01, 0x2b, 0x02, (juce::uint8) bank, (juce::uint8) program };
    d.resize (6 + 1171, 0);
    d.push_back (0xf7);
    return d;
}

void append (ByteArray& to, const ByteArray& more)
{
    to.insert (to.end(), more.begin(), more.end());
}
}

TEST_F (FileManTest, FoldersLieBesideTheApplicationDataFolder)
{
    EXPECT_EQ (FileMan::settingsFolder(), home.getChildFile ("VantorConfig"));
    EXPECT_EQ (FileMan::startupPresetFile(), home.getChildFile ("Library/Prophet 12/preset.prop12patch"));
}

TEST_F (FileManTest, DialogSpecAndBrowse)
{
    FileMan fm;
    fm.dialogSpec (4);
    fm.dialogSpec (8);
    EXPECT_EQ (fm.getTitle(), "Load Program 12 Library");
    EXPECT_TRUE (fm.getPatterns().isEmpty());

    EXPECT_FALSE (fm.browse (97, 1, {}));
    EXPECT_TRUE (calls.empty());

    answer = home.getChildFile ("a.syx");
    ASSERT_TRUE (fm.browse (FileMan::openMode, 1, {}));
    EXPECT_FALSE (calls.back().save);
    EXPECT_EQ (calls.back().title, "Load Single Prophet 12 Program");
    EXPECT_EQ (calls.back().patterns, "*.p12p;*.syx");
    EXPECT_EQ (fm.getChosenFile(), answer);

    answer = juce::File();
    EXPECT_FALSE (fm.browse (FileMan::openMode, 11, {}));
    EXPECT_EQ (fm.getChosenFile(), home.getChildFile ("a.syx"));

    // Saving: the extension is added only when the chosen one is under 3 characters.
    const std::pair<const char*, const char*> saves[] =
    {
        { "mylib", "mylib.p12l" }, { "mylib.p12l", "mylib.p12l" }, { "v1.2", "v1.2.p12l" }, { "a.lib", "a.lib" }
    };
    for (auto& [chosen, expected] : saves)
    {
        answer = home.getChildFile (chosen);
        ASSERT_TRUE (fm.browse (FileMan::saveMode, 104, "Library 1"));
        EXPECT_EQ (fm.getChosenFile(), home.getChildFile (expected)) << chosen;
    }
    EXPECT_TRUE (calls.back().save);
    EXPECT_EQ (calls.back().initial, home.getChildFile ("VantorConfig/Library 1"));

    answer = home.getChildFile ("bank");
    ASSERT_TRUE (fm.browse (FileMan::saveMode, 110, {}));
    EXPECT_EQ (fm.getChosenFile(), home.getChildFile ("bank.fxb"));
}

TEST (FileMan, FirstSysExCutsTheFirstCompleteMessage)
{
    EXPECT_EQ (FileMan::firstSysEx ({ 0x00, 0xf0, 0x01, 0xf7, 0xf0, 0x02, 0xf7 }), (ByteArray { 0xf0, 0x01, 0xf7 }));
    EXPECT_EQ (FileMan::firstSysEx ({ 0xf7, 0xf0, 0xf7 }), (ByteArray { 0xf0, 0xf7 }));
    EXPECT_TRUE (FileMan::firstSysEx ({ 0x00, 0xf0, 0x01 }).empty());
    EXPECT_TRUE (FileMan::firstSysEx ({}).empty());
}

TEST_F (FileManTest, SingleProgramFiles)
{
    FileMan fm;

    answer = juce::File();
    EXPECT_FALSE (fm.loadSingleProgram());

    // Too small to hold a program: refused before reading.
    answer = write ("tiny.p12p", { 0xf0, 1, 2, 3, 4, 5, 6, 7, 0xf7 });
    EXPECT_FALSE (fm.loadSingleProgram());
    EXPECT_TRUE (fm.getFileData().empty());

    ByteArray dump { 0xf0, 0x01, 0x2b, 0x03 };
    dump.resize (4 + 1171, 0);
    dump.push_back (0xf7);

    ByteArray file { 0x00, 0x01 };
    append (file, dump);
    append (file, programDump (0, 0));
    answer = write ("one.p12p", file);

    ASSERT_TRUE (fm.loadSingleProgram());
    EXPECT_EQ (fm.getProgramBytes(), dump);
    ASSERT_NE (fm.getProgram(), nullptr);
    EXPECT_EQ (fm.getProgram()->getParams(), ByteArray (1024, 0));

    // A complete message of the wrong size is no program.
    answer = write ("short.syx", { 0xf0, 1, 2, 3, 4, 5, 6, 7, 8, 0xf7 });
    EXPECT_FALSE (fm.loadSingleProgram());
}

TEST_F (FileManTest, ProgramBankFilesSkipWhatIsNotADump)
{
    FileMan fm;

    ByteArray file { 0x12, 0xf0, 0x34 };
    ByteArray dumps;
    for (int p = 0; p < 3; ++p)
        append (dumps, programDump (1, p));
    append (file, dumps);
    append (file, ByteArray (2000, 0x55));
    append (file, { 0xf0, 0x01, 0xf7 });

    answer = write ("bank.p12b", file);
    ASSERT_TRUE (fm.loadProgramBank());
    EXPECT_EQ (fm.getFileData(), dumps);
    ASSERT_NE (fm.getProgram(), nullptr);
    EXPECT_EQ (fm.getProgram()->getDumpCount(), 3);

    answer = write ("garbage.p12b", ByteArray (3000, 0xf0));
    EXPECT_FALSE (fm.loadProgramBank());

    answer = juce::File();
    EXPECT_FALSE (fm.loadProgramBank());
}
