// Loading and unloading the library, creating and closing instances, what they report.
#include "Validate.h"

#include <dlfcn.h>
#include <cstdio>
#include <memory>

namespace vsthost::validation
{
namespace
{
void instanceGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    const std::string path = lib.path;

    // Cold: each cycle is a fresh process that loads the library, uses one
    // instance and unloads it (the library may stay resident after dlclose,
    // so only a new process starts it from nothing).
    r.check ("instance.coldCycles", [&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 3; ++cycle)
            p.addAll (inFreshProcess ([&]() -> std::string
            {
                Library cold;
                if (! cold.load (path))
                    return cold.error;
                std::string reason;
                {
                    Instance a (cold.entry);
                    reason = a.e == nullptr ? "no instance" : quickUse (a, rng);
                }
                cold.unload();
                if (void* still = dlopen (path.c_str(), RTLD_NOW | RTLD_NOLOAD); still != nullptr && cycle == 0)
                {
                    std::fprintf (stderr, "note: the library stays in memory after dlclose\n");
                    dlclose (still);
                }
                return reason;
            }), fmt ("cycle %d", cycle));
        return p.str();
    });

    r.check ("instance.load", [&]() -> std::string
    {
        if (! lib.load (path))
            return lib.error;
        Instance a (lib.entry);
        if (a.e == nullptr)
            return "VSTPluginMain returned no effect with the VST magic number";
        return {};
    });
    if (lib.handle == nullptr)
        return;

    r.check ("instance.properties", [&]() -> std::string
    {
        Instance a (lib.entry);
        if (a.e == nullptr)
            return "no instance";
        Problems p;
        if (a->numParams != numParams)     p.add (fmt ("numParams %d", a->numParams));
        if (a->numPrograms != numPrograms) p.add (fmt ("numPrograms %d", a->numPrograms));
        if (a->numInputs != numChannels)   p.add (fmt ("numInputs %d", a->numInputs));
        if (a->numOutputs != numChannels)  p.add (fmt ("numOutputs %d", a->numOutputs));
        for (auto flag : { effFlagsHasEditor, effFlagsCanReplacing, effFlagsProgramChunks })
            if ((a->flags & flag) == 0)
                p.add (fmt ("flag 0x%x missing", (unsigned) flag));
        if (a->flags & effFlagsIsSynth)
            p.add ("claims to be a synth");
        if (a->uniqueID == 0)
            p.add ("unique ID 0");
        if (a->processReplacing == nullptr || a->getParameter == nullptr || a->setParameter == nullptr)
            p.add ("missing a function pointer");
        if (dispatch (a, effGetVstVersion) != kVstVersion)
            p.add (fmt ("VST version %d", (int) dispatch (a, effGetVstVersion)));
        if (dispatch (a, effGetPlugCategory) != kPlugCategEffect)
            p.add (fmt ("category %d", (int) dispatch (a, effGetPlugCategory)));
        const auto name = fetchText (a, effGetEffectName), vendor = fetchText (a, effGetVendorString),
                   product = fetchText (a, effGetProductString);
        if (name.value.empty() || name.value.size() >= kVstMaxEffectNameLen)
            p.add ("effect name " + quoted (name.value));
        if (vendor.value.empty() || vendor.value.size() >= kVstMaxVendorStrLen)
            p.add ("vendor " + quoted (vendor.value));
        if (product.value.empty() || product.value.size() >= kVstMaxProductStrLen)
            p.add ("product " + quoted (product.value));
        if (dispatch (a, effCanDo, 0, 0, (void*) "validatorSurelyUnknownFeature") > 0)
            p.add ("answers yes to an unknown canDo");

        Instance b (lib.entry);
        if (b.e == nullptr || b->uniqueID != a->uniqueID || b->numParams != a->numParams || b->flags != a->flags)
            p.add ("a second instance reports different properties");
        return p.str();
    });

    // Warm: the library stays loaded (but is closed and opened again half way,
    // as a rescanning host does); every other instance is closed while still processing.
    r.check ("instance.warmCycles", [&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 6; ++cycle)
        {
            if (cycle == 3)
            {
                lib.unload();
                if (! lib.load (path))
                    return "reloading: " + lib.error;
            }
            Instance a (lib.entry);
            if (a.e == nullptr)
            {
                p.add (fmt ("cycle %d: no instance", cycle));
                continue;
            }
            p.addAll (quickUse (a, rng), fmt ("cycle %d", cycle));
            if (cycle % 2 == 1)
            {
                prepare (a, 44100.0, 512);
                resume (a);
                p.addAll (runBlock (a, 512, rng), fmt ("cycle %d", cycle));
                // Closed without effMainsChanged 0, as some hosts do.
            }
        }
        return p.str();
    });

    r.check ("instance.twoAtOnce", [&]() -> std::string
    {
        Problems p;
        for (int order = 0; order < 2; ++order)
        {
            auto a = std::make_unique<Instance> (lib.entry);
            auto b = std::make_unique<Instance> (lib.entry);
            if (a->e == nullptr || b->e == nullptr)
                return "could not create two instances";

            dispatch (*a, effSetProgram, 0, 3);
            dispatch (*b, effSetProgram, 0, 5);
            const auto namesB = programNames (*b);
            dispatch (*a, effSetProgramName, 0, 0, (void*) "ONLY IN A");
            (*a)->setParameter (*a, 0, 1.0f);
            (*b)->setParameter (*b, 0, 0.0f);

            if (dispatch (*a, effGetProgram) != 3 || dispatch (*b, effGetProgram) != 5)
                p.add (fmt ("programs %d and %d, expected 3 and 5", (int) dispatch (*a, effGetProgram), (int) dispatch (*b, effGetProgram)));
            if ((*a)->getParameter (*a, 0) != 1.0f || (*b)->getParameter (*b, 0) != 0.0f)
                p.add (fmt ("parameter 0 reads %g and %g, expected 1 and 0", (double) (*a)->getParameter (*a, 0),
                            (double) (*b)->getParameter (*b, 0)));
            p.addAll (compareNames (namesB, programNames (*b)), "renaming in the first instance changed the second");

            for (auto* e : { a->e, b->e })
            {
                prepare (e, 48000.0, 256);
                resume (e);
            }
            for (int block = 0; block < 4; ++block)
            {
                p.addAll (runBlock (*a, 256, rng), "first instance");
                p.addAll (runBlock (*b, 256, rng), "second instance");
            }

            // Close one, the other must carry on.
            auto& first = order == 0 ? a : b;
            auto& second = order == 0 ? b : a;
            first.reset();
            p.addAll (runBlock (*second, 256, rng), "after closing the other instance");
            p.addAll (quickUse (*second, rng), "after closing the other instance");
            second.reset();
        }
        return p.str();
    });
}
} // namespace

const ValidationGroup instanceChecks { "instance", 0, instanceGroup, true };
} // namespace vsthost::validation
