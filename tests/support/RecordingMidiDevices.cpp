#include "RecordingMidiDevices.h"
#include <algorithm>

void OutputLog::add (OutputCall call)
{
    const juce::ScopedLock sl (lock);

    if (call.kind == OutputCall::startThread)  threadRunning = true;
    if (call.kind == OutputCall::stopThread)   threadRunning = false;

    log.push_back (std::move (call));
}

void OutputLog::markDeleted()
{
    const juce::ScopedLock sl (lock);
    deleted = true;
    threadRunning = false;
}

std::vector<OutputCall> OutputLog::calls() const
{
    const juce::ScopedLock sl (lock);
    return log;
}

std::vector<OutputCall> OutputLog::sends() const
{
    const juce::ScopedLock sl (lock);
    std::vector<OutputCall> result;

    for (const auto& c : log)
        if (c.kind == OutputCall::block || c.kind == OutputCall::now)
            result.push_back (c);

    return result;
}

int OutputLog::count (OutputCall::Kind kind) const
{
    const juce::ScopedLock sl (lock);
    return (int) std::count_if (log.begin(), log.end(), [kind] (const OutputCall& c) { return c.kind == kind; });
}

bool OutputLog::isDeleted() const
{
    const juce::ScopedLock sl (lock);
    return deleted;
}

bool OutputLog::isThreadRunning() const
{
    const juce::ScopedLock sl (lock);
    return threadRunning;
}

//==============================================================================
namespace
{
class RecordingOutput final : public MidiDeviceOutput
{
public:
    explicit RecordingOutput (std::shared_ptr<OutputLog> l) : log (std::move (l)) {}
    ~RecordingOutput() override  { log->markDeleted(); }

    void sendBlockOfMessages (const juce::MidiBuffer& buffer, double startTime, double rate) override
    {
        OutputCall call { OutputCall::block, {}, startTime, rate };

        for (const auto metadata : buffer)
            call.messages.push_back (metadata.getMessage());

        log->add (std::move (call));
    }

    void sendMessageNow (const juce::MidiMessage& m) override  { log->add ({ OutputCall::now, { m } }); }
    void clearAllPendingMessages() override                    { log->add ({ OutputCall::clear, {} }); }
    void startBackgroundThread() override                      { log->add ({ OutputCall::startThread, {} }); }
    void stopBackgroundThread() override                       { log->add ({ OutputCall::stopThread, {} }); }

private:
    std::shared_ptr<OutputLog> log;
};

class RecordingInput final : public MidiDeviceInput
{
public:
    explicit RecordingInput (std::shared_ptr<InputLog> l) : log (std::move (l)) {}
    ~RecordingInput() override  { log->deleted = true; }

    void start() override   { ++log->starts; }
    void stop() override    { ++log->stops; }

private:
    std::shared_ptr<InputLog> log;
};

juce::Array<juce::MidiDeviceInfo> infosFor (const juce::StringArray& names, const char* prefix)
{
    juce::Array<juce::MidiDeviceInfo> infos;

    for (int i = 0; i < names.size(); ++i)
        infos.add ({ names[i], prefix + juce::String (i) });

    return infos;
}
}

RecordingMidiDevices::RecordingMidiDevices (juce::StringArray ins, juce::StringArray outs)
    : inputNames (std::move (ins)), outputNames (std::move (outs))
{
}

juce::Array<juce::MidiDeviceInfo> RecordingMidiDevices::getInputDevices()
{
    ++listings;
    return infosFor (inputNames, "in-");
}

juce::Array<juce::MidiDeviceInfo> RecordingMidiDevices::getOutputDevices()
{
    ++listings;
    return infosFor (outputNames, "out-");
}

std::unique_ptr<MidiDeviceInput> RecordingMidiDevices::openInput (int index, juce::MidiInputCallback* callback)
{
    if (refuseToOpen || ! juce::isPositiveAndBelow (index, inputNames.size()))
        return {};

    inputs.push_back (std::make_shared<InputLog> (index, callback));
    return std::make_unique<RecordingInput> (inputs.back());
}

std::unique_ptr<MidiDeviceOutput> RecordingMidiDevices::openOutput (int index)
{
    if (refuseToOpen || ! juce::isPositiveAndBelow (index, outputNames.size()))
        return {};

    outputs.push_back (std::make_shared<OutputLog> (index));
    return std::make_unique<RecordingOutput> (outputs.back());
}
