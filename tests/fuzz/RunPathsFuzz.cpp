// A file in memory against the same file streamed, and sorted on disk: one
// set of choices, two memory budgets, and the same ".new", ".w" and error.
// The records come from a small alphabet full of letter-case and width
// twins, numbers in several spellings, quoted fields (some with line breaks
// inside, so that records span lines), padding and repeats, so that records
// the collator finds equal meet across runs, merges and levels of merges.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "records/Exceptions.h"
#include "run/NullObserver.h"
#include "run/ProcessingRun.h"

namespace quellor::fuzz {
namespace {

// Code page 932 bytes: full-width and half-width forms of the same letters,
// kana that differ only in kind, and digits the numeric key reads.
const char* const kPieces[] = {
    "a",        "A",        "x",         "X",        "Kx-001",   "KX-001",   "\x82\x81",
    "\x82\x60", "\xb1",     "\x83\x41",  "\x82\xa0", "1",        "10",       "1.0",
    "-2",       "\x82\x50", "\"1,000\"", "\"a b\"",  " ",        "\x93\x8c", "\x8b\x9e",
    "\"\"",     "9",        "\\",        "z",        "\x81\x5b", "0.50",     "\x81\x8f"};

std::string Field(FuzzedDataProvider& fdp) {
    std::string field;
    for (int n = fdp.ConsumeIntegralInRange(0, 3); n > 0; --n)
        field += kPieces[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) - 1)];
    return field;
}

struct Outcome {
    std::string Error, New, W;
};

Outcome Run(const RunSettings& settings, const std::string& path) {
    Outcome o;
    NullObserver observer;
    const AbortSwitch abort;
    try {
        ExecuteRun(settings, observer, abort);
    } catch (const Exception& e) {
        o.Error = e.Message();
    }
    o.New = Exists(path + ".new") ? ReadFileBytes(path + ".new") : "(none)";
    o.W = Exists(path + ".w") ? ReadFileBytes(path + ".w") : "(none)";
    ClearScratch();
    return o;
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellor;
    using namespace quellor::fuzz;
    FuzzedDataProvider fdp(data, size);
    const int fields = fdp.ConsumeIntegralInRange(1, 3);
    RunSettings s;
    s.ExpectedFieldCount = fields;
    s.SortOn = fdp.ConsumeIntegralInRange(0, 3) != 0;
    s.Delimiter = fdp.ConsumeBool() ? DelimiterChoice::Tab : DelimiterChoice::Comma;
    const char delimiter = s.Delimiter == DelimiterChoice::Tab ? '\t' : ',';
    s.SortKeyField = fdp.ConsumeIntegralInRange(1, fields);
    s.SortDescending = fdp.ConsumeBool();
    s.SortNumeric = fdp.ConsumeBool();
    s.DuplicatesToFile = fdp.ConsumeBool();
    s.HeadingLine = fdp.ConsumeBool();
    if (fdp.ConsumeBool()) {
        s.RecordExtractionOn = true;
        s.Condition1 = {fdp.ConsumeIntegralInRange(1, fields), Field(fdp), MatchMode::Contains};
    }
    if (fdp.ConsumeBool()) {
        s.FieldExtractionOn = true;
        s.ChosenFields = {fields, 1};
    }
    const std::uint64_t budget = fdp.ConsumeIntegralInRange<std::uint64_t>(16, 8192);

    std::vector<std::string> records;
    const int count = fdp.ConsumeIntegralInRange(0, 300);
    for (int i = 0; i < count && fdp.remaining_bytes() > 0; ++i) {
        if (!records.empty() && fdp.ConsumeIntegralInRange(0, 3) == 0) {
            records.push_back(
                records[fdp.ConsumeIntegralInRange<std::size_t>(0, records.size() - 1)]);
            continue;
        }
        std::string record = Field(fdp);
        // Now and then a record with a field too many or too few.
        const int cut =
            fdp.ConsumeIntegralInRange(0, 40) == 0 ? fdp.ConsumeIntegralInRange(0, 4) : fields;
        for (int f = 1; f < cut; ++f) record += delimiter + Field(fdp);
        records.push_back(record);
    }
    std::string text;
    for (const std::string& record : records) text += record + "\r\n";

    const std::string path = ScratchDir() + "/in.csv";
    s.Files = {path};
    WriteFileBytes(path, text);
    const Outcome inMemory = Run(s, path);
    WriteFileBytes(path, text);
    s.MemoryBudget = budget;
    const Outcome onDisk = Run(s, path);
    FUZZ_CHECK(onDisk.Error == inMemory.Error, onDisk.Error + " | " + inMemory.Error);
    FUZZ_CHECK(onDisk.New == inMemory.New, Hex(onDisk.New) + " | " + Hex(inMemory.New));
    FUZZ_CHECK(onDisk.W == inMemory.W, Hex(onDisk.W) + " | " + Hex(inMemory.W));
    return 0;
}
