#include "engine/ProgramTransmitter.h"
#include "engine/DSI_Program.h"
#include <cmath>

ProgramTransmitter::ProgramTransmitter (SendFunction s, ProgressFunction p, FinishedFunction f)
    : juce::Thread ("Program transmitter"),
      send (std::move (s)), progress (std::move (p)), finished (std::move (f))
{
}

ProgramTransmitter::~ProgramTransmitter()
{
    cancel();
    stopThread (5000);
}

bool ProgramTransmitter::start (std::vector<Item> items)
{
    if (items.empty() || isThreadRunning())
        return false;

    pending = std::move (items);
    cancelRequested = false;
    wakeUp.reset();
    startThread();
    return true;
}

void ProgramTransmitter::cancel()
{
    cancelRequested = true;
    wakeUp.signal();
}

bool ProgramTransmitter::isRunning() const
{
    return isThreadRunning();
}

void ProgramTransmitter::setPacing (double newMsPerByte, double newExtraMs)
{
    msPerByte = newMsPerByte;
    extraMs = newExtraMs;
}

double ProgramTransmitter::pauseAfter (size_t dumpBytes) const
{
    return (double) dumpBytes * msPerByte.load() + extraMs.load();
}

void ProgramTransmitter::run()
{
    const int total = (int) pending.size();
    int sent = 0;

    for (const auto& item : pending)
    {
        if (cancelRequested || threadShouldExit())
            break;

        const auto dump = DSI_Program::programDump (item.record, item.bank, item.program, item.deviceId);
        const auto sentAt = clock.load()();
        send (dump);
        progress (++sent, total);

        // Wait out the wire and the store before the next dump; cancel wakes us early.
        // Short waits, so a clock that jumps is seen soon.
        const auto until = sentAt + pauseAfter (dump.size());
        for (double left = pauseAfter (dump.size()); left > 0.0 && ! cancelRequested && ! threadShouldExit();
             left = until - clock.load()())
            wakeUp.wait (juce::jlimit (1, 5, (int) std::ceil (left)));
    }

    pending.clear();
    finished (sent < total);
}
