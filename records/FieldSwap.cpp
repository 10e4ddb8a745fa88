#include "records/FieldSwap.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "records/ByteScan.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/ForkJoin.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

void CheckCount(int count, int expected, int lineNumber) {
    if (expected >= 0 && count != expected) {
        throw EStringListError(Format(msg::kFieldCountDiffers, {std::int64_t{lineNumber}}));
    }
}
}  // namespace

FieldSwapper::FieldSwapper(Encoding encoding)
    : encoding_(encoding), dialect_(QuotedCsv(encoding)) {}

void FieldSwapper::Rewrite(std::string_view line, int a, int b, int expected, int lineNumber,
                           std::string& out) {
    if (FastPath(line, a, b, expected, lineNumber, &out)) return;
    SplitFields(scratch_, line, dialect_);
    CheckCount(scratch_.Count(), expected, lineNumber);
    scratch_.Exchange(a, b);
    JoinFieldsInto(scratch_, dialect_, out);
}

std::string_view FieldSwapper::Exchanged(std::string_view line, int a, int b, int expected,
                                         int lineNumber, std::string& out, bool& joined) {
    joined = FastPath(line, a, b, expected, lineNumber, a == b ? nullptr : &out);
    if (joined && a == b) return line;
    if (!joined) Rewrite(line, a, b, expected, lineNumber, out);
    return out;
}

bool FieldSwapper::FastPath(std::string_view line, int a, int b, int expected, int lineNumber,
                            std::string* out) {
    const bool pairs = encoding_ == Encoding::Cp932;
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    std::size_t ends[kMaxPlainFields];
    const std::size_t count = FindPlainFieldEnds(line, dialect_, ends);
    if (count == 0) return false;
    const int fields = static_cast<int>(count);
    CheckCount(fields, expected, lineNumber);
    if (a < 0 || b < 0 || a >= fields || b >= fields) return false;
    // A last field that ends in a lone lead byte would take the comma after
    // it for its second byte once moved in front of one: the exchange is not
    // undone byte for byte. Such a line goes the long way, where moving the
    // key back fails as it always did.
    if (pairs && a != b && std::max(a, b) == fields - 1 && !StartsCharacter(p, 0, n)) return false;
    if (out == nullptr) return true;
    out->resize(n);  // a swap keeps the length
    // Five pieces whatever the number of fields: what comes before the first
    // of the two, the second, what lies between them, the first, the rest.
    const int lo = std::min(a, b), hi = std::max(a, b);
    const auto start = [&](int k) { return k == 0 ? 0 : ends[k - 1] + 1; };
    const std::size_t loStart = start(lo), loEnd = ends[lo];
    const std::size_t hiStart = start(hi), hiEnd = ends[hi];
    char* d = out->data();
    const auto put = [&](std::size_t from, std::size_t to) {
        if (to > from) std::memcpy(d, line.data() + from, to - from);
        d += to - from;
    };
    if (lo == hi) {
        put(0, n);
        return true;
    }
    put(0, loStart);
    put(hiStart, hiEnd);
    put(loEnd, hiStart);
    put(loStart, loEnd);
    put(hiEnd, n);
    return true;
}

