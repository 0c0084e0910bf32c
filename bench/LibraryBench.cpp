// The program library at 10,000 and 50,000 programs: open (read the file,
// fill the store, first paint), import with the duplicate check, filter,
// delete, rename, paint and save. "peak/library" is the most memory held at
// once during the operation, as a multiple of the library's own bytes.
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include "librarian/LibraryFile.h"
#include "librarian/StsFile.h"
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace
{
std::atomic<long long> heldBytes { 0 }, peakBytes { 0 };

void noteAllocation (void* p)
{
    if (p == nullptr)
        return;
    const auto now = heldBytes += (long long) malloc_usable_size (p);
    auto peak = peakBytes.load();
    while (now > peak && ! peakBytes.compare_exchange_weak (peak, now)) {}
}
}

void* operator new (size_t size)
{
    void* p = std::malloc (size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    noteAllocation (p);
    return p;
}

// This delete replaces the global one, so its free matches the malloc in new above;
// gcc cannot see that and calls the pair mismatched.
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete (void* p) noexcept
{
    if (p != nullptr)
        heldBytes -= (long long) malloc_usable_size (p);
    std::free (p);
}
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic pop
#endif

void operator delete (void* p, size_t) noexcept   { operator delete (p); }

namespace
{
constexpr size_t recordSize = (size_t) ProgramRecord::size;

// Distinct programs that differ in a few bytes only, as a collection of
// variations does; categories spread over all 26.
ByteArray programs (int n, int salt = 0)
{
    ByteArray records ((size_t) n * recordSize, 0);
    for (int k = 0; k < n; ++k)
    {
        auto* r = records.data() + (size_t) k * recordSize;
        for (size_t i = 0; i < recordSize; ++i)
            r[i] = (juce::uint8) ((i * 7) & 0x7f);
        r[10] = (juce::uint8) (k & 0x7f);
        r[11] = (juce::uint8) ((k >> 7) & 0x7f);
        r[12] = (juce::uint8) ((k >> 14) & 0x7f);
        r[13] = (juce::uint8) salt;
        r[ProgramRecord::category] = (juce::uint8) (k % 26);
        for (int c = 0; c < 16; ++c)
            r[ProgramRecord::nameOffset + c] = (juce::uint8) ('A' + (k + c) % 26);
    }
    return records;
}

juce::File libraryFile (int n)
{
    const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getChildFile ("vantor-bench-library-" + juce::String (n) + ".p12l");
    if (! file.existsAsFile())
        LibraryFile::write (programs (n), file);
    return file;
}

void setUpList (StsFile& list)
{
    list.listWidth = 302;
    list.setSize (334, 34 * 15);
}

void reportPeak (benchmark::State& state, long long base, int n)
{
    state.counters["peak/library"] = (double) (peakBytes.load() - base) / (double) ((size_t) n * recordSize);
}

void openLibrary (benchmark::State& state)
{
    const int n = (int) state.range (0);
    const auto file = libraryFile (n);
    juce::Image canvas (juce::Image::ARGB, 334, 510, true);
    long long base = 0;

    for (auto _ : state)
    {
        base = peakBytes = heldBytes.load();
        StsFile list;
        setUpList (list);
        auto contents = LibraryFile::read (file);
        list.replaceRecords (std::move (contents.records));
        juce::Graphics g (canvas);
        list.paint (g);
        benchmark::DoNotOptimize (list.numRecords());
    }

    reportPeak (state, base, n);
}

void importWithDuplicateCheck (benchmark::State& state)
{
    const int n = (int) state.range (0);
    // Half of the import is already staged once: every record is checked.
    auto bytes = programs (n / 2, 1);
    const auto more = programs (n / 2, 1);
    bytes.insert (bytes.end(), more.begin(), more.end());
    long long base = 0;

    for (auto _ : state)
    {
        StsFile list;
        base = peakBytes = heldBytes.load();
        list.importRecords (bytes, 0);
        list.commitImport (false);
        benchmark::DoNotOptimize (list.numRecords());
    }

    reportPeak (state, base, n);
}

struct Filled
{
    explicit Filled (int n)
    {
        setUpList (list);
        list.replaceRecords (programs (n));
    }
    StsFile list;
};

void filterByCategory (benchmark::State& state)
{
    Filled f ((int) state.range (0));
    int c = 0;
    for (auto _ : state)
    {
        f.list.setFilterCategory (c++ % 26);
        f.list.rebuildList (1);
    }
}

void deleteRecord (benchmark::State& state)
{
    Filled f ((int) state.range (0));
    for (auto _ : state)
        f.list.removeRecord (0);   // the longest move of the block
}

void renameRecord (benchmark::State& state)
{
    const int n = (int) state.range (0);
    Filled f (n);
    int k = 0;
    for (auto _ : state)
    {
        f.list.renameRecord (k, "Renamed " + juce::String (k), k % 26);
        f.list.rebuildList (1);   // the page shows the filter category afterwards
        k = (k + 997) % n;
    }
}

void paintList (benchmark::State& state)
{
    Filled f ((int) state.range (0));
    f.list.scrollTo (f.list.numRecords() / 2);
    f.list.selectRow (f.list.getFirstVisibleRow() + 3);
    juce::Image canvas (juce::Image::ARGB, 334, 510, true);
    for (auto _ : state)
    {
        juce::Graphics g (canvas);
        f.list.paint (g);
    }
}

void saveLibrary (benchmark::State& state)
{
    const int n = (int) state.range (0);
    Filled f (n);
    const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vantor-bench-save.p12l");
    long long base = 0;
    for (auto _ : state)
    {
        base = peakBytes = heldBytes.load();
        benchmark::DoNotOptimize (f.list.saveToFile (file));
    }
    file.deleteFile();
    reportPeak (state, base, n);
}

void sizes (benchmark::internal::Benchmark* b)
{
    b->Arg (10000)->Arg (50000)->Unit (benchmark::kMillisecond);
}
}

BENCHMARK (openLibrary)->Apply (sizes);
BENCHMARK (importWithDuplicateCheck)->Apply (sizes);
BENCHMARK (filterByCategory)->Apply (sizes);
BENCHMARK (deleteRecord)->Apply (sizes)->Iterations (200);
BENCHMARK (renameRecord)->Apply (sizes);
BENCHMARK (paintList)->Apply (sizes);
BENCHMARK (saveLibrary)->Apply (sizes);
