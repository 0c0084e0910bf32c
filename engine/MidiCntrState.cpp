#include "engine/MidiCntrState.h"
#include "engine/MidiCntrStateHelpers.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include <algorithm>
#include <cstring>
#include <limits>

MidiCntrState::MidiCntrState (MidiDeviceSystem& devices)
    : deviceSystem (devices),
      startTime (juce::Time::getMillisecondCounter())
{
    sysexBuffer.reserve (4096);
    hostMidi.ensureSize (4096);
    initialise();
    applyStartupPreset();

    programTransmitter = std::make_unique<ProgramTransmitter> (
        [this] (const ByteArray& dump) { midiPorts->sendSysEx (dump); },
        [this] (int sent, int total) { postEvent (EngineEvent::transmitted (sent, total)); },
        [this] (bool cancelled) { postEvent (EngineEvent::make (EngineEvent::transmitFinished, cancelled ? 1 : 0)); });
}

MidiCntrState::~MidiCntrState()
{
    // An unload mid-transfer stops the transfer before anything it uses goes away.
    programTransmitter.reset();

    // Close the devices first: no MIDI input callback may run into a half-destroyed engine.
    midiPorts.reset();
    removeAllChangeListeners();

    storeAtClose();
}

void MidiCntrState::initialise()
{
    globals.assign (100, 0);
    settingsBlock.assign ((size_t) SettingsFiles::settingsBlockSize, 0);

    removeLeftoverTemporaries();
    loadSettings (0);
    midiChannel = settingsBlock[SettingsFiles::midiChannelOffset];

    // A first start stores the block once, as it will be kept, rather than the
    // defaults now and the repaired channel again at close.
    // No wait here: a start must not hang on another process's lock, and the
    // close stores the block all the same.
    if (! settingsFile (SettingsFiles::settingsFileName).existsAsFile())
        storeSettings (SettingsFiles::FolderLock::noWait);

    for (auto* name : { "User Bank 1", "User Bank 2", "User Bank 3", "User Bank 4",
                        "Factory Bank 1", "Factory Bank 2", "Factory Bank 3", "Factory Bank 4" })
        banks.push_back (std::make_unique<Bank_Program> (name));

    loadBankLibrary();
    takeUnstoredChanges();
    midiChannel = settingsBlock[SettingsFiles::midiChannelOffset];

    programBank = std::make_unique<Bank_Program> ("Program Bank");
    programBank->loadFactoryBank (0);
    // Start from a real program: a host saving a fresh instance stores the edit buffer into slot 0.
    programBank->setEditBuffer (programBank->programBytes (0));

    midiPorts = std::make_unique<MIDI_PORTS_Control> (deviceSystem);
    loadPorts (0);
    openStoredPorts();

    programChangeWithAutomation = settingsBlock[SettingsFiles::automationPcOffset] == 1;
}

//==============================================================================
// Calls run outside the engine lock on a snapshot of the list; each call is
// entered as in progress while the listener is still registered, so a removal
// either comes first (the call never starts) or waits for the call to end.
template <typename ListenerType, typename Call>
void MidiCntrState::callListeners (const juce::Array<ListenerType*>& list, Call&& call)
{
    juce::Array<ListenerType*> snapshot;
    {
        const juce::ScopedLock sl (lock);
        snapshot = list;
    }

    const auto thread = juce::Thread::getCurrentThreadId();

    for (int i = snapshot.size(); --i >= 0;)
    {
        auto* listener = snapshot.getUnchecked (i);
        {
            const juce::ScopedLock sl (lock);
            if (! list.contains (listener))
                continue;

            const std::lock_guard<std::mutex> guard (callsMutex);
            callsInProgress.push_back ({ listener, thread });
        }

        call (listener);

        {
            const std::lock_guard<std::mutex> guard (callsMutex);
            for (auto it = callsInProgress.begin(); it != callsInProgress.end(); ++it)
                if (it->listener == listener && it->thread == thread)
                {
                    callsInProgress.erase (it);
                    break;
                }
        }
        callEnded.notify_all();
    }
}

// A listener removing itself from its own callback must not wait for that call.
void MidiCntrState::waitForCallsTo (const void* listener)
{
    const auto thread = juce::Thread::getCurrentThreadId();
    std::unique_lock<std::mutex> guard (callsMutex);
    callEnded.wait (guard, [&]
    {
        return std::none_of (callsInProgress.begin(), callsInProgress.end(),
                             [&] (const CallInProgress& c) { return c.listener == listener && c.thread != thread; });
    });
}

