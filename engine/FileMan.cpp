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
    {   1, "Load Single Prophet 12 Program", { "*.p12p", "*.syx" } },
    {   2, "Load Prophet 12 Main Settings",  { "*.p12m", "*.syx" } },
    {   3, "Load Prophet 12 Program Bank",   { "*.p12b", "*.syx" } },
    {   4, "Load Program 12 Library",        { "*.p12l", "*.p12b" } },
    {   5, "Load Sequence Templates",        { "*.p12s", nullptr } },
    {   6, "Load Prophet 12 Data",           { "*.p_12", nullptr } },
    {   7, "Load Sysex File",                { "*.syx", nullptr } },
    {  10, "Load FX Preset Bank",            { "*.fxb", nullptr } },
    {  11, "Load FX Preset",                 { "*.fxp", nullptr } },
    { 101, "Save Prophet 12 Program",        { "*.p12p", "*.syx" } },
    { 102, "Save Prophet 12 Main Settings",  { "*.p12m", "*.syx" } },
    { 103, "Save Prophet 12 Program Bank",   { "*.p12b", "*.syx" } },
    { 104, "Save Prophet 12 Program Library", { "*.p12l", nullptr } },
    { 105, "Save Sequence Templates",        { "*.p12s", nullptr } },
    { 106, "Save Prophet 12 Data",           { "*.p_12", nullptr } },
    { 110, "Save FX Preset Bank",            { "*.fxb", nullptr } },
    { 111, "Save FX Preset",                 { "*.fxp", nullptr } },
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

bool FileMan::loadSingleProgram (const juce::File& file)
{
    programBytes.clear();
    chosenFile = file;

    if (file == juce::File())
        return false;

    if (chosenFile.getSize() < minimumProgramFileSize)
        return false;

    const auto bytes = loadFileBytes (chosenFile);

    if ((juce::int64) bytes.size() < minimumProgramFileSize)
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
    chosenFile = file;

    if (file == juce::File())
        return false;

    if (chosenFile.getSize() < minimumProgramFileSize)
        return false;

    const auto bytes = loadFileBytes (chosenFile);

    if ((juce::int64) bytes.size() < minimumProgramFileSize || program->splitDumps (bytes) < 1)
        return false;

    fileData = program->getParams();
    programBytes = fileData;
    return true;
}
