#include "support/ClosingInstance.h"
#include "engine/FileMan.h"
#include "engine/MidiCntrState.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryRecords.h"
#include "support/RecordingMidiDevices.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <cstdlib>

namespace ClosingInstance
{
juce::StringArray arguments (const juce::String& kind, const juce::File& home, int index, const juce::File& signals)
{
    return { juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName(), flag, kind,
             home.getFullPathName(), juce::String (index), signals.getFullPathName() };
}

juce::uint8 bankMark (int index)   { return (juce::uint8) (0x40 + index); }
int bankSlot (int index)            { return 10 + index; }   // neighbours in one bank
juce::String renamed (int index)    { return "Renamed " + juce::String (index); }

ByteArray libraryRecord (int kind, int index)
{
    ByteArray record ((size_t) ProgramRecord::size, (juce::uint8) (0x10 * (kind + 1) + index));
    if (kind == 2)
    {
        record.assign ((size_t) ProgramRecord::size, (juce::uint8) (0x10 * 2 + index));
        ProgramRecord::setName (record, 0, renamed (index));
    }
    return record;
}

namespace
{
bool waitFor (const juce::File& file)
{
    // The test gives the word; a generous bound in case it never comes.
    const auto end = juce::Time::getMillisecondCounterHiRes() + 60000.0;
    while (! file.exists())
    {
        if (juce::Time::getMillisecondCounterHiRes() > end)
            return false;
        juce::Thread::sleep (1);
    }
    return true;
}

int runBanks (int index, const juce::File& ready, const juce::File& go)
{
    RecordingMidiDevices devices;
    auto engine = std::make_unique<MidiCntrState> (devices);
    engine->putProgram (true, 0, bankSlot (index), ByteArray ((size_t) ProgramRecord::size, bankMark (index)));

    ready.create();
    if (! waitFor (go))
        return 3;

    engine.reset();   // closes as a DAW closes it: settings and banks stored
    return 0;
}

int runLibrary (int index, const juce::File& ready, const juce::File& go)
{
    const auto file = FileMan::settingsFolder().getChildFile (SettingsFiles::defaultLibraryFileName);
    LibraryFile::Origin origin;
    auto records = LibraryFile::load (file, origin).records;

    // This instance deletes one program, renames another and adds a third.
    ByteArray changed;
    for (int k = 0; k < ProgramRecord::count (records); ++k)
    {
        auto record = ProgramRecord::get (records, k);
        if (record == libraryRecord (0, index))
            continue;
        if (record == libraryRecord (1, index))
            record = libraryRecord (2, index);
        changed.insert (changed.end(), record.begin(), record.end());
    }
    const auto added = libraryRecord (3, index);
    changed.insert (changed.end(), added.begin(), added.end());

    ready.create();
    if (! waitFor (go))
        return 3;

    const auto result = LibraryFile::store (changed, origin);
    return result == LibraryFile::StoreResult::written || result == LibraryFile::StoreResult::merged ? 0 : 2;
}
}

int run (int argc, char** argv)
{
    if (argc < 6)
        return 1;

    setenv ("HOME", argv[3], 1);
    unsetenv ("XDG_CONFIG_HOME");
    const juce::ScopedJuceInitialiser_GUI juce;

    const juce::String kind (argv[2]);
    const int index = juce::String (argv[4]).getIntValue();
    const juce::File signals { juce::String (argv[5]) };
    const auto ready = signals.getChildFile ("ready-" + juce::String (index));
    const auto go = signals.getChildFile ("go");

    return kind == "banks" ? runBanks (index, ready, go) : runLibrary (index, ready, go);
}
}