void MidiCntrState::addCableListener (CableListener* l)            { const juce::ScopedLock sl (lock); cableListeners.addIfNotAlreadyThere (l); }
void MidiCntrState::addListener (MidiCntrStateListener* l)         { const juce::ScopedLock sl (lock); engineListeners.addIfNotAlreadyThere (l); }
void MidiCntrState::addStateListener (stateListener* l)            { const juce::ScopedLock sl (lock); stateListeners.addIfNotAlreadyThere (l); }

void MidiCntrState::removeCableListener (CableListener* l)
{
    { const juce::ScopedLock sl (lock); cableListeners.removeAllInstancesOf (l); }
    waitForCallsTo (l);
}

void MidiCntrState::removeListener (MidiCntrStateListener* l)
{
    { const juce::ScopedLock sl (lock); engineListeners.removeAllInstancesOf (l); }
    waitForCallsTo (l);
}

void MidiCntrState::removeStateListener (stateListener* l)
{
    { const juce::ScopedLock sl (lock); stateListeners.removeAllInstancesOf (l); }
    waitForCallsTo (l);
}

// Events gather while no editor drains them (a long automated session with the
// editor closed): past the cap the oldest half goes.
void MidiCntrState::queueEvent (int event)
{
    const juce::ScopedLock sl (lock);
    if (events.size() >= (size_t) maxQueuedEvents)
        events.erase (events.begin(), events.begin() + maxQueuedEvents / 2);
    events.push_back (event);
}

void MidiCntrState::postEvent (int event)
{
    queueEvent (event);
    callListeners (engineListeners, [this] (MidiCntrStateListener* l) { l->midiCntrStateChanged (this); });
}

void MidiCntrState::postCommand (int event)
{
    queueEvent (event);
    callListeners (stateListeners, [] (stateListener* l) { l->stateChanged(); });
}

std::vector<int> MidiCntrState::takeEvents()
{
    std::vector<int> taken;
    const juce::ScopedLock sl (lock);
    taken.swap (events);
    return taken;
}

std::vector<int> MidiCntrState::takeIncomingParameters()
{
    juce::uint32 generation;
    return takeIncomingParameters (generation);
}

std::vector<int> MidiCntrState::takeIncomingParameters (juce::uint32& generation)
{
    std::vector<int> taken;
    const juce::ScopedLock sl (lock);
    taken.swap (incomingParameters);
    generation = editBufferGeneration;
    return taken;
}

bool MidiCntrState::storeIncomingValue (juce::uint32 generation, ParameterId id, int value)
{
    const juce::ScopedLock sl (lock);
    if (generation != editBufferGeneration)
        return false;

    setValue (id, value);
    return true;
}

// A device value queued for the old program must never land in the new one,
// and the synthesizer now holds values the running status knows nothing of.
void MidiCntrState::replaceEditBuffer (const ByteArray& record)
{
    {
        const juce::ScopedLock sl (lock);
        const juce::ScopedLock pl (programLock);
        ++editBufferGeneration;
        programBank->setEditBuffer (record);
    }
    editBufferReplaced();
}

namespace
{
thread_local int hostMadeChanges = 0;
thread_local int ownChanges = 0;
}

MidiCntrState::HostMadeChange::HostMadeChange() noexcept   { ++hostMadeChanges; }
MidiCntrState::HostMadeChange::~HostMadeChange()           { --hostMadeChanges; }
MidiCntrState::OwnChange::OwnChange() noexcept             { ++ownChanges; }
MidiCntrState::OwnChange::~OwnChange()                     { --ownChanges; }
bool MidiCntrState::isHostMadeChange() noexcept            { return hostMadeChanges > 0 && ownChanges == 0; }

void MidiCntrState::requestHostRefresh()
{
    hostRefresh = true;
    sendChangeMessage();
}

void MidiCntrState::editBufferReplaced()
{
    {
        const juce::ScopedLock sl (lock);
        ++editBufferGeneration;
        incomingParameters.clear();
    }

    loadedSelection = -1;
    forgetSentNrpn();
    if (! isHostMadeChange())
        hostRefresh = true;
    postEvent (EngineEvent::make (EngineEvent::editBufferChanged));
    sendChangeMessage();
}

