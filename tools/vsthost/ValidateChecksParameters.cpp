// Host parameters: names, values, texts, indices and values out of range, gestures.
#include "Validate.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace vsthost::validation
{
namespace
{
void parametersGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    auto a = std::make_unique<Instance> (lib.entry);
    AEffect* e = *a;
    const int automateBefore = host.automateCalls;

    r.check ("parameters.names", [&]() -> std::string
    {
        Problems p;
        std::map<std::string, int> seen;
        for (int i = 0; i < numParams; ++i)
        {
            const auto t = fetchText (e, effGetParamName, i);
            if (t.value.empty() || ! t.terminated || ! isValidUtf8 (t.value) || hasControlCharacters (t.value))
                p.add (fmt ("parameter %d name %s", i, quoted (t.value).c_str()));
            else if (seen.count (t.value) != 0)
                p.add (fmt ("parameters %d and %d are both named %s", seen[t.value], i, quoted (t.value).c_str()));
            seen.emplace (t.value, i);
            if (dispatch (e, effCanBeAutomated, i) != 1)
                p.add (fmt ("parameter %d cannot be automated", i));
        }
        return p.str();
    });

    r.check ("parameters.setAndRead", [&]() -> std::string
    {
        Problems p;
        for (int i = 0; i < numParams; ++i)
        {
            const auto name = parameterName (e, i);
            e->setParameter (e, i, 0.0f);
            const float v0 = e->getParameter (e, i);
            const auto t0 = fetchText (e, effGetParamDisplay, i);
            e->setParameter (e, i, 1.0f);
            const float v1 = e->getParameter (e, i);
            const auto t1 = fetchText (e, effGetParamDisplay, i);
            const float target = std::uniform_real_distribution<float> (0.0f, 1.0f) (rng);
            e->setParameter (e, i, target);
            const float vr = e->getParameter (e, i);
            const auto tr = fetchText (e, effGetParamDisplay, i);
            e->setParameter (e, i, vr);
            const float again = e->getParameter (e, i);
            const auto tAgain = parameterText (e, i);

            if (v0 != 0.0f || v1 != 1.0f)
                p.add (fmt ("parameter %d (%s): set to 0 and 1 reads %g and %g", i, name.c_str(), (double) v0, (double) v1));
            if (! (vr >= 0.0f && vr <= 1.0f) || std::fabs (vr - target) > 0.5f)
                p.add (fmt ("parameter %d (%s): set to %g reads %g", i, name.c_str(), (double) target, (double) vr));
            if (again != vr || tAgain != tr.value)
                p.add (fmt ("parameter %d (%s): setting the value it read (%g, %s) gives %g, %s", i, name.c_str(), (double) vr,
                            quoted (tr.value).c_str(), (double) again, quoted (tAgain).c_str()));
            for (auto* t : { &t0, &t1, &tr })
                if (t->value.empty() || ! t->terminated || ! isValidUtf8 (t->value))
                    p.add (fmt ("parameter %d (%s) shows %s", i, name.c_str(), quoted (t->value).c_str()));
        }
        return p.str();
    });

    r.check ("parameters.rangeInEveryProgram", [&]() -> std::string
    {
        Problems p;
        for (int prog = 0; prog < numPrograms; ++prog)
        {
            dispatch (e, effSetProgram, 0, prog);
            for (int i = 0; i < numParams; ++i)
            {
                const float v = e->getParameter (e, i);
                if (! (v >= 0.0f && v <= 1.0f))
                    p.add (fmt ("program %d parameter %d reads %g", prog, i, (double) v));
                const auto t = fetchText (e, effGetParamDisplay, i);
                if (t.value.empty() || ! t.terminated || ! isValidUtf8 (t.value))
                    p.add (fmt ("program %d parameter %d (%s) shows %s", prog, i, parameterName (e, i).c_str(), quoted (t.value).c_str()));
            }
        }
        return p.str();
    });

    r.check ("parameters.outOfRange", [&]() -> std::string
    {
        Problems p;
        dispatch (e, effSetProgram, 0, 8);
        capture (e);
        const auto before = capture (e);
        for (int index : { numParams, -1, 100000, INT32_MIN })
        {
            e->setParameter (e, index, 0.7f);
            const float v = e->getParameter (e, index);
            if (! std::isfinite (v))
                p.add (fmt ("parameter %d reads %g", index, (double) v));
            for (auto opcode : { effGetParamName, effGetParamDisplay, effGetParamLabel })
                if (! fetchText (e, opcode, index).safe())
                    p.add (fmt ("parameter %d: opcode %d wrote an unterminated or invalid string", index, (int) opcode));
            if (dispatch (e, effCanBeAutomated, index) != 0)
                p.add (fmt ("parameter %d can be automated", index));
        }
        p.addAll (compareStates (e, before, capture (e)), "");
        return p.str();
    });

    r.check ("parameters.abnormalValues", [&]() -> std::string
    {
        Problems p;
        const float values[] = { NAN, INFINITY, -INFINITY, -0.5f, 1.5f, 1.0e30f, -1.0e30f, FLT_MIN / 4.0f, -0.0f };
        for (int i : { 0, 100, 309, 310, 617, 618, 619, 623 })
            for (float v : values)
            {
                e->setParameter (e, i, v);
                const float got = e->getParameter (e, i);
                const auto t = fetchText (e, effGetParamDisplay, i);
                if (! (got >= 0.0f && got <= 1.0f))
                    p.add (fmt ("parameter %d set to %g reads %g", i, (double) v, (double) got));
                if (t.value.empty() || ! isValidUtf8 (t.value))
                    p.add (fmt ("parameter %d set to %g shows %s", i, (double) v, quoted (t.value).c_str()));
            }
        return p.str();
    });

    r.check ("parameters.hostCallbacks", [&]() -> std::string
    {
        Problems p;
        a.reset();
        if (host.beginEditCalls != host.endEditCalls)
            p.add (fmt ("%d beginEdit and %d endEdit calls after closing", host.beginEditCalls.load(), host.endEditCalls.load()));
        {
            const std::lock_guard<std::mutex> l (host.lock);
            for (auto& [key, depth] : host.openGestures)
                if (depth > 0)
                {
                    p.add (fmt ("gesture on parameter %d still open after closing", key.second));
                    break;
                }
            for (auto& what : host.anomalies)
                p.add (what);
        }
        std::fprintf (stderr, "note: parameters: %d automate, %d beginEdit, %d endEdit calls from the plug-in\n",
                      host.automateCalls.load() - automateBefore, host.beginEditCalls.load(), host.endEditCalls.load());
        return p.str();
    });
}
} // namespace

const ValidationGroup parameterChecks { "parameters", 3, parametersGroup };
} // namespace vsthost::validation
