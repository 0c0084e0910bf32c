#include "FactoryData.h"
#include "FactoryBinaryData.h"

namespace FactoryData
{
const juce::uint8* image()
{
    return reinterpret_cast<const juce::uint8*> (FactoryBinaryData::FactoryData_bin);
}

size_t imageSize()
{
    static_assert (FactoryBinaryData::FactoryData_binSize == (int) expectedImageSize, "the factory image has a fixed layout");
    return (size_t) FactoryBinaryData::FactoryData_binSize;
}

const juce::uint8* initProgramDump()
{
    static_assert (FactoryBinaryData::InitProgramDump_syxSize == 1178, "the init program must be one program dump");
    return reinterpret_cast<const juce::uint8*> (FactoryBinaryData::InitProgramDump_syx);
}
}
