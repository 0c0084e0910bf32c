// The engine's start-up with hostile files in its settings folder: it must
// come up with usable settings, and leave well-formed files when it closes.
#include "FuzzSupport.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/MidiCntrState.h"
#include "support/RecordingMidiDevices.h"

namespace
{
// Record ops name the file their bytes go to.
juce::File fileFor (int op)
{
    switch (op % 5)
    {
        case 0:  return MidiCntrState::settingsFile (SettingsFiles::portsFileName);
        case 1:  return MidiCntrState::settingsFile (SettingsFiles::settingsFileName);
        case 2:  return MidiCntrState::settingsFile (SettingsFiles::windowGeometryFileName);
        case 3:  return FileMan::startupPresetFile();
        default: return MidiCntrState::settingsFile (SettingsFiles::bankLibraryFileName);
    }
}

}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseFramework();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    FileMan::settingsFolder().deleteRecursively();
    FileMan::startupPresetFile().deleteFile();

    FuzzRecords records (data, size);
    int op = 0;
    std::vector<uint8_t> bytes;

    while (records.next (op, bytes))
    {
        // Ops 5-9 write the bank library at its full size, the bytes repeated,
        // since the engine only reads one that holds all eight banks.
        ByteArray content (bytes.begin(), bytes.end());
        if (op % 10 >= 5 && op % 5 == 4)
            content = tiled (bytes, (size_t) SettingsFiles::bankLibraryMinimumSize + bytes.size() % 20);
        SettingsFiles::writeWholeFile (content, fileFor (op));
    }

    {
        RecordingMidiDevices devices { { "In A", "NONE", "Ab" }, { "Out A", "NONE", "Ab" } };
        MidiCntrState engine (devices);

        FUZZ_CHECK (engine.getMidiChannel() >= 1 && engine.getMidiChannel() <= 16);
        FUZZ_CHECK (engine.getSettingsBlock().size() == (size_t) SettingsFiles::settingsBlockSize);
        FUZZ_CHECK (engine.getPortNames().size() == 4);
        FUZZ_CHECK (engine.editBuffer().size() == (size_t) ProgramRecord::size);
        FUZZ_CHECK (engine.ports().sysexChunkSize >= 0);

        // A stored name opens a device only when it matches one exactly and is long enough;
        // "NONE" means no device, even where one is called that.
        const auto names = engine.getPortNames();
        const auto opens = [] (const juce::String& name, const juce::StringArray& list)
        {
            return name.length() > 2 && name != "NONE" && list.contains (name);
        };
        FUZZ_CHECK (engine.ports().isInputOpen() == opens (names[0], devices.inputNames));
        FUZZ_CHECK (engine.ports().isOutputOpen() == opens (names[1], devices.outputNames));

        engine.loadWindowGeometry();
        engine.saveWindowGeometry();
        engine.takeEvents();
    }

    // What the engine leaves behind is whole.
    const auto settings = SettingsFiles::readWholeFile (MidiCntrState::settingsFile (SettingsFiles::settingsFileName));
    FUZZ_CHECK (settings.size() == (size_t) SettingsFiles::settingsBlockSize);
    FUZZ_CHECK (settings[6] >= 1 && settings[6] <= 16);

    const auto library = SettingsFiles::readWholeFile (MidiCntrState::settingsFile (SettingsFiles::bankLibraryFileName));
    FUZZ_CHECK (library.size() == (size_t) SettingsFiles::bankLibraryFileSize);

    juce::StringArray names;
    int chunkSize = 0;
    FUZZ_CHECK (SettingsFiles::decodePortsFile (SettingsFiles::readWholeFile (MidiCntrState::settingsFile (SettingsFiles::portsFileName)),
                                                names, chunkSize));

    return 0;
}
