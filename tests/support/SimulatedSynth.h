#pragma once

#include "engine/MidiDeviceSystem.h"
#include "engine/ProgramRecord.h"
#include <deque>

// A synthesizer at the far end of one MIDI cable pair, offered as a device
// system with one output ("Simulated Synth", the synth's MIDI in) and one
// input (the synth's MIDI out). What it sends reaches the engine's callback
// on the synth's own thread, as a real MIDI input thread would deliver it;
// the MidiInput* handed to the callback is nullptr.
//
// It keeps 8 banks of 99 records, an edit buffer and a globals block, records
// everything it receives and answers dump requests. It must outlive the
// devices it opened.
class SimulatedSynth : public MidiDeviceSystem
{
public:
    static constexpr int numGlobals = 30;

    SimulatedSynth();
    ~SimulatedSynth() override;

    //==============================================================================
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override;
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override;
    std::unique_ptr<MidiDeviceInput> openInput (int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<MidiDeviceOutput> openOutput (int index) override;

    //==============================================================================
    enum class Answer { whole, split, drop };

    // split: each answer leaves as `parts` messages built from its raw bytes.
    void setAnswer (Answer mode, int parts = 1);
    void setAnswerDelayMs (int ms);
    void setDeviceId (juce::uint8 id);    // 0x2B module (default), 0x2A keyboard
    void setAddressedOnly (bool only);    // ignore messages carrying the other model's id

    // The output queues as a real one does: what is sent as a block waits for the
    // output's thread, which takes it in order; clearing the queue, or stopping
    // that thread, drops what waits; a direct send bypasses the queue. While held,
    // the thread takes nothing, as when it has not got to the queue yet;
    // releasing lets it deliver what waits.
    void holdOutput (bool held);

    //==============================================================================
    // Records start as distinct deterministic pseudo-random bytes.
    ByteArray record (int bank, int program) const;
    void setRecord (int bank, int program, const ByteArray& bytes);
    ByteArray editBuffer() const;
    void setEditBuffer (const ByteArray& bytes);
    ByteArray globals() const;
    void setGlobals (const ByteArray& bytes);

    //==============================================================================
    struct Received
    {
        juce::MidiMessage message;
        double timeMs;      // millisecond counter when it arrived
    };

    std::vector<Received> received() const;
    int numReceived() const;
    int numNotesReceived() const;   // note-ons and note-offs
    void clearReceived();

    // Everything the synth would send: queued and delivered on its thread.
    void turnKnob (int channel, int nrpn, int value);   // CC 99, 98, 6, 38
    void send (const juce::MidiMessage& message);

    bool waitForReceived (int count, int timeoutMs = 20000) const;
    bool waitUntilIdle (int timeoutMs = 20000) const;    // nothing queued, nothing being delivered

    // On the message thread: runs it until the synth has nothing left to deliver
    // and the message thread nothing left to dispatch, so whatever a message set
    // off has happened. False if that never came. Timers not yet due are not waited for.
    bool settle() const;

private:
    class Output;
    class Input;
    class DeliveryThread;

    struct Delivery
    {
        double dueMs;
        std::vector<juce::MidiMessage> parts;
    };

    void receive (const juce::MidiMessage& message);
    void queueOutput (const juce::MidiBuffer& buffer);
    void sendOutputNow (const juce::MidiMessage& message);
    void clearOutput();
    void runOutput (bool running);
    void deliverOutput();   // under outputLock
    void answer (const ByteArray& message);
    void enqueue (std::vector<juce::MidiMessage> parts, double delayMs);
    void deliverDue();
    void setListener (juce::MidiInputCallback* callback);

    static bool isSlot (int bank, int program) noexcept;

    juce::CriticalSection outputLock;           // the output's queue and thread state
    std::vector<juce::MidiMessage> outputQueue;
    bool outputRunning = false, outputHeld = false;

    mutable juce::CriticalSection lock;         // state, queue and log
    juce::CriticalSection deliveryLock;         // held while the engine's callback runs

    std::vector<ByteArray> banks;               // 8 * 99 records
    ByteArray edit, globalBlock;
    std::vector<Received> log;
    std::deque<Delivery> queue;
    std::atomic<int> undelivered { 0 };

    Answer answerMode = Answer::whole;
    int answerParts = 1;
    double answerDelayMs = 0.0;
    juce::uint8 deviceId = ProgramRecord::moduleDeviceId;
    bool addressedOnly = false;

    juce::MidiInputCallback* listener = nullptr;
    std::unique_ptr<DeliveryThread> thread;

    JUCE_DECLARE_NON_COPYABLE (SimulatedSynth)
};
