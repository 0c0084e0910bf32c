#include "SettingsFiles.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#if JUCE_WINDOWS
 #include <process.h>
#else
 #include <fcntl.h>
 #include <signal.h>
 #include <sys/file.h>
 #include <sys/stat.h>
 #include <unistd.h>
#endif
#include <atomic>
#include <mutex>

namespace
{
constexpr juce::uint8 inputEnd  = 0x0f;
constexpr juce::uint8 outputEnd = 0x10;
constexpr juce::uint8 thirdEnd  = 0x11;
constexpr juce::uint8 chunkEnd  = 0x12;

// Last position of a byte; position 0 counts as absent like a missing byte.
int lastPositionOf (const ByteArray& bytes, juce::uint8 mark)
{
    for (int i = (int) bytes.size(); --i > 0;)
        if (bytes[(size_t) i] == mark)
            return i;

    return -1;
}

// Bytes from..to-1 (zero bytes give nothing): UTF-8 when they are valid UTF-8,
// else one character per byte, as earlier files were written. Built in one go:
// a character at a time costs time that grows with the square of the length.
juce::String textOf (const ByteArray& bytes, int from, int to)
{
    from = juce::jmax (0, from);

    if (to > from)
    {
        const auto* start = reinterpret_cast<const char*> (bytes.data() + from);
        const auto size = (size_t) (to - from);

        if (std::any_of (start, start + size, [] (char c) { return (juce::uint8) c >= 0x80; })
             && std::none_of (start, start + size, [] (char c) { return c == 0; })
             && juce::CharPointer_UTF8::isValidString (start, (int) size))
            return juce::String::fromUTF8 (start, (int) size);
    }

    std::vector<juce::juce_wchar> chars;
    chars.reserve ((size_t) juce::jmax (0, to - from) + 1);

    for (int i = from; i < to; ++i)
        if (const auto c = bytes[(size_t) i]; c != 0)
            chars.push_back ((juce::juce_wchar) c);

    chars.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (chars.data()));
}

// Bytes strictly between two marks; empty when either is absent.
juce::String textBetween (const ByteArray& bytes, int start, int end)
{
    return start >= 0 && end >= 0 ? textOf (bytes, start + 1, end) : juce::String();
}

// A name longer than any a system gives is cut at a character's start, so the
// file written is always one the reader takes (UTF-8 may double a name's bytes).
void appendPortName (ByteArray& bytes, const juce::String& name)
{
    const auto utf8 = name.toUTF8();
    const auto* start = utf8.getAddress();
    auto end = utf8;
    while (! end.isEmpty())
    {
        auto next = end;
        ++next;
        if (next.getAddress() - start > SettingsFiles::portNameMaximumSize)
            break;
        end = next;
    }
    bytes.insert (bytes.end(), reinterpret_cast<const juce::uint8*> (start), reinterpret_cast<const juce::uint8*> (end.getAddress()));
}

void put16 (ByteArray& bytes, int offset, int value)
{
    // Clamped rather than wrapped, so an absurd value cannot turn into a plausible one.
    value = juce::jlimit (-32768, 32767, value);
    bytes[(size_t) offset]     = (juce::uint8) ((value >> 8) & 0xff);
    bytes[(size_t) offset + 1] = (juce::uint8) (value & 0xff);
}

// A zoom factor as a whole number of thousandths, cut toward zero. Read back as
// n / 1000 in single precision it can sit just below n / 1000, so a small
// allowance keeps every read-then-written file from losing a thousandth.
int thousandths (float zoom)
{
    const double x = (double) zoom * 1000.0;
    if (! std::isfinite (x))
        return 1000;

    return (int) std::trunc (juce::jlimit (-32768.0, 32767.0, x + std::copysign (0.005, x)));
}

int processId()
{
   #if JUCE_WINDOWS
    return _getpid();
   #else
    return (int) getpid();
   #endif
}

// Only a process known to be gone: a temporary file of a living one is a write under way.
bool processIsGone (int pid)
{
   #if JUCE_WINDOWS
    juce::ignoreUnused (pid);
    return false;
   #else
    return pid > 0 && pid != processId() && kill ((pid_t) pid, 0) != 0 && errno == ESRCH;
   #endif
}

bool isHexText (const juce::String& s, int minLength, int maxLength)
{
    return s.length() >= minLength && s.length() <= maxLength && s.containsOnly ("0123456789abcdef");
}

