#include "controls/Artwork.h"
#include "ArtworkBinaryData.h"
#include <string>
#include <unordered_map>

namespace Artwork
{
juce::Image get (const char* name)
{
    if (name == nullptr)
        return {};

    // Hundreds of controls ask on every opening: find each name once.
    static const auto resources = []
    {
        std::unordered_map<std::string, std::pair<const char*, int>> map;
        for (int i = 0; i < ArtworkBinaryData::namedResourceListSize; ++i)
        {
            const char* resource = ArtworkBinaryData::namedResourceList[i];
            int size = 0;
            const char* data = ArtworkBinaryData::getNamedResource (resource, size);
            map.emplace (ArtworkBinaryData::getNamedResourceOriginalFilename (resource), std::make_pair (data, size));
        }
        return map;
    }();

    const auto found = resources.find (name);
    if (found == resources.end())
        return {};

    return juce::ImageCache::getFromMemory (found->second.first, found->second.second);
}
}