//==============================================================================
void MidiCntrState::setValue (ParameterId id, int value)
{
    if (id < 0)
        return;

    if (id < ParameterIds::programSelect)
    {
        const juce::ScopedLock sl (programLock);
        programBank->setEditBufferByte (id, (juce::uint8) value);
        return;
    }

    switch (id)
    {
        case ParameterIds::programSelect:
            if (value < 0)
                currentBank = currentProgram = -1;
            else
                splitProgramIndex (value);
            break;
        case ParameterIds::slider1:      slider1 = value; break;
        case ParameterIds::slider2:      slider2 = value; break;
        case ParameterIds::sliderPress:  sliderPress = value; break;
        case ParameterIds::sliderLatch1: latch1 = value; break;
        case ParameterIds::sliderLatch2: latch2 = value; break;
        default: break;
    }
}

int MidiCntrState::getValue (ParameterId id) const
{
    if (id >= 0 && id < ParameterIds::programSelect)
    {
        const juce::ScopedLock sl (programLock);
        return programBank->editBufferByte (id);
    }

    switch (id)
    {
        case ParameterIds::programSelect: return currentBank.load() * programsPerBank + currentProgram.load();
        case ParameterIds::slider1:       return slider1;
        case ParameterIds::slider2:       return slider2;
        case ParameterIds::sliderPress:   return sliderPress;
        case ParameterIds::sliderLatch1:  return latch1;
        case ParameterIds::sliderLatch2:  return latch2;
        default:                          return 0;
    }
}

void MidiCntrState::splitProgramIndex (int flat)
{
    if (flat < 0 || flat >= numBanks * programsPerBank)
        return;

    currentBank = flat / programsPerBank;
    currentProgram = flat % programsPerBank;
}

void MidiCntrState::setParameterFromHost (ParameterId id, int value)
{
    if (id >= 0 && id < ParameterIds::programSelect)
    {
        setValue (id, value);
        sendParameter (id, value);
        postEvent (EngineEvent::parameter (id, value));
        return;
    }

    switch (id)
    {
        case ParameterIds::programSelect:
            setValue (id, value);
            if (programChangeWithAutomation)
                selectProgram (currentBank * programsPerBank + currentProgram, true, false);
            break;

        case ParameterIds::slider1:
        case ParameterIds::slider2:
        case ParameterIds::sliderPress:
            setValue (id, value);
            setSlider (id, value);
            break;

        case ParameterIds::sliderLatch1:
            latch1 = value;
            postEvent (EngineEvent::latch (0));
            break;

        case ParameterIds::sliderLatch2:
            latch2 = value;
            postEvent (EngineEvent::latch (1));
            break;

        default:
            break;
    }
}

void MidiCntrState::setSlider (ParameterId id, int value)
{
    switch (id)
    {
        case ParameterIds::slider1:     sentSlider1 = value; break;
        case ParameterIds::slider2:     sentSlider2 = value; break;
        case ParameterIds::sliderPress: sentSliderPress = value; break;
        default: return;
    }

    postEvent (EngineEvent::make (EngineEvent::sliderSent));
    sendSliderController (midiChannel, id, value, true, false);
}

int MidiCntrState::sentSliderValue (ParameterId id) const
{
    switch (id)
    {
        case ParameterIds::slider1:     return sentSlider1;
        case ParameterIds::slider2:     return sentSlider2;
        case ParameterIds::sliderPress: return sentSliderPress;
        default:                        return 0;
    }
}

void MidiCntrState::sendSliderController (int channel, ParameterId id, int value, bool send, bool tellListeners)
{
    const int controller = id == ParameterIds::slider1 ? 14
                         : id == ParameterIds::slider2 ? 15
                         : id == ParameterIds::sliderPress ? 17 : -1;
    if (controller < 0)
        return;

    if (tellListeners)
        callListeners (cableListeners, [=] (CableListener* l) { l->parameterChanged (id, value, false, true, true); });

    if (send)
        midiPorts->sendController (channel, controller, value);
}

void MidiCntrState::selectProgram (int flat, bool sendToDevice, bool notifyHost)
{
    if (flat < 0)
        currentBank = currentProgram = -1;
    else
        splitProgramIndex (flat);

    const int bank = currentBank, program = currentProgram;

    if (ProgramRecord::isSlot (bank, program))
    {
        ByteArray record;
        {
            const juce::ScopedLock sl (programLock);
            record = banks[(size_t) bank]->programBytes (program);
        }
        replaceEditBuffer (record);
        loadedSelection = bank * programsPerBank + program;
    }
    else
    {
        postEvent (EngineEvent::make (EngineEvent::editBufferChanged));
    }

    // The host hears of the choice; the synthesizer gets it below, once, and
    // never when the choice was its own.
    if (notifyHost && programChangeWithAutomation)
        callListeners (cableListeners, [=] (CableListener* l)
        {
            l->parameterChanged (ParameterIds::programSelect, bank * programsPerBank + program, true, false, true);
        });

    if (sendToDevice && ProgramRecord::isSlot (bank, program))
    {
        deviceBankSelect = bank;
        sentSelectionAt = clock.load()();
        sentSelection = bank * programsPerBank + program;
        midiPorts->sendController (midiChannel, 32, bank);
        midiPorts->sendProgramChange (midiChannel, program);
    }
}

