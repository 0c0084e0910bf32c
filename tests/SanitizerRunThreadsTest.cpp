// The leak check of the sanitizer runs must survive a library's dynamic
// thread-local storage, wherever malloc put its block: the runtime, when it
// tracks those blocks, takes one that starts 16 bytes into a page for one it
// mapped itself and reads its size from the allocator's header before it.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#if defined (__SANITIZE_ADDRESS__)
 #include <sanitizer/lsan_interface.h>

namespace
{
// In a thread of its own (a fresh allocator cache), mallocs run on until the
// next one lands 16 bytes into a page; the library's block for this thread is
// then that one. Says whether it got there, then has the leak check run.
[[noreturn]] void leakCheckWithABlockOnTheEdge()
{
    auto* library = dlopen (VANTOR_DYING_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    auto* threadLocal = library != nullptr ? (int* (*)()) dlsym (library, "dyingPluginThreadLocal") : nullptr;
    if (threadLocal == nullptr)
    {
        std::fprintf (stderr, "no library\n");
        _exit (2);
    }
    bool arranged = false;
    std::thread ([&]
    {
        std::vector<void*> kept;
        for (int i = 0; i < 100000 && ! arranged; ++i)
        {
            auto* a = std::malloc (8);
            auto* b = std::malloc (8);
            kept.push_back (a);
            kept.push_back (b);
            const auto step = (std::uintptr_t) b - (std::uintptr_t) a;
            if (((std::uintptr_t) b + step) % 4096 == 16)
                arranged = ((std::uintptr_t) threadLocal() % 4096) == 16;
        }
        if (arranged)
            __lsan_do_recoverable_leak_check();
        for (auto* p : kept)
            std::free (p);
    }).join();
    std::fprintf (stderr, arranged ? "checked with the block on the edge\n" : "the block never landed on the edge\n");
    _exit (0);
}
}
#endif

TEST (SanitizerRunThreads, LeakCheckSurvivesADynamicThreadLocalBlockOnAPageEdge)
{
#if defined (__SANITIZE_ADDRESS__)
    GTEST_FLAG_SET (death_test_style, "threadsafe");
    EXPECT_EXIT (leakCheckWithABlockOnTheEdge(), ::testing::ExitedWithCode (0), "checked with the block on the edge");
#else
    GTEST_SKIP() << "for the AddressSanitizer build";
#endif
}
