// A small VST 2.4 host for the command line: loads a plug-in with dlopen,
// calls its entry point and prints what a host sees. Commands run in order
// against the current instance, so round trips can be scripted:
//
//   vsthost PLUGIN.so info
//   vsthost PLUGIN.so params 0 623 programs
//   vsthost PLUGIN.so set 0 0.5 get 0
//   vsthost PLUGIN.so savechunk bank /tmp/b.bin instance 2 loadchunk bank /tmp/b.bin
//   vsthost PLUGIN.so process 48000 512 "90 3c 64"
//   vsthost PLUGIN.so validate [--keep-home] [--only GROUP,...] [--seed N]
//
// Output lines are "key: value" so tests can read them; validate prints
// "PASS name" / "FAIL name: reason" lines and "N passed, N failed".
//
// Host.* loads the plug-in and answers its callbacks, Commands.* runs the
// commands, Validate.* runs the validation, ValidateChecks*.cpp hold its groups
// of checks, each registering itself, and ValidateWindow.* gives the checks
// that open the editor a host window.

#include "Commands.h"
#include "Validate.h"

#include <string>
#include <vector>

int main (int argc, char** argv)
{
    if (argc < 3)
    {
        vsthost::usage();
        return 2;
    }

    if (std::string (argv[2]) == "validate")
        return vsthost::validation::run (argv[1], std::vector<std::string> (argv + 3, argv + argc));

    return vsthost::runCommands (argv[1], std::vector<std::string> (argv + 2, argv + argc));
}
