#pragma once

#include "support/TestFolder.h"
#include <juce_core/juce_core.h>
#include <cstdlib>

// Points the user's home (and so the settings folder) at a fresh temporary folder
// for the lifetime of the object.
class ScopedHome
{
public:
    ScopedHome()
        : previous (std::getenv ("HOME") != nullptr ? std::getenv ("HOME") : ""),
          made ("home"),
          folder (made.file())
    {
        setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~ScopedHome()
    {
        setenv ("HOME", previous.toRawUTF8(), 1);
    }

    juce::File settings (const char* name) const   { return folder.getChildFile ("VantorConfig").getChildFile (name); }
    const juce::File& home() const noexcept         { return folder; }

private:
    juce::String previous;
    TestFolder made;
    juce::File folder;
};
