#include "engine/MidiCntrState.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include <algorithm>
#include <cstring>

juce::File MidiCntrState::settingsFile (const char* name)
{
    return FileMan::settingsFolder().getChildFile (name);
}

bool MidiCntrState::writeWholeFile (const ByteArray& bytes, const juce::File& file)
{
    return SettingsFiles::writeWholeFile (bytes, file);
}

void MidiCntrState::loadSettings (int mode)
{
    const auto file = settingsFile (SettingsFiles::settingsFileName);

    if (mode == 0)
    {
        // A missing file reads as the defaults; initialise() stores them.
        const auto& fileBytes = storedFiles.read (file);
        const juce::ScopedLock sl (programLock);
        settingsBlock = fileBytes.size() >= (size_t) SettingsFiles::settingsBlockSize
                            ? ByteArray (fileBytes.begin(), fileBytes.begin() + SettingsFiles::settingsBlockSize)
                            : SettingsFiles::defaultSettingsBlock();
    }
    else
    {
        storedFiles.write (getSettingsBlock(), file);
    }
}

ByteArray MidiCntrState::getSettingsBlock() const
{
    const juce::ScopedLock sl (programLock);
    return settingsBlock;
}

void MidiCntrState::loadPorts (int mode)
{
    const auto file = settingsFile (SettingsFiles::portsFileName);

    if (mode == 0)
        portNames = { "NONE", "NONE", "NONE", "0" };

    if (! file.existsAsFile())
        storedFiles.write (SettingsFiles::encodePortsFile (portNames), file);

    if (mode == 0)
    {
        if (! SettingsFiles::decodePortsFile (storedFiles.read (file), portNames, midiPorts->sysexChunkSize))
            storedFiles.write (SettingsFiles::encodePortsFile (portNames), file);
    }
    else
    {
        portNames.set (3, juce::String (midiPorts->sysexChunkSize));
        storedFiles.write (SettingsFiles::encodePortsFile (portNames), file);
    }
}

juce::StringArray MidiCntrState::getPortNames() const
{
    return portNames;
}

void MidiCntrState::openStoredPorts()
{
    // Listing the devices starts the system's MIDI service (and its complaints
    // where there is none): only a stored name that could match needs the list.
    const auto& in = portNames.getReference (0);
    const auto& out = portNames.getReference (1);

    midiPorts->openInput (MIDI_PORTS_Control::namesADevice (in)
                              ? MIDI_PORTS_Control::indexForStoredName (midiPorts->inputDeviceNames(), in) : 0, this);
    midiPorts->openOutput (MIDI_PORTS_Control::namesADevice (out)
                               ? MIDI_PORTS_Control::indexForStoredName (midiPorts->outputDeviceNames(), out) : 0);
}

void MidiCntrState::selectInputPort (int index)
{
    const auto names = midiPorts->inputDeviceNames();
    if (index < 0 || index > names.size())
        return;

    portNames.set (0, index == 0 ? juce::String ("NONE") : names[index - 1]);
    midiPorts->openInput (index, this);
}

void MidiCntrState::selectOutputPort (int index)
{
    const auto names = midiPorts->outputDeviceNames();
    if (index < 0 || index > names.size())
        return;

    portNames.set (1, index == 0 ? juce::String ("NONE") : names[index - 1]);
    midiPorts->openOutput (index);

    // Another port may reach another synthesizer, or one that lost our NRPN state.
    forgetSentNrpn();
    deviceId = ProgramRecord::moduleDeviceId;
}

void MidiCntrState::loadBankLibrary()
{
    const auto& library = storedFiles.read (settingsFile (SettingsFiles::bankLibraryFileName));

    if (library.size() >= (size_t) SettingsFiles::bankLibraryMinimumSize)
    {
        for (int i = 0; i < numBanks; ++i)
            banks[(size_t) i]->setRecords (library.data() + SettingsFiles::bankLibraryOffset (i), (size_t) ProgramRecord::bankSize);
        return;
    }

    for (int i = 0; i < 4; ++i)
    {
        banks[(size_t) i]->loadFactoryBank (i);
        banks[(size_t) i + 4]->loadFactoryBank (i);
    }

    // Another instance may store its banks before this one closes unchanged.
    storedFiles.adopt (settingsFile (SettingsFiles::bankLibraryFileName), saveLibrary());
}

ByteArray MidiCntrState::saveLibrary() const
{
    ByteArray image;
    image.reserve ((size_t) SettingsFiles::bankLibraryFileSize);
    const auto appendTag = [&image] (const char* tag) { image.insert (image.end(), tag, tag + SettingsFiles::bankLibraryTagSize); };

    appendTag (SettingsFiles::bankLibraryOpenTag);
    {
        const juce::ScopedLock sl (programLock);
        for (const auto& bank : banks)
        {
            const auto& records = bank->records();
            const auto n = juce::jmin (records.size(), (size_t) ProgramRecord::bankSize);
            image.insert (image.end(), records.begin(), records.begin() + (std::ptrdiff_t) n);
            image.resize (image.size() + (size_t) ProgramRecord::bankSize - n, 0);
        }
    }
    appendTag (SettingsFiles::bankLibraryCloseTag);
    return image;
}

void MidiCntrState::saveWindowGeometry()
{
    storedFiles.write (SettingsFiles::encodeWindowGeometry (geometry), settingsFile (SettingsFiles::windowGeometryFileName));
}

void MidiCntrState::loadWindowGeometry()
{
    const auto file = settingsFile (SettingsFiles::windowGeometryFileName);
    SettingsFiles::decodeWindowGeometry (storedFiles.read (file), geometry);
    storedFiles.adopt (file, SettingsFiles::encodeWindowGeometry (geometry));
}

void MidiCntrState::applyStartupPreset()
{
    const auto file = FileMan::startupPresetFile();
    if (! file.existsAsFile())
        return;

    const auto bytes = SettingsFiles::readWholeFile (file);
    if (! SettingsFiles::isStartupPreset (bytes))
        return;

    if (currentPreset < 0)
        currentPreset = 0;

    {
        const juce::ScopedLock sl (programLock);
        const auto* record = bytes.data() + SettingsFiles::startupPresetRecordOffset;
        programBank->setEditBufferAndProgram (currentPreset, juce::MemoryBlock (record, (size_t) ProgramRecord::size));
    }
    loadCurrentPreset();
}
