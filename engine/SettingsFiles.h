#pragma once

#include "engine/ProgramRecord.h"
#include <juce_graphics/juce_graphics.h>
#include <map>
#include <set>
#include <vector>

// Byte layouts of the engine's own files in the settings folder, and the
// routines that read and write whole files. Pure functions: the engine decides
// when each file is read or written.
namespace SettingsFiles
{
    constexpr const char* portsFileName          = "pro12plports.dat";
    constexpr const char* settingsFileName       = "ph12plugstV2.dat";
    constexpr const char* bankLibraryFileName    = "Ph12_data.dat";
    constexpr const char* windowGeometryFileName = "pro12ltwh.dat";
    constexpr const char* defaultLibraryFileName = "p12Lib.p12l";

    //==========================================================================
    // What a path holds. Only regular files are read or copied (a link to one
    // is followed): a device never ends and a FIFO never opens without a writer.
    enum class Kind { missing, regular, other };
    Kind kindOf (const juce::File& file);

    // The file a write of this one replaces: links are followed to their end,
    // so a link (into a synced folder, say) stays a link.
    juce::File writeTarget (const juce::File& file);

    // Whether a file that may be written in the folder can be made there.
    bool folderIsWritable (const juce::File& folder);

    enum class ReadStatus { missing, read, unreadable };

    // At most maxBytes of the file's start into bytes (emptied first). A path
    // that exists but is no regular file, or cannot be opened, is unreadable.
    ReadStatus readFile (const juce::File& file, size_t maxBytes, ByteArray& bytes);

    // The whole file, or an empty block when it is missing, empty or unreadable.
    ByteArray readWholeFile (const juce::File& file);

    // At most maxBytes of the file's start, read the same way.
    ByteArray readFileStart (const juce::File& file, size_t maxBytes);

    // Held from the read to the rename of a file that several plug-ins, in one
    // process or in several, may store at once: an exclusive lock on the
    // folder the file is written in. Waits at most until the deadline given;
    // a folder whose lock could not be had by a deadline is not waited for
    // again in this process until it has been had once more, so a holder that
    // hangs costs one wait, not one per store or per instance.
    class FolderLock
    {
    public:
        // The deadline of a store that waits the whole lock timeout from now.
        static double deadlineFromNow();
        // A deadline already passed: one try, no wait (a start must not hang).
        static constexpr double noWait = 0.0;

        explicit FolderLock (const juce::File& file, double deadlineMs = deadlineFromNow());
        ~FolderLock();

        enum class State { held, busy, unavailable };
        State state() const noexcept    { return lockState; }
        bool isHeld() const noexcept    { return lockState == State::held; }
        // Another process holds it: what could not be stored must be kept for later.
        bool isBusy() const noexcept    { return lockState == State::busy; }
        // The system gives no lock here (the folder cannot be opened, or the
        // file system has no such locks): stores go ahead as before locks existed.
        bool isUnavailable() const noexcept { return lockState == State::unavailable; }

        // Far longer than any store takes; returns the previous value.
        static int setTimeoutMs (int ms);

    private:
        int handle = -1;
        State lockState = State::unavailable;
        JUCE_DECLARE_NON_COPYABLE (FolderLock)
    };

    // Changes a store could not write because another process held the folder:
    // kept in a file of their own beside the target (the target's name, then
    // ".unstored-", the process and a random number), so that a later start
    // finds them, stores them and removes the file.
    juce::File unstoredFileFor (const juce::File& target);
    juce::Array<juce::File> unstoredFilesOf (const juce::File& target);

    // Writes a temporary file beside the target (creating the folder) and only
    // replaces the target once that is complete, so a failed write leaves the
    // old file as it was. A link is written through; a target that is no
    // regular file (a device, a FIFO) is never replaced. Returns whether the target now holds the bytes.
    // Flushed to the disk first, unless the caller knows there is nothing to keep.
    enum class Durability { flushedBeforeReplacing, leftToTheSystem };

    bool writeWholeFile (const void* data, size_t size, const juce::File& file,
                         Durability = Durability::flushedBeforeReplacing);
    bool writeWholeFile (const ByteArray& bytes, const juce::File& file,
                         Durability = Durability::flushedBeforeReplacing);

    // The same for a file made of pieces that lie apart in memory, in order.
    struct Piece { const void* data; size_t size; };
    bool writeWholeFile (const std::vector<Piece>& pieces, const juce::File& file,
                         Durability = Durability::flushedBeforeReplacing);

    // The temporary file a write of the target goes through: it names the
    // writing process, so leftovers of a killed write can be told from a write
    // that another process has under way.
    juce::File temporaryFileFor (const juce::File& target);

    // Removes from the folder what a killed write of one of the named files left:
    // temporary files whose writing process is gone, and those of the earlier
    // naming (no process in the name) once they are older than a write can take.
    // Nothing else is touched. Returns how many were removed.
    int removeLeftoverTemporaries (const juce::File& folder, const juce::StringArray& targetNames);

    // How a store of a file several instances share went.
    enum class StoreResult { written, unchanged, busy, failed };