void MidiCntrState::loadCurrentPreset()
{
    int index = currentPreset;
    if (index < 0)
        currentPreset = index = 0;

    ByteArray record;
    {
        const juce::ScopedLock sl (programLock);
        record = programBank->programBytes (index);
    }
    replaceEditBuffer (record);
}

juce::String MidiCntrState::formatProgramSlot (int flat) const
{
    const int bank = flat / programsPerBank, program = flat - bank * programsPerBank;
    if (flat < 0 || ! ProgramRecord::isSlot (bank, program))
        return {};

    juce::String name;
    {
        const juce::ScopedLock sl (programLock);
        name = banks[(size_t) bank]->programName (program);
    }

    return ProgramRecord::bankLabel (bank, " ") + ": P " + juce::String (program + 1) + " " + name;
}

void MidiCntrState::putProgram (bool toBank, int bank, int program, const ByteArray& record)
{
    if (toBank)
    {
        if (! ProgramRecord::isSlot (bank, program))
            return;

        {
            const juce::ScopedLock sl (programLock);
            banks[(size_t) bank]->storeProgram (program, record);
        }
        postEvent (EngineEvent::make (EngineEvent::programStored));
        postEvent (EngineEvent::make (EngineEvent::editBufferChanged));
        return;
    }

    replaceEditBuffer (record);
}

void MidiCntrState::setControlsProgramChange (bool on)
{
    programChangeWithAutomation = on;
    const juce::ScopedLock sl (programLock);
    settingsBlock[SettingsFiles::automationPcOffset] = on ? 1 : 0;
}

void MidiCntrState::setMidiChannel (int channel)
{
    if (channel < 1 || channel > 16)
        return;

    const bool changed = midiChannel.exchange (channel) != channel;
    {
        const juce::ScopedLock sl (programLock);
        settingsBlock[SettingsFiles::midiChannelOffset] = (juce::uint8) channel;
    }

    if (changed)
    {
        forgetSentNrpn();
        postEvent (EngineEvent::make (EngineEvent::midiChannelChanged, channel));
    }
}

Bank_Program& MidiCntrState::deviceBank (int index)
{
    return *banks[(size_t) juce::jlimit (0, numBanks - 1, index)];
}

ByteArray MidiCntrState::editBuffer() const
{
    const juce::ScopedLock sl (programLock);
    return programBank->editBufferBytes();
}

ByteArray MidiCntrState::getGlobals() const
{
    const juce::ScopedLock sl (programLock);
    return globals;
}

int MidiCntrState::globalByte (int index) const
{
    const juce::ScopedLock sl (programLock);
    return juce::isPositiveAndBelow (index, (int) globals.size()) ? globals[(size_t) index] : 0;
}

void MidiCntrState::setGlobalByte (int index, int value)
{
    const juce::ScopedLock sl (programLock);
    if (juce::isPositiveAndBelow (index, (int) globals.size()))
        globals[(size_t) index] = (juce::uint8) juce::jlimit (0, 255, value);
}

void MidiCntrState::setGlobalSetting (int id, int value)
{
    setGlobalByte (id, value);
    sendNrpn (globalNrpnBase + id, value);

    // Told on the channel it listened on, the synthesizer now listens on the new one.
    if (id == globalMidiChannel && value >= 1 && value <= 16)
        setMidiChannel (value);
}

//==============================================================================
void MidiCntrState::sendNoteOn (int channel, int note, int velocity)
{
    if (juce::isPositiveAndBelow (note, 128))
        midiPorts->sendNoteOn (channel, note, velocity);
}

void MidiCntrState::sendNoteOff (int channel, int note)
{
    midiPorts->sendNoteOff (channel, note);
}

void MidiCntrState::sendPitchWheel (int channel, int value)
{
    midiPorts->sendPitchWheel (channel, value);
}

void MidiCntrState::sendModWheel (int channel, int value)
{
    sendModWheelToHost (channel, value);
    midiPorts->sendController (channel, 1, value);
}

