// Runs a fuzz target over given files and folders without libFuzzer, so
// compilers without it (and the sanitizer test build) replay the corpus and
// the saved regressions as ordinary tests.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);
extern "C" __attribute__ ((weak)) int LLVMFuzzerInitialize (int* argc, char*** argv);

namespace
{
int replay (const std::filesystem::path& file)
{
    std::ifstream in (file, std::ios::binary);
    const std::vector<char> bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput (reinterpret_cast<const uint8_t*> (bytes.data()), bytes.size());
    return 1;
}
}

int main (int argc, char** argv)
{
    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize (&argc, &argv);

    int count = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::filesystem::path path (argv[i]);
        if (std::filesystem::is_directory (path))
        {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::recursive_directory_iterator (path))
                if (entry.is_regular_file())
                    files.push_back (entry.path());
            std::sort (files.begin(), files.end());
            for (const auto& f : files)
                count += replay (f);
        }
        else if (std::filesystem::is_regular_file (path))
        {
            count += replay (path);
        }
    }

    std::printf ("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