    // Removes the temporary files of killed writes of this target (their
    // process gone), and nothing else; every write does it first.
    int removeLeftoversOf (const juce::File& target);

    // Keeps a file that could not be read as it should beside itself (name +
    // " damaged", then a number when that is taken), before it is replaced.
    // Only a regular file: one up to maxSize is copied, a larger one (no real
    // file of its kind is) is moved aside whole rather than copied. The name
    // of the copy, or juce::File() when none could be kept.
    juce::File keepDamagedCopy (const juce::File& file, juce::int64 maxSize);

    // The bytes one engine last read from or wrote to each of its files. A write
    // through it skips a file that still holds them, so closing an instance that
    // changed nothing costs no write and cannot put its stale copy over what
    // another instance stored meanwhile. Message thread only, as the files are.
    class StoredFiles
    {
    public:
        // The whole file (empty when missing), valid until the file's next read or
        // write here. No settings file is near this size: a larger one is read no
        // further, and then differs from anything written.
        static constexpr size_t readLimit = 64 * 1024;
        const ByteArray& read (const juce::File& file);

        // For a file that was missing when read: the engine started from these
        // bytes instead, so they count as read unless the file still is missing.
        void adopt (const juce::File& file, const ByteArray& bytes);

        // Writes when the file is missing or the bytes differ from those last
        // read or written; true when the file holds the bytes. A file that
        // exists but cannot be read is never written over; one marked damaged
        // is kept beside itself first.
        bool write (const ByteArray& bytes, const juce::File& file);

        // The file was read but does not hold what it should.
        void markDamaged (const juce::File& file)   { damaged.insert (file.getFullPathName()); }

    private:
        std::map<juce::String, ByteArray> known;   // by full path
        std::set<juce::String> damaged;
    };

    //==========================================================================
    // Settings block: 400 bytes.
    constexpr int settingsBlockSize   = 400;
    constexpr int midiChannelOffset   = 6;    // 1-16
    constexpr int keptFlagOffset      = 7;
    constexpr int automationPcOffset  = 11;   // program change follows automation (1 = on)

    ByteArray defaultSettingsBlock();

    // The block the engine keeps after reading a settings file: the file's first
    // 400 bytes, or the defaults when it is shorter; a channel outside 1-16 reads as 1.
    ByteArray settingsBlockFromFile (const ByteArray& fileBytes);

    //==========================================================================
    // Ports file: input, output and third port name, then the SysEx chunk size as text.
    ByteArray encodePortsFile (const juce::StringArray& names);

    // Longer than any port name a system gives; a file that could only hold
    // longer ones is damaged.
    constexpr int portNameMaximumSize  = 512;
    constexpr int portsFileMaximumSize = 3 * portNameMaximumSize + 10 + 4;

    // Names are stored as UTF-8; a file whose bytes are not valid UTF-8 (one
    // byte per character, as earlier files were) reads a byte per character.
    // Fills names (made 4 long) from the file. A non-zero chunk size replaces
    // sysexChunkSize; anything else leaves it alone. Returns false, touching
    // nothing, for a file under 3 bytes or over portsFileMaximumSize (the
    // engine then rewrites it).
    bool decodePortsFile (const ByteArray& fileBytes, juce::StringArray& names, int& sysexChunkSize);

    //==========================================================================
    // Bank library file: open tag, eight banks of 99 records, close tag.
    constexpr const char* bankLibraryOpenTag  = "Proph12 Data>";
    constexpr const char* bankLibraryCloseTag = "<Proph12 Data";
    constexpr int bankLibraryTagSize   = 13;
    constexpr int bankLibraryFileSize  = 2 * bankLibraryTagSize + ProgramRecord::numDeviceBanks * ProgramRecord::bankSize;
    constexpr int bankLibraryMinimumSize = bankLibraryFileSize - bankLibraryTagSize;   // the close tag is not needed

    constexpr int bankLibraryOffset (int bank) noexcept { return bankLibraryTagSize + bank * ProgramRecord::bankSize; }

    // Exactly the tagged full size: every record can be taken as it is.
    bool isBankLibrary (const ByteArray& fileBytes);

    //==========================================================================
    // Window geometry file: 100 bytes of 16-bit big-endian fields.
    constexpr int windowGeometrySize        = 100;
    constexpr int windowGeometryMinimumSize = 28;

    struct WindowGeometry
    {
        juce::Rectangle<int> editor;
        int width2 = 0, height2 = 0;
        int width3 = 0, height3 = 0;
        float zoom1 = 1.0f, zoom2 = 1.0f;
    };

    ByteArray encodeWindowGeometry (const WindowGeometry& geometry);

    // False, leaving geometry alone, for a file under 28 bytes.
    bool decodeWindowGeometry (const ByteArray& fileBytes, WindowGeometry& geometry);

    //==========================================================================
    // Startup preset: a program chunk whose record starts at byte 33.
    constexpr const char* startupPresetTag = "Prophet12VantorSettings";
    constexpr int startupPresetMinimumSize = 1057;
    constexpr int startupPresetRecordOffset = 33;

    bool isStartupPreset (const ByteArray& fileBytes);
}
