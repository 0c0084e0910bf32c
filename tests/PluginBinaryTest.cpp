// Runs the tools/ host against the built plug-in: what a real host would see.
#include <gtest/gtest.h>
#include "support/TestFolder.h"
#include "support/VstHostRunner.h"
#include <juce_core/juce_core.h>

TEST (PluginBinary, HostVisibleProperties)
{
    const auto out = runVstHost ({ "info" });
    ASSERT_EQ (out.exitCode, 0) << out.text;

    EXPECT_EQ (out.value ("magic"), "0x56737450");
    EXPECT_EQ (out.value ("name"), "Prophet 12 Vantor");
    EXPECT_EQ (out.value ("uniqueID"), "0x50313262");
    EXPECT_EQ (out.value ("version"), "270");
    EXPECT_EQ (out.value ("vendorVersion"), "270");
    EXPECT_EQ (out.value ("vstVersion"), "2400");
    EXPECT_EQ (out.value ("category"), "1");   // effect
    EXPECT_EQ (out.value ("numParams"), "624");
    EXPECT_EQ (out.value ("numPrograms"), "99");
    EXPECT_EQ (out.value ("numInputs"), "2");
    EXPECT_EQ (out.value ("numOutputs"), "2");
    EXPECT_EQ (out.value ("initialDelay"), "0");
    EXPECT_EQ (out.value ("flags"), "has-editor can-replacing program-chunks no-sound-in-stop");
    // The first pin of each pair carries the stereo flag.
    EXPECT_EQ (out.value ("input 0"), "Input L stereo=1");
    EXPECT_EQ (out.value ("output 0"), "Output L stereo=1");
    EXPECT_EQ (out.value ("input 2"), "");

    for (auto* s : { "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents", "sendVstEvents",
                     "sendVstMidiEvent", "sendVstMidiEvents", "receiveVstTimeInfo", "conformsToWindowRules", "bypass" })
        EXPECT_EQ (out.value (std::string ("canDo ") + s), "1") << s;
    EXPECT_EQ (out.value ("canDo openCloseAnyThread"), "-1");
}

TEST (PluginBinary, ParameterNamesAsTheHostSeesThem)
{
    const auto out = runVstHost ({ "params" });
    ASSERT_EQ (out.exitCode, 0) << out.text;

    auto name = [&] (int i)
    {
        auto v = out.value ("param " + std::to_string (i));
        return v.substr (0, v.find (" = "));
    };

    EXPECT_EQ (name (0), "A Pitch 1");
    EXPECT_EQ (name (309), "A A B Mode");
    EXPECT_EQ (name (310), "B Pitch 1");
    EXPECT_EQ (name (617), "B ArpVel 32");
    EXPECT_EQ (name (618), "Program No.");
    EXPECT_EQ (name (623), "SlidLatch 2");
    EXPECT_EQ (name (113), "A LFO 1 Freq Syn");   // cut to 16 characters

    for (int i = 0; i < 624; ++i)
        EXPECT_LE (name (i).size(), 16u) << i;
}

TEST (PluginBinary, ChunksProgramsAndParametersCarryRealPrograms)
{
    const TestFolder folder ("vantor-chunks");
    const auto& dir = folder.file();
    const auto programFile = dir.getChildFile ("program.bin").getFullPathName().toStdString();
    const auto copyFile = dir.getChildFile ("copy.bin").getFullPathName().toStdString();
    const auto bankFile = dir.getChildFile ("bank.bin").getFullPathName().toStdString();

    const auto out = runVstHost ({ "chunks", "savechunk", "bank", bankFile,
                                   "set", "0", "0.5", "get", "0", "params", "618", "623",
                                   "savechunk", "program", programFile,
                                   "instance", "2", "loadchunk", "program", programFile,
                                   "savechunk", "program", copyFile, "programs" });
    ASSERT_EQ (out.exitCode, 0) << out.text;

    juce::MemoryBlock bank, program, copy;
    juce::File (bankFile).loadFileAsData (bank);
    juce::File (programFile).loadFileAsData (program);
    juce::File (copyFile).loadFileAsData (copy);
    ASSERT_EQ (bank.getSize(), 102430u);
    EXPECT_EQ (bank[102429], 0);
    ASSERT_EQ (program.getSize(), 1057u);
    EXPECT_EQ (copy, program);

    // Pitch 1 at 0.5 is 60 of 120: the note C5.
    EXPECT_EQ (out.value ("param 0"), "A Pitch 1 = C5 (0.5)");
    EXPECT_EQ (out.value ("param 618"), "Program No. = Disabled (0)");
    EXPECT_EQ (out.value ("param 623"), "SlidLatch 2 = OFF (0)");

    const auto names = out.values ("program 0");
    ASSERT_FALSE (names.empty());
    EXPECT_FALSE (names[0].empty());
}

TEST (PluginBinary, ValueTextsAsTheHostReadsThem)
{
    // Host index 75 is "FeedBk Amount" (bipolar around 127), 59 "P. B. Range Up",
    // 113 "LFO 1 Freq Sync" (one of its texts keeps a trailing space), 310 layer B "Pitch 1".
    const auto out = runVstHost ({ "set", "75", "0", "get", "75", "set", "59", "1", "get", "59",
                                   "set", "113", "0.34", "get", "113", "set", "310", "0", "get", "310",
                                   "set", "623", "1", "get", "623", "get", "618" });
    ASSERT_EQ (out.exitCode, 0) << out.text;

    auto text = [&] (int i)
    {
        const auto v = out.value ("param " + std::to_string (i));
        const auto from = v.find (" = ") + 3;
        return v.substr (from, v.rfind (" (") - from);
    };

    EXPECT_EQ (text (75), "-127");
    EXPECT_EQ (text (59), "1 Octave");
    EXPECT_EQ (text (113), "8th ");
    EXPECT_EQ (text (310), "C0");
    EXPECT_EQ (text (623), "ON");
    EXPECT_EQ (text (618), "Disabled");
}