void MidiCntrState::sendNrpn (int number, int value)
{
    const int channel = midiChannel;
    juce::MidiBuffer block;
    block.addEvent (juce::MidiMessage::controllerEvent (channel, 99, (number >> 7) & 127), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (channel, 98, number & 127), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (channel, 6, (value >> 7) & 127), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (channel, 38, value & 127), 0);

    // The synthesizer now applies data entry to this number: the next parameter
    // edit must name its own.
    const juce::ScopedLock sl (sendLock);
    lastSentId = -1;
    midiPorts->sendBlockNow (block);
}

void MidiCntrState::forgetSentNrpn()
{
    const juce::ScopedLock sl (sendLock);
    lastSentId = -1;
}

// Program parameters go out as NRPN with running status: a moving control
// costs one or two controllers per step instead of four.
void MidiCntrState::sendParameter (ParameterId id, int value)
{
    if (id < 0 || ! midiPorts->isOutputOpen())
        return;

    const auto number = nrpn.nrpnForId (id);
    if (number == NrpnMap::none)
        return;

    value = juce::jlimit (0, 16383, value);
    const int nMsb = number >> 7, nLsb = number & 127, vMsb = value / 128, vLsb = value % 128;
    const int channel = midiChannel;
    juce::MidiBuffer block;

    {
        const juce::ScopedLock sl (sendLock);

        if (id != lastSentId)
        {
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 99, nMsb), 0);
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 98, nLsb), 0);
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 6, vMsb), 0);
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 38, vLsb), 0);
            lastSentId = id;
            lastSentMsb = vMsb;
        }
        else if (vMsb == lastSentMsb)
        {
            if (vLsb == lastSentLsb)
                return;
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 38, vLsb), 0);
        }
        else
        {
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 6, vMsb), 0);
            block.addEvent (juce::MidiMessage::controllerEvent (channel, 38, vLsb), 0);
            lastSentMsb = vMsb;
        }

        lastSentLsb = vLsb;
        midiPorts->sendBlockNow (block);
    }
}


void MidiCntrState::sendModWheelToHost (int channel, int value)
{
    const juce::ScopedLock sl (lock);
    const int t = now();
    addHostEvent (juce::MidiMessage::controllerEvent (juce::jlimit (1, 16, channel), 1, juce::jlimit (0, 127, value)), t);
}

//==============================================================================
int MidiCntrState::now() const noexcept
{
    return (int) (juce::Time::getMillisecondCounter() - startTime);
}

void MidiCntrState::addHostEvent (const juce::MidiMessage& message, int time)
{
    const juce::ScopedLock sl (lock);
    hostMidi.addEvent (message, time);
    dropOldHostEvents (time);
}

// A host that stops calling processBlock must not make the buffer grow without bound.
void MidiCntrState::dropOldHostEvents (int time)
{
    if (hostMidi.isEmpty())
        return;

    const int first = hostMidi.getFirstEventTime();
    const int cutoff = time - 500;
    if (first < cutoff)
        hostMidi.clear (first, cutoff - first);
}

bool MidiCntrState::moveHostMidiInto (juce::MidiBuffer& dest, int numSamples)
{
    const juce::ScopedTryLock sl (lock);
    if (! sl.isLocked())
        return false;

    if (hostMidi.isEmpty() || numSamples <= 0)
        return true;

    const int first = hostMidi.getFirstEventTime();
    const int last = hostMidi.getLastEventTime();
    const double scale = (double) numSamples / (double) (last + 1 - first);

    for (const auto metadata : hostMidi)
    {
        const int pos = juce::jlimit (0, numSamples - 1, juce::roundToInt ((metadata.samplePosition - first) * scale));
        dest.addEvent (metadata.data, metadata.numBytes, pos);
    }

    hostMidi.clear();
    return true;
}

void MidiCntrState::clearHostMidi()
{
    const juce::ScopedLock sl (lock);
    hostMidi.clear();
}

int MidiCntrState::numQueuedHostEvents() const
{
    const juce::ScopedLock sl (lock);
    return hostMidi.getNumEvents();
}

void MidiCntrState::setPlaybackFormat (double rate, int samplesPerBlock)
{
    // A host may announce no rate, a negative one or NaN: no whole rate, not a conversion out of range.
    const int whole = rate >= 1.0 && rate < (double) std::numeric_limits<int>::max() ? (int) rate : 0;
    sampleRate = (double) whole;
    blockSize = juce::jmax (0, samplesPerBlock);

    switch (whole)
    {
        case 48000:  rateCode = 1; break;
        case 88200:  rateCode = 2; break;
        case 96000:  rateCode = 3; break;
        case 176400: rateCode = 4; break;
        case 192000: rateCode = 5; break;
        default:     rateCode = 0; break;
    }

    clearHostMidi();
}
