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
        ByteArray bytes;
        const auto status = SettingsFiles::readFile (file, (size_t) SettingsFiles::settingsBlockSize, bytes);
        auto block = SettingsFiles::settingsBlockFromFile (bytes);
        settingsNotice = status == SettingsFiles::ReadStatus::unreadable
                             ? "SETTINGS NOT READ: " + file.getFileName() + " UNREADABLE" : juce::String();

        // A repaired channel counts as changed, so the next store writes it.
        settingsBase = bytes.size() == (size_t) SettingsFiles::settingsBlockSize ? bytes : block;

        const juce::ScopedLock sl (programLock);
        settingsBlock = std::move (block);
    }
    else
    {
        storeSettings();
    }
}

namespace
{
// What the file holds with the bytes this instance changed since base put over it.
ByteArray withOurSettings (ByteArray disk, const ByteArray& ours, const ByteArray& base)
{
    for (size_t i = 0; i < disk.size() && i < ours.size() && i < base.size(); ++i)
        if (ours[i] != base[i])
            disk[i] = ours[i];
    return disk;
}

bool isWholeSettingsFile (SettingsFiles::ReadStatus status, const ByteArray& disk, const juce::File& file)
{
    // The read stops at the block's size: a longer file is no whole block either.
    return status == SettingsFiles::ReadStatus::read && disk.size() == (size_t) SettingsFiles::settingsBlockSize
            && file.getSize() == (juce::int64) SettingsFiles::settingsBlockSize;
}
}

// Another instance may have stored its settings since this one read them: the
// file keeps what it holds except in the bytes this instance changed. A file
// that cannot be read is left alone; a short one is kept beside itself first.
SettingsFiles::StoreResult MidiCntrState::storeSettings (double deadline)
{
    using SettingsFiles::ReadStatus;
    const auto file = settingsFile (SettingsFiles::settingsFileName);
    const auto ours = getSettingsBlock();

    // A file replaced by a rename reads whole, old or new: whether there is
    // anything to write is known without the lock, so a store of nothing never waits.
    {
        ByteArray disk;
        const auto status = SettingsFiles::readFile (file, (size_t) SettingsFiles::settingsBlockSize, disk);

        if (status == ReadStatus::unreadable)
            return SettingsFiles::StoreResult::failed;

        if (isWholeSettingsFile (status, disk, file) && withOurSettings (disk, ours, settingsBase) == disk)
        {
            settingsBase = ours;
            return SettingsFiles::StoreResult::unchanged;
        }

        // Missing or short with nothing of ours in it: the next start reads the
        // same defaults, so this write is worth one try, not a wait.
        if (ours == settingsBase)
            deadline = SettingsFiles::FolderLock::noWait;
    }

    const SettingsFiles::FolderLock held (file, deadline);

    if (held.isBusy())
        return SettingsFiles::StoreResult::busy;

    ByteArray disk;
    const auto status = SettingsFiles::readFile (file, (size_t) SettingsFiles::settingsBlockSize, disk);

    if (status == ReadStatus::unreadable)
        return SettingsFiles::StoreResult::failed;

    auto result = ours;

    if (isWholeSettingsFile (status, disk, file))
    {
        result = withOurSettings (disk, ours, settingsBase);

        if (result == disk)
        {
            settingsBase = ours;
            return SettingsFiles::StoreResult::unchanged;
        }
    }
    else if (status == ReadStatus::read && SettingsFiles::keepDamagedCopy (file, SettingsFiles::settingsBlockSize) == juce::File())
    {
        return SettingsFiles::StoreResult::failed;
    }

    if (! SettingsFiles::writeWholeFile (result, file, status == ReadStatus::missing ? SettingsFiles::Durability::leftToTheSystem
                                                                                   : SettingsFiles::Durability::flushedBeforeReplacing))
        return SettingsFiles::StoreResult::failed;

    // What this instance holds is now stored; bytes only another changed stay theirs.
    settingsBase = ours;
    return SettingsFiles::StoreResult::written;
}

// The settings bytes this instance changed, as base then ours, for a later start.
bool MidiCntrState::keepUnstoredSettings()
{
    auto kept = settingsBase;
    const auto ours = getSettingsBlock();
    if (kept.size() != ours.size() || kept == ours)
        return false;

    kept.insert (kept.end(), ours.begin(), ours.end());
    return SettingsFiles::writeWholeFile (kept, SettingsFiles::unstoredFileFor (settingsFile (SettingsFiles::settingsFileName)),
                                          SettingsFiles::Durability::flushedBeforeReplacing);
}

