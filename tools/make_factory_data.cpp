// Builds the factory data compiled into the plug-in:
//   FactoryData.bin      the framed image of the four factory banks
//   InitProgramDump.syx  the Basic Program as a program dump
// from resources/factory_programs.txt (format described at the top of that file).
//
//   make_factory_data <factory_programs.txt> <output folder>
//
// The output depends on nothing but the input file, so the checked-in files can
// be compared byte for byte with a fresh run.

#include "engine/ParameterTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using Record = std::array<unsigned char, 1024>;

constexpr int numBanks = 4, programsPerBank = 99;
constexpr int nameOffsetA = 402, nameOffsetB = 914, nameField = 20, maxNameLength = 16;
constexpr int categoryByte = 426;

const char* const categoryNames[] =
{
    "- Not Assigned -", "Keys", "Organs", "Strings", "Soft Lead", "Bright Lead", "Res Lead", "Sync",
    "Soft Bass", "Bright Bass", "Res Bass", "Sub Bass", "Brass", "Instruments", "Evolution", "Motion",
    "Synth", "Vox", "Bells", "Harmonics", "Sequence", "Percussion", "Noise", "Sound FX", "Pads", "Arpeggiator"
};

// The Basic Program, layer A: every byte not listed is zero.
struct Run { int first, last, value; };

constexpr Run basicLayerA[] =
{
    {   0,   3,  24 }, {   4,   7,  50 }, {   8,   8, 100 }, {  12,  13,   1 }, {  17,  17,   1 },
    {  18,  18,   2 }, {  19,  19,   3 }, {  20,  20,   7 }, {  21,  21,   8 }, {  22,  22,   9 },
    {  23,  23,  10 }, {  24,  24,   4 }, {  25,  25,   5 }, {  26,  26,   6 }, {  27,  27,   7 },
    {  28,  31,  64 }, {  48,  51,  70 }, {  56,  59,   1 }, {  74,  75,   7 }, {  85,  85,  83 },
    {  86,  86,  57 }, {  88,  88,   1 }, {  93,  94, 127 }, {  96,  96, 120 }, {  97,  97, 240 },
    {  98,  98,  80 }, {  99,  99,  60 }, { 100, 100,   7 }, { 101, 101,   9 }, { 102, 102,   5 },
    { 103, 103,   3 }, { 128, 131, 134 }, { 144, 144,   5 }, { 168, 171, 127 }, { 189, 189, 127 },
    { 193, 193,  40 }, { 206, 206,  14 }, { 207, 207,  15 }, { 208, 208,  16 }, { 209, 209,  19 },
    { 222, 222, 150 }, { 223, 223, 240 }, { 224, 224, 160 }, { 225, 237, 127 }, { 238, 238,  59 },
    { 239, 239,  30 }, { 240, 240,  32 }, { 241, 241,  29 }, { 256, 256, 120 }, { 260, 260,   1 },
    { 294, 294,   2 }, { 298, 298,   6 }, { 301, 301,   2 }, { 306, 337,  60 }, { 338, 369, 120 },
    { 424, 424,  60 }, { 425, 425,   1 },
};

void writeName (Record& r, const std::string& name)
{
    for (int i = 0; i < nameField; ++i)
    {
        const auto code = (unsigned char) (i < (int) name.size() ? name[(size_t) i] : ' ');
        r[(size_t) (nameOffsetA + i)] = code;
        r[(size_t) (nameOffsetB + i)] = code;
    }
}

Record basicProgram()
{
    Record r {};
    for (const auto& run : basicLayerA)
        for (int i = run.first; i <= run.last; ++i)
            r[(size_t) i] = (unsigned char) run.value;

    writeName (r, "Basic Program");

    for (int i = 0; i < 512; ++i)
        r[(size_t) (512 + i)] = r[(size_t) i];

    r[597] = 163;   // layer B's filter starts open
    r[598] = 0;
    r[601] = 64;
    return r;
}

// The 7-in-8 packing of a program dump body: per group of 7 bytes one byte of
// their top bits, then the bytes with the top bit cleared.
std::vector<unsigned char> pack (const Record& r)
{
    std::vector<unsigned char> out;
    for (size_t first = 0; first < r.size(); first += 7)
    {
        const auto count = std::min ((size_t) 7, r.size() - first);
        unsigned char header = 0;
        for (size_t k = 0; k < count; ++k)
            if (r[first + k] & 0x80)
                header = (unsigned char) (header | (1u << k));

        out.push_back (header);
        for (size_t k = 0; k < count; ++k)
            out.push_back ((unsigned char) (r[first + k] & 0x7f));
    }
    return out;
}

