// Bounded iterations on all threads; the only verdicts are that every thread
// finishes, nothing crashes and every answer stays well formed.
#include "Validate.h"

#include <mutex>
#include <thread>

namespace vsthost::validation
{
namespace
{
void threadsGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    struct Shared
    {
        std::mutex lock;
        // Hosts make chunk calls on their message thread only: JUCE's wrapper keeps
        // one chunk buffer per instance, so a set frees what a concurrent get returned.
        std::mutex chunkCalls;
        Problems problems;
        void add (const std::string& s)
        {
            const std::lock_guard<std::mutex> l (lock);
            problems.add (s);
        }
    };

    auto audioThread = [] (AEffect* e, Shared& shared, unsigned seed, int blocks)
    {
        std::mt19937 local (seed);
        for (int b = 0; b < blocks; ++b)
            if (auto reason = runBlock (e, 256, local); ! reason.empty())
                shared.add ("audio: " + reason);
    };

    auto readerThread = [] (AEffect* e, Shared& shared, unsigned seed, int rounds)
    {
        std::mt19937 local (seed);
        for (int k = 0; k < rounds; ++k)
        {
            for (int n = 0; n < 40; ++n)
            {
                const int i = (int) (local() % numParams);
                const float v = e->getParameter (e, i);
                if (! (v >= 0.0f && v <= 1.0f))
                    shared.add (fmt ("parameter %d read %g", i, (double) v));
                if (! isValidUtf8 (parameterText (e, i)) || parameterName (e, i).empty())
                    shared.add (fmt ("parameter %d text or name broken", i));
                programName (e, (int) (local() % numPrograms));
            }
            if (k % 4 == 0)
            {
                const std::lock_guard<std::mutex> l (shared.chunkCalls);
                const auto bank = getChunk (e, false), prog = getChunk (e, true);
                if (bank.size() != (size_t) bankSize || prog.size() != (size_t) programSize)
                    shared.add (fmt ("chunks of %zu and %zu bytes", bank.size(), prog.size()));
            }
        }
    };

    r.check ("threads.paramsProcessReads", [&]() -> std::string
    {
        Instance a (lib.entry);
        Shared shared;
        prepare (a, 48000.0, 256);
        resume (a);
        const unsigned seed = rng();
        AEffect* e = a;
        std::thread writer ([e, seed]
        {
            std::mt19937 local (seed);
            for (int n = 0; n < 200000; ++n)
                e->setParameter (e, (int) (local() % numParams), std::uniform_real_distribution<float> (0.0f, 1.0f) (local));
        });
        std::thread audio (audioThread, e, std::ref (shared), seed + 1, 20000);
        std::thread reader (readerThread, e, std::ref (shared), seed + 2, 2000);
        writer.join();
        audio.join();
        reader.join();
        suspend (a);
        shared.problems.addAll (answersEverything (a, rng), "afterwards");
        return shared.problems.str();
    });

    r.check ("threads.programsChunksProcess", [&]() -> std::string
    {
        Instance a (lib.entry);
        Shared shared;
        dispatch (a, effSetProgram, 0, 40);
        const auto bank = getChunk (a, false), prog = getChunk (a, true);
        prepare (a, 44100.0, 256);
        resume (a);
        const unsigned seed = rng();
        AEffect* e = a;
        std::thread writer ([e, seed, &bank, &prog, &shared]
        {
            std::mt19937 local (seed);
            for (int n = 0; n < 3000; ++n)
            {
                switch (n % 4)
                {
                    case 0: dispatch (e, effSetProgram, 0, (int) (local() % numPrograms)); break;
                    case 1: { const std::lock_guard<std::mutex> l (shared.chunkCalls); setChunk (e, true, prog); break; }
                    case 2: { const std::lock_guard<std::mutex> l (shared.chunkCalls); setChunk (e, false, bank); break; }
                    default: dispatch (e, effSetProgramName, 0, 0, (void*) "THREADED"); break;
                }
                e->setParameter (e, (int) (local() % numParams), 0.25f);
            }
        });
        std::thread audio (audioThread, e, std::ref (shared), seed + 1, 15000);
        std::thread reader (readerThread, e, std::ref (shared), seed + 2, 1500);
        writer.join();
        audio.join();
        reader.join();
        suspend (a);
        shared.problems.addAll (answersEverything (a, rng), "afterwards");
        return shared.problems.str();
    });
}
} // namespace

const ValidationGroup threadChecks { "threads", 5, threadsGroup };
} // namespace vsthost::validation
