#include "controls/Artwork.h"
#include "ArtworkBinaryData.h"

namespace Artwork
{
juce::Image get (const char* name)
{
    if (name == nullptr)
        return {};

    for (int i = 0; i < ArtworkBinaryData::namedResourceListSize; ++i)
    {
        const char* resource = ArtworkBinaryData::namedResourceList[i];

        if (std::strcmp (ArtworkBinaryData::getNamedResourceOriginalFilename (resource), name) == 0)
        {
            int size = 0;
            const char* data = ArtworkBinaryData::getNamedResource (resource, size);
            return juce::ImageCache::getFromMemory (data, size);
        }
    }

    return {};
}
}
