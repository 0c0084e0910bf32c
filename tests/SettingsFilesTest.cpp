#include <gtest/gtest.h>
#include <limits>
#include "engine/SettingsFiles.h"
#include "support/TestFolder.h"
#include <csignal>
#include <sys/resource.h>
#include <tuple>

using namespace SettingsFiles;

namespace
{
struct SettingsFilesTest : public ::testing::Test
{
    TestFolder made { "settings-files-test" };
    juce::File dir = made.file();

    void SetUp() override     { ASSERT_TRUE (dir.isDirectory()); }
};
}

TEST_F (SettingsFilesTest, WholeFilesRoundTripAndMissingOrEmptyReadAsNothing)
{
    const auto file = dir.getChildFile ("new folder/a.dat");
    EXPECT_TRUE (readWholeFile (file).empty());

    ASSERT_TRUE (writeWholeFile (ByteArray { 0, 1, 0xff }, file));
    ASSERT_TRUE (writeWholeFile (ByteArray { 7 }, file));
    EXPECT_EQ (readWholeFile (file), ByteArray { 7 });
    EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);

    ASSERT_TRUE (writeWholeFile (ByteArray(), file));
    EXPECT_TRUE (readWholeFile (file).empty());
    EXPECT_TRUE (readWholeFile (dir).empty());
}

TEST_F (SettingsFilesTest, FailedWriteReportsFalseAndKeepsWhatWasThere)
{
    const auto folder = dir.getChildFile ("Ph12_data.dat");
    ASSERT_TRUE (folder.getChildFile ("keep").create().wasOk());
    EXPECT_FALSE (writeWholeFile (ByteArray (10, 1), folder));
    EXPECT_TRUE (folder.getChildFile ("keep").existsAsFile());

    // A write cut short by the file size limit (which binds root too) must not replace the old file.
    const auto file = dir.getChildFile ("ph12plugstV2.dat");
    const ByteArray old { 1, 2, 3 };
    ASSERT_TRUE (writeWholeFile (old, file));

    rlimit saved {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &small), 0);

    const bool written = writeWholeFile (ByteArray (5000, 9), file);
    const bool writtenUnflushed = writeWholeFile (ByteArray (5000, 9), file, Durability::leftToTheSystem);
    const bool created = writeWholeFile (ByteArray (5000, 9), dir.getChildFile ("new.dat"), Durability::leftToTheSystem);

    setrlimit (RLIMIT_FSIZE, &saved);
    std::signal (SIGXFSZ, previousHandler);

    EXPECT_FALSE (written || writtenUnflushed || created);
    EXPECT_EQ (readWholeFile (file), old);
    EXPECT_EQ (dir.getNumberOfChildFiles (juce::File::findFiles), 1);   // no temporary left behind, nothing created
}

TEST (SettingsFiles, PortsFileLayoutAndLenientReading)
{
    // Names are stored as UTF-8 in the same fields.
    EXPECT_EQ (encodePortsFile ({ juce::String::charToString (0x141), "", "", "" }),
               (ByteArray { 0xC5, 0x81, 0x0f, 0x10, 0x11, 0x12 }));

    // The chunk size is the field's leading number; a field without one reads as "0" and keeps the size.
    const juce::StringArray defaults { "NONE", "NONE", "NONE", "0" };
    juce::StringArray names;
    int chunk = 256;
    for (auto [field, name, size] : { std::make_tuple ("512", "512", 512), std::make_tuple ("abc", "0", 512), std::make_tuple ("64kB", "64", 64) })
    {
        ASSERT_TRUE (decodePortsFile (encodePortsFile ({ "In 1", "Out 2", "x", field }), names, chunk));
        EXPECT_EQ (names, juce::StringArray ({ "In 1", "Out 2", "x", name }));
        EXPECT_EQ (chunk, size) << field;
    }

    names = defaults;
    EXPECT_FALSE (decodePortsFile ({ 'a', 0x0f }, names, chunk));
    EXPECT_EQ (names, defaults);

    // The last mark counts, a mark at position 0 is none, and without 0x11 names 1 and 2 stay.
    ASSERT_TRUE (decodePortsFile ({ 0x0f, 'a', 0x0f, 'b', 0x10, 'c' }, names, chunk));
    EXPECT_EQ (names, juce::StringArray ({ "\x0f" "a", "NONE", "NONE", "0" }));

    // Marks out of order give empty names rather than reads outside the file.
    names.clear();
    ASSERT_TRUE (decodePortsFile ({ 'x', 0x10, 'y', 0x0f, 'z', 0x11, '7', 0x12 }, names, chunk));
    EXPECT_EQ (names, juce::StringArray ({ "x\x10y", "", "y\x0f" "z", "7" }));
}

