#include <gtest/gtest.h>
#include "engine/VantorAudioProcessor.h"
#include "support/EngineTestHelpers.h"
#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

// The audio thread must not touch the heap: every operator new and delete is
// counted while a test switches counting on for its own thread. Without a
// sanitizer (which owns malloc itself) malloc, calloc, realloc and free are
// counted too, since the framework's buffers grow through realloc.
namespace
{
std::atomic<bool> countingAnywhere { false };
thread_local bool countingHere = false;
thread_local int heapCalls = 0;

inline void noteHeapCall() noexcept
{
    if (countingAnywhere.load (std::memory_order_relaxed) && countingHere)
        ++heapCalls;
}

void* allocateOrThrow (std::size_t size)
{
    noteHeapCall();
    if (void* p = std::malloc (size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment) noexcept
{
    noteHeapCall();
    const auto a = (std::size_t) alignment;
    return std::aligned_alloc (a, ((size != 0 ? size : 1) + a - 1) / a * a);
}

void release (void* p) noexcept
{
    if (p != nullptr)
        noteHeapCall();
    std::free (p);
}

// Counts this thread's heap calls made inside the scope.
struct HeapCallCounter
{
    HeapCallCounter()   { heapCalls = 0; countingHere = true; countingAnywhere = true; }
    ~HeapCallCounter()  { stop(); }
    int stop()          { countingHere = false; countingAnywhere = false; return heapCalls; }
};
}

void* operator new (std::size_t n)                                   { return allocateOrThrow (n); }
void* operator new[] (std::size_t n)                                 { return allocateOrThrow (n); }
void* operator new (std::size_t n, const std::nothrow_t&) noexcept   { noteHeapCall(); return std::malloc (n != 0 ? n : 1); }
void* operator new[] (std::size_t n, const std::nothrow_t&) noexcept { noteHeapCall(); return std::malloc (n != 0 ? n : 1); }
void* operator new (std::size_t n, std::align_val_t a)                                   { if (void* p = allocateAligned (n, a)) return p; throw std::bad_alloc(); }
void* operator new[] (std::size_t n, std::align_val_t a)                                 { return operator new (n, a); }
void* operator new (std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept   { return allocateAligned (n, a); }
void* operator new[] (std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept { return allocateAligned (n, a); }

void operator delete (void* p) noexcept                                          { release (p); }
void operator delete[] (void* p) noexcept                                        { release (p); }
void operator delete (void* p, std::size_t) noexcept                             { release (p); }
void operator delete[] (void* p, std::size_t) noexcept                           { release (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept                   { release (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept                 { release (p); }
void operator delete (void* p, std::align_val_t) noexcept                        { release (p); }
void operator delete[] (void* p, std::align_val_t) noexcept                      { release (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept           { release (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept         { release (p); }
void operator delete (void* p, std::align_val_t, const std::nothrow_t&) noexcept { release (p); }
void operator delete[] (void* p, std::align_val_t, const std::nothrow_t&) noexcept { release (p); }

#if defined (__has_feature)
 #if __has_feature (address_sanitizer) || __has_feature (thread_sanitizer) || __has_feature (memory_sanitizer)
  #define VANTOR_SANITIZED_HEAP 1
 #endif
#endif
#if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
 #define VANTOR_SANITIZED_HEAP 1
#endif

#ifndef VANTOR_SANITIZED_HEAP
// glibc lets a program supply malloc; these count and hand over to glibc's own.
extern "C"
{
void* __libc_malloc (std::size_t);
void* __libc_calloc (std::size_t, std::size_t);
void* __libc_realloc (void*, std::size_t);
void __libc_free (void*);

void* malloc (std::size_t n)                 { noteHeapCall(); return __libc_malloc (n); }
void* calloc (std::size_t n, std::size_t s)  { noteHeapCall(); return __libc_calloc (n, s); }
void* realloc (void* p, std::size_t n)       { noteHeapCall(); return __libc_realloc (p, n); }
void free (void* p)                          { if (p != nullptr) noteHeapCall(); __libc_free (p); }
}
#endif

namespace
{
struct ProcessBlockAllocation : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();
    juce::AudioBuffer<float> audio { 2, 512 };
    juce::MidiBuffer hostMidi;

    void SetUp() override
    {
        processor->prepareToPlay (48000.0, 512);
        // The host's buffer has room beforehand: its growth is the one allowed allocation.
        hostMidi.ensureSize (64 * 1024);
        audio.clear();
    }

    // Heap calls made by the given number of blocks.
    int heapCallsOfBlocks (int blocks)
    {
        HeapCallCounter counter;
        for (int b = 0; b < blocks; ++b)
            processor->processBlock (audio, hostMidi);
        return counter.stop();
    }
};
}

TEST_F (ProcessBlockAllocation, CounterSeesThisThreadsHeapCalls)
{
    // Without this the zero counts below would prove nothing.
    HeapCallCounter counter;
    auto* p = new int (3);
    delete p;
    EXPECT_GE (counter.stop(), 2);

   #ifndef VANTOR_SANITIZED_HEAP
    // The framework's buffers grow through realloc: a host buffer without room is seen.
    juce::MidiBuffer unprepared;
    HeapCallCounter growth;
    unprepared.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 90), 0);
    EXPECT_GE (growth.stop(), 1);
   #endif
}

TEST_F (ProcessBlockAllocation, EmptyOddAndZeroLengthBlocksAndDiscardedHostInputTouchNoHeap)
{
    for (int i = 0; i < 20; ++i)
        hostMidi.addEvent (juce::MidiMessage::noteOn (1, 40 + i, (juce::uint8) 100), i);

    EXPECT_EQ (heapCallsOfBlocks (1), 0);
    EXPECT_TRUE (hostMidi.isEmpty());
    EXPECT_EQ (heapCallsOfBlocks (16), 0);

    juce::AudioBuffer<float> odd (2, 33), empty (2, 0);
    engine.sendModWheelToHost (1, 5);
    HeapCallCounter counter;
    processor->processBlock (odd, hostMidi);
    const int events = hostMidi.getNumEvents();
    processor->processBlock (empty, hostMidi);
    EXPECT_EQ (counter.stop(), 0);
    EXPECT_EQ (events, 1);
}

TEST_F (ProcessBlockAllocation, QueuedEngineMidiIsHandedOutWithoutTouchingTheHeap)
{
    // All notes off from the device queues 128 note offs; wheels add controllers.
    engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (2, 123, 0));
    for (int v = 0; v < 40; ++v)
        engine.sendModWheelToHost (1, v);
    const int t = engine.now();
    engine.addHostEvent (juce::MidiMessage::controllerEvent (3, 1, 99), t + 20);
    ASSERT_EQ (engine.numQueuedHostEvents(), 169);

    EXPECT_EQ (heapCallsOfBlocks (1), 0);
    EXPECT_EQ (hostMidi.getNumEvents(), 169);
    EXPECT_EQ (engine.numQueuedHostEvents(), 0);

    // Again after the engine's queue was refilled, with the host's last output still in its buffer.
    engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 123, 0));
    EXPECT_EQ (heapCallsOfBlocks (1), 0);
    EXPECT_EQ (hostMidi.getNumEvents(), 128);
}

struct ProcessBlockAllocationThreads : public ProcessBlockAllocation {};

TEST_F (ProcessBlockAllocationThreads, BlockWhileTheEngineIsBusyWaitsForNothingAndKeepsTheQueue)
{
    engine.sendModWheelToHost (1, 7);

    // Another thread holds the engine lock for as long as the block runs.
    std::atomic<bool> held { false }, release { false };
    std::thread holder ([&]
    {
        const juce::ScopedLock sl (engine.getLock());
        held = true;
        while (! release)
            std::this_thread::yield();
    });
    while (! held)
        std::this_thread::yield();

    const int calls = heapCallsOfBlocks (1);
    const int handedOut = hostMidi.getNumEvents();
    release = true;
    holder.join();

    EXPECT_EQ (calls, 0);
    EXPECT_EQ (handedOut, 0);
    EXPECT_EQ (engine.numQueuedHostEvents(), 1);   // handed out by a later block instead

    EXPECT_EQ (heapCallsOfBlocks (1), 0);
    EXPECT_EQ (hostMidi.getNumEvents(), 1);
}
