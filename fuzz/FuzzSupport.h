#pragma once

#include <juce_events/juce_events.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Shared by the fuzz targets and the seed generator.

// The entry points the targets define, declared so each definition is checked against them.
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv);

// A fuzz input read front to back as records: one op byte, a 16-bit
// little-endian length, then that many bytes (fewer when the input ends
// first). The seed generator writes the same layout, so seeds stay meaningful
// to the mutator.
class FuzzRecords
{
public:
    FuzzRecords (const uint8_t* d, size_t n) : data (d), size (n) {}

    bool next (int& op, std::vector<uint8_t>& bytes)
    {
        if (pos >= size)
            return false;

        op = data[pos++];
        size_t length = 0;
        if (pos < size) length = data[pos++];
        if (pos < size) length |= (size_t) data[pos++] << 8;

        length = std::min (length, size - pos);
        bytes.assign (data + pos, data + pos + length);
        pos += length;
        return true;
    }

    static void append (std::vector<uint8_t>& out, int op, const std::vector<uint8_t>& bytes)
    {
        out.push_back ((uint8_t) op);
        out.push_back ((uint8_t) (bytes.size() & 0xff));
        out.push_back ((uint8_t) ((bytes.size() >> 8) & 0xff));
        out.insert (out.end(), bytes.begin(), bytes.end());
    }

private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

// The bytes repeated up to the given size, so short inputs still reach the
// paths that only whole chunks and files take. Copies in doubling blocks: a
// byte loop under coverage instrumentation would dominate the run time.
inline std::vector<uint8_t> tiled (const std::vector<uint8_t>& bytes, size_t size)
{
    std::vector<uint8_t> result (size, 0);
    if (bytes.empty())
        return result;

    const size_t first = std::min (bytes.size(), size);
    std::copy_n (bytes.begin(), first, result.begin());

    for (size_t filled = first; filled < size; filled *= 2)
        std::copy_n (result.begin(), std::min (filled, size - filled), result.begin() + (std::ptrdiff_t) filled);

    return result;
}

// A failed property is a finding: abort so libFuzzer saves the input.
#define FUZZ_CHECK(condition) \
    do { if (! (condition)) { fprintf (stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); std::abort(); } } while (false)

// The engine's settings files go to a private home for the whole run: a
// fuzzer must never read or overwrite the real ones. In memory where the
// system offers it: the engine flushes what it saves to the disk, and a disk
// flush per input would cost more than everything else the input does.
inline juce::File useTemporaryHome()
{
    static const juce::File home = []
    {
        char inMemory[] = "/dev/shm/vantor-fuzz-home-XXXXXX";
        char onDisk[] = "/tmp/vantor-fuzz-home-XXXXXX";
        const char* made = mkdtemp (inMemory);
        if (made == nullptr)
            made = mkdtemp (onDisk);
        if (made == nullptr)
            std::abort();
        setenv ("HOME", made, 1);
        unsetenv ("XDG_CONFIG_HOME");
        std::atexit ([] { juce::File (getenv ("HOME")).deleteRecursively(); });
        return juce::File (made);
    }();
    return home;
}

// The framework's singletons live for the whole run, like in a host.
inline void initialiseFramework()
{
    useTemporaryHome();
    juce::MessageManager::getInstance();
}
