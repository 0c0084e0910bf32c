// Whatever the device sends, cut into whatever pieces the MIDI input thread
// delivers, the engine must neither crash nor store or emit anything malformed.
#include "EngineChecks.h"

using namespace fuzzchecks;

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static Harness h;
    auto& engine = *h.engine;

    FuzzRecords records (data, size);
    int op = 0;
    std::vector<uint8_t> bytes;

    while (records.next (op, bytes))
    {
        switch (op % 8)
        {
            case 0:
            case 1:
            case 2:
                // One piece as the device layer hands it over, possibly a fragment of SysEx.
                if (! bytes.empty())
                    engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage (bytes.data(), (int) bytes.size()));
                break;

            case 3:
                engine.handlePartialSysexMessage (nullptr, bytes.data(), (int) bytes.size(), 0.0);
                break;

            case 4:
                engine.handleSysEx (ByteArray (bytes.begin(), bytes.end()));
                break;

            case 5:
            {
                // The editor's receive commands, run between device messages.
                const int which = bytes.empty() ? 0 : bytes[0];
                if (which < 10)
                    engine.startBankReceive (which == 0 ? MidiCntrState::allUserBanks
                                           : which == 1 ? MidiCntrState::allFactoryBanks : 0, which - 2);
                else if (which < 20)
                    engine.stopBankReceive();
                else
                    engine.clearBankReceive();
                break;
            }

            case 6:
                engine.setControlsProgramChange (! bytes.empty() && (bytes[0] & 1) != 0);
                break;

            default:
                checkEvents (engine.takeEvents());
                checkIncomingParameters (engine, engine.takeIncomingParameters());
                break;
        }
    }

    finishRun (h);
    return 0;
}