std::string trim (const std::string& s)
{
    const auto b = s.find_first_not_of (" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr (b, s.find_last_not_of (" \t\r") - b + 1);
}

std::string lower (std::string s)
{
    for (auto& c : s)
        c = (char) std::tolower ((unsigned char) c);
    return s;
}

bool parseInt (const std::string& text, int& value)
{
    if (text.empty())
        return false;

    char* end = nullptr;
    const auto parsed = std::strtol (text.c_str(), &end, 10);
    if (*end != 0 || parsed < -100000 || parsed > 100000)
        return false;
    value = (int) parsed;
    return true;
}

class Builder
{
public:
    bool build (std::istream& in)
    {
        for (int id = 0; id < 512; ++id)
            if (table.hasHostIndex (id))
                idByName[lower (table.name (id).toStdString())] = id;

        std::string line;
        while (std::getline (in, line))
        {
            ++lineNumber;
            const auto hash = line.find ('#');
            const bool indented = ! line.empty() && (line[0] == ' ' || line[0] == '\t');
            line = trim (hash == std::string::npos ? line : line.substr (0, hash));

            if (line.empty())
                continue;

            if (! (indented ? applySettings (line) : startEntry (line)))
                return false;
        }

        finishProgram();
        for (int b = 0; b < numBanks; ++b)
            if (banks[(size_t) b].size() != (size_t) programsPerBank)
                return fail ("bank " + std::to_string (b + 1) + " holds " + std::to_string (banks[(size_t) b].size())
                             + " programs, not " + std::to_string (programsPerBank));

        return ok;
    }

    std::vector<unsigned char> image() const
    {
        std::vector<unsigned char> out;
        const auto tag = [&out] (const char* text) { out.insert (out.end(), text, text + 13); };

        tag ("Proph12 Data>");
        for (const auto& bank : banks)
            for (const auto& r : bank)
                out.insert (out.end(), r.begin(), r.end());
        tag ("<Proph12 Data");
        tag ("Proph12pList>");
        out.insert (out.end(), 320, 0);
        tag ("<Proph12pList");
        return out;
    }

private:
    bool fail (const std::string& message)
    {
        std::cerr << "factory programs, line " << lineNumber << ": " << message << "\n";
        ok = false;
        return false;
    }

    // "common", "bank N", "program "Name" Category[: settings]", "variant "Name" [Category][: settings]"
    bool startEntry (const std::string& line)
    {
        if (line == "common")
        {
            if (bank >= 0)
                return fail ("'common' must come before the first bank");
            inCommon = true;
            return true;
        }

        if (line.compare (0, 5, "bank ") == 0)
        {
            int n = 0;
            if (! parseInt (trim (line.substr (5)), n) || n < 1 || n > numBanks)
                return fail ("bank number must be 1 to 4");
            finishProgram();
            if (! banks[(size_t) (n - 1)].empty())
                return fail ("bank " + std::to_string (n) + " is given twice");
            inCommon = false;
            bank = n - 1;
            haveBase = false;
            namesInBank.clear();   // names need only be unique inside one bank
            return true;
        }

        const bool isProgram = line.compare (0, 8, "program ") == 0;
        const bool isVariant = line.compare (0, 8, "variant ") == 0;
        if (! isProgram && ! isVariant)
            return fail ("unknown line: " + line);
        if (bank < 0)
            return fail ("a program needs a bank first");

        finishProgram();
        if (isVariant && ! haveBase)
            return fail ("a variant needs a program before it");

        const auto open = line.find ('"');
        const auto close = open == std::string::npos ? open : line.find ('"', open + 1);
        if (close == std::string::npos)
            return fail ("the name must be in double quotes");

        const auto name = line.substr (open + 1, close - open - 1);
        auto rest = line.substr (close + 1);
        std::string settings;
        if (const auto colon = rest.find (':'); colon != std::string::npos)
        {
            settings = rest.substr (colon + 1);
            rest = rest.substr (0, colon);
        }

        current = isProgram ? common : base;
        currentName = name;
        currentCategory = isProgram ? 0 : baseCategory;
        inProgram = true;

        if (! setName (name))
            return false;

        if (const auto category = trim (rest); ! category.empty())
        {
            if (! parseCategory (category, currentCategory))
                return false;
        }
        else if (isProgram)
        {
            return fail ("program \"" + name + "\" needs a category");
        }

        if (isProgram)
            baseIsPending = true;

        return settings.empty() || applySettings (settings);
    }

    bool setName (const std::string& name)
    {
        if (name.empty() || name.size() > (size_t) maxNameLength)
            return fail ("name \"" + name + "\" must be 1 to 16 characters");
        for (auto c : name)
            if (c < 32 || c > 126)
                return fail ("name \"" + name + "\" holds a character outside plain ASCII");
        if (name.back() == ' ')
            return fail ("name \"" + name + "\" ends in a space");
        if (! namesInBank.insert (lower (name)).second)
            return fail ("name \"" + name + "\" is already used in this bank");
        return true;
    }

    bool parseCategory (const std::string& text, int& category)
    {
        if (parseInt (text, category))
            return category >= 0 && category <= 25 ? true : fail ("category must be 0 to 25");

        for (int i = 0; i < 26; ++i)
            if (lower (categoryNames[i]) == lower (text))
                return (category = i), true;

        return fail ("unknown category: " + text);
    }

    // "Name = v", "Name += v", "Name -= v", "B: Name = v"; several separated by ';'.
    bool applySettings (const std::string& text)
    {
        if (! inCommon && ! inProgram)
            return fail ("settings outside a program");

        std::stringstream parts (text);
        std::string part;
        while (std::getline (parts, part, ';'))
            if (! trim (part).empty() && ! applySetting (trim (part)))
                return false;
        return true;
    }

    bool applySetting (std::string text)
    {
        bool layerBOnly = false;
        if (text.compare (0, 2, "B:") == 0)
        {
            layerBOnly = true;
            text = trim (text.substr (2));
        }

        const auto eq = text.find ('=');
        if (eq == std::string::npos || eq == 0)
            return fail ("expected 'parameter = value': " + text);

        const char op = (text[eq - 1] == '+' || text[eq - 1] == '-') ? text[eq - 1] : '=';
        const auto key = trim (text.substr (0, op == '=' ? eq : eq - 1));
        int value = 0;
        if (! parseInt (trim (text.substr (eq + 1)), value))
            return fail ("not a number: " + text);

        int id = -1;
        if (parseInt (key, id))
        {
            if (id < 0 || id > 1023)
                return fail ("parameter id out of range: " + key);
            if (id >= 512)
            {
                layerBOnly = true;
                id -= 512;
            }
        }
        else if (const auto found = idByName.find (lower (key)); found != idByName.end())
        {
            id = found->second;
        }
        else
        {
            return fail ("unknown parameter: " + key);
        }

        if (! table.hasHostIndex (id))
            return fail ("not a program parameter: " + key);

        auto& record = inCommon ? common : current;
        const int target = layerBOnly ? id + 512 : id;

        if (op == '+')
            value = record[(size_t) target] + value;
        else if (op == '-')
            value = record[(size_t) target] - value;

        const int low = std::max (0, table.minimum (id)), high = table.maximum (id);
        if (value < low || value > high)
            return fail (key + " = " + std::to_string (value) + " lies outside " + std::to_string (low)
                         + " to " + std::to_string (high));

        record[(size_t) target] = (unsigned char) value;
        if (! layerBOnly)
            record[(size_t) (id + 512)] = (unsigned char) value;
        return true;
    }

    void finishProgram()
    {
        if (! inProgram)
            return;

        writeName (current, currentName);
        current[(size_t) categoryByte] = (unsigned char) currentCategory;
        banks[(size_t) bank].push_back (current);

        if (baseIsPending)
        {
            base = current;
            baseCategory = currentCategory;
            haveBase = true;
            baseIsPending = false;
        }

        inProgram = false;
    }

    const ParameterTable table;
    std::map<std::string, int> idByName;
    std::array<std::vector<Record>, numBanks> banks;
    std::set<std::string> namesInBank;

    Record common = basicProgram(), base {}, current {};
    std::string currentName;
    int currentCategory = 0, baseCategory = 0, bank = -1, lineNumber = 0;
    bool inCommon = false, inProgram = false, haveBase = false, baseIsPending = false, ok = true;
};

bool writeFile (const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out (path, std::ios::binary);
    out.write (reinterpret_cast<const char*> (bytes.data()), (std::streamsize) bytes.size());
    return out.good();
}
}

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: make_factory_data <factory_programs.txt> <output folder>\n";
        return 2;
    }

    std::ifstream in (argv[1]);
    if (! in)
    {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }

    Builder builder;
    if (! builder.build (in))
        return 1;

    std::vector<unsigned char> initDump { 0xf0, 0x01, 0x29, 0x02, 0x00, 0x00 };
    const auto body = pack (basicProgram());
    initDump.insert (initDump.end(), body.begin(), body.end());
    initDump.push_back (0xf7);

    const std::string folder (argv[2]);
    if (! writeFile (folder + "/FactoryData.bin", builder.image())
        || ! writeFile (folder + "/InitProgramDump.syx", initDump))
    {
        std::cerr << "cannot write to " << folder << "\n";
        return 1;
    }

    return 0;
}
