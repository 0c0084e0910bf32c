#include "support/ThreadedTestScan.h"

#include <cctype>

namespace threadscan
{
namespace
{
bool isWordChar (char c)   { return std::isalnum ((unsigned char) c) || c == '_'; }

// Code only: comments, string and character literals and preprocessor lines
// become blanks, so a word in them starts nothing.
std::string codeOf (const std::string& s)
{
    std::string out;
    out.reserve (s.size());
    size_t i = 0;
    bool lineStart = true;

    while (i < s.size())
    {
        const char c = s[i];

        if (lineStart && c == '#')
        {
            // A directive, with its continuation lines.
            while (i < s.size() && ! (s[i] == '\n' && s[i - 1] != '\\'))
                ++i;
            continue;
        }

        if (c == '/' && i + 1 < s.size() && s[i + 1] == '/')
        {
            while (i < s.size() && s[i] != '\n')
                ++i;
            continue;
        }

        if (c == '/' && i + 1 < s.size() && s[i + 1] == '*')
        {
            const auto end = s.find ("*/", i + 2);
            i = end == std::string::npos ? s.size() : end + 2;
            out += ' ';
            continue;
        }

        if (c == 'R' && i + 1 < s.size() && s[i + 1] == '"' && (i == 0 || ! isWordChar (s[i - 1])))
        {
            const auto open = s.find ('(', i + 2);
            if (open != std::string::npos)
            {
                const auto closing = ")" + s.substr (i + 2, open - i - 2) + "\"";
                const auto end = s.find (closing, open);
                i = end == std::string::npos ? s.size() : end + closing.size();
                out += " \"\" ";
                continue;
            }
        }

        if (c == '"' || (c == '\'' && (i == 0 || ! std::isxdigit ((unsigned char) s[i - 1]))))
        {
            ++i;
            while (i < s.size() && s[i] != c)
                i += s[i] == '\\' ? 2 : 1;
            ++i;
            out += " \"\" ";
            continue;
        }

        if (c == '\n')
            lineStart = true;
        else if (! std::isspace ((unsigned char) c))
            lineStart = false;

        out += c;
        ++i;
    }

    return out;
}

std::vector<std::string> tokensOf (const std::string& code)
{
    std::vector<std::string> tokens;

    for (size_t i = 0; i < code.size();)
    {
        if (std::isspace ((unsigned char) code[i]))
        {
            ++i;
        }
        else if (isWordChar (code[i]))
        {
            const auto start = i;
            while (i < code.size() && isWordChar (code[i]))
                ++i;
            tokens.push_back (code.substr (start, i - start));
        }
        else if (code.compare (i, 2, "::") == 0)
        {
            tokens.push_back ("::");
            i += 2;
        }
        else
        {
            tokens.push_back (std::string (1, code[i]));
            ++i;
        }
    }

    return tokens;
}

using Tokens = std::vector<std::string>;

const std::string& at (const Tokens& t, size_t i)
{
    static const std::string none;
    return i < t.size() ? t[i] : none;
}

bool startsAThread (const Tokens& t, size_t begin, size_t end, const std::set<std::string>& names)
{
    for (auto i = begin; i < end; ++i)
    {
        const auto& w = t[i];

        if (w == "std" && at (t, i + 1) == "::")
        {
            const auto& what = at (t, i + 2);
            if (what == "thread" || what == "jthread" || what == "async")
                return true;
        }

        // juce::Thread itself (a subclass, or Thread::launch); not its static helpers.
        if (w == "juce" && at (t, i + 1) == "::" && at (t, i + 2) == "Thread")
            if (at (t, i + 3) != "::" || at (t, i + 4) == "launch")
                return true;

        if (w == "startThread" && at (t, i + 1) == "(")
            return true;

        if (starterNames().count (w) > 0 || names.count (w) > 0)
            return true;
    }

    return false;
}

struct Item
{
    size_t begin, end;                      // tokens, header included
    std::string name;                       // what others call it; empty for tests
    std::string suite, test;                // tests only
};

// Leading identifier of a qualified name ending just before index i.
std::string qualifiedHead (const Tokens& t, size_t i)
{
    auto j = i;
    while (j >= 2 && t[j - 1] == "::" && isWordChar (t[j - 2][0]))
        j -= 2;
    return t[j];
}

Item describe (const Tokens& t, size_t begin, size_t brace, size_t end)
{
    Item item { begin, end, {}, {}, {} };

    const auto& first = at (t, begin);
    if ((first == "TEST" || first == "TEST_F" || first == "TEST_P" || first == "TYPED_TEST")
        && at (t, begin + 1) == "(" && at (t, begin + 3) == ",")
    {
        item.suite = at (t, begin + 2);
        item.test = at (t, begin + 4);
        return item;
    }

    // A class or struct: the name after the last keyword that is not a template parameter.
    for (auto i = brace; i-- > begin;)
    {
        if ((t[i] == "class" || t[i] == "struct" || t[i] == "union") && i + 1 < brace
            && isWordChar (t[i + 1][0]))
        {
            const auto& next = at (t, i + 2);
            if (next == "{" || next == ":" || next == "final" || i + 2 == brace)
            {
                item.name = t[i + 1];
                return item;
            }
        }
    }

    for (auto i = begin; i < brace; ++i)
    {
        if (t[i] == "=" && i > begin)
        {
            // A variable; skip an array's brackets.
            auto j = i - 1;
            while (j > begin && (t[j] == "]" || t[j] == "["))
                --j;
            item.name = t[j];
            return item;
        }

        if (t[i] == "(" && i > begin && isWordChar (t[i - 1][0]))
        {
            // A function, or a member of the class it is defined for.
            item.name = qualifiedHead (t, i - 1);
            return item;
        }
    }

    return item;
}

std::vector<Item> itemsOf (const Tokens& t)
{
    std::vector<Item> items;
    std::vector<bool> transparent;     // open braces at top level: namespaces
    size_t start = 0;

    for (size_t i = 0; i < t.size(); ++i)
    {
        if (t[i] == ";")
        {
            start = i + 1;
        }
        else if (t[i] == "}")
        {
            if (! transparent.empty())
                transparent.pop_back();
            start = i + 1;
        }
        else if (t[i] == "{")
        {
            bool isNamespace = false;
            for (auto j = start; j < i; ++j)
                isNamespace = isNamespace || t[j] == "namespace" || t[j] == "extern";

            if (isNamespace)
            {
                transparent.push_back (true);
                start = i + 1;
                continue;
            }

            int depth = 0;
            auto j = i;
            for (; j < t.size(); ++j)
            {
                if (t[j] == "{") ++depth;
                if (t[j] == "}" && --depth == 0) break;
            }

            items.push_back (describe (t, start, i, j));
            i = j;
            start = j + 1;
        }
    }

    return items;
}

// Marks every item that starts a thread, repeating until the names stop growing.
std::vector<bool> threadedItems (const Tokens& t, const std::vector<Item>& items, std::set<std::string>& names)
{
    std::vector<bool> threaded (items.size(), false);

    for (bool grew = true; grew;)
    {
        grew = false;
        for (size_t k = 0; k < items.size(); ++k)
        {
            if (threaded[k] || ! startsAThread (t, items[k].begin, items[k].end, names))
                continue;

            threaded[k] = true;
            grew = true;
            if (! items[k].name.empty())
                names.insert (items[k].name);
        }
    }

    return threaded;
}
}

const std::set<std::string>& starterNames()
{
    static const std::set<std::string> names {
        "SimulatedSynth",        // delivers on its own thread
        "startTransmit", "transmitProgramTo",   // the engine's program transmitter
        "ThreadPool", "TimeSliceThread", "HighResolutionTimer"
    };
    return names;
}

std::set<std::string> threadedNames (const std::vector<Source>& sources, const std::set<std::string>& known)
{
    auto names = known;

    // Helpers in one file may use those of another: go round until nothing changes.
    for (size_t before = names.size() + 1; before != names.size();)
    {
        before = names.size();
        for (const auto& source : sources)
        {
            const auto tokens = tokensOf (codeOf (source.text));
            threadedItems (tokens, itemsOf (tokens), names);
        }
    }

    return names;
}

std::vector<Finding> threadedTests (const Source& source, const std::set<std::string>& known)
{
    auto names = known;
    const auto tokens = tokensOf (codeOf (source.text));
    const auto items = itemsOf (tokens);
    const auto threaded = threadedItems (tokens, items, names);

    std::vector<Finding> found;
    for (size_t k = 0; k < items.size(); ++k)
        if (threaded[k] && ! items[k].suite.empty())
            found.push_back ({ source.path, items[k].suite, items[k].test });

    return found;
}
}