namespace {

constexpr std::size_t kPrefetchAhead = 12;

// Rewrites lines [from, to) of list into out, in order. After a sort the
// lines lie scattered: the ones a little ahead are asked for while this one
// is rewritten, so the pass does not wait on memory.
void RewriteRange(const TStringList& list, std::size_t from, std::size_t to, int a, int b,
                  int expected, Encoding encoding, const CancelCheck& cancel, TStringList& out) {
    FieldSwapper swapper(encoding);
    std::string joined;
    out.Reserve(to - from);
    for (std::size_t i = from; i < to; ++i) {
        cancel.AtStep(i - from);
        if (i + kPrefetchAhead < to) PrefetchLine(list.At(i + kPrefetchAhead));
        swapper.Rewrite(list.At(i), a, b, expected, static_cast<int>(i) + 1, joined);
        out.Add(joined);
    }
}

// Both halves at once, each into a list of its own; false when the list is
// small, there is one core, or some line fails (the caller then goes line by
// line, which leaves the list exactly as the failure requires). A cancel in
// either half is passed on once both have stopped, the list untouched.
bool RewriteInParallel(TStringList& list, int a, int b, int expected, Encoding encoding,
                       const CancelCheck& cancel) {
    const std::size_t count = static_cast<std::size_t>(list.Count());
    if (!WorthTwoThreads(count)) return false;
    const std::size_t half = count / 2;
    std::vector<TStringList> parts(2);
    bool failed[2] = {false, false};
    // A cancel crosses the join; any other failure only sends the caller
    // line by line.
    const auto rewrite = [&](std::size_t k, std::size_t from, std::size_t to) {
        try {
            RewriteRange(list, from, to, a, b, expected, encoding, cancel, parts[k]);
        } catch (const ECancelled&) {
            throw;
        } catch (...) {
            failed[k] = true;
        }
    };
    ForkJoin([&] { rewrite(0, 0, half); }, [&] { rewrite(1, half, count); });
    if (failed[0] || failed[1]) return false;
    list.ReplaceLines(parts);
    return true;
}

}  // namespace

void SwapFieldsInEveryLine(TStringList& list, int a, int b, int expected, Encoding encoding,
                           const CancelCheck& cancel) {
    FieldSwapper swapper(encoding);
    std::string joined;
    const int count = list.Count();
    if (a == b) {
        // Nothing moves: only lines not yet in the joined form change, where
        // they lie. No second copy of the list, which a file of fifty million
        // short lines could not afford.
        for (int i = 0; i < count; ++i) {
            cancel.AtStep(static_cast<std::size_t>(i));
            const std::string_view line = list.At(static_cast<std::size_t>(i));
            if (swapper.StaysAsItIs(line, a, expected, i + 1)) continue;
            swapper.Rewrite(line, a, b, expected, i + 1, joined);
            list.Put(i, joined);
        }
        return;
    }
    if (RewriteInParallel(list, a, b, expected, encoding, cancel)) return;
    for (int i = 0; i < count; ++i) {
        cancel.AtStep(static_cast<std::size_t>(i));
        swapper.Rewrite(list.At(static_cast<std::size_t>(i)), a, b, expected, i + 1, joined);
        list.PutAtTail(i, joined);
    }
}

void RejoinLines(TStringList& list, const std::vector<std::uint32_t>& lines, int keyIndex,
                 Encoding encoding) {
    FieldSwapper swapper(encoding);
    std::string keyFirst, back;
    for (const std::uint32_t i : lines) {
        const auto lineNumber = static_cast<int>(i) + 1;
        swapper.Rewrite(list.At(i), 0, keyIndex, -1, lineNumber, keyFirst);
        swapper.Rewrite(keyFirst, keyIndex, 0, -1, lineNumber, back);
        list.Put(static_cast<int>(i), back);
    }
}

std::string_view RejoinedIfNeeded(std::string_view line, int keyIndex, Encoding encoding,
                                  std::string& out) {
    FieldSwapper swapper(encoding);
    if (swapper.InJoinedForm(line, 0, keyIndex)) return line;
    std::string keyFirst;
    swapper.Rewrite(line, 0, keyIndex, -1, 0, keyFirst);
    swapper.Rewrite(keyFirst, keyIndex, 0, -1, 0, out);
    return out;
}

void RejoinWhereNeeded(TStringList& list, int keyIndex, Encoding encoding) {
    std::string back;
    for (int i = 0; i < list.Count(); ++i) {
        const std::string_view line = list.At(static_cast<std::size_t>(i));
        if (RejoinedIfNeeded(line, keyIndex, encoding, back).data() != line.data()) list.Put(i, back);
    }
}

}  // namespace quellor
