#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <cstdlib>

#include "controls/KitLookAndFeel.h"
#include "support/ClosingInstance.h"

namespace
{
// The user's folders are never touched: every test, and every plug-in a test
// loads through the command-line host, sees a fresh, empty home folder, so
// settings and bank files written by one test never reach the next.
class FreshHomePerTest : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart (const ::testing::TestInfo&) override
    {
        char pattern[] = "/tmp/vantor-test-home-XXXXXX";
        if (const char* home = mkdtemp (pattern))
        {
            current = home;
            setenv ("HOME", home, 1);
        }
    }

    void OnTestEnd (const ::testing::TestInfo&) override
    {
        if (current.isNotEmpty())
            juce::File (current).deleteRecursively();
        current.clear();
    }

private:
    juce::String current;
};
}

// Components can be built and drawn without a display; the message manager
// exists for the whole run and tests pump it where they need async delivery.
int main (int argc, char** argv)
{
    // The suite starts itself as a second plug-in process for the tests of files shared across processes.
    if (argc > 1 && juce::String (argv[1]) == ClosingInstance::flag)
        return ClosingInstance::run (argc, argv);

    ::testing::InitGoogleTest (&argc, argv);
    unsetenv ("XDG_CONFIG_HOME");
    ::testing::UnitTest::GetInstance()->listeners().Append (new FreshHomePerTest());

    juce::ScopedJuceInitialiser_GUI juce;

    // Fonts named "Arial" resolve through the default look-and-feel: headless
    // components then draw with the embedded face, as in the editor.
    auto look = std::make_unique<KitLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel (look.get());
    const int result = RUN_ALL_TESTS();
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    return result;
}
