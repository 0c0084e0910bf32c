#pragma once

#include <string>
#include <vector>

// Runs tools/vsthost on the built plug-in and keeps its output.
struct VstHostOutput
{
    int exitCode = -1;
    std::string text;

    // The value of the first "key: value" line with this key, or "" when absent.
    std::string value (const std::string& key) const;
    std::vector<std::string> values (const std::string& key) const;
};

VstHostOutput runVstHost (const std::vector<std::string>& args);
