#pragma once

#include <string>
#include <vector>

namespace vsthost
{
void usage();

// Runs the commands in order against the current instance; the exit status.
int runCommands (const std::string& path, const std::vector<std::string>& args);
} // namespace vsthost
