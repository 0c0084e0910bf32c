#include "FileMan.h"

#include "engine/DSI_Program.h"
#include "engine/SettingsFiles.h"
#include <algorithm>

namespace
{
struct FileType
{
    int code;
    const char* title;
    const char* patterns[2];
};

const FileType fileTypes[] =
{
    { FileMan::openProgram,     "Load Single Prophet 12 Program", { "*.p12p", "*.syx" } },
    { FileMan::openSettings,    "Load Prophet 12 Main Settings",  { "*.p12m", "*.syx" } },
    { FileMan::openProgramBank, "Load Prophet 12 Program Bank",   { "*.p12b", "*.syx" } },
    { FileMan::openLibrary,     "Load Program 12 Library",        { "*.p12l", "*.p12b" } },
    { FileMan::openSequences,   "Load Sequence Templates",        { "*.p12s", nullptr } },
    { FileMan::openData,        "Load Prophet 12 Data",           { "*.p_12", nullptr } },
    { FileMan::openSysex,       "Load Sysex File",                { "*.syx", nullptr } },
    { FileMan::openPresetBank,  "Load FX Preset Bank",            { "*.fxb", nullptr } },
    { FileMan::openPreset,      "Load FX Preset",                 { "*.fxp", nullptr } },
    { FileMan::saveProgram,     "Save Prophet 12 Program",        { "*.p12p", "*.syx" } },
    { FileMan::saveSettings,    "Save Prophet 12 Main Settings",  { "*.p12m", "*.syx" } },
    { FileMan::saveProgramBank, "Save Prophet 12 Program Bank",   { "*.p12b", "*.syx" } },
    { FileMan::saveLibrary,     "Save Prophet 12 Program Library", { "*.p12l", nullptr } },
    { FileMan::saveSequences,   "Save Sequence Templates",        { "*.p12s", nullptr } },
    { FileMan::saveData,        "Save Prophet 12 Data",           { "*.p_12", nullptr } },
    { FileMan::savePresetBank,  "Save FX Preset Bank",            { "*.fxb", nullptr } },
    { FileMan::savePreset,      "Save FX Preset",                 { "*.fxp", nullptr } },
};

// Files this small cannot hold a program; they are refused unread.
constexpr juce::int64 minimumProgramFileSize = 10;
}

FileMan::FileMan() = default;
FileMan::~FileMan() = default;

juce::File FileMan::settingsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
               .getParentDirectory()
               .getChildFile (settingsFolderName());
}

juce::File FileMan::startupPresetFile()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
               .getParentDirectory()
               .getChildFile ("Library")
               .getChildFile ("Prophet 12")
               .getChildFile (juce::String ("preset") + ".prop12patch");
}

void FileMan::dialogSpec (int code)
{
    patterns.clear();

    for (auto& type : fileTypes)
    {
        if (type.code != code)
            continue;

        title = type.title;

        for (auto* pattern : type.patterns)
            if (pattern != nullptr)
                patterns.add (pattern);
    }
}

ByteArray FileMan::loadFileBytes (const juce::File& file)
{
    fileData.clear();
    fileData = SettingsFiles::readWholeFile (file);
    return fileData;
}

ByteArray FileMan::firstSysEx (const ByteArray& bytes)
{
    const auto start = std::find (bytes.begin(), bytes.end(), (juce::uint8) 0xf0);

    if (start == bytes.end())
        return {};

    const auto end = std::find (start + 1, bytes.end(), (juce::uint8) 0xf7);

    if (end == bytes.end())
        return {};

    return ByteArray (start, end + 1);
}

ByteArray FileMan::readProgramFile (const juce::File& file)
{
    chosenFile = file;
    fileData.clear();
    const auto size = file == juce::File() ? 0 : chosenFile.getSize();
    tooLarge = size > largestProgramFile;

    if (size < minimumProgramFileSize || tooLarge)
        return {};

    // Bounded as well: the file may have grown since its size was asked.
    fileData = SettingsFiles::readFileStart (chosenFile, (size_t) largestProgramFile + 1);
    tooLarge = (juce::int64) fileData.size() > largestProgramFile;

    if ((juce::int64) fileData.size() < minimumProgramFileSize || tooLarge)
    {
        fileData.clear();
        return {};
    }

    return fileData;
}

juce::File FileMan::withSaveExtension (const juce::File& chosen, int code)
{
    FileMan spec;
    spec.dialogSpec (code);
    const auto name = chosen.getFileName();

    if (spec.patterns.isEmpty() || chosen == juce::File())
        return chosen;

    for (const auto& pattern : spec.patterns)
        if (name.endsWithIgnoreCase (pattern.fromFirstOccurrenceOf ("*", false, false)))
            return chosen;

    return juce::File (chosen.getFullPathName() + spec.patterns[0].fromFirstOccurrenceOf ("*", false, false));
}

bool FileMan::loadSingleProgram (const juce::File& file)
{
    programBytes.clear();
    const auto bytes = readProgramFile (file);

    if (bytes.empty())
        return false;

    programBytes = firstSysEx (bytes);

    if (programBytes.empty())
        return false;

    program = std::make_unique<DSI_Program>();
    return program->loadFromData (programBytes);
}

bool FileMan::loadProgramBank (const juce::File& file)
{
    program = std::make_unique<DSI_Program>();
    const auto bytes = readProgramFile (file);

    if (bytes.empty() || program->splitDumps (bytes) < 1)
        return false;

    fileData = program->getParams();
    programBytes = fileData;
    return true;
}
