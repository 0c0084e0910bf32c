// Host state chunks and preset files of any size and content: reading them
// must never crash, and whatever was read must come back out as well-formed
// chunks and in-range parameter values.
#include "FuzzSupport.h"
#include "engine/VantorAudioProcessor.h"
#include "support/RecordingMidiDevices.h"
#include <cmath>
#include <cstring>

namespace
{
struct Harness
{
    Harness()
    {
        initialiseFramework();
        processor = std::make_unique<VantorAudioProcessor> (devices);
        processor->getEngine().ports().openOutput (1);
    }

    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor;
};


int int16At (const std::vector<uint8_t>& bytes, size_t i)
{
    const int lo = i < bytes.size() ? bytes[i] : 0, hi = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    return (int) (juce::int16) (juce::uint16) (lo | (hi << 8));
}

float floatAt (const std::vector<uint8_t>& bytes, size_t i)
{
    uint32_t bits = 0;
    for (size_t k = 0; k < 4; ++k)
        bits |= (uint32_t) (i + k < bytes.size() ? bytes[i + k] : 0) << (8 * k);
    float f;
    std::memcpy (&f, &bits, sizeof (f));
    return f;
}

bool startsWith (const juce::MemoryBlock& block, const char* text)
{
    const auto n = std::strlen (text);
    return block.getSize() >= n && std::memcmp (block.getData(), text, n) == 0;
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static Harness h;
    auto& processor = *h.processor;
    auto& params = processor.getParameters();

    FuzzRecords records (data, size);
    int op = 0;
    std::vector<uint8_t> bytes;

    while (records.next (op, bytes))
    {
        switch (op % 8)
        {
            case 0: processor.setStateInformation (bytes.data(), (int) bytes.size()); break;
            case 1:
            {
                const auto chunk = tiled (bytes, (size_t) VantorAudioProcessor::bankChunkMinimum - 1 + (bytes.size() % 1100));
                processor.setStateInformation (chunk.data(), (int) chunk.size());
                break;
            }
            case 2: processor.setCurrentProgramStateInformation (bytes.data(), (int) bytes.size()); break;
            case 3:
            {
                const auto chunk = tiled (bytes, (size_t) VantorAudioProcessor::programChunkSize - 1 + (bytes.size() % 4));
                processor.setCurrentProgramStateInformation (chunk.data(), (int) chunk.size());
                break;
            }
            case 4:
            {
                const int index = int16At (bytes, 0);
                processor.setCurrentProgram (index);
                FUZZ_CHECK (processor.getProgramName (index).length() <= ProgramRecord::nameLength);
                FUZZ_CHECK (juce::isPositiveAndBelow (processor.getCurrentProgram(), VantorAudioProcessor::numPrograms));
                break;
            }
            case 5:
            {
                juce::String name;
                for (size_t i = 2; i < bytes.size(); ++i)
                    if (bytes[i] != 0)
                        name += (juce::juce_wchar) bytes[i];
                processor.changeProgramName (int16At (bytes, 0), name);
                break;
            }
            case 6:
                // Host automation: raw indices (also outside the table) and any float, NaN included.
                for (size_t i = 0; i + 6 <= bytes.size(); i += 6)
                {
                    const int index = int16At (bytes, i);
                    processor.setHostValue (index, floatAt (bytes, i + 2));
                    processor.hostParameterText (index);
                    processor.hostParameterName (index);
                    const float v = processor.hostValue (index);
                    FUZZ_CHECK (v >= 0.0f && v <= 1.0f);
                }
                break;
            default:
            {
                const int rate = int16At (bytes, 0) * 8, block = int16At (bytes, 2);
                processor.prepareToPlay ((double) rate, block);
                break;
            }
        }
    }

    for (auto* p : params)
    {
        const float v = p->getValue();
        FUZZ_CHECK (v >= 0.0f && v <= 1.0f);
        FUZZ_CHECK (p->getCurrentValueAsText().length() <= 64);
        FUZZ_CHECK (p->getName (16).isNotEmpty());
    }

    // Whatever was read, the chunks written are whole, and after one round of
    // writing and reading (which may store the edit buffer into its slot) a
    // chunk reads back as itself.
    juce::MemoryBlock bank, bankAgain, bankThird, program, programAgain;
    processor.getStateInformation (bank);
    FUZZ_CHECK (bank.getSize() == (size_t) VantorAudioProcessor::bankChunkSize && startsWith (bank, "Prophet12VantorBankVersion100"));
    processor.setStateInformation (bank.getData(), (int) bank.getSize());
    processor.getStateInformation (bankAgain);
    processor.setStateInformation (bankAgain.getData(), (int) bankAgain.getSize());
    processor.getStateInformation (bankThird);
    FUZZ_CHECK (bankAgain == bankThird);

    processor.getCurrentProgramStateInformation (program);
    FUZZ_CHECK (program.getSize() == (size_t) VantorAudioProcessor::programChunkSize
                && startsWith (program, "Prophet12VantorSettingsVersion100"));
    processor.setCurrentProgramStateInformation (program.getData(), (int) program.getSize());
    processor.getCurrentProgramStateInformation (programAgain);
    FUZZ_CHECK (program == programAgain);

    processor.getEngine().takeEvents();
    processor.getEngine().clearHostMidi();

    // A fresh output per run keeps the recorded log, and so memory, small.
    processor.getEngine().ports().openOutput (1);
    h.devices.outputs.erase (h.devices.outputs.begin(), h.devices.outputs.end() - 1);
    return 0;
}
