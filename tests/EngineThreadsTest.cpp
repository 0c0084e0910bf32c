#include <gtest/gtest.h>
#include "support/ComponentTestSupport.h"
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "support/EngineTestHelpers.h"
#include "support/SimulatedSynth.h"
#include <thread>

// The engine's threads all at once, for a fixed number of iterations each: the
// device's MIDI input, host automation, the audio callback and the message
// thread. Meant for the thread sanitizer; in a plain build it checks that
// everything finishes and every answer stays well formed.
namespace
{
constexpr int midiIterations = 1000;
constexpr int automationIterations = 1000;
constexpr int audioBlocks = 2000;
constexpr int maxMessageRounds = 20000;   // a bound, not a timing: the other threads end first

void receive (MidiCntrState& engine, const juce::MidiMessage& m)   { engine.handleIncomingMidiMessage (nullptr, m); }

void receiveBytes (MidiCntrState& engine, const ByteArray& bytes, size_t from, size_t to)
{
    engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage (bytes.data() + from, (int) (to - from)));
}

// What the device sends: NRPN edits, bank and program changes, notes, wheels,
// all-notes-off and dumps, some of them arriving in pieces.
void deviceTraffic (MidiCntrState& engine, std::atomic<int>& done)
{
    const auto record = engine.deviceBank (4).programBytes (7);

    for (int i = 0; i < midiIterations; ++i)
    {
        const int id = (i * 7) % 1024;
        if (const int number = engine.nrpnMap().nrpnForId (id); number != NrpnMap::none)
        {
            receive (engine, juce::MidiMessage::controllerEvent (1, 99, number >> 7));
            receive (engine, juce::MidiMessage::controllerEvent (1, 98, number & 127));
            receive (engine, juce::MidiMessage::controllerEvent (1, 6, 0));
            receive (engine, juce::MidiMessage::controllerEvent (1, 38, i % 100));
        }

        receive (engine, juce::MidiMessage::controllerEvent (1, 32, i % 8));
        receive (engine, juce::MidiMessage::programChange (1, i % 99));
        receive (engine, juce::MidiMessage::noteOn (1, 36 + i % 48, (juce::uint8) 90));
        receive (engine, juce::MidiMessage::noteOff (1, 36 + i % 48));
        receive (engine, juce::MidiMessage::controllerEvent (1, 1, i % 128));
        receive (engine, juce::MidiMessage::pitchWheel (1, (i * 97) % 16384));

        if (i % 10 == 0)
            receive (engine, juce::MidiMessage::allNotesOff (1));

        if (i % 15 == 0)
        {
            const auto dump = DSI_Program::programDump (record, 5, (i / 15) % 99);
            receiveBytes (engine, dump, 0, 600);
            receiveBytes (engine, dump, 600, dump.size());
        }

        if (i % 25 == 0)
        {
            const auto dump = DSI_Program::editBufferDump (record);
            receiveBytes (engine, dump, 0, 300);
            engine.handlePartialSysexMessage (nullptr, dump.data() + 300, 10, 0.0);
            receive (engine, juce::MidiMessage (dump.data(), (int) dump.size()));
        }
    }

    ++done;
}

// What the host's automation does: write and read parameters and programs.
void hostAutomation (VantorAudioProcessor& processor, std::atomic<int>& done)
{
    const auto& params = processor.getParameters();

    for (int i = 0; i < automationIterations; ++i)
    {
        const int index = (i * 13) % ParameterTable::numHostParameters;
        auto* param = params[index];
        const float value = (float) ((i * 37) % 101) / 100.0f;

        // As the wrapper does it: set, then tell the processor's listeners.
        param->setValue (value);
        param->sendValueChangedMessageToListeners (value);

        param->getText (param->getValue(), 24);
        processor.hostParameterText ((index + 311) % ParameterTable::numHostParameters);
        processor.hostParameterText (618);
        processor.getProgramName (i % VantorAudioProcessor::numPrograms);

        if (i % 50 == 0)
            processor.setCurrentProgram ((i / 50) % VantorAudioProcessor::numPrograms);
    }

    ++done;
}

// The audio callback; the engine hands out only note offs and controllers.
void audioCallback (VantorAudioProcessor& processor, std::atomic<int>& done, std::atomic<int>& unexpected)
{
    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    midi.ensureSize (16 * 1024);

    for (int b = 0; b < audioBlocks; ++b)
    {
        audio.clear();
        processor.processBlock (audio, midi);

        for (const auto m : midi)
        {
            const auto message = m.getMessage();
            if (! (message.isNoteOff() || message.isController()) || m.samplePosition < 0 || m.samplePosition >= 256)
                ++unexpected;
        }
    }

    ++done;
}
}

