#pragma once

#include <juce_core/juce_core.h>
#include <cstdlib>
#include <string>

// A new, empty folder in the temporary folder, made by mkdtemp: its name is
// unique even among test processes running at the same moment. Removed with
// the object.
class TestFolder
{
public:
    explicit TestFolder (const char* prefix)
    {
        auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                           .getChildFile (juce::String (prefix) + "-XXXXXX").getFullPathName().toStdString();
        if (mkdtemp (pattern.data()) != nullptr)
            folder = juce::File (pattern);
    }

    ~TestFolder()
    {
        if (folder.isDirectory())
            folder.deleteRecursively();
    }

    TestFolder (const TestFolder&) = delete;
    TestFolder& operator= (const TestFolder&) = delete;

    // juce::File() when no folder could be made.
    const juce::File& file() const noexcept   { return folder; }

private:
    juce::File folder;
};
