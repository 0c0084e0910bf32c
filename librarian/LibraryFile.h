#pragma once

#include <juce_core/juce_core.h>
#include "engine/ProgramRecord.h"
#include "engine/SettingsFiles.h"
#include <vector>

// The program library file (".p12l"): a 13-byte header, whole records in
// library order, a 13-byte trailer. No count, version or checksum.
namespace LibraryFile
{
    constexpr const char* headerText  = "Mopho  Libr >";
    constexpr const char* trailerText = "< Mopho  Libr";
    constexpr int tagSize = 13;

    // Larger files are refused before anything is read.
    constexpr size_t maxPrograms = 100000;

    ByteArray header();
    ByteArray trailer();

    struct Contents
    {
        enum class Kind { library, programBank, refused };

        Kind kind = Kind::refused;
        ByteArray records;        // whole records; empty for a refused file
        juce::String problem;     // for the user; empty when the file was whole and clean

        int numRecords() const noexcept    { return (int) (records.size() / (size_t) ProgramRecord::size); }
        bool accepted() const noexcept     { return kind != Kind::refused; }
    };

    // A library file (header tag required), else a program bank file (every
    // program dump it holds), else refused. A missing trailer or a partial
    // last record is accepted and named in the problem text.
    Contents parse (const juce::uint8* data, size_t size);
    Contents parse (ByteArray&& bytes);   // takes the records out of the bytes in place
    Contents read (const juce::File& file);

    // The records every whole program dump of the bytes holds, in file order.
    ByteArray recordsFromDumps (const ByteArray& bytes);

    // Header + records + trailer; empty when there are no records.
    ByteArray image (const ByteArray& records);

    // Written through a temporary file renamed over the target, so a failed
    // write leaves the old file as it was. Writes nothing for no records.
    bool write (const ByteArray& records, const juce::File& file);

    // Where this instance's copy of a library came from, so its changes can be
    // stored without overwriting what another instance wrote meanwhile.
    struct Origin
    {
        juce::File file;
        bool existed = false;
        bool damaged = false;                  // loaded with a problem: keep the original once
        juce::uint64 fileHash = 0;             // of the whole file as read
        std::vector<juce::uint64> recordHashes; // the records as loaded (or last stored)
        juce::Array<juce::File> unstoredTaken;  // kept changes now in these records: removed once stored
    };

    // Reads the file and remembers it as the origin; a refused or missing file gives no records.
    Contents load (const juce::File& file, Origin& origin);

    // busy: another store held the library's folder longer than any store takes.
    enum class StoreResult { written, merged, nothingWritten, busy, failed };

    // Writes the records over the origin's file. When the file changed on disk
    // since it was loaded, the disk's records get this instance's changes
    // instead: records it removed are removed, records it added are appended.
    // A file that loaded damaged is first copied beside itself. No records to
    // write give an empty library file (header and trailer), so an emptied
    // library stays empty; with no file before, none is made. On success the
    // origin follows the new file.
    StoreResult store (const ByteArray& records, Origin& origin,
                       double deadline = SettingsFiles::FolderLock::deadlineFromNow());

    // After a busy store: the records' changes since the origin are kept beside
    // the file for a later load to take. Whether they could be kept.
    bool keepUnstored (const ByteArray& records, const Origin& origin);

    // Puts the changes earlier closes kept for the origin's file into records
    // (as loaded from it); the next successful store removes what was taken.
    // How many were taken.
    int takeUnstored (ByteArray& records, Origin& origin);

    // disk with the changes from base (record hashes) to ours applied.
    ByteArray merge (const ByteArray& disk, const std::vector<juce::uint64>& base, const ByteArray& ours);

    juce::uint64 hashBytes (const ByteArray& bytes) noexcept;
}
