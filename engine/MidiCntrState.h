#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_events/juce_events.h>
#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

#include "engine/Bank_Program.h"
#include "engine/EngineEvent.h"
#include "engine/EngineListeners.h"
#include "engine/MIDI_PORTS_Control.h"
#include "engine/MidiDeviceSystem.h"
#include "engine/NrpnMap.h"
#include "engine/ParameterTable.h"
#include "engine/ProgramRecord.h"
#include "engine/ProgramTransmitter.h"
#include "engine/SettingsFiles.h"

// The device engine: the synthesizer's banks and edit buffer as the editor sees
// them, the MIDI to and from the device, the MIDI for the host and the event
// queue for the editor.
//
// Threads: the MIDI input thread runs handleIncomingMidiMessage and all it calls;
// host threads call setParameterFromHost; the audio thread drains the host MIDI;
// the message thread does the rest. The engine lock guards the host MIDI buffer,
// the event queue, the incoming-parameter queue and the listener lists; the
// program lock guards the banks and the edit buffer. No callback runs under either.
class MidiCntrState : public juce::MidiInputCallback,
                      public juce::ChangeBroadcaster
{
public:
    static constexpr int programsPerBank = ProgramRecord::programsPerBank;
    static constexpr int numBanks = ProgramRecord::numDeviceBanks;
    static constexpr int maxSysExSize = 64 * 1024;
    static constexpr int maxQueuedEvents = 16384;   // an editor opening rereads all state anyway

    explicit MidiCntrState (MidiDeviceSystem& devices = MidiDeviceSystem::juceDevices());
    ~MidiCntrState() override;

    //==============================================================================
    // Listeners: called last registered first; adding and removing take the
    // engine lock themselves. Once a remove call returns, no call to that
    // listener runs or starts (one on the remover's own thread may still be
    // unwinding), so its owner may be destroyed at once. A remover waits for
    // calls in progress, so a callback must not wait for the thread that removes
    // it, nor take the engine lock when its remover holds that lock.
    void addCableListener (CableListener*);
    void removeCableListener (CableListener*);
    void addListener (MidiCntrStateListener*);
    void removeListener (MidiCntrStateListener*);
    void addStateListener (stateListener*);
    void removeStateListener (stateListener*);

    // Events for the editor.
    void postEvent (int event);
    void postCommand (int event);
    std::vector<int> takeEvents();
    std::vector<int> takeIncomingParameters();
    // The same, with the edit buffer they belong to; storeIncomingValue stores one
    // of them only while that edit buffer has not been replaced since.
    std::vector<int> takeIncomingParameters (juce::uint32& editBufferGeneration);
    bool storeIncomingValue (juce::uint32 editBufferGeneration, ParameterId id, int value);
    // The edit buffer was replaced: drops device values queued for the old one,
    // forgets the NRPN running state, posts editBufferChanged and has the host
    // told on the message thread (takeHostRefresh), unless the host made the change.
    void editBufferReplaced();
    bool takeHostRefresh() noexcept                      { return hostRefresh.exchange (false); }
    // Has the host told that the programs changed, on the message thread.
    void requestHostRefresh();

    // While one lives, what this thread does to the edit buffer is the host's own
    // doing: the host is not told of it again.
    struct HostMadeChange
    {
        HostMadeChange() noexcept;
        ~HostMadeChange();
        HostMadeChange (const HostMadeChange&) = delete;
        HostMadeChange& operator= (const HostMadeChange&) = delete;
    };
    // While one lives, this thread uses the host's own entry points for a change of
    // ours (the librarian's): the host is told of it as of any other of ours.
    struct OwnChange
    {
        OwnChange() noexcept;
        ~OwnChange();
        OwnChange (const OwnChange&) = delete;
        OwnChange& operator= (const OwnChange&) = delete;
    };
    static bool isHostMadeChange() noexcept;

    //==============================================================================
    // Values.
    void setValue (ParameterId id, int value);
    int getValue (ParameterId id) const;
    void splitProgramIndex (int flat);
    void setParameterFromHost (ParameterId id, int value);
    void setSlider (ParameterId id, int value);
    void sendSliderController (int channel, ParameterId id, int value, bool send, bool tellListeners);
    int sentSliderValue (ParameterId id) const;

    void selectProgram (int flat, bool sendToDevice, bool notifyHost);
    void loadCurrentPreset();
    juce::String formatProgramSlot (int flat) const;
    void putProgram (bool toBank, int bank, int program, const ByteArray& record);

    int getCurrentBank() const noexcept                  { return currentBank.load(); }
    int getCurrentProgram() const noexcept               { return currentProgram.load(); }
    int getCurrentPreset() const noexcept                { return currentPreset.load(); }
    void setCurrentPreset (int index) noexcept           { currentPreset = index; }
    bool controlsProgramChange() const noexcept          { return programChangeWithAutomation.load(); }
    void setControlsProgramChange (bool on);
    int getMidiChannel() const noexcept                  { return midiChannel.load(); }
    // A bank-grid click loads the stored program instead of selecting it on the synthesizer.
    bool getUseLoadedData() const noexcept               { return useLoadedData.load(); }
    void setUseLoadedData (bool on) noexcept             { useLoadedData = on; }
    void setMidiChannel (int channel);   // posts midiChannelChanged when it changes

    //==============================================================================
    // Sending to the device (nothing happens while the output is closed).
    void sendNoteOn (int channel, int note, int velocity);
    void sendNoteOff (int channel, int note);
    void sendPitchWheel (int channel, int value);
    void sendNrpn (int number, int value);
    void sendParameter (ParameterId id, int value);
    void requestGlobals();
    void requestDump (int code, int bank, int program);
    void sendModWheelToHost (int channel, int value);
    // The modulation wheel goes to the device and into the host's MIDI alike.
    void sendModWheel (int channel, int value);

    //==============================================================================
    // From the device, on the MIDI input thread.
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override;
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override;
    void handleController (int channel, int controller, int value);
    void handleSysEx (const ByteArray& message);
    void receiveGlobals (const ByteArray& message);
    void receiveProgramDump (const ByteArray& message);
    void parseIdentityReply (const ByteArray& message);

    // The SysEx device id requests and transmitted dumps carry: the module's
    // (0x2B) until the synthesizer identifies itself by an identity reply or a
    // dump carrying its own id; a new output port forgets it.
    juce::uint8 getDeviceId() const noexcept             { return deviceId.load(); }

    // Bank receive: mode 777 all user banks, 778 all factory banks, otherwise the one bank given.
    // Stopping ends the chain: the program on its way is still stored into its
    // slot, never loaded as the edit buffer, and the receive ends when it arrives
    // or stopTimeoutMs after the stop.
    static constexpr int allUserBanks = 777;
    static constexpr int allFactoryBanks = 778;
    bool startBankReceive (int mode, int bank);   // false: no such bank, nothing asked
    void stopBankReceive();
    void clearBankReceive();
    static constexpr int stopTimeoutMs = 2000;
    bool isBankReceiveRunning() const noexcept;

    // The clock in milliseconds of the stop timeout and of the echo of a sent
    // program choice: the system's, or one a test moves (nullptr: the system's).
    using Clock = juce::uint32 (*)();
    void setClock (Clock c) noexcept                     { clock = c != nullptr ? c : &juce::Time::getMillisecondCounter; }
    bool isReceiveGoingOn() const noexcept               { return receiveGoesOn.load(); }
    bool haveGlobals() const noexcept                    { return globalsReceived.load(); }
    ByteArray getGlobals() const;

    // One byte of the device globals block (0 outside it); the MIDI input thread
    // writes the block when a global dump arrives.
    int globalByte (int index) const;
    void setGlobalByte (int index, int value);

    // A global setting edited here: stored and sent as NRPN globalNrpnBase + id on
    // the channel the synthesizer listens on. Giving it one MIDI channel moves the
    // engine's channel there as well; "all channels" (0) keeps the engine's.
    static constexpr int globalNrpnBase = 1024, globalMidiChannel = 2;
    void setGlobalSetting (int id, int value);

    // Sending programs to the synthesizer's memory, paced to the wire, off the
    // audio and message threads. Progress arrives as transmitProgress events,
    // the end as transmitFinished. False when the output is closed, a transfer
    // runs already, or the slot is not one of the device banks'.
    enum class TransmitScope { oneSlot, oneBank, userBanks, factoryBanks };
    bool startTransmit (TransmitScope scope, int bank = 0, int program = 0);
    // One program from any device slot to a user slot of the synthesizer.
    bool transmitProgramTo (int sourceFlat, int destBank, int destProgram);
    void cancelTransmit();
    bool isTransmitting() const;
    ProgramTransmitter& transmitter() noexcept           { return *programTransmitter; }

    //==============================================================================
    // MIDI for the host, stamped in milliseconds; drained by the audio thread.
    // Spreads the queued events over a block of numSamples into dest and empties
    // the queue. Returns false (leaving the queue) when the lock is busy.
    bool moveHostMidiInto (juce::MidiBuffer& dest, int numSamples);
    void clearHostMidi();
    int numQueuedHostEvents() const;
    // Adds one message for the host stamped at time (ms) and drops what is older than 500 ms.
    void addHostEvent (const juce::MidiMessage&, int time);
    void setPlaybackFormat (double sampleRate, int blockSize);
    double getSampleRate() const noexcept                { return sampleRate.load(); }
    int getRateCode() const noexcept                     { return rateCode.load(); }

    //==============================================================================
    // Banks: 0-3 user, 4-7 factory. Lock getProgramLock() around reads that
    // must not see a program half-stored by the MIDI input thread.
    Bank_Program& deviceBank (int index);
    Bank_Program& presetBank() noexcept                  { return *programBank; }
    const juce::CriticalSection& getProgramLock() const noexcept { return programLock; }
    ByteArray editBuffer() const;

    const ParameterTable& parameterTable() const noexcept { return table; }
    const NrpnMap& nrpnMap() const noexcept              { return nrpn; }
    MIDI_PORTS_Control& ports() noexcept                 { return *midiPorts; }
    const juce::CriticalSection& getLock() const noexcept { return lock; }

    //==============================================================================
    // Settings files in the settings folder. Mode 0 reads, mode 1 writes.
    void loadSettings (int mode);
    void loadPorts (int mode);
    void saveWindowGeometry();
    void loadWindowGeometry();
    static bool writeWholeFile (const ByteArray& bytes, const juce::File& file);
    static juce::File settingsFile (const char* name);
    ByteArray getSettingsBlock() const;
    SettingsFiles::WindowGeometry& windowGeometry() noexcept { return geometry; }

    // What the editor keeps across its openings (message thread only).
    juce::Rectangle<int> getMonitorArea() const noexcept { return monitorArea; }
    void setMonitorArea (juce::Rectangle<int> area) noexcept { monitorArea = area; }
    bool getEditorOpenedBefore() const noexcept          { return editorOpenedBefore; }
    void setEditorOpenedBefore (bool opened) noexcept    { editorOpenedBefore = opened; }
    // Stores the settings block: the bytes this instance changed go over what
    // the file holds now (loadSettings (1) does the same).
    SettingsFiles::StoreResult storeSettings (double deadline = SettingsFiles::FolderLock::deadlineFromNow());
    // Stores the device banks: the slots this instance changed go over what
    // the file holds now. The engine does it as it closes.
    SettingsFiles::StoreResult saveBankLibrary (double deadline = SettingsFiles::FolderLock::deadlineFromNow());

    // Trouble with the settings files met at start (settings unreadable, bank
    // library unreadable or damaged, a folder they cannot be stored in, changes
    // of an earlier close still not stored), for the status line; empty when none.
    juce::String getFilesNotice() const;

    // A library problem met as the library page went (nobody left to tell): the next page shows it.
    void setLibraryNotice (const juce::String& text)     { libraryNotice = text; }
    juce::String takeLibraryNotice()                     { return std::exchange (libraryNotice, {}); }

    // The on-screen keyboard's start octave (0-10) and note velocity (0-127).
    int getKeyboardOctave() const noexcept               { return keyboardOctave.load(); }
    void setKeyboardOctave (int octave) noexcept         { keyboardOctave = juce::jlimit (0, 10, octave); }
    int getKeyboardVelocity() const noexcept             { return keyboardVelocity.load(); }
    void setKeyboardVelocity (int velocity) noexcept     { keyboardVelocity = juce::jlimit (0, 127, velocity); }

    // Ports: index 0 is none, n is device n - 1 of the system's list.
    void selectInputPort (int index);
    void selectOutputPort (int index);
    juce::StringArray getPortNames() const;

    // Milliseconds since the engine started: the host MIDI time base.
    int now() const noexcept;

private:
    void initialise();
    void openStoredPorts();
    void requestReceiveDump (int bank, int program);
    void applyStartupPreset();
    void loadBankLibrary();
    enum class BankLibraryRead { missing, unreadable, damaged, loaded };
    BankLibraryRead readBankLibrary (const juce::File& file, bool& wellFormed);
    static void removeLeftoverTemporaries();
    void storeAtClose();
    bool keepUnstoredSettings();
    bool keepUnstoredBanks();
    void takeUnstoredChanges();
    void forgetUnstored (SettingsFiles::StoreResult settings, SettingsFiles::StoreResult banksStored);
    void dropOldHostEvents (int time);
    void appendSysEx (const juce::uint8* data, int size, bool startsMessage);
    void queueEvent (int event);
    void forgetSentNrpn();
    void endBankReceive();
    void replaceEditBuffer (const ByteArray& record);
    void noteDeviceId (juce::uint8 id);
    int clampToRange (ParameterId id, int value) const;
    template <typename ListenerType, typename Call>
    void callListeners (const juce::Array<ListenerType*>& list, Call&& call);
    void waitForCallsTo (const void* listener);

    juce::CriticalSection lock;           // the engine lock
    juce::CriticalSection programLock;    // banks and edit buffer

    juce::Array<CableListener*> cableListeners;
    juce::Array<stateListener*> stateListeners;
    juce::Array<MidiCntrStateListener*> engineListeners;

    // Listener calls in progress, so that removal can wait for them to end.
    struct CallInProgress { const void* listener; juce::Thread::ThreadID thread; };
    std::mutex callsMutex;
    std::condition_variable callEnded;
    std::vector<CallInProgress> callsInProgress;
    std::vector<int> incomingParameters;
    std::vector<int> events;

    ByteArray globals;
    MidiDeviceSystem& deviceSystem;
    std::unique_ptr<MIDI_PORTS_Control> midiPorts;
    juce::StringArray portNames { "NONE", "NONE", "NONE", "0" };
    ByteArray sysexBuffer;

    std::atomic<int> slider1 { 0 }, sliderPress { 0 }, slider2 { 0 }, latch1 { 0 }, latch2 { 0 };
    std::atomic<int> sentSlider1 { 0 }, sentSliderPress { 0 }, sentSlider2 { 0 };

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> blockSize { 0 }, rateCode { 0 };
    std::atomic<int> midiChannel { 1 };
    std::atomic<bool> programChangeWithAutomation { false };
    std::atomic<bool> useLoadedData { false };

    std::atomic<bool> receiveGoesOn { false }, bankReceiveRunning { false };
    std::atomic<juce::uint32> receiveStoppedAt { 0 };
    std::atomic<Clock> clock { &juce::Time::getMillisecondCounter };
    std::atomic<int> receiveMode { 0 };
    std::atomic<int> receiveBank { -1 }, receiveProgram { -1 };   // the dump the chain waits for
    juce::CriticalSection receiveLock;   // a start never falls between a dump's check and its clear

    std::atomic<int> currentPreset { -1 };
    std::atomic<int> keyboardOctave { 2 }, keyboardVelocity { 100 };
    ByteArray settingsBlock;
    SettingsFiles::WindowGeometry geometry;
    SettingsFiles::StoredFiles storedFiles;
    bool libraryHoldsBanks = false;   // the bank library file held the banks as they were loaded
    bool damagedLibraryKept = false;  // a damaged bank library was copied aside at start
    juce::String filesNotice;
    juce::String settingsNotice;      // the settings file could not be read
    juce::String unstoredNotice;      // changes an earlier close kept are not stored yet
    juce::Array<juce::File> unstoredSettingsTaken, unstoredBanksTaken;   // removed once stored
    juce::StringArray portsBase { "NONE", "NONE", "NONE", "0" };        // the port names as last read or stored
    ByteArray settingsBase;           // the settings as last read or stored: what differs is ours
    juce::Rectangle<int> monitorArea;
    bool editorOpenedBefore = false;
    juce::String libraryNotice;

    const ParameterTable table;
    const NrpnMap nrpn;

    std::atomic<int> currentBank { 0 }, currentProgram { 0 };
    // The bank the synthesizer is on, as it announced (controller 32) or was sent;
    // its program change names a slot of that bank.
    std::atomic<int> deviceBankSelect { 0 };
    // The slot the edit buffer was loaded from by a selection (-1: none since the
    // edit buffer was last replaced otherwise): choosing it again changes nothing
    // while the edit buffer still holds that slot's program.
    std::atomic<int> loadedSelection { -1 };
    // The slot last sent to the synthesizer and when: its echo must not throw
    // away edits made since.
    static constexpr juce::uint32 echoWindowMs = 1000;
    std::atomic<int> sentSelection { -1 };
    std::atomic<juce::uint32> sentSelectionAt { 0 };
    bool isRepeatedChoice (int bank, int program);

    // NRPN running state: sends happen on several threads.
    juce::CriticalSection sendLock;
    int lastSentId = -1, lastSentMsb = -1, lastSentLsb = -1;

    // NRPN receive state per channel (MIDI input thread only): another device on
    // the cable must not redirect the synthesizer's values.
    struct NrpnInput { int paramMsb = 0, paramLsb = 0, valueMsb = 0; };
    std::array<NrpnInput, 16> nrpnInputs {};

    std::atomic<juce::uint8> deviceId { ProgramRecord::moduleDeviceId };
    juce::uint32 editBufferGeneration = 0;   // under lock: bumped by every replacement
    std::atomic<bool> hostRefresh { false };

    std::vector<std::unique_ptr<Bank_Program>> banks;
    std::unique_ptr<Bank_Program> programBank;
    std::atomic<bool> globalsReceived { false };

    juce::MidiBuffer hostMidi;
    const juce::uint32 startTime;

    std::unique_ptr<ProgramTransmitter> programTransmitter;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiCntrState)
};
