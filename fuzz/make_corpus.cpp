// Writes the seed corpus of every fuzz target from the engine's own codecs
// and factory data: vantor_fuzz_corpus <folder>.
#include "FuzzSupport.h"
#include "engine/DSI_Program.h"
#include "engine/FactoryData.h"
#include "engine/SettingsFiles.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/LibraryFile.h"

namespace
{
using Bytes = std::vector<uint8_t>;

juce::File root;

void write (const char* target, const char* name, const Bytes& bytes)
{
    const auto file = root.getChildFile (target).getChildFile (name);
    file.getParentDirectory().createDirectory();
    file.replaceWithData (bytes.data(), bytes.size());
}

Bytes concat (std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& p : parts)
        all.insert (all.end(), p.begin(), p.end());
    return all;
}

Bytes text (const char* s)                { return Bytes (s, s + std::strlen (s)); }
Bytes factoryRecord (int bank, int p)
{
    const auto* start = FactoryData::image() + FactoryData::banksOffset + (size_t) (bank * ProgramRecord::bankSize + p * ProgramRecord::size);
    return Bytes (start, start + ProgramRecord::size);
}

Bytes records (std::initializer_list<std::pair<int, Bytes>> list)
{
    Bytes out;
    for (const auto& [op, bytes] : list)
        FuzzRecords::append (out, op, bytes);
    return out;
}

