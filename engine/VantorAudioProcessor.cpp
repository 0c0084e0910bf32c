#include "engine/VantorAudioProcessor.h"
#include "engine/DSI_Program.h"
#include "engine/HostParameter.h"
#include "engine/ParDes.h"
#include "editor/VantorAudioProcessorEditor.h"
#include <cmath>
#include <cstring>

namespace
{
const char bankHeader[] = "Prophet12VantorBank" "Version100";
const char programHeader[] = "Prophet12VantorSettings" "Version100";
constexpr size_t bankHeaderSize = sizeof (bankHeader) - 1;        // 29
constexpr size_t programHeaderSize = sizeof (programHeader) - 1;  // 33

// Only the characters the synthesizer's display shows; any other becomes a space.
juce::String shownCharacters (const juce::String& name)
{
    juce::String shown;
    for (auto c : name)
        shown += (c >= ' ' && c <= '~') ? c : (juce::juce_wchar) ' ';
    return shown;
}

// The wrapper hands a host's name over one byte a character: read it as UTF-8
// when it is, so that one typed character stays one.
juce::String nameFromHost (const juce::String& hostName)
{
    std::string raw;
    bool bytesOnly = true;
    for (auto c : hostName)
    {
        bytesOnly = bytesOnly && c > 0 && c < 256;
        raw += (char) c;
    }

    const auto name = bytesOnly && juce::CharPointer_UTF8::isValidString (raw.c_str(), (int) raw.size())
                          ? juce::String::fromUTF8 (raw.c_str(), (int) raw.size())
                          : hostName;
    return shownCharacters (name);
}
}

VantorAudioProcessor::VantorAudioProcessor (MidiDeviceSystem& devices)
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      engine (devices)
{
    for (int i = 0; i < ParameterTable::numHostParameters; ++i)
        addParameter (new HostParameter (*this, i));

    engine.addCableListener (this);
    engine.addChangeListener (this);
    setLatencySamples (0);

    // The start-up program is where the host begins, not a change to tell it of.
    engine.takeHostRefresh();
    hostHoldsCurrentValues();
}

VantorAudioProcessor::~VantorAudioProcessor()
{
    // No device callback may reach a processor that is going away.
    engine.ports().openInput (0, nullptr);
    engine.removeCableListener (this);
    engine.removeChangeListener (this);
    stopTimer();

    // The host is closing us: it hears the ends now, whatever thread this is.
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
        endGesture (h, true);
}

// Exactly stereo in and out: accepting any equal count would make the wrapper offer 64 channels.
// The wrapper asks this over a thousand times as it loads: nothing is built or copied per call.
bool VantorAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    static const auto stereo = juce::AudioChannelSet::stereo();
    const auto mainIsStereo = [] (const juce::Array<juce::AudioChannelSet>& buses)
    {
        return ! buses.isEmpty() && buses.getReference (0) == stereo;
    };

    return mainIsStereo (layouts.inputBuses) && mainIsStereo (layouts.outputBuses);
}

void VantorAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    engine.setPlaybackFormat (sampleRate, samplesPerBlock);
    setLatencySamples (0);
}

void VantorAudioProcessor::releaseResources()
{
    engine.clearHostMidi();
}

void VantorAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    midi.clear();
    engine.moveHostMidiInto (midi, buffer.getNumSamples());

    if (! buffer.hasBeenCleared())
        for (int ch = getTotalNumInputChannels(); ch < juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels()); ++ch)
            buffer.clear (ch, 0, buffer.getNumSamples());
}

juce::AudioProcessorEditor* VantorAudioProcessor::createEditor()
{
    return new VantorAudioProcessorEditor (*this);
}

//==============================================================================
int VantorAudioProcessor::getCurrentProgram()
{
    if (engine.getCurrentPreset() < 0)
        engine.setCurrentPreset (0);
    return engine.getCurrentPreset();
}

void VantorAudioProcessor::setCurrentProgram (int index)
{
    if (! juce::isPositiveAndBelow (index, numPrograms))
        return;

    const MidiCntrState::HostMadeChange byHost;
    engine.setCurrentPreset (index);
    engine.loadCurrentPreset();
    if (MidiCntrState::isHostMadeChange())
        hostHoldsCurrentValues();
}

const juce::String VantorAudioProcessor::getProgramName (int index)
{
    if (! juce::isPositiveAndBelow (index, numPrograms))
        return {};

    // A chunk may bring any bytes as a name: the host sees what the synthesizer would show.
    const juce::ScopedLock sl (engine.getProgramLock());
    return shownCharacters (engine.presetBank().programName (index)).trimEnd();
}

