// Runs the tools/ host against the built plug-in: what a real host would see.
#include <gtest/gtest.h>
#include "support/VstHostRunner.h"

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