// The bank slots this instance changed: bank, program, then the record, for each.
bool MidiCntrState::keepUnstoredBanks()
{
    ByteArray kept;
    {
        const juce::ScopedLock sl (programLock);

        for (int b = 0; b < ProgramRecord::numDeviceBanks; ++b)
            for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
                if (banks[(size_t) b]->recordChanged (p))
                {
                    const auto* record = banks[(size_t) b]->records().data() + (size_t) p * ProgramRecord::size;
                    kept.push_back ((juce::uint8) b);
                    kept.push_back ((juce::uint8) p);
                    kept.insert (kept.end(), record, record + ProgramRecord::size);
                }
    }

    return ! kept.empty()
            && SettingsFiles::writeWholeFile (kept, SettingsFiles::unstoredFileFor (settingsFile (SettingsFiles::bankLibraryFileName)),
                                              SettingsFiles::Durability::flushedBeforeReplacing);
}

// What earlier closes could not store becomes this instance's own change: stored
// now when the folder is free, else at this close, and only then forgotten.
void MidiCntrState::takeUnstoredChanges()
{
    constexpr size_t settingsSize = (size_t) SettingsFiles::settingsBlockSize;
    constexpr size_t entrySize = 2 + (size_t) ProgramRecord::size;

    for (const auto& kept : SettingsFiles::unstoredFilesOf (settingsFile (SettingsFiles::settingsFileName)))
    {
        const auto bytes = SettingsFiles::readWholeFile (kept);
        if (bytes.size() != 2 * settingsSize)
            continue;

        const ByteArray base (bytes.begin(), bytes.begin() + (std::ptrdiff_t) settingsSize);
        const ByteArray theirs (bytes.begin() + (std::ptrdiff_t) settingsSize, bytes.end());
        {
            const juce::ScopedLock sl (programLock);
            auto merged = withOurSettings (settingsBlock, theirs, base);
            const auto channel = merged[(size_t) SettingsFiles::midiChannelOffset];
            if (channel < 1 || channel > 16)
                merged[(size_t) SettingsFiles::midiChannelOffset] = settingsBlock[(size_t) SettingsFiles::midiChannelOffset];
            settingsBlock = std::move (merged);
        }
        unstoredSettingsTaken.add (kept);
    }

    for (const auto& kept : SettingsFiles::unstoredFilesOf (settingsFile (SettingsFiles::bankLibraryFileName)))
    {
        const auto bytes = SettingsFiles::readWholeFile (kept);
        if (bytes.empty() || bytes.size() % entrySize != 0)
            continue;

        for (size_t at = 0; at < bytes.size(); at += entrySize)
        {
            const int b = bytes[at], p = bytes[at + 1];
            if (b < ProgramRecord::numDeviceBanks && p < ProgramRecord::programsPerBank)
                banks[(size_t) b]->storeProgram (p, ByteArray (bytes.begin() + (std::ptrdiff_t) at + 2,
                                                               bytes.begin() + (std::ptrdiff_t) (at + entrySize)));
        }
        unstoredBanksTaken.add (kept);
    }

    if (unstoredSettingsTaken.isEmpty() && unstoredBanksTaken.isEmpty())
        return;

    // One try each: a start does not wait for a holder that may hang.
    const auto settings = unstoredSettingsTaken.isEmpty() ? SettingsFiles::StoreResult::unchanged
                                                          : storeSettings (SettingsFiles::FolderLock::noWait);
    const auto banksStored = unstoredBanksTaken.isEmpty() ? SettingsFiles::StoreResult::unchanged
                                                          : saveBankLibrary (SettingsFiles::FolderLock::noWait);
    forgetUnstored (settings, banksStored);

    if (! unstoredSettingsTaken.isEmpty() || ! unstoredBanksTaken.isEmpty())
        unstoredNotice = "CHANGES OF AN EARLIER CLOSE NOT STORED YET: SETTINGS FOLDER LOCKED";
}

// Kept changes are removed once stored, or once a newer keeping holds them.
void MidiCntrState::forgetUnstored (SettingsFiles::StoreResult settings, SettingsFiles::StoreResult banksStored)
{
    const auto stored = [] (SettingsFiles::StoreResult r)
    {
        return r == SettingsFiles::StoreResult::written || r == SettingsFiles::StoreResult::unchanged;
    };

    if (stored (settings))
    {
        for (const auto& f : unstoredSettingsTaken)
            f.deleteFile();
        unstoredSettingsTaken.clear();
    }

    if (stored (banksStored))
    {
        for (const auto& f : unstoredBanksTaken)
            f.deleteFile();
        unstoredBanksTaken.clear();
    }
}

