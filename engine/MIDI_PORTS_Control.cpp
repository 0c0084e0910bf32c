#include "MIDI_PORTS_Control.h"

namespace
{
bool isChannel (int channel) noexcept       { return channel >= 1 && channel <= 16; }
bool isDataByte (int value) noexcept        { return value >= 0 && value <= 127; }
}

MIDI_PORTS_Control::MIDI_PORTS_Control (MidiDeviceSystem& deviceSystem)
    : devices (deviceSystem)
{
}

MIDI_PORTS_Control::~MIDI_PORTS_Control()
{
    closeInput();
    closeOutput();
}

//==============================================================================
void MIDI_PORTS_Control::closeInput()
{
    if (input != nullptr)
        input->stop();

    input.reset();
    inputIndex = -1;
    inputOpen = false;
}

void MIDI_PORTS_Control::closeOutput()
{
    const juce::ScopedLock sl (outputLock);

    if (output != nullptr)
        output->stopBackgroundThread();

    output.reset();
    outputIndex = -1;
    outputOpen = false;
}

void MIDI_PORTS_Control::openInput (int n, juce::MidiInputCallback* callback)
{
    closeInput();

    // An input without a callback would hand its messages to nobody.
    if (callback == nullptr || n < 1 || n > devices.getInputDevices().size())
        return;

    inputIndex = n - 1;
    input = devices.openInput (inputIndex, callback);

    if (input != nullptr)
    {
        input->start();
        inputOpen = true;
    }
}

void MIDI_PORTS_Control::openOutput (int n)
{
    closeOutput();

    if (n < 1 || n > devices.getOutputDevices().size())
        return;

    const juce::ScopedLock sl (outputLock);
    outputIndex = n - 1;
    output = devices.openOutput (outputIndex);

    if (output != nullptr)
    {
        output->startBackgroundThread();
        outputOpen = true;
    }
}

//==============================================================================
juce::StringArray MIDI_PORTS_Control::inputDeviceNames()
{
    juce::StringArray names;

    for (const auto& d : devices.getInputDevices())
        names.add (d.name);

    return names;
}

juce::StringArray MIDI_PORTS_Control::outputDeviceNames()
{
    juce::StringArray names;

    for (const auto& d : devices.getOutputDevices())
        names.add (d.name);

    return names;
}

int MIDI_PORTS_Control::indexForStoredName (const juce::StringArray& deviceNames, const juce::String& stored)
{
    return namesADevice (stored) ? deviceNames.indexOf (stored, false) + 1 : 0;
}

bool MIDI_PORTS_Control::namesADevice (const juce::String& stored)
{
    return stored.length() > 2 && stored != "NONE";
}

//==============================================================================
void MIDI_PORTS_Control::sendBlockNow (const juce::MidiBuffer& buffer)
{
    const juce::ScopedLock sl (outputLock);

    if (outputOpen && output != nullptr)
        output->sendBlockOfMessages (buffer, juce::Time::getMillisecondCounterHiRes(), 1000.0);
}

void MIDI_PORTS_Control::sendOneNow (const juce::MidiMessage& message)
{
    juce::MidiBuffer buffer;
    buffer.addEvent (message, 0);
    sendBlockNow (buffer);
}

void MIDI_PORTS_Control::sendController (int channel, int controller, int value)
{
    if (isChannel (channel) && isDataByte (controller) && isDataByte (value))
        sendOneNow (juce::MidiMessage::controllerEvent (channel, controller, value));
}

void MIDI_PORTS_Control::sendNoteOn (int channel, int note, int velocity)
{
    if (isChannel (channel) && isDataByte (note) && isDataByte (velocity))
        sendOneNow (juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity));
}

void MIDI_PORTS_Control::sendNoteOff (int channel, int note)
{
    if (isChannel (channel) && isDataByte (note))
        sendOneNow (juce::MidiMessage::noteOff (channel, note));
}

void MIDI_PORTS_Control::sendPitchWheel (int channel, int value)
{
    if (isChannel (channel) && value >= 0 && value <= 0x3fff)
        sendOneNow (juce::MidiMessage::pitchWheel (channel, value));
}

void MIDI_PORTS_Control::sendProgramChange (int channel, int program)
{
    if (isChannel (channel) && isDataByte (program))
        sendOneNow (juce::MidiMessage::programChange (channel, program));
}

// Every SysEx joins the output's queue whole, behind what waits there already:
// clearing the queue for a long dump would drop a note-off or a knob's NRPN
// sent a moment before, and a send beside the output's own thread could
// interleave with it. The queue hands the message to the device in one call,
// so the ALSA backend splits a long message itself, each piece in order.
void MIDI_PORTS_Control::sendSysEx (const ByteArray& message)
{
    if (message.size() < 2 || message.front() != 0xf0 || message.back() != 0xf7)
        return;

    sendOneNow (juce::MidiMessage (message.data(), (int) message.size(), 0.0));
}