void VantorAudioProcessor::changeProgramName (int index, const juce::String& hostName)
{
    if (! juce::isPositiveAndBelow (index, numPrograms))
        return;

    const auto newName = nameFromHost (hostName);

    const MidiCntrState::HostMadeChange byHost;
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        engine.presetBank().renameProgram (index, newName);
    }

    // Hosts rename the current program: give the edit buffer the name instead of
    // reloading the slot, which would throw its unsaved edits away.
    if (index == engine.getCurrentPreset())
    {
        {
            const juce::ScopedLock sl (engine.getProgramLock());
            DSI_Program program;
            program.setParams (engine.presetBank().editBufferBytes());
            program.setName (newName);
            engine.presetBank().setEditBuffer (program.getParams());
        }
        engine.postEvent (EngineEvent::make (EngineEvent::editBufferChanged));
        return;
    }

    engine.setCurrentPreset (index);
    engine.loadCurrentPreset();
    if (MidiCntrState::isHostMadeChange())
        hostHoldsCurrentValues();
}

//==============================================================================
void VantorAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto& bank = engine.presetBank();
    const juce::ScopedLock sl (engine.getProgramLock());

    destData.append (bankHeader, bankHeaderSize);
    for (int p = 0; p < numPrograms; ++p)
        destData.append (bank.programBlock (p).getData(), (size_t) ProgramRecord::size);

    // The current record is the edit buffer, stored into its slot as a program
    // chunk would: edits made since the program was chosen survive the project.
    // (The slot area above keeps the slot as it was before.)
    int index = engine.getCurrentPreset();
    if (index < 0)
    {
        index = 0;
        engine.setCurrentPreset (0);
    }

    const auto stored = bank.storeEditBuffer (index);
    destData.append (stored.getData(), (size_t) ProgramRecord::size);

    const auto indexByte = (juce::uint8) (index & 0xFF);
    destData.append (&indexByte, 1);
}

void VantorAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < bankChunkMinimum)
        return;

    const MidiCntrState::HostMadeChange byHost;

    const auto* bytes = static_cast<const juce::uint8*> (data);
    const int index = sizeInBytes >= bankChunkSize ? bytes[bankChunkSize - 1] : -1;
    const bool hasCurrent = juce::isPositiveAndBelow (index, numPrograms);

    {
        const juce::ScopedLock sl (engine.getProgramLock());
        engine.presetBank().setRecords (bytes + bankHeaderSize, (size_t) ProgramRecord::bankSize);

        // A whole chunk also brings back the program that was being edited, edits included.
        if (hasCurrent)
            engine.presetBank().setEditBufferAndProgram (index, juce::MemoryBlock (bytes + bankChunkMinimum, (size_t) ProgramRecord::size));
    }

    if (hasCurrent)
    {
        engine.setCurrentPreset (index);
        engine.editBufferReplaced();
        if (MidiCntrState::isHostMadeChange())
            hostHoldsCurrentValues();
    }
}

void VantorAudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    if (engine.getCurrentPreset() < 0)
        engine.setCurrentPreset (0);

    const juce::ScopedLock sl (engine.getProgramLock());
    const auto stored = engine.presetBank().storeEditBuffer (engine.getCurrentPreset());
    destData.append (programHeader, programHeaderSize);
    destData.append (stored.getData(), (size_t) ProgramRecord::size);
}

void VantorAudioProcessor::writeProgramChunk (const ByteArray& record, juce::MemoryBlock& block)
{
    ByteArray padded (record);
    padded.resize ((size_t) ProgramRecord::size, 0);
    block.reset();
    block.append (programHeader, programHeaderSize);
    block.append (padded.data(), padded.size());
}

bool VantorAudioProcessor::isProgramChunk (const void* data, size_t numBytes)
{
    return data != nullptr && numBytes >= (size_t) programChunkSize
            && std::memcmp (data, programHeader, programHeaderSize) == 0;
}

bool VantorAudioProcessor::isBankChunk (const void* data, size_t numBytes)
{
    return data != nullptr && numBytes >= (size_t) bankChunkMinimum
            && std::memcmp (data, bankHeader, bankHeaderSize) == 0;
}

void VantorAudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < programChunkSize)
        return;

    const MidiCntrState::HostMadeChange byHost;

    if (engine.getCurrentPreset() < 0)
        engine.setCurrentPreset (0);

    {
        const juce::ScopedLock sl (engine.getProgramLock());
        engine.presetBank().setEditBufferAndProgram (engine.getCurrentPreset(),
                                                     juce::MemoryBlock (static_cast<const char*> (data) + programHeaderSize,
                                                                        (size_t) ProgramRecord::size));
    }
    engine.loadCurrentPreset();
    if (MidiCntrState::isHostMadeChange())
        hostHoldsCurrentValues();
}

//==============================================================================
juce::AudioProcessorParameter* VantorAudioProcessor::hostParameter (int hostIndex) const
{
    return getParameters()[hostIndex];
}

float VantorAudioProcessor::hostValue (int hostIndex) const
{
    if (! ParameterTable::isHostIndex (hostIndex))
        return 0.0f;

    const auto id = parameterTable().idForHostIndex (hostIndex);
    return normalisedFor (id, engine.getValue (id));
}

// The host's range starts at the parameter's minimum: the bottom of its slider
// is the minimum both ways. Stored bytes can lie outside the range (chunks,
// files): the host only ever sees 0..1.
float VantorAudioProcessor::normalisedFor (ParameterId id, int value) const
{
    const int maximum = parameterTable().maximum (id);
    if (maximum <= 0 || value == juce::jmax (0, parameterTable().minimum (id)))
        return 0.0f;

    return juce::jlimit (0.0f, 1.0f, (float) value / (float) maximum);
}

void VantorAudioProcessor::setHostValue (int hostIndex, float normalised)
{
    if (! ParameterTable::isHostIndex (hostIndex))
        return;

    if (! std::isfinite (normalised))
        return;

    const auto id = parameterTable().idForHostIndex (hostIndex);
    const int n = hostToValue (id, normalised);

    if (n != engine.getValue (id))
    {
        const MidiCntrState::HostMadeChange byHost;
        engine.setParameterFromHost (id, n);
    }
    rememberHostHolds (hostIndex, normalisedFor (id, n));
}

// The bottom of a host slider must not send a value below the parameter's
// minimum (the arpeggiator tempo starts at 30).
int VantorAudioProcessor::hostToValue (ParameterId id, float normalised) const
{
    const int maximum = parameterTable().maximum (id);
    const int n = (int) std::nearbyint ((float) maximum * juce::jlimit (0.0f, 1.0f, normalised));
    return juce::jlimit (juce::jmin (parameterTable().minimum (id), maximum), maximum, n);
}

juce::String VantorAudioProcessor::hostParameterText (int hostIndex, float normalised) const
{
    if (! ParameterTable::isHostIndex (hostIndex) || ! std::isfinite (normalised))
        return {};

    const auto id = parameterTable().idForHostIndex (hostIndex);
    return valueText (id, hostToValue (id, normalised));
}

// Hosts send typed text: the value whose text it is, else the value whose text
// starts with the typed number; anything else keeps the current value.
float VantorAudioProcessor::hostValueForText (int hostIndex, const juce::String& typed) const
{
    if (! ParameterTable::isHostIndex (hostIndex))
        return 0.0f;

    const auto id = parameterTable().idForHostIndex (hostIndex);
    const int minimum = juce::jmax (0, parameterTable().minimum (id)), maximum = parameterTable().maximum (id);
    const auto text = typed.trim();
    if (maximum <= 0 || text.isEmpty())
        return hostValue (hostIndex);

    const auto startsWithNumber = [] (const juce::String& t) { return juce::String ("+-0123456789").containsChar (t[0]); };

    // Read once: a host may type thousands of digits.
    const bool typedNumber = startsWithNumber (text);
    const double number = typedNumber ? text.getDoubleValue() : 0.0;
    int byNumber = -1;
    for (int v = minimum; v <= maximum; ++v)
    {
        const auto candidate = valueText (id, v).trim();
        if (candidate.equalsIgnoreCase (text))
            return normalisedFor (id, v);

        if (byNumber < 0 && typedNumber && startsWithNumber (candidate) && candidate.getDoubleValue() == number)
            byNumber = v;
    }

    return byNumber >= 0 ? normalisedFor (id, byNumber) : hostValue (hostIndex);
}

