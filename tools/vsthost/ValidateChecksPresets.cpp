// Preset and bank state as files keep it: a renamed current program and a
// single preset survive being saved by one instance and loaded by another.
#include "Validate.h"

namespace vsthost::validation
{
namespace
{
void presetsGroup (Reporter& r, Library& lib, std::mt19937&)
{
    r.check ("presets.renamedCurrentSurvivesTwoSaves", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        dispatch (a, effSetProgram, 0, 20);
        dispatch (a, effSetProgramName, 0, 0, (void*) "KEPT 20");

        // Saved, loaded and saved again: the second save must not bring back the old name.
        Instance b (lib.entry), c (lib.entry);
        setChunk (b, false, getChunk (a, false));
        setChunk (c, false, getChunk (b, false));
        for (auto* e : { (AEffect*) b, (AEffect*) c })
            if (programName (e, 20) != "KEPT 20")
                p.add ("program 20 reads " + quoted (programName (e, 20)) + " after the round trip");
        if (dispatch (c, effGetProgram) != 20)
            p.add (fmt ("current program %d after the round trip", (int) dispatch (c, effGetProgram)));
        return p.str();
    });

    r.check ("presets.presetChunkMovesBetweenSlots", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        dispatch (a, effSetProgram, 0, 30);
        dispatch (a, effSetProgramName, 0, 0, (void*) "MOVED 30");
        const auto preset = getChunk (a, true);

        dispatch (b, effSetProgram, 0, 5);
        setChunk (b, true, preset);
        if (programName (b, 5) != "MOVED 30")
            p.add ("slot 5 reads " + quoted (programName (b, 5)) + " after loading the preset");
        p.addAll (compareBytes (preset, getChunk (b, true), 0, preset.size(), true), "the preset read back differs");
        return p.str();
    });
}
} // namespace

const ValidationGroup presetChecks { "presets", 8, presetsGroup };
} // namespace vsthost::validation
