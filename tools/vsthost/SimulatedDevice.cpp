#include "SimulatedDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vsthost
{
namespace
{
constexpr unsigned char moduleId = 0x2B, keyboardId = 0x2A;
constexpr int recordSize = 1024, packedSize = 1171, nameOffset = 402, nameLength = 16, categoryOffset = 426;

// An answer starts this long after its request and leaves in pieces of this
// size, one piece a millisecond: quicker than the cable, but never all at once.
constexpr auto answerDelay = std::chrono::milliseconds (3);
constexpr auto pieceGap = std::chrono::milliseconds (1);
constexpr size_t pieceSize = 256;

thread_local bool onDeviceThread = false;

// 7 bytes become 8: a byte of their top bits, then the bytes without them.
std::vector<unsigned char> pack (const std::vector<unsigned char>& record)
{
    std::vector<unsigned char> packed;
    packed.reserve (packedSize);
    for (size_t first = 0; first < record.size(); first += 7)
    {
        const size_t count = std::min<size_t> (7, record.size() - first);
        unsigned char top = 0;
        for (size_t k = 0; k < count; ++k)
            if ((record[first + k] & 0x80) != 0)
                top = (unsigned char) (top | (1u << k));
        packed.push_back (top);
        for (size_t k = 0; k < count; ++k)
            packed.push_back ((unsigned char) (record[first + k] & 0x7F));
    }
    return packed;
}

std::vector<unsigned char> initialRecord (int bank, int program)
{
    std::vector<unsigned char> record (recordSize, 0);
    char name[nameLength + 1];
    std::snprintf (name, sizeof (name), "Sim %c%d P%-8d", bank < 4 ? 'U' : 'F', bank % 4 + 1, program + 1);
    std::memcpy (record.data() + nameOffset, name, nameLength);
    record[categoryOffset] = (unsigned char) ((bank * 99 + program) % 26);
    return record;
}

void sendThunk (const unsigned char* bytes, size_t size)
{
    SimulatedDevice::get().send (bytes, size);
}

void setReceiverThunk (VantorHostMidiReceiver receiver, void* context)
{
    SimulatedDevice::get().setReceiver (receiver, context);
}
} // namespace

SimulatedDevice& SimulatedDevice::get()
{
    static SimulatedDevice device;
    return device;
}

SimulatedDevice::SimulatedDevice()
{
    banks.reserve (numBanks * programsPerBank);
    for (int b = 0; b < numBanks; ++b)
        for (int p = 0; p < programsPerBank; ++p)
            banks.push_back (pack (initialRecord (b, p)));
}

SimulatedDevice::~SimulatedDevice()
{
    {
        const std::lock_guard<std::mutex> l (lock);
        quit = true;
    }
    wake.notify_all();
    if (worker.joinable())
        worker.join();
}

bool SimulatedDevice::hasReceiver()
{
    const std::lock_guard<std::mutex> l (receiverLock);
    return receiver != nullptr;
}

void SimulatedDevice::send (const unsigned char* bytes, size_t size)
{
    if (bytes == nullptr || size == 0)
        return;
    if ((bytes[0] & 0xE0) == 0x80)
        ++noteMessages;
    {
        const std::lock_guard<std::mutex> l (lock);
        incoming.emplace_back (bytes, bytes + size);
        ++sends;
        if (! worker.joinable() && ! quit)
            worker = std::thread ([this] { run(); });
    }
    wake.notify_all();
}

void SimulatedDevice::setReceiver (VantorHostMidiReceiver newReceiver, void* context)
{
    std::unique_lock<std::mutex> l (receiverLock);
    // Detaching is final: wait for a call in progress, unless it is the one detaching.
    if (! onDeviceThread)
        receiverIdle.wait (l, [this] { return ! delivering; });
    receiver = newReceiver;
    receiverContext = newReceiver != nullptr ? context : nullptr;
}

void SimulatedDevice::run()
{
    onDeviceThread = true;
    std::unique_lock<std::mutex> l (lock);
    while (! quit)
    {
        if (! incoming.empty())
        {
            const auto bytes = std::move (incoming.front());
            incoming.pop_front();
            l.unlock();
            // Each send holds whole messages.
            hear (bytes);
            for (auto start = std::find (bytes.begin(), bytes.end(), 0xF0); start != bytes.end();)
            {
                const auto end = std::find (start, bytes.end(), 0xF7);
                if (end == bytes.end())
                    break;
                handle (Bytes (start, end + 1));
                start = std::find (end, bytes.end(), 0xF0);
            }
            l.lock();
            ++handled;
            heard.notify_all();
            continue;
        }

        if (! outgoing.empty())
        {
            if (outgoing.front().due <= std::chrono::steady_clock::now())
            {
                const auto piece = std::move (outgoing.front());
                outgoing.pop_front();
                l.unlock();
                deliver (piece);
                l.lock();
            }
            else
            {
                wake.wait_until (l, outgoing.front().due);
            }
            continue;
        }

        wake.wait (l);
    }
}

void SimulatedDevice::handle (const Bytes& m)
{
    if (m.size() < 5 || m[1] != 0x01 || (m[2] != moduleId && m[2] != keyboardId))
        return;

    switch (m[3])
    {
        case 0x05:   // program dump request: F0 01 dd 05 bank program F7
            if (m.size() == 7 && m[4] < numBanks && m[5] < programsPerBank)
            {
                ++requests;
                lastBank = m[4];
                answer (programDump (m[4], m[5]), true);
            }
            break;

        case 0x06:   // edit-buffer request: the edit buffer is program 1 of the first bank
        {
            ++editAsks;
            auto dump = programDump (0, 0);
            dump.erase (dump.begin() + 4, dump.begin() + 6);
            dump[3] = 0x03;
            answer (std::move (dump), false);
            break;
        }

        case 0x0E:   // global dump request
        {
            ++globalAsks;
            Bytes dump { 0xF0, 0x01, moduleId, 0x0F };
            for (int i = 0; i < 30; ++i)
                dump.push_back ((unsigned char) (i % 3));
            dump.push_back (0xF7);
            answer (std::move (dump), false);
            break;
        }

        case 0x02:   // a program to store: F0 01 dd 02 bank program, 1171 packed bytes, F7
            if (m.size() == dumpSize && m[4] < numBanks && m[5] < programsPerBank)
            {
                {
                    const std::lock_guard<std::mutex> l (lock);
                    banks[(size_t) (m[4] * programsPerBank + m[5])].assign (m.begin() + 6, m.end() - 1);
                }
                lastStored = m[4] * programsPerBank + m[5];
                ++dumps;
            }
            break;

        default:
            break;
    }
}

// Everything but SysEx: counted, and NRPN values kept as the synthesizer would set them.
void SimulatedDevice::hear (const Bytes& bytes)
{
    unsigned char status = 0;
    Bytes data;
    bool inSysex = false;
    const auto length = [] (unsigned char s) -> size_t
    {
        if (s >= 0xF0)
            return s == 0xF2 ? 3 : (s == 0xF1 || s == 0xF3) ? 2 : 1;
        return (s & 0xE0) == 0xC0 ? 2 : 3;
    };
    const auto complete = [&]
    {
        ++others;
        if ((status & 0xF0) != 0xB0)
            return;
        const int controller = data[0], value = data[1];
        if (controller == 99)
            nrpnNumber = value << 7;
        else if (controller == 98 && nrpnNumber >= 0)
            nrpnNumber = (nrpnNumber & ~127) | value;
        else if (controller == 6)
            nrpnMsb = value;
        else if (controller == 38 && nrpnNumber >= 0)
        {
            const std::lock_guard<std::mutex> l (lock);
            nrpn[nrpnNumber] = nrpnMsb * 128 + value;
        }
    };

    for (const auto b : bytes)
    {
        if (b >= 0xF8)
            continue;                        // real time, even inside SysEx
        if (b == 0xF0 || b == 0xF7)
        {
            inSysex = b == 0xF0;
            status = 0;
            continue;
        }
        if (inSysex)
            continue;
        if (b >= 0x80)
        {
            status = b;
            data.clear();
        }
        else if (status != 0)
            data.push_back (b);
        else
            continue;                        // a stray data byte

        if (data.size() + 1 == length (status))
        {
            complete();
            data.clear();
            if (status >= 0xF0)
                status = 0;                  // system common ends running status
        }
    }
}

bool SimulatedDevice::caughtUp (std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> l (lock);
    return heard.wait_for (l, limit, [this] { return handled == sends || quit; });
}

std::map<int, int> SimulatedDevice::nrpnValues() const
{
    const std::lock_guard<std::mutex> l (lock);
    return nrpn;
}

std::string SimulatedDevice::storedName (int slot) const
{
    if (slot < 0 || slot >= numBanks * programsPerBank)
        return {};
    Bytes body;
    {
        const std::lock_guard<std::mutex> l (lock);
        body = banks[(size_t) slot];
    }
    // Packed as groups of eight: a byte of high bits, then seven low parts.
    Bytes data;
    for (size_t at = 0; at < body.size(); at += 8)
        for (size_t i = 1; i < 8 && at + i < body.size(); ++i)
            data.push_back ((unsigned char) (body[at + i] | (((body[at] >> (i - 1)) & 1) << 7)));
    constexpr size_t nameOffset = 402, nameLength = 16;
    if (data.size() < nameOffset + nameLength)
        return {};
    return std::string (data.begin() + nameOffset, data.begin() + nameOffset + nameLength);
}

SimulatedDevice::Bytes SimulatedDevice::programDump (int bank, int program) const
{
    Bytes dump { 0xF0, 0x01, moduleId, 0x02, (unsigned char) bank, (unsigned char) program };
    {
        const std::lock_guard<std::mutex> l (lock);
        const auto& body = banks[(size_t) (bank * programsPerBank + program)];
        dump.insert (dump.end(), body.begin(), body.end());
    }
    dump.push_back (0xF7);
    return dump;
}

void SimulatedDevice::answer (Bytes message, bool isDump)
{
    {
        const std::lock_guard<std::mutex> l (lock);
        auto due = std::chrono::steady_clock::now() + answerDelay;
        if (! outgoing.empty())
            due = std::max (due, outgoing.back().due + pieceGap);
        for (size_t at = 0; at < message.size(); at += pieceSize, due += pieceGap)
        {
            const auto end = std::min (message.size(), at + pieceSize);
            outgoing.push_back ({ due, Bytes (message.begin() + (long) at, message.begin() + (long) end),
                                  isDump && end == message.size() });
        }
    }
    wake.notify_all();
}

void SimulatedDevice::deliver (const Piece& piece)
{
    VantorHostMidiReceiver r = nullptr;
    void* context = nullptr;
    {
        const std::lock_guard<std::mutex> l (receiverLock);
        if (receiver == nullptr)
            return;   // nobody listens: the bytes go nowhere, as on a cable
        r = receiver;
        context = receiverContext;
        delivering = true;
    }

    r (context, piece.bytes.data(), piece.bytes.size());

    {
        const std::lock_guard<std::mutex> l (receiverLock);
        delivering = false;
    }
    receiverIdle.notify_all();
    if (piece.endsDump)
        ++answers;
}
} // namespace vsthost

// The ports the plug-in finds in its host process.
extern "C" __attribute__ ((visibility ("default"))) const VantorHostMidiPorts* vantorHostMidiPorts (void)
{
    static const VantorHostMidiPorts ports { VANTOR_HOST_MIDI_VERSION, vsthost::SimulatedDevice::inputName,
                                             vsthost::SimulatedDevice::outputName, &vsthost::sendThunk,
                                             &vsthost::setReceiverThunk };
    return &ports;
}