juce::String VantorAudioProcessor::hostParameterName (int hostIndex) const
{
    if (! ParameterTable::isHostIndex (hostIndex))
        return juce::String (hostIndex);

    const auto id = parameterTable().idForHostIndex (hostIndex);

    if (id < ParameterIds::layerB)
        return "A " + parameterTable().name (id);
    if (id < ParameterIds::programSelect)
        return "B " + parameterTable().name (id - ParameterIds::layerB);
    return parameterTable().name (id);
}

juce::String VantorAudioProcessor::hostParameterText (int hostIndex) const
{
    if (! ParameterTable::isHostIndex (hostIndex))
        return {};

    const auto id = parameterTable().idForHostIndex (hostIndex);

    if (id == ParameterIds::programSelect && engine.getCurrentBank() < 0 && engine.controlsProgramChange())
        return {};

    return valueText (id, engine.getValue (id));
}

juce::String VantorAudioProcessor::valueText (ParameterId id, int value) const
{
    if (id < ParameterIds::programSelect)
        return ParDes::valueText (parameterTable().displayType (id), value);

    switch (id)
    {
        case ParameterIds::programSelect:
            if (! engine.controlsProgramChange())
                return "Disabled";
            if (! juce::isPositiveAndNotGreaterThan (value, parameterTable().maximum (id)))
                return {};
            return engine.formatProgramSlot (value);
        case ParameterIds::slider1:
        case ParameterIds::slider2:
        case ParameterIds::sliderPress:
            return juce::String (value);
        case ParameterIds::sliderLatch1:
        case ParameterIds::sliderLatch2:
            return value != 0 ? "ON" : "OFF";
        default:
            return {};
    }
}

//==============================================================================
void VantorAudioProcessor::parameterChanged (ParameterId id, int value, bool endGestureNow, bool sendToDevice, bool notifyEditor)
{
    if (! ParameterTable::isValidId (id))
        return;

    // Stored before the host is told: telling it runs setParameter, which would
    // otherwise take the value as new and send a slider's controller, or select
    // the program on the synthesizer, itself.
    engine.setValue (id, value);

    reportChange (id, value, endGestureNow, sendToDevice, notifyEditor);
}

// Everything of an edit but storing the value.
void VantorAudioProcessor::reportChange (ParameterId id, int value, bool endGestureNow, bool sendToDevice, bool notifyEditor)
{
    const float normalised = normalisedFor (id, value);

    const int h = parameterTable().hostIndex (id);
    const bool isHost = ParameterTable::isHostIndex (h);

    if (isHost)
    {
        if (mayCallHost())
        {
            bool begin = false;
            {
                const juce::ScopedLock sl (gestureLock);
                if (gestureFlags[(size_t) h] == 0)
                {
                    gestureFlags[(size_t) h] = 1;
                    begin = true;
                }
            }

            if (begin)
                hostParameter (h)->beginChangeGesture();

            hostParameter (h)->setValueNotifyingHost (normalised);
            rememberHostHolds (h, normalised);
        }
        else
        {
            hostParameter (h)->setValue (normalised);
            const juce::ScopedLock sl (gestureLock);
            deferredValues.addIfNotAlreadyThere ((juce::uint16) h);
        }
    }

    if (sendToDevice)
        sendParameterToDevice (id, value);

    if (endGestureNow)
        endGesture (h);
    else if (isHost)
    {
        const juce::ScopedLock sl (gestureLock);
        if (gestureFlags[(size_t) h] != 0)
            pendingGestureEnds.add ((juce::uint16) h);
    }

    // A gesture ends 200 ms after the last edit of any parameter.
    startTimer (gestureDelayMs);

    if (notifyEditor)
        engine.postEvent (EngineEvent::parameter (id, value));
}

void VantorAudioProcessor::sendParameterToDevice (ParameterId id, int value)
{
    if (id >= 0 && id < ParameterIds::programSelect)
    {
        engine.sendParameter (id, value);
        return;
    }

    switch (id)
    {
        case ParameterIds::programSelect:
            engine.setValue (id, value);
            if (engine.controlsProgramChange() && engine.getCurrentBank() >= 0)
                engine.selectProgram (engine.getCurrentBank() * MidiCntrState::programsPerBank + engine.getCurrentProgram(), true, false);
            break;

        case ParameterIds::slider1:
        case ParameterIds::slider2:
        case ParameterIds::sliderPress:
            engine.setSlider (id, value);
            break;

        case ParameterIds::sliderLatch1:
        case ParameterIds::sliderLatch2:
            engine.setValue (id, value);
            engine.postEvent (EngineEvent::latch (id - ParameterIds::sliderLatch1));
            break;

        default:
            break;
    }
}

