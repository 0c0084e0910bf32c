#include "Snapshots.h"
#include "controls/KitLookAndFeel.h"

#include <cstdlib>
#include <string>
#include <iostream>

// JUCE's own message-loop step: works whether or not modal loops are permitted.
namespace juce { bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages); }

namespace snapshots
{
static std::vector<Entry>& registry()
{
    static std::vector<Entry> entries;
    return entries;
}

bool add (const char* name, int width, int height, Factory make)
{
    registry().push_back ({ name, width, height, std::move (make) });
    return true;
}

const std::vector<Entry>& all()
{
    return registry();
}
}

// Every picture's settings folder (geometry, banks, the default library) lives in a
// throw-away home of its own: pictures never depend on the user's settings, nor on
// a window size an earlier picture stored.
class ScratchHome
{
public:
    ScratchHome()
    {
        if (const char* before = std::getenv ("HOME"))
            previous = before;
        char folder[] = "/tmp/vantor-snapshots-home-XXXXXX";
        if (const char* made = mkdtemp (folder))
        {
            home = juce::File (made);
            setenv ("HOME", made, 1);
            unsetenv ("XDG_CONFIG_HOME");
        }
    }

    ~ScratchHome()
    {
        // Back to the home before it, so nothing written later lands in a deleted folder.
        if (previous.empty())
            unsetenv ("HOME");
        else
            setenv ("HOME", previous.c_str(), 1);
        home.deleteRecursively();
    }

private:
    juce::File home;
    std::string previous;
};

// snapshots <output folder> [name filter]: one PNG per registered picture.
int main (int argc, char** argv)
{
    const ScratchHome initialHome;

    if (argc < 2)
    {
        std::cerr << "usage: snapshots <output folder> [name filter]\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    int failures = 0;
    {
        KitLookAndFeel look;
        juce::LookAndFeel::setDefaultLookAndFeel (&look);

        const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
        folder.createDirectory();
        const juce::String filter = argc > 2 ? juce::String (argv[2]) : juce::String();

        for (const auto& entry : snapshots::all())
        {
            if (filter.isNotEmpty() && ! entry.name.contains (filter))
                continue;

            const ScratchHome home;
            auto component = entry.make();
            if (component == nullptr)
            {
                std::cerr << entry.name << ": no component\n";
                ++failures;
                continue;
            }

            if (entry.width > 0 && entry.height > 0)
                component->setSize (entry.width, entry.height);

            // Timers and async updates a component starts on creation get their turn.
            for (const auto end = juce::Time::currentTimeMillis() + 10; juce::Time::currentTimeMillis() < end;)
                if (! juce::dispatchNextMessageOnSystemQueue (true))
                    juce::Thread::sleep (1);

            const auto image = component->createComponentSnapshot (component->getLocalBounds(), true, 1.0f);
            const auto file = folder.getChildFile (entry.name + ".png");
            file.deleteFile();
            juce::FileOutputStream out (file);
            juce::PNGImageFormat png;

            if (! out.openedOk() || ! png.writeImageToStream (image, out))
            {
                std::cerr << entry.name << ": cannot write " << file.getFullPathName() << "\n";
                ++failures;
            }
            else
            {
                std::cout << file.getFullPathName() << "\n";
            }
        }

        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    }
    return failures == 0 ? 0 : 1;
}
