// A synthesizer behind the MIDI ports that vsthost lends the plug-in through
// vantorHostMidiPorts (platform/VantorHostMidi.h). It keeps eight banks of 99
// programs, answers program and global dump requests on its own thread, a
// little later and in pieces, as a synthesizer on a cable does, and stores the
// program dumps it is sent. Written without JUCE: nothing of the plug-in's
// crosses into the host.
#pragma once

#include "VantorHostMidi.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vsthost
{
class SimulatedDevice
{
public:
    static constexpr const char* inputName = "vsthost Synth Out";    // what the plug-in receives from
    static constexpr const char* outputName = "vsthost Synth In";    // what it sends to
    static constexpr int numBanks = 8, programsPerBank = 99, dumpSize = 1178;

    static SimulatedDevice& get();
    ~SimulatedDevice();

    // What arrived, counted since the start.
    int programRequests() const     { return requests.load(); }
    int globalRequests() const      { return globalAsks.load(); }
    int editBufferRequests() const  { return editAsks.load(); }
    int programDumps() const        { return dumps.load(); }
    int answered() const            { return answers.load(); }    // program dumps handed whole to a receiver
    bool hasReceiver();
    int lastRequestedBank() const   { return lastBank.load(); }
    int otherMessages() const       { return others.load(); }     // every message but SysEx
    std::map<int, int> nrpnValues() const;                        // the last value of each NRPN number
    bool caughtUp (std::chrono::milliseconds limit);              // everything sent so far has been heard
    int notes() const               { return noteMessages.load(); }   // note-ons and note-offs sent to it
    int lastStoredSlot() const      { return lastStored.load(); }     // bank * 99 + program, -1 before any

    // The name of a stored program as its dump carries it (16 characters).
    std::string storedName (int slot) const;

    // Called from the plug-in through the lent ports.
    void send (const unsigned char* bytes, size_t size);
    void setReceiver (VantorHostMidiReceiver receiver, void* context);

private:
    using Bytes = std::vector<unsigned char>;

    struct Piece
    {
        std::chrono::steady_clock::time_point due;
        Bytes bytes;
        bool endsDump;
    };

    SimulatedDevice();
    void run();
    void handle (const Bytes& sysex);
    void hear (const Bytes& bytes);
    void answer (Bytes message, bool isDump);
    void deliver (const Piece& piece);
    Bytes programDump (int bank, int program) const;

    mutable std::mutex lock;            // queues, banks, the thread's life
    std::condition_variable wake, heard;
    long long sends = 0, handled = 0;
    std::deque<Bytes> incoming;
    std::deque<Piece> outgoing;
    std::vector<Bytes> banks;           // packed bodies, bank * 99 + program
    std::map<int, int> nrpn;            // number -> value, as controllers 99, 98, 6 and 38 set them
    int nrpnNumber = -1, nrpnMsb = 0;   // touched on the device's thread only
    std::thread worker;
    bool quit = false;

    std::mutex receiverLock;            // the receiver and whether it is being called
    std::condition_variable receiverIdle;
    VantorHostMidiReceiver receiver = nullptr;
    void* receiverContext = nullptr;
    bool delivering = false;

    std::atomic<int> requests { 0 }, globalAsks { 0 }, editAsks { 0 }, dumps { 0 }, answers { 0 }, lastBank { -1 }, others { 0 };
    std::atomic<int> noteMessages { 0 }, lastStored { -1 };
};
} // namespace vsthost
