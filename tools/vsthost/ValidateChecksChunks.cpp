// State chunks: layout, round trips between instances, bad chunks ignored.
#include "Validate.h"

#include <cstring>

namespace vsthost::validation
{
namespace
{
// An instance whose stored programs differ from the factory ones, so round
// trips show: program 7 holds program 20's sound, program 3 is renamed, 7 is current.
void makeDistinct (AEffect* e)
{
    dispatch (e, effSetProgram, 0, 20);
    const auto p20 = getChunk (e, true);
    dispatch (e, effSetProgram, 0, 7);
    setChunk (e, true, p20);
    dispatch (e, effSetProgram, 0, 3);
    dispatch (e, effSetProgramName, 0, 0, (void*) "ROUND TRIP 3");
    dispatch (e, effSetProgram, 0, 7);
}

void editSome (AEffect* e)
{
    for (int i : { 0, 1, 13, 200, 310, 500 })
        e->setParameter (e, i, e->getParameter (e, i) < 0.5f ? 0.875f : 0.125f);
}

void chunksGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    r.check ("chunks.layout", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        dispatch (a, effSetProgram, 0, 5);
        const auto bank = getChunk (a, false), prog = getChunk (a, true);
        if (bank.size() != (size_t) bankSize)
            return fmt ("bank chunk is %zu bytes", bank.size());
        if (prog.size() != (size_t) programSize)
            return fmt ("program chunk is %zu bytes", prog.size());
        if (std::string (bank.data(), bankHeader.size()) != bankHeader)
            p.add ("bank chunk header " + quoted (std::string (bank.data(), bankHeader.size())));
        if (std::string (prog.data(), programHeader.size()) != programHeader)
            p.add ("program chunk header " + quoted (std::string (prog.data(), programHeader.size())));
        if ((unsigned char) bank[(size_t) bankIndexByte] != 5)
            p.add (fmt ("index byte %d with program 5 selected", (int) (unsigned char) bank[(size_t) bankIndexByte]));
        if (std::memcmp (prog.data() + programHeader.size(), bank.data() + bankHeader.size() + 5 * recordSize, (size_t) recordSize) != 0)
            p.add ("the program chunk of unedited program 5 is not its stored record");
        return p.str();
    });

    // Reading a chunk stores the edit buffer into the current slot (that is how
    // edits reach the host's project); it must not change what the host hears or
    // sees, and reading again gives the same chunk.
    r.check ("chunks.gettersKeepState", [&]() -> std::string
    {
        Problems p;
        {
            Instance a (lib.entry);
            const auto names = programNames (a);
            const auto values = parameterValues (a);
            const auto b1 = getChunk (a, false), b2 = getChunk (a, false);
            p.addAll (compareBytes (b1, b2, 0, b1.size(), true), "a fresh instance's bank chunk read twice");
            p.addAll (compareNames (names, programNames (a)), "reading the bank chunk of a fresh instance");
            p.addAll (compareValues (a, values, parameterValues (a)), "reading the bank chunk of a fresh instance");
            const auto p1 = getChunk (a, true), p2 = getChunk (a, true);
            p.addAll (compareBytes (p1, p2, 0, p1.size(), false), "program chunk read twice");
        }
        {
            Instance a (lib.entry);
            dispatch (a, effSetProgram, 0, 4);
            editSome (a);
            const auto values = parameterValues (a);
            getChunk (a, true);
            const auto b1 = getChunk (a, false), b2 = getChunk (a, false);
            p.addAll (compareBytes (b1, b2, 0, b1.size(), true), "with edits to program 4, the bank chunk read twice");
            p.addAll (compareValues (a, values, parameterValues (a)), "reading chunks changed parameters");
            if (dispatch (a, effGetProgram) != 4)
                p.add (fmt ("reading chunks changed the current program to %d", (int) dispatch (a, effGetProgram)));
        }
        return p.str();
    });

