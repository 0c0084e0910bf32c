// The library reader fed any file: it must stay in bounds, take exactly the
// whole records after a header, and what it takes must survive the store
// and a write and read back unchanged.
#include "FuzzSupport.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryRecords.h"
#include "librarian/StsFile.h"
#include <cstring>

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseFramework();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    constexpr size_t recordSize = (size_t) ProgramRecord::size;
    using Kind = LibraryFile::Contents::Kind;

    const auto contents = LibraryFile::parse (data, size);
    const auto& records = contents.records;
    FUZZ_CHECK (records.size() % recordSize == 0);

    switch (contents.kind)
    {
        case Kind::library:
        {
            FUZZ_CHECK (size >= 13 && std::memcmp (data, LibraryFile::headerText, 13) == 0);
            const size_t whole = (size - 13) / recordSize;
            FUZZ_CHECK (records.size() == whole * recordSize);
            FUZZ_CHECK (std::equal (records.begin(), records.end(), data + 13));
            const bool clean = whole > 0 && size == 26 + whole * recordSize
                                && std::memcmp (data + size - 13, LibraryFile::trailerText, 13) == 0;
            FUZZ_CHECK (contents.problem.isEmpty() == clean);
            break;
        }
        case Kind::programBank:
            FUZZ_CHECK (! records.empty() && contents.problem.isEmpty());
            FUZZ_CHECK (size >= 13 && std::memcmp (data, LibraryFile::headerText, 13) != 0);
            break;
        case Kind::refused:
            FUZZ_CHECK (records.empty() && contents.problem.isNotEmpty());
            break;
    }

    if (records.empty())
        return 0;

    // What was read is written back byte for byte.
    const auto image = LibraryFile::image (records);
    const auto again = LibraryFile::parse (image.data(), image.size());
    FUZZ_CHECK (again.kind == Kind::library && again.problem.isEmpty() && again.records == records);

    // The store takes each distinct record once and keeps its view and counts whole.
    StsFile store;
    store.importRecords (records, 0);
    FUZZ_CHECK (store.numStaged() >= 1 && store.numStaged() <= contents.numRecords());
    store.commitImport (false);
    FUZZ_CHECK (store.fileImage().size() == (size_t) store.numStaged() * recordSize + 26);

    const int category = records[(size_t) ProgramRecord::category];
    store.setFilterCategory (category);
    store.rebuildList (1);
    for (int k : store.viewIndex())
        FUZZ_CHECK (store.records()[(size_t) k * recordSize + ProgramRecord::category] == store.getFilterCategory());

    int counted = 0;
    for (int c : store.getCounts())
        counted += c;
    int expected = 0;
    for (int k = 0; k < store.numRecords(); ++k)
        expected += store.records()[(size_t) k * recordSize + ProgramRecord::category] < StsFile::numCounts ? 1 : 0;
    FUZZ_CHECK (counted == expected);

    store.setSize (334, 200);
    store.selectRow (store.getRowCount() - 1);
    store.scrollTo (1000);
    juce::Image canvas (juce::Image::ARGB, 334, 200, true);
    juce::Graphics g (canvas);
    store.paint (g);

    store.renameRecord (0, ProgramRecord::name (records, 0), 255);
    store.removeRecord (store.numRecords() - 1);
    FUZZ_CHECK (store.numRecords() == store.numStaged() - 1);
    return 0;
}