Bytes cc (int channel, int controller, int value)  { return { (uint8_t) (0xB0 + channel - 1), (uint8_t) controller, (uint8_t) value }; }
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: vantor_fuzz_corpus <folder>\n");
        return 2;
    }

    root = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);

    const auto record = factoryRecord (0, 5);
    const auto programDump = DSI_Program::programDump (record, 2, 17);
    const auto keyboardDump = DSI_Program::programDump (factoryRecord (1, 0), 7, 98, ProgramRecord::keyboardDeviceId);
    const auto editDump = DSI_Program::editBufferDump (record);
    const Bytes globals { 0xF0, 0x01, 0x2B, 0x0F, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7 };
    const Bytes identity { 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x2B, 0x01, 0x00, 0x00, 0x13, 0x11, 0xF7 };

    // Complete messages.
    write ("fuzz_sysex", "program_dump", programDump);
    write ("fuzz_sysex", "program_dump_keyboard", keyboardDump);
    write ("fuzz_sysex", "edit_buffer_dump", editDump);
    write ("fuzz_sysex", "globals", globals);
    write ("fuzz_sysex", "identity_reply", identity);
    write ("fuzz_sysex", "request_echo", { 0xF0, 0x01, 0x2B, 0x05, 0x03, 0x10, 0xF7 });

    // Device traffic as the input thread sees it: ops 0-2 a piece, 3 a partial
    // SysEx, 4 a whole SysEx, 5 a receive command, 6 program change mode, 7 a drain.
    const Bytes firstPart (editDump.begin(), editDump.begin() + 500), secondPart (editDump.begin() + 500, editDump.end());
    write ("fuzz_midi_input", "nrpn_and_wheels",
           records ({ { 0, cc (1, 99, 0) }, { 0, cc (1, 98, 90) }, { 0, cc (1, 6, 1) }, { 0, cc (1, 38, 3) },
                      { 0, cc (2, 1, 64) }, { 0, { 0x91, 60, 100 } }, { 0, { 0x81, 60, 0 } }, { 0, { 0xEF, 1, 64 } },
                      { 0, { 0xF8 } }, { 7, {} } }));
    write ("fuzz_midi_input", "program_changes",
           records ({ { 6, { 1 } }, { 0, cc (1, 32, 3) }, { 0, { 0xC0, 12 } }, { 0, cc (1, 32, 9) }, { 0, { 0xC0, 13 } },
                      { 0, cc (1, 32, 0) }, { 0, { 0xC0, 120 } }, { 0, cc (1, 123, 0) } }));
    write ("fuzz_midi_input", "split_edit_dump",
           records ({ { 0, firstPart }, { 1, secondPart }, { 0, { 0xF0, 0x01, 0x2B } }, { 3, { 0x0F } } }));
    write ("fuzz_midi_input", "bank_receive",
           records ({ { 5, { 7 } }, { 0, DSI_Program::programDump (record, 5, 0) }, { 0, DSI_Program::programDump (record, 5, 98) },
                      { 5, { 1 } }, { 4, DSI_Program::programDump (record, 7, 98) }, { 5, { 30 } } }));

    // Programs and program files.
    write ("fuzz_program_codec", "record", record);
    write ("fuzz_program_codec", "program_dump", programDump);
    write ("fuzz_program_codec", "edit_buffer_dump", editDump);
    write ("fuzz_program_codec", "bank_file", concat ({ text ("junk"), programDump, { 0xF0, 0xF7 }, keyboardDump }));
    write ("fuzz_program_codec", "packed_body", Bytes (programDump.begin() + 6, programDump.end() - 1));

    // Host chunks: ops 0 and 2 as given, 1 and 3 repeated up to a whole chunk,
    // 4 program select, 5 rename, 6 automation, 7 playback format.
    juce::MemoryBlock programChunk;
    VantorAudioProcessor::writeProgramChunk (record, programChunk);
    const Bytes programChunkBytes (static_cast<const uint8_t*> (programChunk.getData()),
                                   static_cast<const uint8_t*> (programChunk.getData()) + programChunk.getSize());
    write ("fuzz_state_chunks", "program_chunk", records ({ { 2, programChunkBytes }, { 4, { 3, 0 } } }));
    write ("fuzz_state_chunks", "bank_chunk_of_one_record",
           records ({ { 1, concat ({ text ("Prophet12VantorBankVersion100"), record }) }, { 4, { 98, 0 } }, { 5, { 98, 0, 'B', 'a', 's', 's' } } }));
    write ("fuzz_state_chunks", "automation",
           records ({ { 6, { 0x6a, 0x02, 0, 0, 0x80, 0x3f,  0x6b, 0x02, 0, 0, 0, 0x3f,  0xff, 0x7f, 0, 0, 0xc0, 0x7f } },
                      { 7, { 0x70, 0x17, 0, 2 } }, { 0, text ("short") } }));

    // Settings files.
    write ("fuzz_settings_files", "ports_default", SettingsFiles::encodePortsFile ({ "NONE", "NONE", "NONE", "0" }));
    write ("fuzz_settings_files", "ports_named", SettingsFiles::encodePortsFile ({ "In A", "Out A", "Third", "256" }));
    write ("fuzz_settings_files", "settings_block", SettingsFiles::defaultSettingsBlock());
    SettingsFiles::WindowGeometry geometry;
    geometry.editor = { -20, 40, 1200, 800 };
    geometry.width2 = 300;
    geometry.height3 = 90;
    geometry.zoom1 = 1.25f;
    geometry.zoom2 = 0.75f;
    write ("fuzz_settings_files", "window_geometry", SettingsFiles::encodeWindowGeometry (geometry));
    write ("fuzz_settings_files", "startup_preset", programChunkBytes);
    write ("fuzz_settings_files", "sysex_file", concat ({ text ("x"), globals, editDump }));

    // Start-up: op 0 ports, 1 settings, 2 geometry, 3 startup preset, 4 bank
    // library; 9 the bank library repeated up to its full size.
    auto settings = SettingsFiles::defaultSettingsBlock();
    settings[6] = 17;
    settings[11] = 1;
    write ("fuzz_engine_startup", "all_files",
           records ({ { 0, SettingsFiles::encodePortsFile ({ "In A", "Out A", "NONE", "512" }) }, { 1, settings },
                      { 2, SettingsFiles::encodeWindowGeometry (geometry) }, { 3, programChunkBytes },
                      { 9, concat ({ text ("Proph12 Data>"), record }) } }));
    write ("fuzz_engine_startup", "short_files", records ({ { 0, { 0x0F } }, { 1, { 5 } }, { 2, { 1, 2 } }, { 3, text ("Prophet12VantorSettings") } }));

    // Library files: whole, without a trailer, cut inside a record; a bank file.
    const auto library = LibraryFile::image (concat ({ record, factoryRecord (2, 40), record }));
    write ("fuzz_library_file", "library", library);
    write ("fuzz_library_file", "no_trailer", Bytes (library.begin(), library.end() - 13));
    write ("fuzz_library_file", "cut_record", Bytes (library.begin(), library.begin() + 1500));
    write ("fuzz_library_file", "bank_file", concat ({ programDump, keyboardDump }));

    return 0;
}
