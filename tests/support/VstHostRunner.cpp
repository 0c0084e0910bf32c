#include "support/VstHostRunner.h"

#include <juce_core/juce_core.h>
#include <sstream>

VstHostOutput runVstHost (const std::vector<std::string>& args)
{
    juce::StringArray command { VANTOR_VSTHOST_PATH, VANTOR_PLUGIN_PATH };
    for (auto& a : args)
        command.add (a);

    VstHostOutput out;
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdOut))
        return out;

    out.text = process.readAllProcessOutput().toStdString();
    process.waitForProcessToFinish (120000);
    out.exitCode = (int) process.getExitCode();
    return out;
}

std::vector<std::string> VstHostOutput::values (const std::string& key) const
{
    std::vector<std::string> result;
    std::istringstream lines (text);
    const auto prefix = key + ": ";
    for (std::string line; std::getline (lines, line);)
        if (line.compare (0, prefix.size(), prefix) == 0)
            result.push_back (line.substr (prefix.size()));
    return result;
}

std::string VstHostOutput::value (const std::string& key) const
{
    auto all = values (key);
    return all.empty() ? std::string() : all.front();
}
