#pragma once

#include <juce_core/juce_core.h>
#include <array>

// Translates program ParameterIds (0-1023) into the NRPN numbers the
// synthesizer uses for them, and incoming NRPN numbers back into ids.
// Built once, then read-only, so every thread reads it without a lock.
class NrpnMap
{
public:
    static constexpr juce::uint16 none = 0xFFFF;
    static constexpr int size = 1024;
    static constexpr int layerOffset = 512;   // layer B mirrors layer A on both sides

    NrpnMap();

    // The NRPN number of an id, or none (ids outside 0-1023 included).
    juce::uint16 nrpnForId (int id) const noexcept;

    // The id behind an NRPN number, or none (numbers outside 0-1023 included).
    juce::uint16 idForNrpn (int nrpn) const noexcept;

private:
    std::array<juce::uint16, size> nrpnPerId;
    std::array<juce::uint16, size> idPerNrpn;
};
