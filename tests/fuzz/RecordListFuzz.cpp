// SortByField, ReverseLines and ExtractDuplicates on random record lists:
// nothing lost, invented or rewritten, the order and the duplicates as stated.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "records/Compare.h"
#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/Messages.h"
#include "records/RecordList.h"
#include "records/Sort.h"

namespace quellor::fuzz {
namespace {

// The encoding of the input at hand, decided as LoadLines decides a file's.
Encoding TheEncoding = Encoding::Cp932;

// Lines as LoadLines would hand them over: no NUL, CR or LF.
std::vector<std::string> RecordLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c != '\r' && c != '\0') {
            lines.back() += c;
        }
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

int FieldCount(const std::string& line) {
    TStringListEx fields;
    SplitFields(fields, line, TheEncoding);
    return fields.Count();
}

// The form in which records are compared: their values joined by commas,
// the key exchanged with the first.
std::string FormOf(const std::string& line, int key) {
    TStringListEx fields;
    SplitFields(fields, line, TheEncoding);
    std::string form;
    for (int k = 0; k < fields.Count(); ++k) {
        if (k > 0) form += ',';
        form += fields.Get(k == 0 ? key : k == key ? 0 : k);
    }
    return form;
}

// The records come out as they went in, each once, in the sort's order.
void CheckSorted(const std::vector<std::string>& result, const std::vector<std::string>& lines,
                 int key) {
    std::vector<std::string> a = result, b = lines;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    FUZZ_CHECK(a == b, "sort lost, invented or rewrote a record");
    for (std::size_t i = 1; i < result.size(); ++i) {
        const std::string x = FormOf(result[i - 1], key), y = FormOf(result[i], key);
        const int c = CompareLocale(x, y, true, TheEncoding);
        FUZZ_CHECK(c < 0 || (c == 0 && (x < y || (x == y && result[i - 1] <= result[i]))),
                   Hex(result[i - 1]) + " before " + Hex(result[i]));
    }
}

// Kept and moved lines merge back into the list they came from: each line
// either starts a new run of identical neighbours (kept) or repeats the
// line before it (moved, in order).
void CheckDuplicates(const std::vector<std::string>& before, const std::vector<std::string>& kept,
                     const std::vector<std::string>& moved) {
    FUZZ_CHECK(kept.size() + moved.size() == before.size());
    std::size_t k = 0, m = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i > 0 && before[i] == before[i - 1]) {
            FUZZ_CHECK(m < moved.size() && moved[m++] == before[i], Hex(before[i]));
        } else {
            FUZZ_CHECK(k < kept.size() && kept[k++] == before[i], Hex(before[i]));
        }
    }
}

// The first record is checked first: its count, then the key; then the
// first record whose count is wrong is named. Nothing moves.
void CheckError(const std::vector<std::string>& lines, const TStringListEx& list, int key,
                int expected, const EStringListError& e) {
    FUZZ_CHECK(Lines(list) == lines, e.what());
    std::size_t bad = 0;
    while (bad < lines.size() && FieldCount(lines[bad]) == expected) ++bad;
    if (bad > 0 && key >= expected) {
        FUZZ_CHECK(e.Message() == Format(msg::kListIndexOutOfBounds, {std::int64_t(key)}),
                   e.what());
        return;
    }
    FUZZ_CHECK(bad < lines.size(), e.what());
    FUZZ_CHECK(e.Message() == Format(msg::kFieldCountDiffers, {std::int64_t(bad + 1)}), e.what());
}

void SortAndExtract(const std::vector<std::string>& lines, int key, int expected, bool descending) {
    TStringListEx list;
    Fill(list, lines);
    try {
        SortByField(list, key, expected, TheEncoding);
    } catch (const EStringListError& e) {
        CheckError(lines, list, key, expected, e);
        return;
    }
    for (const auto& line : lines) FUZZ_CHECK(FieldCount(line) == expected, Hex(line));
    FUZZ_CHECK(lines.empty() || key < expected, "a key beyond the fields was taken");
    CheckSorted(Lines(list), lines, key);
    if (descending) ReverseLines(list);
    const std::vector<std::string> before = Lines(list);
    const auto moved = ExtractDuplicates(list);
    CheckDuplicates(before, Lines(list), Lines(*moved));
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellor::fuzz;
    FuzzedDataProvider fdp(data, size);
    const int key = fdp.ConsumeIntegralInRange<int>(0, 7);
    const int countShift = fdp.ConsumeIntegralInRange<int>(-1, 1);
    const bool descending = fdp.ConsumeBool();
    const std::string text = fdp.ConsumeRemainingBytesAsString();
    TheEncoding = quellor::DetectEncoding(text);
    const auto lines = RecordLines(text);
    // Mostly the first line's count, as the run passes it; sometimes off by one.
    const int expected = std::max(1, (lines.empty() ? 1 : FieldCount(lines[0])) + countShift);
    SortAndExtract(lines, key, expected, descending);
    return 0;
}