    // The index byte and the current record say what instance 1 had selected;
    // setting a bank chunk need not select anything (hosts send effSetProgram
    // themselves), so a bare round trip compares the 99 records, and the
    // whole chunk once the host has selected the same program.
    r.check ("chunks.bankRoundTrip", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        const auto names = programNames (a);
        const auto bank = getChunk (a, false);
        setChunk (b, false, bank);
        p.addAll (compareBytes (bank, getChunk (b, false), 0, (size_t) bankRecordsEnd, true), "records");
        p.addAll (compareNames (names, programNames (b)), "");
        return p.str();
    });

    r.check ("chunks.bankThenProgram", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        const auto values = parameterValues (a);
        const auto bank = getChunk (a, false), prog = getChunk (a, true);
        setChunk (b, false, bank);
        dispatch (b, effSetProgram, 0, (unsigned char) bank.back());
        if (dispatch (b, effGetProgram) != 7)
            p.add (fmt ("current program %d", (int) dispatch (b, effGetProgram)));
        p.addAll (compareValues (b, values, parameterValues (b)), "");
        p.addAll (compareBytes (bank, getChunk (b, false), 0, bank.size(), true), "bank chunk");
        p.addAll (compareBytes (prog, getChunk (b, true), 0, prog.size(), false), "program chunk");
        return p.str();
    });

    r.check ("chunks.programThenBank", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        const auto values = parameterValues (a);
        const auto bank = getChunk (a, false);
        dispatch (b, effSetProgram, 0, (unsigned char) bank.back());
        setChunk (b, false, bank);
        if (dispatch (b, effGetProgram) != 7)
            p.add (fmt ("current program %d", (int) dispatch (b, effGetProgram)));
        auto diff = compareValues (b, values, parameterValues (b));
        if (! diff.empty())
            p.add ("program 7 was selected before the bank chunk arrived and its parameters still show the old program 7: " + diff);
        p.addAll (compareBytes (bank, getChunk (b, false), 0, bank.size(), true), "bank chunk");
        return p.str();
    });

    r.check ("chunks.bankKeepsEdits", [&]() -> std::string
    {
        Instance a (lib.entry), b (lib.entry);
        makeDistinct (a);
        editSome (a);
        const auto values = parameterValues (a);
        const auto bank = getChunk (a, false);
        setChunk (b, false, bank);
        dispatch (b, effSetProgram, 0, (unsigned char) bank.back());
        const auto diff = compareValues (b, values, parameterValues (b));
        return diff.empty() ? diff : "parameter edits made after selecting program 7 are not restored from the bank chunk: " + diff;
    });

    r.check ("chunks.programRoundTrip", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        editSome (a);
        const auto values = parameterValues (a);
        const auto prog = getChunk (a, true);
        const auto name = fetchText (a, effGetProgramName).value;
        {
            Instance b (lib.entry);
            dispatch (b, effSetProgram, 0, 7);
            setChunk (b, true, prog);
            p.addAll (compareValues (b, values, parameterValues (b)), "into program 7");
            p.addAll (compareBytes (prog, getChunk (b, true), 0, prog.size(), false), "into program 7");
            if (programName (b, 7) != name)
                p.add ("program 7 named " + quoted (programName (b, 7)) + ", expected " + quoted (name));
        }
        {
            Instance c (lib.entry);
            setChunk (c, true, prog);
            p.addAll (compareValues (c, values, parameterValues (c)), "into a fresh instance");
            p.addAll (compareBytes (prog, getChunk (c, true), 0, prog.size(), false), "into a fresh instance");
        }
        return p.str();
    });

    // Chunks from another state, so anything wrongly accepted shows.
    Bytes otherBank, otherProg;
    {
        Instance o (lib.entry);
        dispatch (o, effSetProgram, 0, 30);
        dispatch (o, effSetProgramName, 0, 0, (void*) "OTHER 30");
        dispatch (o, effSetProgram, 0, 2);
        dispatch (o, effSetProgramName, 0, 0, (void*) "OTHER 2");
        otherBank = getChunk (o, false);
        otherProg = getChunk (o, true);
    }

    auto ignored = [&] (AEffect* e, bool program, const void* data, size_t size, const std::string& what) -> std::string
    {
        const auto before = capture (e);
        setChunk (e, program, data, size);
        const auto diff = compareStates (e, before, capture (e));
        return diff.empty() ? diff : what + " was not ignored: " + diff;
    };

    r.check ("chunks.empty", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        capture (a);
        for (bool program : { false, true })
        {
            const char* kind = program ? "program" : "bank";
            const auto& source = program ? otherProg : otherBank;
            p.addAll (ignored (a, program, source.data(), 0, fmt ("an empty %s chunk", kind)), "");
            p.addAll (ignored (a, program, nullptr, 0, fmt ("a null %s chunk", kind)), "");
            p.addAll (ignored (a, program, nullptr, source.size(), fmt ("a null %s chunk with a size", kind)), "");
        }
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.truncated", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        capture (a);
        for (size_t size : { (size_t) bankMinimum - 1, (size_t) 1, (size_t) 16, bankHeader.size(), (size_t) programSize })
            p.addAll (ignored (a, false, otherBank.data(), size, fmt ("a %zu-byte bank chunk", size)), "");
        for (size_t size : { (size_t) programSize - 1, (size_t) 1, (size_t) 16, programHeader.size() })
            p.addAll (ignored (a, true, otherProg.data(), size, fmt ("a %zu-byte program chunk", size)), "");
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.minimumSizes", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        setChunk (a, false, otherBank.data(), (size_t) bankMinimum);
        p.addAll (compareBytes (otherBank, getChunk (a, false), 0, (size_t) bankRecordsEnd, true), "a bank chunk of the minimum size");
        setChunk (a, true, otherProg.data(), (size_t) programSize);
        p.addAll (compareBytes (otherProg, getChunk (a, true), 0, otherProg.size(), false), "a program chunk of the minimum size");
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.oversized", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        Bytes bank2 = otherBank, prog2 = otherProg;
        bank2.insert (bank2.end(), otherBank.begin(), otherBank.end());
        prog2.insert (prog2.end(), otherProg.begin(), otherProg.end());
        setChunk (a, false, bank2);
        p.addAll (compareBytes (otherBank, getChunk (a, false), 0, (size_t) bankRecordsEnd, true), "a double-size bank chunk");
        setChunk (a, true, prog2);
        p.addAll (compareBytes (otherProg, getChunk (a, true), 0, otherProg.size(), false), "a double-size program chunk");
        p.addAll (answersEverything (a, rng), "afterwards");
        return p.str();
    });

    r.check ("chunks.wrongKind", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        makeDistinct (a);
        capture (a);
        p.addAll (ignored (a, false, otherProg.data(), otherProg.size(), "a program chunk given as a bank chunk"), "");
        setChunk (a, true, otherBank);
        p.addAll (answersEverything (a, rng), "after a bank chunk given as a program chunk");
        return p.str();
    });

    r.check ("chunks.random", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const size_t sizes[] = { (size_t) bankSize, (size_t) bankMinimum, (size_t) programSize, 5000, 2 * (size_t) bankSize, 200 };
        for (int trial = 0; trial < 12; ++trial)
        {
            const bool program = trial % 2 == 1;
            Bytes data (sizes[(size_t) trial / 2]);
            for (auto& c : data)
                c = (char) rng();
            const auto& header = program ? programHeader : bankHeader;
            if (trial % 4 < 2 && data.size() >= header.size())
                std::memcpy (data.data(), header.data(), header.size());
            setChunk (a, program, data);
            dispatch (a, effSetProgram, 0, (int) (rng() % numPrograms));
            p.addAll (answersEverything (a, rng), fmt ("after a random %s chunk of %zu bytes", program ? "program" : "bank", data.size()));
        }
        return p.str();
    });
}
} // namespace

const ValidationGroup chunkChecks { "chunks", 2, chunksGroup };
} // namespace vsthost::validation
