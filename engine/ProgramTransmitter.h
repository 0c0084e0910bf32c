#pragma once

#include <juce_core/juce_core.h>
#include <functional>
#include "engine/ProgramRecord.h"

// Sends programs to the synthesizer's memory as program dumps, one at a time
// on a thread of its own, never faster than the wire: after each dump it waits
// the dump's wire time (0.32 ms a byte at 31,250 baud) plus the time the
// synthesizer needs to store it.
class ProgramTransmitter : private juce::Thread
{
public:
    struct Item
    {
        int bank, program;
        ByteArray record;
        juce::uint8 deviceId = ProgramRecord::moduleDeviceId;
    };

    using SendFunction = std::function<void (const ByteArray& dump)>;
    using ProgressFunction = std::function<void (int sent, int total)>;
    using FinishedFunction = std::function<void (bool cancelled)>;

    static constexpr double wireMsPerByte = 0.32;
    static constexpr double storeMs = 100.0;

    ProgramTransmitter (SendFunction send, ProgressFunction progress, FinishedFunction finished);
    ~ProgramTransmitter() override;

    // False when a transfer is already running or there is nothing to send.
    bool start (std::vector<Item> items);
    void cancel();
    bool isRunning() const;

    // Pacing is the wire's unless a test speeds it up.
    void setPacing (double msPerByte, double extraMs);
    double pauseAfter (size_t dumpBytes) const;

    // The pacing's clock in milliseconds: the system's, or one a test moves (nullptr: the system's).
    using Clock = double (*)();
    void setClock (Clock c) noexcept        { clock = c != nullptr ? c : &juce::Time::getMillisecondCounterHiRes; }

private:
    void run() override;

    SendFunction send;
    ProgressFunction progress;
    FinishedFunction finished;

    std::vector<Item> pending;
    juce::WaitableEvent wakeUp;
    std::atomic<bool> cancelRequested { false };
    std::atomic<double> msPerByte { wireMsPerByte }, extraMs { storeMs };
    std::atomic<Clock> clock { &juce::Time::getMillisecondCounterHiRes };

    JUCE_DECLARE_NON_COPYABLE (ProgramTransmitter)
};
