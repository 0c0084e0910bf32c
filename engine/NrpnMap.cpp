#include "NrpnMap.h"

namespace
{
// Layer-A ids first..last (every idStep-th id); the NRPN starts at firstNrpn
// and grows by step from one id of the run to the next.
struct Run
{
    int first, last, firstNrpn, step;
    int idStep = 1;
};

constexpr Run layerARuns[] =
{
    // Oscillators: the device keeps 18 NRPNs per oscillator.
    {   0,   3,   0, 18 },   // Pitch
    {   4,   7,   1, 18 },   // Fine
    {   8,  11,   2, 18 },   // Level
    {  12,  15,   3, 18 },   // Shape
    {  16,  19,   5, 18 },   // Wave L
    {  20,  23,   6, 18 },   // Wave R
    {  28,  31,   4, 18 },   // Shape Mod
    {  32,  35,   7, 18 },   // FM
    {  36,  39,   8, 18 },   // AM
    {  40,  40,  72,  1 },   // Osc 1 Sub
    {  44,  47,   9, 18 },   // Slop
    {  48,  51,  10, 18 },   // Glide
    {  52,  55,  11, 18 },   // Sync
    {  56,  59,  12, 18 },   // Key On/Off
    {  60,  63,  13, 18 },   // Note Reset
    {  64,  64,  77,  1 },
    {  72,  75,  73,  1 },   // Glide Mode, Glide On/Off, P. B. Range Up/Dn
    {  76,  80,  80,  1 },   // Air, Girth, Hack, Decimate, Drive
    {  85,  88,  90,  1 },   // LPF Freq, Reson, Key Amt, 4 Pole
    {  89,  91,  94,  1 },   // HPF freq, Reson, Key Amt
    {  92,  92, 100,  1 },   // Pan Spread
    {  93,  93,  99,  1 },   // Voice Volume
    {  94,  94,  97,  1 },   // FeedBk Amount
    {  95,  95,  98,  1 },   // FeedBk Tune

    // Delays: 8 NRPNs per delay line.
    {  96,  99, 187,  8 },   // Time
    { 100, 103, 188,  8 },   // Tm Sync
    { 104, 107, 190,  8 },   // Amt
    { 108, 111, 191,  8 },   // Feedbk
    { 112, 115, 189,  8 },   // Sync
    { 116, 119, 192,  8 },   // LP Freq
    { 120, 123, 193,  8 },   // HP Freq
    { 124, 127, 194,  8 },   // Filter

    // LFOs: 10 NRPNs per LFO.
    { 128, 131, 147, 10 },   // Freq
    { 132, 135, 148, 10 },   // Freq Sync
    { 136, 139, 150, 10 },   // Shape
    { 140, 143, 151, 10 },   // Amount
    { 144, 147, 155, 10 },   // Dest
    { 148, 151, 149, 10 },   // Sync
    { 152, 155, 154, 10 },   // Note Rst
    { 156, 159, 152, 10 },   // Slew
    { 160, 163, 153, 10 },   // Phase
    { 164, 167, 429,  1 },   // Dly Pan

    // Envelopes: ids interleave the four envelopes stage by stage
    // (Env Amt, Vel Amt, Delay, Attack, Decay, Sustain, Release).
    { 168, 192, 114,  1, 4 },   // LPF stages
    { 169, 193, 103,  1, 4 },   // VCA stages
    { 170, 194, 125,  1, 4 },   // ENV3 stages
    { 171, 195, 136,  1, 4 },   // ENV4 stages
    { 196, 196, 133,  1 },   // ENV3 Destination
    { 197, 197, 144,  1 },   // ENV4 Destination
    { 198, 198, 121,  1 },   // LPF Repeat
    { 199, 199, 110,  1 },   // VCA Repeat
    { 200, 200, 132,  1 },   // ENV3 Repeat
    { 201, 201, 143,  1 },   // ENV4 Repeat

    // Modulation matrix: 4 NRPNs per slot.
    { 206, 221, 219,  4 },   // Mod Src
    { 222, 237, 220,  4 },   // Mod Amt
    { 238, 253, 221,  4 },   // Mod Dest

    { 254, 254, 101,  1 },   // Distor Amt
    { 256, 256, 296,  1 },   // BPM
    { 257, 260, 283,  1 },   // Unison ON, Unis Detune, Unis Mode, Unis Key Ass.
    { 294, 294, 290,  1 },   // Arp Mode
    { 295, 295, 291,  1 },   // Arp Range
    { 296, 296, 289,  1 },   // Arp On/Off
    { 297, 297, 294,  1 },   // Arp Auto Latch
    { 298, 298, 292,  1 },   // Arp Clock Devide
    { 299, 299, 293,  1 },   // Arp Repeats
    { 300, 300, 295,  1 },   // Arp Lock Notes
    { 423, 423, 511,  1 },
    { 424, 424, 287,  1 },   // Split Point
    { 425, 425, 288,  1 },   // A B Mode
};
}

NrpnMap::NrpnMap()
{
    nrpnPerId.fill (none);
    idPerNrpn.fill (none);

    for (const auto& run : layerARuns)
    {
        for (int id = run.first, nrpn = run.firstNrpn; id <= run.last; id += run.idStep, nrpn += run.step)
        {
            // Each id and each NRPN belongs to one pair only, or the inverse would not be exact.
            jassert (id < layerOffset && nrpn < layerOffset);
            jassert (nrpnPerId[(size_t) id] == none && idPerNrpn[(size_t) nrpn] == none);

            nrpnPerId[(size_t) id] = (juce::uint16) nrpn;
            idPerNrpn[(size_t) nrpn] = (juce::uint16) id;
            nrpnPerId[(size_t) (id + layerOffset)] = (juce::uint16) (nrpn + layerOffset);
            idPerNrpn[(size_t) (nrpn + layerOffset)] = (juce::uint16) (id + layerOffset);
        }
    }
}

juce::uint16 NrpnMap::nrpnForId (int id) const noexcept
{
    return (id >= 0 && id < size) ? nrpnPerId[(size_t) id] : none;
}

juce::uint16 NrpnMap::idForNrpn (int nrpn) const noexcept
{
    return (nrpn >= 0 && nrpn < size) ? idPerNrpn[(size_t) nrpn] : none;
}
