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

FileMan::ChosenBytes FileMan::readChosenFile (const juce::File& file, juce::int64 limit)
{
    ChosenBytes result;

    switch (file == juce::File() ? SettingsFiles::Kind::missing : SettingsFiles::kindOf (file))
    {
        case SettingsFiles::Kind::missing:  result.refusal = Refusal::missing;     return result;
        case SettingsFiles::Kind::other:    result.refusal = Refusal::notRegular;  return result;
        case SettingsFiles::Kind::regular:  break;
    }

    if (file.getSize() > limit)
    {
        result.refusal = Refusal::tooLarge;
        return result;
    }

    // Bounded as well: the file may have grown since its size was asked.
    switch (SettingsFiles::readFile (file, (size_t) limit + 1, result.bytes))
    {
        case SettingsFiles::ReadStatus::missing:     result.refusal = Refusal::missing;     break;
        case SettingsFiles::ReadStatus::unreadable:  result.refusal = SettingsFiles::kindOf (file) == SettingsFiles::Kind::other
                                                                        ? Refusal::notRegular : Refusal::unreadable;
                                                     break;
        case SettingsFiles::ReadStatus::read:
            if ((juce::int64) result.bytes.size() > limit)
                result.refusal = Refusal::tooLarge;
            break;
    }

    if (result.refusal != Refusal::none)
        result.bytes.clear();

    return result;
}

ByteArray FileMan::readProgramFile (const juce::File& file)
{
    chosenFile = file;
    fileData.clear();
    tooLarge = notRegular = false;

    // Too small to hold a program: refused unread.
    if (file != juce::File() && SettingsFiles::kindOf (file) == SettingsFiles::Kind::regular
         && file.getSize() < minimumProgramFileSize)
        return {};

    auto read = readChosenFile (file, largestProgramFile);
    tooLarge = read.refusal == Refusal::tooLarge;
    notRegular = read.refusal == Refusal::notRegular;

    if ((juce::int64) read.bytes.size() < minimumProgramFileSize)
        return {};

    fileData = std::move (read.bytes);
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
