#include "LibraryFile.h"

#include "engine/DSI_Program.h"
#include "engine/SettingsFiles.h"
#include "librarian/LibraryRecords.h"
#include <cstring>
#include <unordered_map>

namespace LibraryFile
{
namespace
{
constexpr size_t recordSize = (size_t) ProgramRecord::size;
constexpr size_t dumpSize = (size_t) ProgramRecord::programDumpSize;
constexpr size_t maxLibraryBytes = (size_t) tagSize * 2 + maxPrograms * recordSize;
constexpr size_t maxBankBytes = maxPrograms * dumpSize;

ByteArray tag (const char* text)
{
    return ByteArray (text, text + tagSize);
}

bool startsWith (const juce::uint8* data, size_t size, const char* text)
{
    return size >= (size_t) tagSize && std::memcmp (data, text, (size_t) tagSize) == 0;
}

std::vector<juce::uint64> hashesOf (const ByteArray& records)
{
    std::vector<juce::uint64> hashes;
    hashes.reserve (records.size() / recordSize);

    for (size_t k = 0; k + recordSize <= records.size(); k += recordSize)
        hashes.push_back (ProgramRecord::hash (records.data() + k));

    return hashes;
}

// The whole file straight into one array (no intermediate copy); empty when
// unreadable, not a regular file, or larger than any library or bank file.
ByteArray readAll (const juce::File& file)
{
    ByteArray bytes;
    const auto limit = juce::jmax (maxLibraryBytes, maxBankBytes);

    if (SettingsFiles::readFile (file, limit + 1, bytes) != SettingsFiles::ReadStatus::read || bytes.size() > limit)
        return {};
    return bytes;
}

// What an emptied library is stored as: the header and the trailer.
ByteArray emptyLibraryImage()
{
    ByteArray bytes (2 * (size_t) tagSize);
    std::memcpy (bytes.data(), headerText, (size_t) tagSize);
    std::memcpy (bytes.data() + tagSize, trailerText, (size_t) tagSize);
    return bytes;
}

Contents refused (const juce::String& why)
{
    Contents c;
    c.problem = why;
    return c;
}
}

ByteArray header()   { return tag (headerText); }
ByteArray trailer()  { return tag (trailerText); }

ByteArray recordsFromDumps (const ByteArray& bytes)
{
    DSI_Program splitter;
    ByteArray records;

    if (splitter.splitDumps (bytes) < 1)
        return records;

    const auto& dumps = splitter.getParams();
    records.reserve ((dumps.size() / dumpSize) * recordSize);

    for (size_t k = 0; k + dumpSize <= dumps.size(); k += dumpSize)
    {
        const auto record = DSI_Program::unpack (dumps.data() + k + 6, (size_t) ProgramRecord::packedSize);
        records.insert (records.end(), record.begin(), record.end());
    }

    return records;
}

namespace
{
// Reads from data; when owned holds those same bytes, the records are cut
// out of it in place, so a large library is never held twice.
Contents parseBytes (const juce::uint8* data, size_t size, ByteArray* owned)
{
    if (data == nullptr || size == 0)
        return refused ("The file is empty.");

    if (startsWith (data, size, headerText))
    {
        if (size > maxLibraryBytes)
            return refused ("The file is too large for a library.");

        Contents c;
        c.kind = Contents::Kind::library;
        const size_t body = size - (size_t) tagSize;
        const size_t whole = body / recordSize;
        const auto* rest = data + tagSize + whole * recordSize;
        const size_t restSize = body - whole * recordSize;

        if (restSize == (size_t) tagSize && startsWith (rest, restSize, trailerText))
            c.problem = {};   // whole, and empty when there is no record: an emptied library
        else if (whole == 0)
            c.problem = "The library file holds no programs.";
        else if (restSize == 0)
            c.problem = "The library file has no end tag; it may be cut short.";
        else
            c.problem = "The library file ends in an incomplete program (" + juce::String ((int) restSize)
                          + " bytes ignored); it may be cut short.";

        if (owned != nullptr)
        {
            owned->erase (owned->begin(), owned->begin() + tagSize);
            owned->resize (whole * recordSize);
            c.records = std::move (*owned);
        }
        else
        {
            c.records.assign (data + tagSize, data + tagSize + whole * recordSize);
        }

        return c;
    }

    if (size > maxBankBytes)
        return refused ("The file is too large.");

    auto records = owned != nullptr ? recordsFromDumps (*owned) : recordsFromDumps (ByteArray (data, data + size));

    if (records.empty())
        return refused ("This is neither a library nor a program bank file.");

    Contents c;
    c.kind = Contents::Kind::programBank;
    c.records = std::move (records);
    return c;
}
}

Contents parse (const juce::uint8* data, size_t size)
{
    return parseBytes (data, size, nullptr);
}

Contents parse (ByteArray&& bytes)
{
    return parseBytes (bytes.data(), bytes.size(), &bytes);
}

Contents read (const juce::File& file)
{
    // A FIFO or a device is never opened: it could block or never end.
    switch (SettingsFiles::kindOf (file))
    {
        case SettingsFiles::Kind::missing:  return refused ("The file does not exist.");
        case SettingsFiles::Kind::other:    return refused (file.isDirectory() ? "This is a folder, not a file."
                                                                               : "This is not a regular file; it was not read.");
        case SettingsFiles::Kind::regular:  break;
    }

    // Refuse oversize files before allocating anything for them.
    const auto size = file.getSize();
    if (size < 0 || (juce::uint64) size > juce::jmax (maxLibraryBytes, maxBankBytes))
        return refused ("The file is too large.");

    auto bytes = readAll (file);

    if (bytes.empty() && size > 0)
        return refused ("The file cannot be read.");

    return parse (std::move (bytes));
}

ByteArray image (const ByteArray& records)
{
    const size_t whole = (records.size() / recordSize) * recordSize;

    if (whole == 0)
        return {};

    ByteArray out;
    out.reserve (whole + 2 * (size_t) tagSize);
    out.insert (out.end(), headerText, headerText + tagSize);
    out.insert (out.end(), records.begin(), records.begin() + (std::ptrdiff_t) whole);
    out.insert (out.end(), trailerText, trailerText + tagSize);
    return out;
}

bool write (const ByteArray& records, const juce::File& file)
{
    const auto bytes = image (records);
    return ! bytes.empty() && SettingsFiles::writeWholeFile (bytes, file);
}

juce::uint64 hashBytes (const ByteArray& bytes) noexcept
{
    // FNV-1a over the bytes, then the length: cheap, and only ever compared
    // with a hash of the same file.
    juce::uint64 h = 0xcbf29ce484222325ull;
    for (auto b : bytes)
        h = (h ^ b) * 0x100000001b3ull;
    return h ^ (juce::uint64) bytes.size();
}

Contents load (const juce::File& file, Origin& origin)
{
    origin = {};
    origin.file = file;
    origin.existed = file.existsAsFile();

    if (! origin.existed)
        return refused ({});

    auto bytes = (juce::uint64) file.getSize() <= maxLibraryBytes ? readAll (file) : ByteArray();
    origin.fileHash = hashBytes (bytes);

    auto c = bytes.empty() && file.getSize() > 0 ? refused ("The file is too large or cannot be read.")
                                                 : parse (std::move (bytes));

    if (c.kind != Contents::Kind::library)
    {
        // Not ours to rewrite blindly: keep the original beside the next write.
        origin.damaged = true;
        c.kind = Contents::Kind::refused;
        c.records.clear();
        if (c.problem.isEmpty())
            c.problem = "This is not a library file.";
    }
    else
    {
        origin.damaged = c.problem.isNotEmpty();
    }

    origin.recordHashes = hashesOf (c.records);
    return c;
}

ByteArray merge (const ByteArray& disk, const std::vector<juce::uint64>& base, const ByteArray& ours)
{
    // Multisets of record hashes: what this instance removed and added since base.
    std::unordered_map<juce::uint64, int> baseCount, oursCount;
    for (auto h : base)
        ++baseCount[h];

    const auto oursHashes = hashesOf (ours);
    for (auto h : oursHashes)
        ++oursCount[h];

    std::unordered_map<juce::uint64, int> removed;
    for (auto& [h, n] : baseCount)
    {
        const auto it = oursCount.find (h);
        const int kept = it == oursCount.end() ? 0 : it->second;
        if (n > kept)
            removed[h] = n - kept;
    }

    ByteArray result;
    result.reserve (disk.size() + ours.size());
    std::unordered_map<juce::uint64, int> present;

    for (size_t k = 0; k + recordSize <= disk.size(); k += recordSize)
    {
        const auto h = ProgramRecord::hash (disk.data() + k);
        auto it = removed.find (h);

        if (it != removed.end() && it->second > 0)
        {
            --it->second;
            continue;
        }

        result.insert (result.end(), disk.begin() + (std::ptrdiff_t) k, disk.begin() + (std::ptrdiff_t) (k + recordSize));
        ++present[h];
    }

    // Added: records of ours beyond base's count, unless the disk has them already.
    auto remainingBase = baseCount;
    for (size_t k = 0, i = 0; k + recordSize <= ours.size(); k += recordSize, ++i)
    {
        const auto h = oursHashes[i];

        if (auto b = remainingBase.find (h); b != remainingBase.end() && b->second > 0)
        {
            --b->second;
            continue;
        }

        if (auto p = present.find (h); p != present.end() && p->second > 0)
        {
            --p->second;
            continue;
        }

        result.insert (result.end(), ours.begin() + (std::ptrdiff_t) k, ours.begin() + (std::ptrdiff_t) (k + recordSize));
    }

    return result;
}

StoreResult store (const ByteArray& records, Origin& origin, double deadline)
{
    const auto& file = origin.file;

    // From the read to the rename: another process's store cannot fall between.
    // Where the system gives no lock, the store goes ahead without.
    const SettingsFiles::FolderLock held (file, deadline);
    if (held.isBusy())
        return StoreResult::busy;

    auto toWrite = &records;
    ByteArray merged;
    auto result = StoreResult::written;

    const bool existsNow = file.existsAsFile();
    const auto diskBytes = existsNow && (juce::uint64) file.getSize() <= maxLibraryBytes
                               ? readAll (file) : ByteArray();
    const bool changedOnDisk = existsNow != origin.existed
                                || (existsNow && hashBytes (diskBytes) != origin.fileHash);

    if (changedOnDisk && existsNow)
    {
        const auto disk = parse (diskBytes.data(), diskBytes.size());

        if (disk.kind == Contents::Kind::library)
        {
            merged = merge (disk.records, origin.recordHashes, records);
            toWrite = &merged;
            result = StoreResult::merged;
        }
    }

    // An emptied library is written too (its tags alone), or the old one would come back.
    const bool empty = toWrite->size() < recordSize;
    if (empty && ! existsNow && ! origin.existed)
        return StoreResult::nothingWritten;

    if (origin.damaged && existsNow && SettingsFiles::keepDamagedCopy (file, (juce::int64) maxLibraryBytes) == juce::File())
        return StoreResult::failed;

    const auto bytes = empty ? emptyLibraryImage() : image (*toWrite);
    if (! SettingsFiles::writeWholeFile (bytes, file))
        return StoreResult::failed;

    origin.existed = true;
    origin.damaged = false;
    origin.fileHash = hashBytes (bytes);
    origin.recordHashes = hashesOf (*toWrite);

    for (const auto& kept : origin.unstoredTaken)
        kept.deleteFile();
    origin.unstoredTaken.clear();
    return result;
}

// The origin's record hashes (count first), then the records: enough for merge().
bool keepUnstored (const ByteArray& records, const Origin& origin)
{
    ByteArray kept (8 * (origin.recordHashes.size() + 1));
    auto put = [&kept] (size_t at, juce::uint64 v)
    {
        for (int i = 0; i < 8; ++i)
            kept[at + (size_t) i] = (juce::uint8) (v >> (8 * i));
    };

    put (0, (juce::uint64) origin.recordHashes.size());
    for (size_t i = 0; i < origin.recordHashes.size(); ++i)
        put (8 * (i + 1), origin.recordHashes[i]);

    const size_t whole = (records.size() / recordSize) * recordSize;
    kept.insert (kept.end(), records.begin(), records.begin() + (std::ptrdiff_t) whole);

    if (! SettingsFiles::writeWholeFile (kept, SettingsFiles::unstoredFileFor (origin.file)))
        return false;

    // A newer keeping holds what was taken before.
    for (const auto& taken : origin.unstoredTaken)
        taken.deleteFile();
    return true;
}

int takeUnstored (ByteArray& records, Origin& origin)
{
    int taken = 0;

    for (const auto& kept : SettingsFiles::unstoredFilesOf (origin.file))
    {
        const auto bytes = SettingsFiles::readWholeFile (kept);
        auto get = [&bytes] (size_t at)
        {
            juce::uint64 v = 0;
            for (int i = 0; i < 8; ++i)
                v |= (juce::uint64) bytes[at + (size_t) i] << (8 * i);
            return v;
        };

        if (bytes.size() < 8)
            continue;

        const auto count = get (0);
        if (count > maxPrograms || bytes.size() < 8 * (count + 1) || (bytes.size() - 8 * (count + 1)) % recordSize != 0)
            continue;

        std::vector<juce::uint64> base;
        for (size_t i = 0; i < count; ++i)
            base.push_back (get (8 * (i + 1)));

        const ByteArray theirs (bytes.begin() + (std::ptrdiff_t) (8 * (count + 1)), bytes.end());
        records = merge (records, base, theirs);
        origin.unstoredTaken.addIfNotAlreadyThere (kept);
        ++taken;
    }

    return taken;
}
}
