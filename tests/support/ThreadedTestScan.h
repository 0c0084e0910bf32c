#pragma once

#include <set>
#include <string>
#include <vector>

// Finds the tests that start a thread, directly or through a type or helper
// defined beside them, so that every one of them can be run under
// ThreadSanitizer by its suite's name.
namespace threadscan
{
struct Source
{
    std::string path, text;
};

struct Finding
{
    std::string path, suite, test;
};

// Names (classes, free functions) in the given sources that start a thread
// when used; helpers shared by many test files.
std::set<std::string> threadedNames (const std::vector<Source>& sources,
                                     const std::set<std::string>& known = {});

// Tests in the source that start a thread, through its own code or through
// one of the given names.
std::vector<Finding> threadedTests (const Source& source, const std::set<std::string>& known);

// Words that start a thread wherever they appear in code.
const std::set<std::string>& starterNames();
}
