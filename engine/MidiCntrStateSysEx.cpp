#include "engine/MidiCntrState.h"
#include "engine/MidiCntrStateHelpers.h"
#include "engine/DSI_Program.h"
#include <algorithm>
#include <cstring>

void MidiCntrState::requestGlobals()
{
    globalsReceived = false;
    postEvent (EngineEvent::make (EngineEvent::globalsRequested));
    midiPorts->sendSysEx ({ sysexStart, 0x01, deviceId.load(), 0x0E, sysexEnd });
}

void MidiCntrState::requestDump (int code, int bank, int program)
{
    if (code == 5 && ProgramRecord::isSlot (bank, program))
        midiPorts->sendSysEx ({ sysexStart, 0x01, deviceId.load(), 0x05,
                                (juce::uint8) bank, (juce::uint8) program, sysexEnd });
    else if (code == 6)
        midiPorts->sendSysEx ({ sysexStart, 0x01, deviceId.load(), 0x06, sysexEnd });
}

void MidiCntrState::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const int size = message.getRawDataSize();
    if (data == nullptr || size <= 0)
        return;

    const int status = data[0];
    const int data1 = size > 1 ? data[1] & 127 : 0;
    const int data2 = size > 2 ? data[2] & 127 : 0;
    const int kind = status & 0xF0;
    const int channel = (status & 0x0F) + 1;

    if (status == 0xF8)
        return;

    if (kind == 0x90 && data2 > 0)
    {
        postEvent ((status << 20) + (data1 << 7) + data2);
        return;
    }

    if (kind == 0x80 || kind == 0x90)
    {
        postEvent (((0x80 | (status & 0x0F)) << 20) + data1);
        return;
    }

    if (kind == 0xB0)
    {
        if (data1 == 123)
        {
            for (int note = 0; note < 128; ++note)
                addHostEvent (juce::MidiMessage::noteOff (channel, note), now());
            return;
        }

        handleController (channel, data1, data2);
        return;
    }

    if (kind == 0xE0)
    {
        postEvent ((status << 20) + (data2 << 7) + data1);
        return;
    }

    if (kind == 0xC0)
    {
        // A program number past the bank's last slot, or a bank outside the
        // device's, names no slot and changes nothing. Without a bank select the
        // number names a slot of the bank the synthesizer is on. The same number
        // in another bank is another program.
        const int bank = deviceBankSelect;
        if (data1 >= programsPerBank || ! juce::isPositiveAndBelow (bank, numBanks))
            return;

        if (isRepeatedChoice (bank, data1))
            return;

        selectProgram (bank * programsPerBank + data1, false, programChangeWithAutomation);
        return;
    }

    appendSysEx (data, size, status == sysexStart);
}

// Choosing on the synthesizer what the editor holds already changes nothing: the
// echo of our own choice (the first choice that comes back, soon after), or the
// slot loaded last while the edit buffer still holds its program. Once edits or
// another program replaced it, the synthesizer has reloaded the slot's program,
// and so does the editor.
bool MidiCntrState::isRepeatedChoice (int bank, int program)
{
    const int flat = bank * programsPerBank + program;
    if (flat == sentSelection.exchange (-1) && clock.load()() - sentSelectionAt.load() < echoWindowMs)
        return true;

    if (flat != loadedSelection || bank != currentBank || program != currentProgram)
        return false;

    const juce::ScopedLock sl (programLock);
    return programBank->editBufferBytes() == banks[(size_t) bank]->programBytes (program);
}

// SysEx may arrive in pieces; collect from F0 to F7. A message that never ends
// is dropped once it passes maxSysExSize, and collection waits for the next F0.
void MidiCntrState::appendSysEx (const juce::uint8* data, int size, bool startsMessage)
{
    if (startsMessage)
        sysexBuffer.clear();
    else if (sysexBuffer.empty())
        return;

    if (sysexBuffer.size() + (size_t) size > (size_t) maxSysExSize)
    {
        sysexBuffer.clear();
        return;
    }

    // Real-time bytes may be interleaved anywhere in a message; they are not part of it.
    for (int i = 0; i < size; ++i)
        if (data[i] < 0xF8)
            sysexBuffer.push_back (data[i]);

    if (sysexBuffer.empty())
        return;

    if (sysexBuffer.front() == sysexStart && sysexBuffer.back() == sysexEnd)
    {
        ByteArray message;
        message.swap (sysexBuffer);
        handleSysEx (message);
    }
}

void MidiCntrState::handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double)
{
    if (sysexBuffer.empty())
        return;

    ByteArray message;
    message.swap (sysexBuffer);
    handleSysEx (message);
}

// A parameter the table does not describe (the map carries two without a name)
// has no range of its own: its value is kept as the synthesizer sent it, so that
// SEND and WRITE give it back unchanged.
int MidiCntrState::clampToRange (ParameterId id, int value) const
{
    if (! table.describes (id))
        return juce::jlimit (0, 255, value);
    return juce::jlimit (juce::jmax (0, table.minimum (id)), juce::jmax (0, table.maximum (id)), value);
}

