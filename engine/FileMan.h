#pragma once

#include <juce_core/juce_core.h>
#include "engine/ProgramRecord.h"
#include <memory>

class DSI_Program;

// One file operation: the chooser title and patterns of a file type code, and the
// reading of a chosen file; program files load through a DSI_Program. The file
// itself is chosen through the asynchronous chooser seam. Message thread only.
class FileMan
{
public:
    FileMan();
    ~FileMan();

    static juce::String settingsFolderName()       { return "VantorConfig"; }
    static juce::File settingsFolder();
    static juce::File startupPresetFile();

    // The file type codes: loads below 100, their saves 100 higher.
    enum Kind
    {
        openProgram = 1, openSettings = 2, openProgramBank = 3, openLibrary = 4,
        openSequences = 5, openData = 6, openSysex = 7, openPresetBank = 10, openPreset = 11,
        saveProgram = 101, saveSettings = 102, saveProgramBank = 103, saveLibrary = 104,
        saveSequences = 105, saveData = 106, savePresetBank = 110, savePreset = 111
    };

    // Title and patterns of a file type code; an unknown code leaves the
    // patterns empty and the title as it was.
    void dialogSpec (int code);

    // The whole file, also kept as the file data; empty when missing.
    ByteArray loadFileBytes (const juce::File& file);

    // From the first F0 to the first F7 after it, both included; empty without both.
    static ByteArray firstSysEx (const ByteArray& bytes);

    // A single program file (chosen by the caller): its first SysEx message becomes the program bytes.
    bool loadSingleProgram (const juce::File& file);

    // A program bank file: its program dumps become the file data.
    bool loadProgramBank (const juce::File& file);

    // The synthesizer's whole memory as program dumps (eight banks) is under
    // this; a larger program or bank file is no real one and is refused unread.
    static constexpr juce::int64 largestProgramFile = 1 << 20;

    // Whether the last load refused its file for its size, or because it is no
    // regular file (a device, a FIFO, a folder).
    bool wasTooLarge() const noexcept                       { return tooLarge; }
    bool wasNotRegular() const noexcept                     { return notRegular; }

    // A chosen file read whole by the settings files' rule: only a regular
    // file (a link to one is followed), and only when it is no larger than
    // limit. Anything else is refused before it is opened, so a FIFO or a
    // device can neither block nor fill the memory.
    enum class Refusal { none, missing, notRegular, tooLarge, unreadable };
    struct ChosenBytes
    {
        ByteArray bytes;
        Refusal refusal = Refusal::none;
    };
    static ChosenBytes readChosenFile (const juce::File& file, juce::int64 limit);

    // The file a save chooser's answer names: the code's first extension is
    // appended unless the name already ends with one of its extensions, so
    // "Pad v1.2" saves as "Pad v1.2.p12p".
    static juce::File withSaveExtension (const juce::File& chosen, int code);

    const juce::String& getTitle() const noexcept           { return title; }
    const juce::StringArray& getPatterns() const noexcept   { return patterns; }
    const ByteArray& getProgramBytes() const noexcept       { return programBytes; }
    const ByteArray& getFileData() const noexcept           { return fileData; }

    // The DSI_Program of the last load (nullptr before one).
    DSI_Program* getProgram() const noexcept                { return program.get(); }

private:
    // The file's bytes, kept as the file data; empty when there is no file or it is too small for a program.
    ByteArray readProgramFile (const juce::File& file);

    ByteArray programBytes;
    ByteArray fileData;
    juce::File chosenFile;
    juce::String title;
    juce::StringArray patterns;
    std::unique_ptr<DSI_Program> program;
    bool tooLarge = false, notRegular = false;

    JUCE_DECLARE_NON_COPYABLE (FileMan)
};
