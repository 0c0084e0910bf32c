#pragma once

#include "support/SimulatedSynth.h"
#include <vector>

// The channel messages (no SysEx) the simulated synthesizer received, as bytes.
inline std::vector<ByteArray> channelMessages (const SimulatedSynth& synth)
{
    std::vector<ByteArray> result;
    for (const auto& r : synth.received())
        if (! r.message.isSysEx())
            result.emplace_back (r.message.getRawData(), r.message.getRawData() + r.message.getRawDataSize());
    return result;
}