void MidiCntrState::handleController (int channel, int controller, int value)
{
    auto& in = nrpnInputs[(size_t) juce::jlimit (1, 16, channel) - 1];

    switch (controller)
    {
        case 1:
            postEvent ((((0xB0 + channel - 1) & 0xFF) << 20) + (1 << 7) + value);
            break;

        case 99: in.paramMsb = value; break;
        case 98: in.paramLsb = value; break;
        case 6:  in.valueMsb = value; break;

        case 38:
        {
            const int number = (in.paramMsb << 7) + in.paramLsb;
            const int received = (in.valueMsb << 7) + value;
            const int id = nrpn.idForNrpn (number);

            if (id == NrpnMap::none || (id == 0 && number != 0))
                break;

            // Device values can run to 16383; only what the record holds may reach it and the host.
            const int clamped = clampToRange (id, received);
            {
                const juce::ScopedLock sl (lock);
                incomingParameters.push_back ((id << 16) | clamped);
            }
            forgetSentNrpn();   // the synthesizer holds a value we did not send
            sendChangeMessage();
            break;
        }

        case 32:
            deviceBankSelect = value;
            break;

        default:
            break;
    }
}

//==============================================================================
void MidiCntrState::handleSysEx (const ByteArray& message)
{
    if (byteAt (message, 3) == 0x06 && byteAt (message, 1) == 0x7E)
    {
        parseIdentityReply (message);
        return;
    }

    const auto device = byteAt (message, 2);
    if (device != ProgramRecord::keyboardDeviceId && device != ProgramRecord::moduleDeviceId)
        return;

    switch (byteAt (message, 3))
    {
        case 0x02:
            if (message.size() >= (size_t) ProgramRecord::programDumpSize)
            {
                noteDeviceId (device);
                receiveProgramDump (message);
            }
            break;
        case 0x03:
            if (message.size() >= (size_t) ProgramRecord::editBufferDumpSize)
            {
                noteDeviceId (device);
                receiveProgramDump (message);
            }
            break;
        case 0x0F:
            noteDeviceId (device);
            receiveGlobals (message);
            break;
        default:
            break;
    }
}

void MidiCntrState::receiveGlobals (const ByteArray& message)
{
    {
        const juce::ScopedLock sl (programLock);
        size_t n = 0;
        for (size_t i = 4; i + 1 < message.size() && n < globals.size(); ++i)
            globals[n++] = message[i];
    }

    // The synthesizer listens on the channel its settings name: the plug-in goes
    // there too, as when the channel is chosen in the top bar. "All channels" (0)
    // hears the plug-in wherever it is.
    const int named = byteAt (message, 4 + globalMidiChannel);
    const bool follow = message.size() > (size_t) (5 + globalMidiChannel)
                     && named >= 1 && named <= 16 && named != midiChannel;
    if (follow)
        setMidiChannel (named);

    globalsReceived = true;
    postEvent (EngineEvent::make (EngineEvent::globalsReceived, follow ? named : 0));
}

void MidiCntrState::receiveProgramDump (const ByteArray& message)
{
    const bool isProgramDump = byteAt (message, 3) == 0x02;
    const size_t bodyOffset = isProgramDump ? 6 : 4;
    if (message.size() < bodyOffset + (size_t) ProgramRecord::packedSize)
        return;

    const int bank = byteAt (message, 4), program = byteAt (message, 5);
    if (isProgramDump && ! ProgramRecord::isSlot (bank, program))
        return;

    const auto record = DSI_Program::unpack (message.data() + bodyOffset, (size_t) ProgramRecord::packedSize);

    if (! isProgramDump)
    {
        replaceEditBuffer (record);
        return;
    }

    bool single = false;
    {
        const juce::ScopedLock sl (receiveLock);
        single = ! isBankReceiveRunning();
        if (single)
            bankReceiveRunning = false;   // a stopped receive that timed out ends here
    }

    if (single)
    {
        currentBank = bank;
        currentProgram = program;
        {
            const juce::ScopedLock sl (programLock);
            banks[(size_t) bank]->storeProgram (program, record);
        }
        postEvent (EngineEvent::make (EngineEvent::programStored));
        replaceEditBuffer (record);
        loadedSelection = bank * programsPerBank + program;
        return;
    }

    {
        const juce::ScopedLock sl (programLock);
        banks[(size_t) bank]->storeProgram (program, record);
    }

    // A stopped receive ends with the program that was on its way.
    if (! receiveGoesOn && bank == receiveBank && program == receiveProgram)
    {
        endBankReceive();
        return;
    }

    // Only the dump the chain asked for moves it on: an unsolicited one would
    // start a second chain through banks nobody asked to receive.
    if (! receiveGoesOn || bank != receiveBank || program != receiveProgram)
        return;

    postEvent (EngineEvent::bankProgram (bank, program));

    const int mode = receiveMode;
    if (program < programsPerBank - 1)
        requestReceiveDump (bank, program + 1);
    else if ((mode == allUserBanks && bank < 3) || (mode == allFactoryBanks && bank < 7))
        requestReceiveDump (bank + 1, 0);
    else
    {
        // Done: a later single dump must not restart the chain.
        endBankReceive();
        postEvent (EngineEvent::make (EngineEvent::programStored));
        postEvent (EngineEvent::make (EngineEvent::bankReceiveFinished));
    }
}

