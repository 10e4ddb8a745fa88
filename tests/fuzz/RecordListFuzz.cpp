// SortByField, ReverseLines and ExtractDuplicates on random record lists:
// nothing lost, nothing invented, the order and the duplicates as stated.
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
    TStringList fields;
    SplitFields(fields, line, QuotedCsv(TheEncoding));
    return fields.Count();
}

// Split, swap fields 0 and key, join: the form in which lines are compared.
// Nothing when the line has no field at key.
std::optional<std::string> SwapKey(const std::string& line, int key) {
    TStringList fields;
    SplitFields(fields, line, QuotedCsv(TheEncoding));
    if (key >= fields.Count()) return std::nullopt;
    fields.Exchange(0, key);
    return JoinFields(fields, QuotedCsv(TheEncoding));
}

// Malformed text can make the compared form split into fewer fields than the
// line had (a last field ending in a lone lead byte, quoted and moved to the
// front, loses its closing quote), so the pass that moves the key back finds
// no field at key.
bool KeyLostOnRewrite(const std::vector<std::string>& lines, int key) {
    for (const auto& line : lines) {
        const auto keyed = SwapKey(line, key);
        if (keyed && !SwapKey(*keyed, key)) return true;
    }
    return false;
}

struct Rewritten {
    std::vector<std::string> Final;            // what the sort writes, in input order
    std::map<std::string, std::string> Keyed;  // final form -> compared form
    bool OrderCheckable = true;
};

Rewritten Rewrite(const std::vector<std::string>& lines, int key) {
    Rewritten r;
    for (const auto& line : lines) {
        const std::string keyed = *SwapKey(line, key);
        const std::string final = *SwapKey(keyed, key);
        r.Final.push_back(final);
        const auto [it, fresh] = r.Keyed.emplace(final, keyed);
        if (!fresh && it->second != keyed) r.OrderCheckable = false;
    }
    return r;
}

void CheckSorted(const std::vector<std::string>& result, const Rewritten& r) {
    std::vector<std::string> a = result, b = r.Final;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    FUZZ_CHECK(a == b, "sort lost or invented a line");
    if (!r.OrderCheckable) return;
    for (std::size_t i = 1; i < result.size(); ++i) {
        const std::string& x = r.Keyed.at(result[i - 1]);
        const std::string& y = r.Keyed.at(result[i]);
        FUZZ_CHECK(CompareLocale(x, y, true, TheEncoding) <= 0, Hex(x) + " after " + Hex(y));
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

void CheckFieldCountError(const std::vector<std::string>& lines, const TStringListEx& list, int key,
                          int expected, const EStringListError& e) {
    std::size_t bad = 0;
    while (bad < lines.size() && FieldCount(lines[bad]) == expected) ++bad;
    FUZZ_CHECK(bad < lines.size(), e.what());
    FUZZ_CHECK(e.Message() == Format(msg::kFieldCountDiffers, {std::int64_t(bad + 1)}), e.what());
    // Nothing is rewritten before every line has been checked.
    FUZZ_CHECK(Lines(list) == lines, e.what());
}

void SortAndExtract(const std::vector<std::string>& lines, int key, int expected, bool descending) {
    TStringListEx list;
    Fill(list, lines);
    try {
        SortByField(list, key, expected, TheEncoding);
    } catch (const EStringListError& e) {
        // A line of no fields has no field 0 either, and the swap tests 0 first.
        const bool noField0 =
            expected == 0 && e.Message() == Format(msg::kListIndexOutOfBounds, {std::int64_t(0)});
        if (noField0 || e.Message() == Format(msg::kListIndexOutOfBounds, {std::int64_t(key)})) {
            if (key < expected) {
                FUZZ_CHECK(KeyLostOnRewrite(lines, key), e.what());
                return;
            }
            FUZZ_CHECK(Lines(list) == lines, e.what());
            return;
        }
        CheckFieldCountError(lines, list, key, expected, e);
        return;
    }
    for (const auto& line : lines) FUZZ_CHECK(FieldCount(line) == expected, Hex(line));
    CheckSorted(Lines(list), Rewrite(lines, key));
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
    const int expected = std::max(0, (lines.empty() ? 1 : FieldCount(lines[0])) + countShift);
    SortAndExtract(lines, key, expected, descending);
    return 0;
}