TEST (SettingsFiles, WindowGeometryAndShortStartupPreset)
{
    WindowGeometry g;
    g.editor = { -20, 30, 0x0304, 700 };
    g.width2 = 400;
    g.height3 = 80;
    g.zoom1 = 1.25f;

    const auto bytes = encodeWindowGeometry (g);
    ASSERT_EQ (bytes.size(), 100u);
    EXPECT_EQ (bytes[4], 0x03);
    EXPECT_EQ (bytes[5], 0x04);
    EXPECT_EQ ((bytes[24] << 8) | bytes[25], 1250);
    EXPECT_EQ (std::count (bytes.begin() + 28, bytes.end(), 0), 72);

    WindowGeometry back;
    ASSERT_TRUE (decodeWindowGeometry (ByteArray (bytes.begin(), bytes.begin() + 28), back));
    EXPECT_EQ (back.editor, g.editor);
    EXPECT_EQ (back.width2 + back.height3, 480);
    EXPECT_FLOAT_EQ (back.zoom1, 1.25f);
    EXPECT_FLOAT_EQ (back.zoom2, 1.0f);

    // Every stored zoom survives a read and a write again, and a hostile zoom writes as 1.0.
    for (int stored = 1; stored < 32768; ++stored)
    {
        auto file = bytes;
        file[24] = (juce::uint8) (stored >> 8);
        file[25] = (juce::uint8) (stored & 0xff);
        WindowGeometry read;
        ASSERT_TRUE (decodeWindowGeometry (file, read));
        const auto again = encodeWindowGeometry (read);
        ASSERT_EQ ((again[24] << 8) | again[25], stored);
    }
    g.zoom2 = std::numeric_limits<float>::quiet_NaN();
    const auto nanZoom = encodeWindowGeometry (g);
    EXPECT_EQ ((nanZoom[26] << 8) | nanZoom[27], 1000);

    WindowGeometry untouched;
    EXPECT_FALSE (decodeWindowGeometry (ByteArray (27, 0x11), untouched));
    EXPECT_TRUE (untouched.editor.isEmpty());

    // A preset with the right tag one byte short of a program chunk is none.
    const juce::String tag ("Prophet12VantorSettingsVersion999");
    ByteArray preset (tag.toRawUTF8(), tag.toRawUTF8() + tag.length());
    preset.resize (1056, 0);
    EXPECT_FALSE (isStartupPreset (preset));
}

// Names beyond Latin-1 come back as they were stored; files of the earlier
// kind (a byte per character) still read, as do bytes that are not UTF-8.
TEST (SettingsFiles, PortNamesAreStoredAsUtf8AndEarlierFilesStillRead)
{
    const auto cyrillic = juce::String (juce::CharPointer_UTF8 ("\xd0\x9f\xd0\xbe\xd1\x80\xd1\x82 MIDI 1"));
    const auto apostrophe = juce::String (juce::CharPointer_UTF8 ("Joe\xe2\x80\x99s Synth"));
    const auto latin1 = juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9 Out"));

    juce::StringArray names;
    int chunk = 0;
    ASSERT_TRUE (decodePortsFile (encodePortsFile ({ cyrillic, apostrophe, latin1, "0" }), names, chunk));
    const juce::String stored[] = { cyrillic, apostrophe, latin1, "0" };
    EXPECT_EQ (names, juce::StringArray (stored, 4));

    // As earlier builds wrote it: one byte per character, 0xE9 for the accent.
    const ByteArray earlier { 'C','a','f',0xE9,' ','I','n',0x0F,'O','u','t',0x10,'x',0x11,'0',0x12 };
    ASSERT_TRUE (decodePortsFile (earlier, names, chunk));
    EXPECT_EQ (names[0], juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9 In")));
    EXPECT_EQ (names[1], "Out");
}
