// Host programs: names, selection, renaming, indices out of range.
#include "Validate.h"

#include <cstdint>

namespace vsthost::validation
{
namespace
{
void programsGroup (Reporter& r, Library& lib, std::mt19937&)
{
    Instance a (lib.entry);

    r.check ("programs.names", [&]() -> std::string
    {
        Problems p;
        for (int i = 0; i < numPrograms; ++i)
        {
            const auto t = fetchText (a, effGetProgramNameIndexed, i);
            if (t.result == 0)
                p.add (fmt ("program %d: the query answered 0", i));
            if (t.value.empty())
                p.add (fmt ("program %d has no name", i));
            else if (! t.terminated || t.value.size() >= kVstMaxProgNameLen)
                p.add (fmt ("program %d name %s is %zu bytes, more than fits a %d-byte buffer", i, quoted (t.value).c_str(),
                            t.value.size(), (int) kVstMaxProgNameLen));
            else if (! isValidUtf8 (t.value) || hasControlCharacters (t.value))
                p.add (fmt ("program %d name %s has invalid characters", i, quoted (t.value).c_str()));
        }
        return p.str();
    });

    r.check ("programs.selectEach", [&]() -> std::string
    {
        Problems p;
        getChunk (a, false);   // a fresh instance settles on program 0 with its first chunk
        const auto before = getChunk (a, false);
        const auto names = programNames (a);
        for (int pass = 0; pass < 2; ++pass)
            for (int k = 0; k < numPrograms; ++k)
            {
                const int i = pass == 0 ? k : numPrograms - 1 - k;
                dispatch (a, effSetProgram, 0, i);
                const int current = (int) dispatch (a, effGetProgram);
                if (current != i)
                    p.add (fmt ("selected %d, current program reads %d", i, current));
                const auto name = fetchText (a, effGetProgramName).value;
                if (name != names[(size_t) i])
                    p.add (fmt ("program %d: current name %s, indexed name %s", i, quoted (name).c_str(),
                                quoted (names[(size_t) i]).c_str()));
            }
        p.addAll (compareBytes (before, getChunk (a, false), 0, (size_t) bankRecordsEnd, true),
                  "selecting programs changed the stored programs");
        return p.str();
    });

    r.check ("programs.rename", [&]() -> std::string
    {
        Problems p;
        dispatch (a, effSetProgram, 0, 10);
        auto names = programNames (a);
        const std::string name = "VALIDATOR 10";
        dispatch (a, effSetProgramName, 0, 0, (void*) name.c_str());
        names[10] = name;
        if (fetchText (a, effGetProgramName).value != name)
            p.add ("current name reads " + quoted (fetchText (a, effGetProgramName).value));
        p.addAll (compareNames (names, programNames (a)), "");
        if (dispatch (a, effGetProgram) != 10)
            p.add (fmt ("current program %d after renaming 10", (int) dispatch (a, effGetProgram)));

        const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 ABCDEFGHIJ";
        dispatch (a, effSetProgram, 0, 11);
        dispatch (a, effSetProgramName, 0, 0, (void*) longName.c_str());
        const auto got = programName (a, 11);
        if (got.empty() || got.size() >= kVstMaxProgNameLen || longName.compare (0, got.size(), got) != 0)
            p.add ("a 48-character name reads back as " + quoted (got));
        dispatch (a, effSetProgramName, 0, 0, (void*) "");
        if (dispatch (a, effGetProgram) != 11)
            p.add ("an empty name changed the current program");
        return p.str();
    });

    r.check ("programs.renameKeepsEdits", [&]() -> std::string
    {
        dispatch (a, effSetProgram, 0, 12);
        for (int i : { 0, 7, 300 })
            a->setParameter (a, i, a->getParameter (a, i) < 0.5f ? 0.9f : 0.1f);
        const auto edited = parameterValues (a);
        dispatch (a, effSetProgramName, 0, 0, (void*) "EDITED 12");
        auto reason = compareValues (a, edited, parameterValues (a));
        return reason.empty() ? reason : "renaming the current program threw away its unsaved parameter edits: " + reason;
    });

    r.check ("programs.outOfRange", [&]() -> std::string
    {
        Problems p;
        dispatch (a, effSetProgram, 0, 6);
        capture (a);
        const auto before = capture (a);
        for (int index : { -1, numPrograms, 1000, INT32_MIN, INT32_MAX })
        {
            dispatch (a, effSetProgram, 0, index);
            const auto t = fetchText (a, effGetProgramNameIndexed, index);
            if (t.result != 0 || (t.written && ! t.value.empty()) || ! t.safe())
                p.add (fmt ("program %d has a name (%s, answer %d)", index, quoted (t.value).c_str(), (int) t.result));
        }
        p.addAll (compareStates (a, before, capture (a)), "");
        return p.str();
    });
}
} // namespace

const ValidationGroup programChecks { "programs", 1, programsGroup };
} // namespace vsthost::validation
