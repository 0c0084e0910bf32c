#pragma once

#include <juce_core/juce_core.h>
#include <array>

// Every value the plug-in edits is addressed by a ParameterId:
// 0-511 layer A (byte n of a program record), 512-1023 layer B,
// 1024 program select, 1025-1029 sliders and latches.
using ParameterId = int;

namespace ParameterIds
{
    constexpr ParameterId layerB        = 512;
    constexpr ParameterId programSelect = 1024;
    constexpr ParameterId slider1       = 1025;
    constexpr ParameterId slider2       = 1026;
    constexpr ParameterId sliderPress   = 1027;
    constexpr ParameterId sliderLatch1  = 1028;
    constexpr ParameterId sliderLatch2  = 1029;
    constexpr int count                 = 1030;
}

// Fixed metadata of every ParameterId, and the map between ids and the
// host's 624 automatable parameter indices. Built once, then read-only,
// so it is read from every thread without a lock.
class ParameterTable
{
public:
    static constexpr int numHostParameters = 624;
    static constexpr int noHostIndex = 2000;   // stored for "none"; readers treat anything outside 0-623 as none

    ParameterTable();

    static bool isValidId (ParameterId id) noexcept        { return id >= 0 && id < ParameterIds::count; }
    static bool isHostIndex (int hostIndex) noexcept       { return hostIndex >= 0 && hostIndex < numHostParameters; }

    juce::String name (ParameterId id) const;
    // Whether the table describes the id (it has a name); an undescribed id's range means nothing.
    bool describes (ParameterId id) const                  { return name (id).isNotEmpty(); }
    int section (ParameterId id) const noexcept            { return isValidId (id) ? rows[(size_t) id].section : 0; }
    int minimum (ParameterId id) const noexcept            { return isValidId (id) ? rows[(size_t) id].minimum : 0; }
    int maximum (ParameterId id) const noexcept            { return isValidId (id) ? rows[(size_t) id].maximum : 0; }
    int displayType (ParameterId id) const noexcept        { return isValidId (id) ? rows[(size_t) id].displayType : 0; }

    // The host index of an id, or noHostIndex when it has none (ids outside the table included).
    int hostIndex (ParameterId id) const noexcept          { return isValidId (id) ? rows[(size_t) id].hostIndex : noHostIndex; }
    bool hasHostIndex (ParameterId id) const noexcept      { return isHostIndex (hostIndex (id)); }

    // The id behind a host index; an index outside 0-623 reads as id 0.
    ParameterId idForHostIndex (int hostIndex) const noexcept
    {
        return isHostIndex (hostIndex) ? idPerHostIndex[(size_t) hostIndex] : 0;
    }

    // The 518 stored names: ids 0-511, then ids 1024-1029.
    static constexpr int numNames = 518;
    const juce::StringArray& names() const noexcept        { return nameList; }

private:
    struct Row
    {
        juce::int16 section = 0, minimum = 0, maximum = 0, displayType = 0;
        int hostIndex = noHostIndex;
    };

    std::array<Row, ParameterIds::count> rows {};
    std::array<ParameterId, numHostParameters> idPerHostIndex {};
    juce::StringArray nameList;
};
