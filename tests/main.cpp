#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <cstdlib>

// Components can be built and drawn without a display; the message manager
// exists for the whole run and tests pump it where they need async delivery.
// The user's folders are never touched: the whole run, and every plug-in the
// tests load through the command-line host, sees a fresh home folder.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    char homeTemplate[] = "/tmp/vantor-test-home-XXXXXX";
    const char* home = mkdtemp (homeTemplate);
    if (home == nullptr)
        return 1;
    setenv ("HOME", home, 1);
    unsetenv ("XDG_CONFIG_HOME");

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    juce::File (home).deleteRecursively();
    return result;
}
