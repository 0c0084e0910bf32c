#include <gtest/gtest.h>
#include "engine/HostMidiDevices.h"
#include <mutex>

// The host-lent input after a system common message: the message is whole at
// its own length, and data bytes after it belong to no earlier channel status.
namespace
{
using Bytes = std::vector<unsigned char>;

VantorHostMidiReceiver lentReceiver = nullptr;
void* lentContext = nullptr;

void sendNowhere (const unsigned char*, size_t) {}
void keepReceiver (VantorHostMidiReceiver r, void* c)   { lentReceiver = r; lentContext = c; }

const VantorHostMidiPorts ports { VANTOR_HOST_MIDI_VERSION, "Lent In", "Lent Out", sendNowhere, keepReceiver };

struct Messages : public juce::MidiInputCallback
{
    std::vector<Bytes> got;
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
    {
        got.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());
    }
};
}

TEST (HostMidiSystemCommon, SystemCommonMessagesEndRunningStatus)
{
    const struct { const char* what; Bytes stream; std::vector<Bytes> expected; } cases[] =
    {
        { "F1 quarter frame",   { 0x90, 0x3C, 0x64, 0xF1, 0x21, 0x3E, 0x00 },         { { 0x90, 0x3C, 0x64 }, { 0xF1, 0x21 } } },
        { "F2 song position",   { 0xB0, 0x07, 0x64, 0xF2, 0x10, 0x20, 0x08, 0x40 },   { { 0xB0, 0x07, 0x64 }, { 0xF2, 0x10, 0x20 } } },
        { "F3 song select",     { 0xC0, 0x05, 0xF3, 0x02, 0x06 },                     { { 0xC0, 0x05 }, { 0xF3, 0x02 } } },
        { "F3 then new status", { 0xE0, 0x00, 0x40, 0xF3, 0x01, 0x90, 0x3C, 0x64, 0x3E, 0x00 },
                                { { 0xE0, 0x00, 0x40 }, { 0xF3, 0x01 }, { 0x90, 0x3C, 0x64 }, { 0x90, 0x3E, 0x00 } } },
        { "F2 cut short",       { 0x90, 0x3C, 0x64, 0xF2, 0x10, 0x80, 0x3C, 0x00 },   { { 0x90, 0x3C, 0x64 }, { 0x80, 0x3C, 0x00 } } },
        { "clock keeps status", { 0x90, 0x3C, 0x64, 0xF8, 0x3E, 0x00 },               { { 0x90, 0x3C, 0x64 }, { 0xF8 }, { 0x90, 0x3E, 0x00 } } },
    };

    for (const auto& c : cases)
        for (size_t chunk : { c.stream.size(), (size_t) 1 })   // whole, and one byte per call
        {
            HostMidiDevices devices (ports);
            Messages messages;
            auto input = devices.openInput (0, &messages);
            ASSERT_NE (input, nullptr);
            input->start();
            ASSERT_NE (lentReceiver, nullptr);

            for (size_t i = 0; i < c.stream.size(); i += chunk)
                lentReceiver (lentContext, c.stream.data() + i, juce::jmin (chunk, c.stream.size() - i));

            input->stop();
            EXPECT_EQ (messages.got, c.expected) << c.what << ", " << chunk << " byte(s) a call";
        }
}