// One wait in all for the stores of a close; what another process kept them
// from writing is kept beside the files for the next start.
void MidiCntrState::storeAtClose()
{
    const auto deadline = SettingsFiles::FolderLock::deadlineFromNow();
    auto settings = storeSettings (deadline);
    auto banksStored = saveBankLibrary (deadline);

    if (settings == SettingsFiles::StoreResult::busy && keepUnstoredSettings())
        settings = SettingsFiles::StoreResult::unchanged;
    if (banksStored == SettingsFiles::StoreResult::busy && keepUnstoredBanks())
        banksStored = SettingsFiles::StoreResult::unchanged;

    forgetUnstored (settings, banksStored);
}

juce::String MidiCntrState::getFilesNotice() const
{
    juce::StringArray notices { unstoredNotice, settingsNotice, filesNotice };
    notices.removeEmptyStrings();
    return notices.joinIntoString (" / ");
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
    else
        portNames.set (3, juce::String (midiPorts->sysexChunkSize));

    if (SettingsFiles::kindOf (file) == SettingsFiles::Kind::missing)
    {
        if (storedFiles.write (SettingsFiles::encodePortsFile (portNames), file))
            portsBase = portNames;
    }

    if (mode == 0)
    {
        if (! SettingsFiles::decodePortsFile (storedFiles.read (file), portNames, midiPorts->sysexChunkSize))
        {
            // Rewritten as it is kept; a file that could not be read at all is not.
            storedFiles.markDamaged (file);
            storedFiles.write (SettingsFiles::encodePortsFile (portNames), file);
        }
        portsBase = portNames;
        return;
    }

    // Another instance may have stored its ports since: the file keeps what it
    // holds except in the names this instance changed.
    auto names = portNames;
    const auto& disk = storedFiles.read (file);
    juce::StringArray stored;
    int chunkSize = 0;

    if (SettingsFiles::decodePortsFile (disk, stored, chunkSize))
    {
        names = stored;
        for (int i = 0; i < 4; ++i)
            if (portNames[i] != portsBase[i])
                names.set (i, portNames[i]);
    }
    else if (! disk.empty())
    {
        storedFiles.markDamaged (file);
    }

    if (storedFiles.write (SettingsFiles::encodePortsFile (names), file))
        portsBase = portNames;
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

// Straight from the file into the banks: the start copies the 811 KB no more
// than once. A file too short for all eight banks gives the factory banks.
void MidiCntrState::loadBankLibrary()
{
    const auto file = settingsFile (SettingsFiles::bankLibraryFileName);
    bool wellFormed = false;
    const auto read = readBankLibrary (file, wellFormed);

    if (read != BankLibraryRead::loaded)
    {
        for (int i = 0; i < 4; ++i)
        {
            banks[(size_t) i]->loadFactoryBank (i);
            banks[(size_t) i + 4]->loadFactoryBank (i);
        }
    }

    // Missing, the file counts as holding these: another instance may store
    // its banks before this one closes unchanged. A damaged one is kept beside
    // itself now, and stored again whole at close; one that cannot be read is
    // left as it is.
    libraryHoldsBanks = read == BankLibraryRead::missing || (read == BankLibraryRead::loaded && wellFormed);
    damagedLibraryKept = false;
    filesNotice = {};

    if (read == BankLibraryRead::unreadable)
    {
        filesNotice = "BANKS NOT READ: " + file.getFileName() + " UNREADABLE";
    }
    else if (! libraryHoldsBanks)
    {
        const auto kept = SettingsFiles::keepDamagedCopy (file, SettingsFiles::bankLibraryFileSize);
        damagedLibraryKept = kept != juce::File();
        filesNotice = damagedLibraryKept ? "BANK FILE DAMAGED: COPY KEPT AS " + kept.getFileName()
                                         : "BANK FILE DAMAGED: NO COPY COULD BE KEPT";
    }

    if (filesNotice.isEmpty() && ! SettingsFiles::folderIsWritable (file.getParentDirectory()))
        filesNotice = "SETTINGS FOLDER NOT WRITABLE: BANK CHANGES WILL NOT BE KEPT";

    for (auto& bank : banks)
        bank->markRecordsUnchanged();
}

MidiCntrState::BankLibraryRead MidiCntrState::readBankLibrary (const juce::File& file, bool& wellFormed)
{
    switch (SettingsFiles::kindOf (file))
    {
        case SettingsFiles::Kind::missing:  return BankLibraryRead::missing;
        case SettingsFiles::Kind::other:    return BankLibraryRead::unreadable;
        case SettingsFiles::Kind::regular:  break;
    }

    juce::FileInputStream in (file);
    if (! in.openedOk())
        return BankLibraryRead::unreadable;

    const auto size = in.getTotalLength();
    if (size < SettingsFiles::bankLibraryMinimumSize)
        return BankLibraryRead::damaged;

    constexpr int tagSize = SettingsFiles::bankLibraryTagSize;
    char openTag[tagSize], closeTag[tagSize];

    if (in.read (openTag, tagSize) != tagSize)
        return BankLibraryRead::damaged;

    for (auto& bank : banks)
        if (! bank->readRecords (in))
            return BankLibraryRead::damaged;

    wellFormed = size == SettingsFiles::bankLibraryFileSize
                  && std::memcmp (openTag, SettingsFiles::bankLibraryOpenTag, tagSize) == 0
                  && in.read (closeTag, tagSize) == tagSize
                  && std::memcmp (closeTag, SettingsFiles::bankLibraryCloseTag, tagSize) == 0;
    return BankLibraryRead::loaded;
}

void MidiCntrState::removeLeftoverTemporaries()
{
    SettingsFiles::removeLeftoverTemporaries (FileMan::settingsFolder(),
                                              { SettingsFiles::portsFileName, SettingsFiles::settingsFileName,
                                                SettingsFiles::bankLibraryFileName, SettingsFiles::windowGeometryFileName,
                                                SettingsFiles::defaultLibraryFileName });
}

// Another instance may have stored its banks since this one started: a well-formed
// file keeps what it holds except in the records this instance changed. Any other
// file is kept beside itself (once) and replaced by the banks as they are here;
// one that cannot be read is left alone. The read, the merge and the rename
// happen under the folder lock, so stores of other processes cannot fall between.
SettingsFiles::StoreResult MidiCntrState::saveBankLibrary (double deadline)
{
    using SettingsFiles::StoreResult;
    const auto file = settingsFile (SettingsFiles::bankLibraryFileName);
    const bool banksChanged = std::any_of (banks.begin(), banks.end(), [] (const auto& b) { return b->recordsChanged(); });

    if (libraryHoldsBanks && ! banksChanged && SettingsFiles::kindOf (file) == SettingsFiles::Kind::regular)
        return StoreResult::unchanged;

    // Missing with nothing changed: the next start takes the factory banks again, so one try does.
    if (libraryHoldsBanks && ! banksChanged)
        deadline = SettingsFiles::FolderLock::noWait;

    const SettingsFiles::FolderLock held (file, deadline);
    if (held.isBusy())
        return StoreResult::busy;

    ByteArray disk;
    const auto status = SettingsFiles::readFile (file, (size_t) SettingsFiles::bankLibraryFileSize + 1, disk);

    if (status == SettingsFiles::ReadStatus::unreadable)
        return StoreResult::failed;

    if (SettingsFiles::isBankLibrary (disk))
    {
        bool differs = false;
        {
            const juce::ScopedLock sl (programLock);

            for (int b = 0; b < ProgramRecord::numDeviceBanks; ++b)
                for (int p = 0; p < ProgramRecord::programsPerBank; ++p)
                    if (banks[(size_t) b]->recordChanged (p))
                    {
                        const auto* record = banks[(size_t) b]->records().data() + (size_t) p * ProgramRecord::size;
                        auto* stored = disk.data() + SettingsFiles::bankLibraryOffset (b) + (size_t) p * ProgramRecord::size;
                        differs = differs || std::memcmp (stored, record, (size_t) ProgramRecord::size) != 0;
                        std::memcpy (stored, record, (size_t) ProgramRecord::size);
                    }
        }

        if (! differs)
            return StoreResult::unchanged;
        return SettingsFiles::writeWholeFile (disk, file) ? StoreResult::written : StoreResult::failed;
    }

    if (status == SettingsFiles::ReadStatus::read && ! damagedLibraryKept
         && SettingsFiles::keepDamagedCopy (file, SettingsFiles::bankLibraryFileSize) == juce::File())
        return StoreResult::failed;

    std::vector<SettingsFiles::Piece> pieces { { SettingsFiles::bankLibraryOpenTag, (size_t) SettingsFiles::bankLibraryTagSize } };
    const juce::ScopedLock sl (programLock);

    for (const auto& bank : banks)
        pieces.push_back ({ bank->records().data(), bank->records().size() });

    pieces.push_back ({ SettingsFiles::bankLibraryCloseTag, (size_t) SettingsFiles::bankLibraryTagSize });

    // A crash can cost a new file nothing that a flush would save: it reads as the factory banks again.
    return SettingsFiles::writeWholeFile (pieces, file, status == SettingsFiles::ReadStatus::read ? SettingsFiles::Durability::flushedBeforeReplacing
                                                                                                 : SettingsFiles::Durability::leftToTheSystem)
               ? StoreResult::written : StoreResult::failed;
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

    // The tag and the one record are all it is read for, however large the file.
    const auto bytes = SettingsFiles::readFileStart (file, (size_t) SettingsFiles::startupPresetMinimumSize);
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