// A temporary file our writer named for the target (target.tmp-<process>-<8 hex
// digits>), whose process is gone.
bool isLeftoverOf (const juce::String& name, const juce::String& target)
{
    if (! name.startsWith (target + ".tmp-"))
        return false;

    const auto rest = name.substring (target.length() + 5);
    const auto pid = rest.upToFirstOccurrenceOf ("-", false, false);
    return pid.isNotEmpty() && pid.containsOnly ("0123456789") && pid.length() <= 9
            && isHexText (rest.fromFirstOccurrenceOf ("-", false, false), 8, 8)
            && processIsGone (pid.getIntValue());
}

// A close stores up to three files: together they wait no longer than this.
std::atomic<int> lockTimeoutMs { 2500 };

// Folders whose lock ran out a wait in this process (by path): a holder that
// hangs is not waited for again until the lock has been had.
std::mutex stuckFoldersMutex;
std::set<juce::String> stuckFolders;

// target<infix><process>-<8 hex digits>, not taken yet: the process in the name
// tells a killed writer's file from one a living process still uses.
juce::File freeSiblingNamedForProcess (const juce::File& target, const char* infix)
{
    const auto prefix = target.getFileName() + infix + juce::String (processId()) + "-";
    juce::File file;

    do
        file = target.getSiblingFile (prefix + juce::String::toHexString (juce::Random::getSystemRandom().nextInt()).paddedLeft ('0', 8));
    while (file.exists());

    return file;
}

// Deletes the temporary file unless it became the target.
struct TemporaryBeside
{
    juce::File file;
    ~TemporaryBeside()   { if (file != juce::File()) file.deleteFile(); }
};

// Signed, so that windows left of or above the main screen come back where they were.
int get16 (const ByteArray& bytes, int offset)
{
    return (int) (juce::int16) (juce::uint16) ((bytes[(size_t) offset] << 8) | bytes[(size_t) offset + 1]);
}
}