TEST (EngineThreads, MidiInputAutomationAudioAndMessageThreadsShareTheEngine)
{
    RecordingMidiDevices devices;
    auto processor = std::make_unique<VantorAudioProcessor> (devices);
    auto& engine = processor->getEngine();
    EventRecorder events (engine);

    engine.ports().openOutput (1);
    engine.setControlsProgramChange (true);   // device program changes reach the host through the cable
    processor->prepareToPlay (48000.0, 256);

    std::atomic<int> done { 0 }, unexpectedHostMidi { 0 };
    std::thread midiInput (deviceTraffic, std::ref (engine), std::ref (done));
    std::thread automation (hostAutomation, std::ref (*processor), std::ref (done));
    std::thread audio (audioCallback, std::ref (*processor), std::ref (done), std::ref (unexpectedHostMidi));

    // The message thread: chunks, the editor's drains, a bank receive, the message loop.
    int rounds = 0, badChunks = 0;
    for (; rounds < maxMessageRounds && done < 3; ++rounds)
    {
        juce::MemoryBlock bank, program;
        processor->getStateInformation (bank);
        processor->getCurrentProgramStateInformation (program);
        badChunks += bank.getSize() != (size_t) VantorAudioProcessor::bankChunkSize
                  || program.getSize() != (size_t) VantorAudioProcessor::programChunkSize;

        if (rounds % 8 == 0)
            processor->setCurrentProgramStateInformation (program.getData(), (int) program.getSize());
        if (rounds % 50 == 0)
            processor->setStateInformation (bank.getData(), (int) bank.getSize());
        if (rounds % 40 == 0)
            engine.startBankReceive (0, 5);
        if (rounds % 40 == 20)
            engine.stopBankReceive();

        events.take();
        ASSERT_TRUE (ui::drain());
    }

    midiInput.join();
    automation.join();
    audio.join();
    ASSERT_TRUE (ui::drain());
    events.take();

    EXPECT_EQ (badChunks, 0);
    EXPECT_EQ (unexpectedHostMidi, 0);
    EXPECT_GT (events.notifications, 0);

    for (auto* param : processor->getParameters())
    {
        const float v = param->getValue();
        EXPECT_TRUE (v >= 0.0f && v <= 1.0f) << param->getName (16);
    }

    juce::MemoryBlock bank;
    processor->getStateInformation (bank);
    EXPECT_EQ (bank.getSize(), (size_t) VantorAudioProcessor::bankChunkSize);
}

namespace
{
// An editor as the engine sees it: registered in all three lists. Each call
// works on the object for a moment, checking before and after that its owner
// has not yet been told the removal is done.
struct Probe : public MidiCntrStateListener, public stateListener, public CableListener
{
    explicit Probe (std::atomic<int>& lateCalls) : late (lateCalls) {}

    void midiCntrStateChanged (MidiCntrState*) override                      { work(); }
    void stateChanged() override                                             { work(); }
    void handleStateEvent (int) override                                     {}
    void parameterChanged (ParameterId, int, bool, bool, bool) override      { work(); }

    void work()
    {
        late += removed ? 1 : 0;
        for (int i = 0; i < 200; ++i)
            calls.fetch_add (1, std::memory_order_relaxed);
        late += removed ? 1 : 0;
    }

    std::atomic<int>& late;
    std::atomic<bool> removed { false };
    std::atomic<int> calls { 0 };
};
}

TEST (EngineThreads, RemovedListenersAreNeverCalledAgain)
{
    constexpr int cycles = 1000;

    SimulatedSynth synth;
    auto engine = std::make_unique<MidiCntrState> (synth);
    engine->selectInputPort (1);
    engine->selectOutputPort (1);
    engine->setControlsProgramChange (true);   // device program changes reach the cable listeners

    std::atomic<bool> streaming { true };
    std::thread device ([&]
    {
        for (int i = 0; streaming; ++i)
        {
            synth.turnKnob (1, 19, i % 100);
            synth.send (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 90));
            synth.send (juce::MidiMessage::programChange (1, i % 99));
            engine->postCommand (EngineEvent::make (EngineEvent::keyboardCommand, i & 0xFF));
            if (! engine->isBankReceiveRunning())
                engine->startBankReceive (MidiCntrState::allUserBanks, 0);
            EXPECT_TRUE (synth.waitUntilIdle());
        }
    });

    std::atomic<int> late { 0 };
    int called = 0;
    for (int c = 0; c < cycles; ++c)
    {
        auto probe = std::make_unique<Probe> (late);
        engine->addListener (probe.get());
        engine->addStateListener (probe.get());
        engine->addCableListener (probe.get());

        // Remove it mid-call: as soon as a call has begun its work (a bound, not a timing).
        for (int spin = 0; spin < 100000 && probe->calls == 0; ++spin)
            juce::Thread::yield();

        engine->removeCableListener (probe.get());
        engine->removeStateListener (probe.get());
        engine->removeListener (probe.get());
        probe->removed = true;
        called += probe->calls > 0 ? 1 : 0;
        juce::Thread::yield();
        probe.reset();
        engine->takeEvents();
    }

    streaming = false;
    device.join();
    engine.reset();

    EXPECT_EQ (late, 0);
    EXPECT_GT (called, 0);
}