void VantorAudioProcessor::endGesture (int hostIndex)
{
    endGesture (hostIndex, mayCallHost());
}

void VantorAudioProcessor::endGesture (int hostIndex, bool tellHostNow)
{
    if (hostIndex < 0 || hostIndex >= (int) gestureFlags.size())
        return;

    {
        const juce::ScopedLock sl (gestureLock);
        if (gestureFlags[(size_t) hostIndex] == 0)
            return;

        if (! tellHostNow)
        {
            pendingGestureEnds.addIfNotAlreadyThere ((juce::uint16) hostIndex);
            startTimer (gestureDelayMs);
            return;
        }
        gestureFlags[(size_t) hostIndex] = 0;
    }

    if (hostIndex < getParameters().size())
        hostParameter (hostIndex)->endChangeGesture();
}

bool VantorAudioProcessor::isGestureOpen (int hostIndex) const
{
    const juce::ScopedLock sl (gestureLock);
    return juce::isPositiveAndBelow (hostIndex, (int) gestureFlags.size()) && gestureFlags[(size_t) hostIndex] != 0;
}

bool VantorAudioProcessor::mayCallHost()
{
    return juce::Thread::getCurrentThread() == nullptr;
}

void VantorAudioProcessor::timerCallback()
{
    // The wrapper's own message thread: wait until the host drives the messages.
    if (! mayCallHost())
        return;

    juce::Array<juce::uint16> pending;
    {
        const juce::ScopedLock sl (gestureLock);
        pending.swapWith (pendingGestureEnds);
    }

    for (auto h : pending)
        endGesture (h);

    deliverHostNotifications();
}

void VantorAudioProcessor::deliverHostNotifications()
{
    if (! mayCallHost())
        return;

    juce::Array<juce::uint16> values;
    {
        const juce::ScopedLock sl (gestureLock);
        values.swapWith (deferredValues);
    }

    for (auto h : values)
    {
        bool begin = false;
        {
            const juce::ScopedLock sl (gestureLock);
            begin = gestureFlags[h] == 0;
            gestureFlags[h] = 1;
            pendingGestureEnds.addIfNotAlreadyThere (h);
        }

        if (begin)
            hostParameter (h)->beginChangeGesture();
        const float value = hostValue (h);
        hostParameter (h)->sendValueChangedMessageToListeners (value);
        rememberHostHolds (h, value);
    }

    if (! values.isEmpty())
        startTimer (gestureDelayMs);

    // The wrapper tells the host of a refresh from the message thread, later:
    // only while that thread is the host's is it safe to ask for one.
    if (juce::MessageManager::existsAndIsCurrentThread() && refreshPending.exchange (false))
    {
        tellHostChangedValues();
        updateHostDisplay (ChangeDetails().withProgramChanged (true).withParameterInfoChanged (true));
    }
}

// Some hosts keep their own copy of every value and apply it over the state on
// load; a refresh alone leaves that copy stale. A gesture would make hosts in a
// touch mode record the whole program as automation, so none is opened.
void VantorAudioProcessor::tellHostChangedValues()
{
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
    {
        const float value = hostValue (h);
        if (hostHolds[(size_t) h].load() != value)
        {
            rememberHostHolds (h, value);
            hostParameter (h)->sendValueChangedMessageToListeners (value);
        }
    }
}

void VantorAudioProcessor::rememberHostHolds (int hostIndex, float normalised)
{
    if (ParameterTable::isHostIndex (hostIndex))
        hostHolds[(size_t) hostIndex] = normalised;
}

void VantorAudioProcessor::hostHoldsCurrentValues()
{
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
        rememberHostHolds (h, hostValue (h));
}

void VantorAudioProcessor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source != &engine)
        return;

    // A value from the device applies only to the edit buffer it was turned on.
    juce::uint32 generation = 0;
    for (auto entry : engine.takeIncomingParameters (generation))
    {
        const ParameterId id = entry >> 16;
        const int value = entry & 0xFFFF;
        if (ParameterTable::isValidId (id) && engine.storeIncomingValue (generation, id, value))
            reportChange (id, value, false, false, true);
    }

    // The synthesizer (or the librarian) replaced the program: the host rereads every value.
    if (engine.takeHostRefresh())
        refreshPending = true;

    if (mayCallHost())
        deliverHostNotifications();
    else
        startTimer (gestureDelayMs);
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VantorAudioProcessor (MidiDeviceSystem::pluginDevices());
}