namespace SettingsFiles
{
Kind kindOf (const juce::File& file)
{
   #if JUCE_WINDOWS
    return file.existsAsFile() ? Kind::regular : file.exists() ? Kind::other : Kind::missing;
   #else
    struct stat info;
    if (stat (file.getFullPathName().toRawUTF8(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Kind::missing : Kind::other;
    return S_ISREG (info.st_mode) ? Kind::regular : Kind::other;
   #endif
}

juce::File writeTarget (const juce::File& file)
{
    auto target = file;

    // A loop of links ends here; writing it then fails as it should.
    for (int hops = 0; hops < 40 && target.isSymbolicLink(); ++hops)
        target = target.getLinkedTarget();

    return target;
}

bool folderIsWritable (const juce::File& folder)
{
    auto f = folder;
    while (! f.exists() && f.getParentDirectory() != f)
        f = f.getParentDirectory();

   #if JUCE_WINDOWS
    return f.isDirectory() && f.hasWriteAccess();
   #else
    return f.isDirectory() && access (f.getFullPathName().toRawUTF8(), W_OK | X_OK) == 0;
   #endif
}

ReadStatus readFile (const juce::File& file, size_t maxBytes, ByteArray& bytes)
{
    bytes.clear();

    switch (kindOf (file))
    {
        case Kind::missing:  return ReadStatus::missing;
        case Kind::other:    return ReadStatus::unreadable;
        case Kind::regular:  break;
    }

    // Straight into a block of the file's size: growing one as the stream goes
    // costs a start-up several copies of the bank library.
    juce::FileInputStream in (file);

    if (! in.openedOk())
        return kindOf (file) == Kind::missing ? ReadStatus::missing : ReadStatus::unreadable;

    if (in.getTotalLength() <= 0)
        return ReadStatus::read;

    bytes.resize (juce::jmin ((size_t) in.getTotalLength(), maxBytes));
    size_t done = 0;

    while (done < bytes.size())
    {
        const auto wanted = (int) juce::jmin (bytes.size() - done, (size_t) 1 << 30);
        const auto got = in.read (bytes.data() + done, wanted);

        if (got <= 0)
            break;

        done += (size_t) got;
    }

    bytes.resize (done);
    return ReadStatus::read;
}

ByteArray readWholeFile (const juce::File& file)
{
    return readFileStart (file, std::numeric_limits<size_t>::max());
}

ByteArray readFileStart (const juce::File& file, size_t maxBytes)
{
    ByteArray bytes;
    readFile (file, maxBytes, bytes);
    return bytes;
}

//==============================================================================
double FolderLock::deadlineFromNow()
{
    return juce::Time::getMillisecondCounterHiRes() + (double) lockTimeoutMs.load();
}

FolderLock::FolderLock (const juce::File& file, double deadline)
{
   #if JUCE_WINDOWS
    juce::ignoreUnused (file, deadline);
    lockState = State::held;
   #else
    // A lock on the folder rather than on the file: the file itself is replaced
    // by a rename, so a lock on it would guard a file that is no longer there.
    // flock, unlike fcntl's locks, also keeps instances of one process apart.
    const auto folder = writeTarget (file).getParentDirectory();
    const auto path = folder.getFullPathName();
    folder.createDirectory();
    handle = open (path.toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

    // A folder that cannot be opened (missing, or writable but not listable)
    // gives no lock here; the store itself then finds out whether it can write.
    if (handle < 0)
        return;

    {
        const std::lock_guard<std::mutex> guard (stuckFoldersMutex);
        if (stuckFolders.count (path) > 0)
            deadline = 0.0;
    }

    // Only a wait that ran out tells of a holder that hangs; a single try
    // may just meet another store under way.
    const bool waits = deadline > juce::Time::getMillisecondCounterHiRes();

    for (;;)
    {
        if (flock (handle, LOCK_EX | LOCK_NB) == 0)
        {
            lockState = State::held;
            const std::lock_guard<std::mutex> guard (stuckFoldersMutex);
            stuckFolders.erase (path);
            return;
        }

        // Only a lock another holds is worth a wait; any other refusal
        // (no such locks on this file system, none left) is the system's.
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;

        if (juce::Time::getMillisecondCounterHiRes() >= deadline)
        {
            lockState = State::busy;
            if (waits)
            {
                const std::lock_guard<std::mutex> guard (stuckFoldersMutex);
                stuckFolders.insert (path);
            }
            return;
        }

        juce::Thread::sleep (2);
    }
   #endif
}

FolderLock::~FolderLock()
{
   #if ! JUCE_WINDOWS
    if (handle >= 0)
        close (handle);   // releases the lock
   #endif
}

int FolderLock::setTimeoutMs (int ms)
{
    return lockTimeoutMs.exchange (ms);
}

bool writeWholeFile (const std::vector<Piece>& pieces, const juce::File& linkOrFile, Durability durability)
{
    if (linkOrFile == juce::File())
        return false;

    const auto file = writeTarget (linkOrFile);

    // A device, FIFO or folder in the file's place is never replaced.
    if (kindOf (file) == Kind::other)
        return false;

    size_t size = 0;
    for (const auto& piece : pieces)
    {
        if (piece.data == nullptr && piece.size > 0)
            return false;
        size += piece.size;
    }

    if (! file.getParentDirectory().createDirectory())
        return false;

    removeLeftoversOf (file);
    TemporaryBeside temp { temporaryFileFor (file) };

    if (durability == Durability::flushedBeforeReplacing)
    {
        // JUCE's stream flushes to the disk as it closes.
        juce::FileOutputStream out (temp.file);

        if (! out.openedOk())
            return false;

        for (const auto& piece : pieces)
            if (piece.size > 0 && ! out.write (piece.data, piece.size))
                return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }
    else
    {
        std::ofstream out (temp.file.getFullPathName().toStdString(), std::ios::binary | std::ios::trunc);

        if (! out.is_open())
            return false;

        for (const auto& piece : pieces)
            out.write (static_cast<const char*> (piece.data), (std::streamsize) piece.size);

        out.close();

        if (! out)
            return false;
    }

    // A partial write (disk full, size limit) does not always show in the stream's status.
    if (temp.file.getSize() != (juce::int64) size)
        return false;

    // A rename replaces the target in one step: no moment without the file.
   #if JUCE_WINDOWS
    if (! temp.file.moveFileTo (file))
        return false;
   #else
    if (std::rename (temp.file.getFullPathName().toRawUTF8(), file.getFullPathName().toRawUTF8()) != 0)
        return false;
   #endif

    temp.file = juce::File();
    return true;
}

juce::File unstoredFileFor (const juce::File& target)
{
    return freeSiblingNamedForProcess (target, ".unstored-");
}

juce::Array<juce::File> unstoredFilesOf (const juce::File& target)
{
    juce::Array<juce::File> found;

    for (const auto& entry : juce::RangedDirectoryIterator (target.getParentDirectory(), false,
                                                            target.getFileName() + ".unstored-*", juce::File::findFiles))
        found.add (entry.getFile());

    // Oldest first: a later close's changes go over an earlier one's.
    std::sort (found.begin(), found.end(), [] (const juce::File& a, const juce::File& b)
               { return a.getLastModificationTime() < b.getLastModificationTime(); });
    return found;
}

juce::File temporaryFileFor (const juce::File& target)
{
    return freeSiblingNamedForProcess (target, ".tmp-");
}

int removeLeftoverTemporaries (const juce::File& folder, const juce::StringArray& targetNames)
{
    // Longer than any write of these small files takes, killed or not.
    const auto oldEnough = juce::Time::getCurrentTime() - juce::RelativeTime::minutes (10);
    int removed = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFiles))
    {
        const auto file = entry.getFile();
        const auto name = file.getFileName();

        for (const auto& target : targetNames)
        {
            bool leftover = false;

            if (name.startsWith (target + ".tmp-"))
            {
                leftover = isLeftoverOf (name, target);
            }
            else
            {
                // The earlier naming: stem_temp<hex digits>.ext
                const auto stem = target.upToLastOccurrenceOf (".", false, false) + "_temp";
                const auto extension = target.fromLastOccurrenceOf (".", true, false);
                leftover = name.startsWith (stem) && name.endsWith (extension)
                            && name.length() > stem.length() + extension.length()
                            && isHexText (name.substring (stem.length(), name.length() - extension.length()), 1, 8)
                            && entry.getModificationTime() < oldEnough;
            }

            if (leftover && file.deleteFile())
            {
                ++removed;
                break;
            }
        }
    }

    return removed;
}

int removeLeftoversOf (const juce::File& target)
{
    const auto targetName = target.getFileName();
    int removed = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (target.getParentDirectory(), false, "*", juce::File::findFiles))
        if (isLeftoverOf (entry.getFile().getFileName(), targetName) && entry.getFile().deleteFile())
            ++removed;

    return removed;
}

juce::File keepDamagedCopy (const juce::File& file, juce::int64 maxSize)
{
    if (kindOf (file) != Kind::regular)
        return {};

    const auto keep = file.getSiblingFile (file.getFileNameWithoutExtension() + " damaged" + file.getFileExtension())
                          .getNonexistentSibling (true);
    const auto size = file.getSize();

    if (size > maxSize)
        return writeTarget (file).moveFileTo (keep) ? keep : juce::File();

    ByteArray bytes;
    if (readFile (file, (size_t) maxSize, bytes) != ReadStatus::read || (juce::int64) bytes.size() != size)
        return {};

    return writeWholeFile (bytes, keep) ? keep : juce::File();
}

bool writeWholeFile (const void* data, size_t size, const juce::File& file, Durability durability)
{
    return writeWholeFile (std::vector<Piece> { { data, size } }, file, durability);
}

bool writeWholeFile (const ByteArray& bytes, const juce::File& file, Durability durability)
{
    return writeWholeFile (bytes.data(), bytes.size(), file, durability);
}

const ByteArray& StoredFiles::read (const juce::File& file)
{
    static const ByteArray nothing;
    const auto path = file.getFullPathName();
    ByteArray bytes;

    if (readFile (file, readLimit + 1, bytes) != ReadStatus::read)
    {
        known.erase (path);
        return nothing;
    }

    auto& entry = known[path];
    entry = std::move (bytes);
    return entry;
}

void StoredFiles::adopt (const juce::File& file, const ByteArray& bytes)
{
    known.emplace (file.getFullPathName(), bytes);
}

bool StoredFiles::write (const ByteArray& bytes, const juce::File& file)
{
    const auto path = file.getFullPathName();
    const auto entry = known.find (path);

    if (entry != known.end() && entry->second == bytes && file.existsAsFile())
        return true;

    // What could not be read is not ours to replace; what was damaged is kept first.
    ByteArray probe;
    const auto status = readFile (file, 1, probe);

    if (status == ReadStatus::unreadable)
        return false;

    if (damaged.count (path) > 0)
    {
        if (status == ReadStatus::read && file.getSize() > 0 && keepDamagedCopy (file, (juce::int64) readLimit) == juce::File())
            return false;
        damaged.erase (path);
    }

    // A crash can cost a new file nothing that a flush to the disk would
    // save: at worst it is missing or short, and reads as the defaults again.
    const auto durability = file.existsAsFile() ? Durability::flushedBeforeReplacing : Durability::leftToTheSystem;

    if (! writeWholeFile (bytes, file, durability))
    {
        // What the file holds now is unknown: the next write must not be skipped.
        known.erase (path);
        return false;
    }

    known[path] = bytes;
    return true;
}

//==============================================================================
ByteArray defaultSettingsBlock()
{
    ByteArray block ((size_t) settingsBlockSize, 0);
    block[0] = block[1] = block[2] = 0xff;
    block[3] = 100;
    return block;
}

ByteArray settingsBlockFromFile (const ByteArray& fileBytes)
{
    auto block = fileBytes.size() >= (size_t) settingsBlockSize
                    ? ByteArray (fileBytes.begin(), fileBytes.begin() + settingsBlockSize)
                    : defaultSettingsBlock();

    auto& channel = block[(size_t) midiChannelOffset];

    if (channel < 1 || channel > 16)
        channel = 1;

    return block;
}

//==============================================================================
ByteArray encodePortsFile (const juce::StringArray& names)
{
    ByteArray bytes;
    const juce::uint8 marks[] = { inputEnd, outputEnd, thirdEnd, chunkEnd };

    for (int i = 0; i < 4; ++i)
    {
        appendPortName (bytes, names[i]);
        bytes.push_back (marks[i]);
    }

    return bytes;
}

bool decodePortsFile (const ByteArray& fileBytes, juce::StringArray& names, int& sysexChunkSize)
{
    if (fileBytes.size() < 3 || fileBytes.size() > (size_t) portsFileMaximumSize)
        return false;

    while (names.size() < 4)
        names.add ("NONE");

    const int input  = lastPositionOf (fileBytes, inputEnd);
    const int output = lastPositionOf (fileBytes, outputEnd);
    const int third  = lastPositionOf (fileBytes, thirdEnd);
    const int chunk  = lastPositionOf (fileBytes, chunkEnd);

    if (input >= 0)
        names.set (0, textOf (fileBytes, 0, input));

    if (third >= 0)
    {
        names.set (1, textBetween (fileBytes, input, output));
        names.set (2, textBetween (fileBytes, output, third));
    }

    juce::int64 n = 0;

    if (chunk >= 0 && third >= 0)
    {
        for (int i = third + 1; i < chunk; ++i)
        {
            const auto c = fileBytes[(size_t) i];

            if (c < '0' || c > '9')
                break;

            n = juce::jmin ((juce::int64) std::numeric_limits<int>::max(), n * 10 + (c - '0'));
        }
    }

    names.set (3, juce::String (n));

    if (n != 0)
        sysexChunkSize = (int) n;

    return true;
}

//==============================================================================
ByteArray encodeWindowGeometry (const WindowGeometry& g)
{
    ByteArray bytes ((size_t) windowGeometrySize, 0);

    put16 (bytes, 0, g.editor.getX());
    put16 (bytes, 2, g.editor.getY());
    put16 (bytes, 4, g.editor.getWidth());
    put16 (bytes, 6, g.editor.getHeight());
    put16 (bytes, 12, g.width2);
    put16 (bytes, 14, g.height2);
    put16 (bytes, 20, g.width3);
    put16 (bytes, 22, g.height3);
    put16 (bytes, 24, thousandths (g.zoom1));
    put16 (bytes, 26, thousandths (g.zoom2));

    return bytes;
}

bool decodeWindowGeometry (const ByteArray& fileBytes, WindowGeometry& g)
{
    if (fileBytes.size() < (size_t) windowGeometryMinimumSize)
        return false;

    g.editor = { get16 (fileBytes, 0), get16 (fileBytes, 2), get16 (fileBytes, 4), get16 (fileBytes, 6) };
    g.width2  = get16 (fileBytes, 12);
    g.height2 = get16 (fileBytes, 14);
    g.width3  = get16 (fileBytes, 20);
    g.height3 = get16 (fileBytes, 22);
    g.zoom1 = (float) get16 (fileBytes, 24) / 1000.0f;
    g.zoom2 = (float) get16 (fileBytes, 26) / 1000.0f;

    return true;
}

//==============================================================================
bool isBankLibrary (const ByteArray& fileBytes)
{
    return fileBytes.size() == (size_t) bankLibraryFileSize
        && std::memcmp (fileBytes.data(), bankLibraryOpenTag, (size_t) bankLibraryTagSize) == 0
        && std::memcmp (fileBytes.data() + bankLibraryFileSize - bankLibraryTagSize, bankLibraryCloseTag, (size_t) bankLibraryTagSize) == 0;
}

//==============================================================================
bool isStartupPreset (const ByteArray& fileBytes)
{
    const auto tagLength = std::strlen (startupPresetTag);

    return fileBytes.size() >= (size_t) startupPresetMinimumSize
        && std::memcmp (fileBytes.data(), startupPresetTag, tagLength) == 0;
}
}