// F0 7E channel 06 02 01 family ...: byte 6 names the model.
void MidiCntrState::parseIdentityReply (const ByteArray& message)
{
    if (byteAt (message, 4) == 0x02 && byteAt (message, 5) == 0x01)
        noteDeviceId (byteAt (message, 6));
}

void MidiCntrState::noteDeviceId (juce::uint8 id)
{
    if (id == ProgramRecord::moduleDeviceId || id == ProgramRecord::keyboardDeviceId)
        deviceId = id;
}

//==============================================================================
bool MidiCntrState::startTransmit (TransmitScope scope, int bank, int program)
{
    if (! midiPorts->isOutputOpen() || programTransmitter->isRunning())
        return false;

    int firstBank = bank, lastBank = bank, firstProgram = 0, lastProgram = programsPerBank - 1;
    switch (scope)
    {
        case TransmitScope::oneSlot:      firstProgram = lastProgram = program; break;
        case TransmitScope::oneBank:      break;
        case TransmitScope::userBanks:    firstBank = 0; lastBank = 3; break;
        case TransmitScope::factoryBanks: firstBank = 4; lastBank = 7; break;
    }

    if (! ProgramRecord::isSlot (firstBank, firstProgram) || ! ProgramRecord::isSlot (lastBank, lastProgram))
        return false;

    std::vector<ProgramTransmitter::Item> items;
    {
        const juce::ScopedLock sl (programLock);
        for (int b = firstBank; b <= lastBank; ++b)
            for (int p = firstProgram; p <= lastProgram; ++p)
                items.push_back ({ b, p, banks[(size_t) b]->programBytes (p), deviceId.load() });
    }

    return programTransmitter->start (std::move (items));
}

bool MidiCntrState::transmitProgramTo (int sourceFlat, int destBank, int destProgram)
{
    const int sourceBank = sourceFlat / programsPerBank, sourceProgram = sourceFlat % programsPerBank;
    if (sourceFlat < 0 || ! ProgramRecord::isSlot (sourceBank, sourceProgram)
         || ! ProgramRecord::isUserBank (destBank) || ! juce::isPositiveAndBelow (destProgram, programsPerBank))
        return false;

    if (! midiPorts->isOutputOpen() || programTransmitter->isRunning())
        return false;

    std::vector<ProgramTransmitter::Item> items;
    {
        const juce::ScopedLock sl (programLock);
        items.push_back ({ destBank, destProgram, banks[(size_t) sourceBank]->programBytes (sourceProgram), deviceId.load() });
    }

    return programTransmitter->start (std::move (items));
}

void MidiCntrState::cancelTransmit()
{
    programTransmitter->cancel();
}

bool MidiCntrState::isTransmitting() const
{
    return programTransmitter->isRunning();
}

bool MidiCntrState::startBankReceive (int mode, int bank)
{
    const int first = mode == allUserBanks ? 0 : mode == allFactoryBanks ? 4 : bank;
    if (! juce::isPositiveAndBelow (first, numBanks))
        return false;

    {
        const juce::ScopedLock sl (receiveLock);
        receiveMode = mode;
        receiveBank = first;
        receiveProgram = 0;
        receiveGoesOn = true;
        bankReceiveRunning = true;
    }
    requestDump (5, first, 0);
    return true;
}

void MidiCntrState::requestReceiveDump (int bank, int program)
{
    receiveBank = bank;
    receiveProgram = program;
    requestDump (5, bank, program);
}

void MidiCntrState::stopBankReceive()
{
    if (! receiveGoesOn)
        return;

    receiveStoppedAt = clock.load()();
    receiveGoesOn = false;
}

bool MidiCntrState::isBankReceiveRunning() const noexcept
{
    if (! bankReceiveRunning)
        return false;

    // A stopped receive whose last program never comes ends after a while.
    return receiveGoesOn || clock.load()() - receiveStoppedAt.load() < (juce::uint32) stopTimeoutMs;
}

// Clearing mid-receive is a stop: the program on its way must not land in the edit buffer.
void MidiCntrState::clearBankReceive()
{
    stopBankReceive();
}

void MidiCntrState::endBankReceive()
{
    receiveGoesOn = false;
    bankReceiveRunning = false;
}
