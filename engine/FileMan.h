#pragma once

#include <juce_core/juce_core.h>
#include "engine/ProgramRecord.h"
#include <functional>
#include <memory>

class DSI_Program;

// One file operation: picks a file with the chooser of a file type code,
// reads it and, for program files, loads it through a DSI_Program.
// Made on the stack for one dialog and its load; message thread only.
class FileMan
{
public:
    static constexpr int openMode = 98;
    static constexpr int saveMode = 99;

    FileMan();
    ~FileMan();

    // Stands in for the file chooser when set (tests): gets the wildcard string
    // and the initial file, returns false for a cancel or the chosen file in result.
    using ChooserHook = std::function<bool (bool save, const juce::String& title, const juce::String& patterns,
                                            const juce::File& initial, juce::File& result)>;
    static inline ChooserHook chooserHook;

    static juce::String settingsFolderName()       { return "VantorConfig"; }
    static juce::File settingsFolder();
    static juce::File startupPresetFile();
    static juce::String fxbExtension()             { return ".fxb"; }
    static juce::String fxpExtension()             { return ".fxp"; }

    // Title and patterns of a file type code; an unknown code leaves the
    // patterns empty and the title as it was.
    void dialogSpec (int code);

    // Runs the chooser in open (98) or save (99) mode; true when a file was chosen.
    // A saved name whose extension is under 3 characters gets the first pattern's.
    bool browse (int mode, int code, const juce::String& defaultName);

    // The whole file, also kept as the file data; empty when missing.
    ByteArray loadFileBytes (const juce::File& file);

    // From the first F0 to the first F7 after it, both included; empty without both.
    static ByteArray firstSysEx (const ByteArray& bytes);

    // Chooses a single program file; its first SysEx message becomes the program bytes.
    bool loadSingleProgram();

    // Chooses a program bank file; its program dumps become the file data.
    bool loadProgramBank();

    const juce::File& getChosenFile() const noexcept        { return chosenFile; }
    const juce::String& getTitle() const noexcept           { return title; }
    const juce::StringArray& getPatterns() const noexcept   { return patterns; }
    const ByteArray& getProgramBytes() const noexcept       { return programBytes; }
    const ByteArray& getFileData() const noexcept           { return fileData; }

    // The DSI_Program of the last load (nullptr before one); take it to keep it.
    DSI_Program* getProgram() const noexcept                { return program.get(); }
    std::unique_ptr<DSI_Program> takeProgram() noexcept     { return std::move (program); }

private:
    bool runChooser (bool save, const juce::String& wildcard, const juce::File& initial, juce::File& result);

    ByteArray programBytes;
    ByteArray fileData;
    juce::File chosenFile;
    juce::String title;
    juce::StringArray patterns;
    std::unique_ptr<DSI_Program> program;

    JUCE_DECLARE_NON_COPYABLE (FileMan)
};