namespace
{
// A listener in all three lists whose next call waits at a gate until the test
// opens it, so the test decides where a call stands when the removal comes.
struct GatedListener : public MidiCntrStateListener, public stateListener, public CableListener
{
    void midiCntrStateChanged (MidiCntrState*) override                      { called(); }
    void stateChanged() override                                             { called(); }
    void handleStateEvent (int) override                                     {}
    void parameterChanged (ParameterId, int, bool, bool, bool) override      { called(); }

    void called()
    {
        ++calls;
        if (! holdNextCall.exchange (false))
            return;

        entered.signal();
        EXPECT_TRUE (gate.wait (20000));
        finished = true;              // plain: ThreadSanitizer sees a removal that does not wait for this
        removeReturnedInCall = removeReturned.load();
    }

    std::atomic<int> calls { 0 };
    std::atomic<bool> holdNextCall { false }, removeReturned { false }, removeReturnedInCall { false };
    juce::WaitableEvent entered, gate;
    bool finished = false;
};

struct ListenerKind
{
    const char* name;
    void (*add) (MidiCntrState&, GatedListener&);
    void (*remove) (MidiCntrState&, GatedListener&);
    void (*call) (MidiCntrState&);   // one call to each listener of the kind
};

const ListenerKind listenerKinds[] =
{
    { "engine events",
      [] (MidiCntrState& e, GatedListener& l) { e.addListener (&l); },
      [] (MidiCntrState& e, GatedListener& l) { e.removeListener (&l); },
      [] (MidiCntrState& e) { e.postEvent (EngineEvent::make (EngineEvent::latchChanged)); } },
    { "commands",
      [] (MidiCntrState& e, GatedListener& l) { e.addStateListener (&l); },
      [] (MidiCntrState& e, GatedListener& l) { e.removeStateListener (&l); },
      [] (MidiCntrState& e) { e.postCommand (EngineEvent::make (EngineEvent::keyboardCommand, 1)); } },
    { "edits",
      [] (MidiCntrState& e, GatedListener& l) { e.addCableListener (&l); },
      [] (MidiCntrState& e, GatedListener& l) { e.removeCableListener (&l); },
      [] (MidiCntrState& e) { e.sendSliderController (1, ParameterIds::slider1, 5, false, true); } },
};
}

// A call on its way on another thread when the listener is removed: not begun
// yet, it never begins; begun, the removal returns only after it ended. The
// gates force both orders every run.
TEST (EngineThreads, ARemovedListenerIsNeverCalledAfterItsRemovalReturned)
{
    RecordingMidiDevices devices;
    MidiCntrState engine (devices);

    for (const auto& kind : listenerKinds)
    {
        SCOPED_TRACE (kind.name);

        // On its way: the snapshot of the list holds the target, and the call
        // waits behind a listener registered later (called first).
        {
            GatedListener target, blocker;
            kind.add (engine, target);
            kind.add (engine, blocker);
            blocker.holdNextCall = true;

            std::thread caller ([&] { kind.call (engine); });
            ASSERT_TRUE (blocker.entered.wait (20000));
            kind.remove (engine, target);
            blocker.gate.signal();
            caller.join();
            kind.remove (engine, blocker);

            EXPECT_EQ (target.calls, 0);
            EXPECT_EQ (blocker.calls, 1);
        }

        // In progress: the call is inside the listener when another thread removes it.
        {
            GatedListener target;
            kind.add (engine, target);
            target.holdNextCall = true;

            std::thread caller ([&] { kind.call (engine); });
            ASSERT_TRUE (target.entered.wait (20000));

            bool finishedWhenRemoved = false;
            std::thread remover ([&]
            {
                kind.remove (engine, target);
                target.removeReturned = true;
                finishedWhenRemoved = target.finished;
            });

            // Once a call from here no longer reaches the target, the remover has
            // taken it out of the list: it is waiting now, or (wrongly) done.
            const auto limit = juce::Time::getMillisecondCounter() + 20000;
            for (;;)
            {
                const int before = target.calls;
                kind.call (engine);
                if (target.calls == before || juce::Time::getMillisecondCounter() > limit)
                    break;
            }

            target.gate.signal();
            caller.join();
            remover.join();

            EXPECT_TRUE (finishedWhenRemoved);
            EXPECT_FALSE (target.removeReturnedInCall);
        }
    }
}
