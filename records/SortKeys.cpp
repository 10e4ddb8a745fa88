#include "records/SortKeys.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/Compare.h"
#include "records/ForkJoin.h"
#include "records/NumericKey.h"
#include "records/SortOrder.h"
#include "records/WordSort.h"

namespace quellor {

namespace {

// A quicksort for what the word sort below cannot settle. The order is
// total (SortOrder.h), so any correct sort gives the same result; this one
// handles the smaller side by a nested call and the larger by looping, which
// keeps the stack shallow on any input, and gives the two sides of its first
// partition to the two cores. A cancel is looked at before each partition of
// a long range and every few thousand exchanges within one, so even the first
// pass over a million lines stops within milliseconds.
//
// A range of one repeated line is left as it is: there is nothing to order.
template <typename T, typename Cmp, typename Same>
void QuickSort(T* v, std::ptrdiff_t lo, std::ptrdiff_t hi, const Cmp& cmp, const Same& allSame,
               const CancelCheck& cancel, bool split = false) {
    while (lo < hi) {
        if (hi - lo >= static_cast<std::ptrdiff_t>(CancelCheck::kInterval))
            cancel.ThrowIfRequested();
        if (allSame(lo, hi)) return;
        std::ptrdiff_t i = lo, j = hi, p = (lo + hi) / 2;
        std::size_t rounds = 0;
        do {
            cancel.AtStep(++rounds);
            while (i < hi && cmp(v[i], v[p]) < 0) ++i;
            while (j > lo && cmp(v[j], v[p]) > 0) --j;
            if (i <= j) {
                std::swap(v[i], v[j]);
                if (p == i) {
                    p = j;
                } else if (p == j) {
                    p = i;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (split && lo < j && i < hi) {
            // The first partition leaves two disjoint ranges: the second
            // core sorts one while this thread sorts the other.
            // Each thread compares with its own scratch space.
            const Cmp second(cmp);
            ForkJoin([&] { QuickSort(v, i, hi, cmp, allSame, cancel); },
                     [&] { QuickSort(v, lo, j, second, allSame, cancel); });
            return;
        }
        if (j - lo < hi - i) {
            if (lo < j) QuickSort(v, lo, j, cmp, allSame, cancel);
            lo = i;
        } else {
            if (i < hi) QuickSort(v, i, hi, cmp, allSame, cancel);
            hi = j;
        }
    }
}

// A hash only for finding identical lines (every match is confirmed byte for
// byte): sixteen bytes a step in two independent lanes, so the multiplies
// overlap instead of waiting on each other.
std::uint64_t LineHash(std::string_view line) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15u;
    const char* p = line.data();
    std::size_t n = line.size();
    std::uint64_t a = n * kMul, b = ~n;
    const auto word = [](const char* q) {
        std::uint64_t w;
        std::memcpy(&w, q, 8);
        return w;
    };
    for (; n >= 16; p += 16, n -= 16) {
        a = (a ^ word(p)) * kMul;
        b = (b ^ word(p + 8)) * kMul;
        a ^= a >> 29;
        b ^= b >> 31;
    }
    if (n >= 8) {
        a = (a ^ word(p)) * kMul;
        p += 8;
        n -= 8;
    }
    std::uint64_t tail = 0;
    if (n > 0) std::memcpy(&tail, p, n);  // an empty line may have no storage
    b = (b ^ tail) * kMul;
    const std::uint64_t h = (a ^ (b >> 32) ^ (b << 32)) * kMul;
    return h ^ (h >> 32);
}

// The line's index, with the top bit set when the collator could not be
// walked for it (lines are signed 32-bit counts, so the bit is free).
constexpr std::uint32_t kUnknown = 0x80000000u;
constexpr std::uint32_t kNoLine = 0xffffffffu;
// Lines remembered while identical ones are grouped: 512 KiB, which stays in
// the cache, and enough for every value of a file of repeated values.
constexpr std::size_t kRecentLines = std::size_t{1} << 16;
// Lines a core takes at a time while keys are built: enough that taking
// one costs nothing, few enough that the cores finish together.
constexpr std::size_t kBuildChunk = 8192;

// A line's prefix as big-endian words, zero-padded, kept beside its index so
// the sort compares without reaching into the lines. Packed: twelve bytes a
// line for the narrowest prefix. A numeric sort puts the number's key (N
// words) before the prefix.
#pragma pack(push, 4)
template <std::size_t W>
struct Entry {
    std::uint64_t words[W];
    std::uint32_t line;
};
#pragma pack(pop)

template <std::size_t W, std::size_t N>
class SortKeys {
  public:
    static constexpr std::size_t kPrefix = 8 * W;

    SortKeys(const TStringList& list, const SortComparer& comparer, const CancelCheck& cancel);
    std::vector<std::uint32_t> SortedOrder();

  private:
    using E = Entry<N + W>;
    // The quicksort's comparison, with its own scratch space.
    struct Comparer {
        const SortKeys* keys;
        mutable SortComparer scratch;
        int operator()(const E& a, const E& b) const { return keys->CompareEntries(a, b, scratch); }
    };

    int CompareEntries(const E& a, const E& b, SortComparer& s) const;
    bool OneLine(std::ptrdiff_t lo, std::ptrdiff_t hi) const;
    void Build(std::size_t from, std::size_t to);
    void GroupIdenticalLines();
    void PlaceGroupMembers(std::vector<std::uint32_t>& order);

    const TStringList& list_;
    const SortComparer& comparer_;  // copied by each thread
    const CancelCheck& cancel_;
    std::unique_ptr<E[]> entries_;
    std::size_t count_ = 0;
    // Each line's hash, taken while its key is built on both cores.
    std::unique_ptr<std::uint64_t[]> hashes_;
    // Whether some line's key could not be taken from its words.
    std::atomic<bool> anyUnknown_{false};
    // For each line that begins a group of identical lines, the next line of
    // the group, and so on: kNoLine ends it.
    std::vector<std::uint32_t> next_;
};

template <std::size_t W, std::size_t N>
SortKeys<W, N>::SortKeys(const TStringList& list, const SortComparer& comparer,
                         const CancelCheck& cancel)
    : list_(list), comparer_(comparer), cancel_(cancel) {
    const std::size_t n = static_cast<std::size_t>(list.Count());
    // Every slot is written by the build, so the pages are first touched
    // there, on both cores, instead of being cleared here on one.
    entries_ = std::make_unique_for_overwrite<E[]>(n);
    count_ = n;
    hashes_ = std::make_unique_for_overwrite<std::uint64_t[]>(n);
    if (!WorthTwoThreads(n)) {
        Build(0, n);
        return;
    }
    // The lines are handed out in chunks, so a core that meets slow lines
    // (kana the collator walks, long fields) leaves the rest to the other
    // instead of making it wait. The first failing chunk's error is the one
    // one pass over the list would meet.
    const std::size_t chunks = (n + kBuildChunk - 1) / kBuildChunk;
    std::vector<std::exception_ptr> failed(chunks);
    std::atomic<std::size_t> next{0};
    // No chunk after a failed one needs building: its error is never seen.
    std::atomic<std::size_t> firstFailed{chunks};
    const auto build = [&] {
        for (std::size_t c = next++; c < firstFailed.load(); c = next++) {
            try {
                Build(c * kBuildChunk, std::min(n, (c + 1) * kBuildChunk));
            } catch (const ECancelled&) {
                throw;
            } catch (...) {
                failed[c] = std::current_exception();
                for (std::size_t seen = firstFailed.load();
                     c < seen && !firstFailed.compare_exchange_weak(seen, c);) {
                }
            }
        }
    };
    ForkJoin(build, build);
    for (std::size_t c = 0; c < chunks; ++c) {
        if (failed[c]) std::rethrow_exception(failed[c]);
    }
}

// Identical lines are sorted as one: each entry names the first line of its
// group, so two of them compare equal without either line being read (with
// few distinct values most comparisons are such ties, and each read both
// lines from anywhere in memory), and a range of one group is not sorted at
// all. Every comparison gives what it gave between the lines themselves, so
// the steps, and each line's place up to its identical twins, stay as they
// were. Groups are found through a small table of recent lines by hash: a
// file of many values may leave a few groups split, which costs only time.
template <std::size_t W, std::size_t N>
void SortKeys<W, N>::GroupIdenticalLines() {
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t line = kNoLine;
    };
    std::vector<Slot> recent(kRecentLines);
    const std::size_t n = count_;
    next_.assign(n, kNoLine);
    for (std::size_t i = 0; i < n; ++i) {
        cancel_.AtStep(i);
        const std::string_view text = list_.At(i);
        const std::uint64_t hash = hashes_[i];
        Slot& slot = recent[hash % kRecentLines];
        const auto check = static_cast<std::uint32_t>(hash >> 32);
        if (slot.line != kNoLine && slot.hash == check && SameBytes(list_.At(slot.line), text)) {
            entries_[i].line = entries_[slot.line].line;
            next_[i] = next_[slot.line];
            next_[slot.line] = static_cast<std::uint32_t>(i);
        } else {
            slot = {check, static_cast<std::uint32_t>(i)};
        }
    }
    hashes_.reset();
}

// A group's first line stands in all of its places once sorted: the others
// take those places one each, the first line the last of them.
template <std::size_t W, std::size_t N>
void SortKeys<W, N>::PlaceGroupMembers(std::vector<std::uint32_t>& order) {
    for (std::uint32_t& line : order) {
        const std::uint32_t member = next_[line];
        if (member == kNoLine) continue;
        next_[line] = next_[member];
        line = member;
    }
    std::vector<std::uint32_t>().swap(next_);
}

// The primary weights of a record's form, as the bytes the collator's own
// keys would hold at that level: each collation element gives the non-zero
// bytes of its primary part; elements without one (accents, case) add nothing.
template <std::size_t W, std::size_t N>
void SortKeys<W, N>::Build(std::size_t from, std::size_t to) {
    SortComparer comparer(comparer_);
    std::uint8_t key[kPrefix];
    for (std::size_t i = from; i < to; ++i) {
        if ((i - from) % CancelCheck::kInterval == 0) {
            cancel_.ThrowIfRequested();
            // The keys are the first half of the sort's work, the order the second.
            cancel_.Report(i, 2 * std::uint64_t{count_});
        }
        const std::string_view line = list_.At(i);
        hashes_[i] = LineHash(line);
        const SortComparer::Key k = comparer.KeyOf(line, static_cast<std::int64_t>(i), key, kPrefix,
                                                   N == 2 ? KeyOrder::Number : KeyOrder::Text);
        Entry<N + W>& entry = entries_[i];
        if constexpr (N == 2) {
            entry.words[0] = k.Number.High;
            entry.words[1] = k.Number.Low;
        }
        for (std::size_t w = 0; w < W; ++w) entry.words[N + w] = LoadBigEndian(key + 8 * w);
        entry.line = static_cast<std::uint32_t>(i) | (k.Known ? 0 : kUnknown);
        if (!k.Known) anyUnknown_.store(true, std::memory_order_relaxed);
    }
}

// Equal prefixes say nothing of the later levels: the comparer decides. The
// records are looked up only then: most comparisons end in the words, and
// reaching into the list for a record at random waits on memory.
template <std::size_t W, std::size_t N>
int SortKeys<W, N>::CompareEntries(const E& a, const E& b, SortComparer& s) const {
    if (a.line == b.line) return 0;  // one group of identical lines
    const auto lineOf = [this](const E& e) { return list_.At(e.line & ~kUnknown); };
    if constexpr (N == 2) {
        // Equal numbers fall through to the whole form, as equal text does.
        const int c = CompareNumbers(
            {a.words[0], a.words[1]}, {b.words[0], b.words[1]},
            [&](int k) { return s.KeyValue(lineOf(k == 0 ? a : b), k); }, s.TextEncoding());
        if (c != 0) return c;
    }
    if (((a.line | b.line) & kUnknown) == 0) {
        for (std::size_t w = N; w < N + W; ++w) {
            if (a.words[w] != b.words[w]) return a.words[w] < b.words[w] ? -1 : 1;
        }
    }
    return s.CompareTied(lineOf(a), lineOf(b));
}

template <std::size_t W, std::size_t N>
bool SortKeys<W, N>::OneLine(std::ptrdiff_t lo, std::ptrdiff_t hi) const {
    const std::uint32_t line = entries_[static_cast<std::size_t>(lo)].line;
    for (std::int64_t k = lo + 1; k <= hi; ++k) {
        if (entries_[static_cast<std::size_t>(k)].line != line) return false;
    }
    return true;
}

template <std::size_t W, std::size_t N>
std::vector<std::uint32_t> SortKeys<W, N>::SortedOrder() {
    const std::size_t n = count_;
    GroupIdenticalLines();
    std::vector<std::uint32_t> order(n);
    // A number's key is not compared word by word, and a line without a key
    // is compared by the collator alone: the quicksort orders those.
    const bool byWords = N == 0 && !anyUnknown_ && n >= 2 &&
                         SortByWords(entries_.get(), n, W, Comparer{this, SortComparer(comparer_)},
                                     cancel_, order.data());
    if (!byWords) {
        if (n >= 2) {
            QuickSort(
                entries_.get(), 0, static_cast<std::ptrdiff_t>(n) - 1,
                Comparer{this, SortComparer(comparer_)},
                [this](std::ptrdiff_t lo, std::ptrdiff_t hi) { return OneLine(lo, hi); }, cancel_,
                WorthTwoThreads(n));
        }
        for (std::size_t k = 0; k < n; ++k) order[k] = entries_[k].line & ~kUnknown;
    }
    PlaceGroupMembers(order);
    return order;
}

// Primary weights take about two bytes per byte of text; lines measured at
// even steps through the list tell how wide a prefix the keys need.
std::size_t WordsNeeded(const TStringList& list) {
    const std::size_t n = static_cast<std::size_t>(list.Count());
    const std::size_t step = std::max<std::size_t>(1, n / 4096);
    std::size_t bytes = 0, sampled = 0;
    for (std::size_t i = 0; i < n; i += step, ++sampled) bytes += list.At(i).size();
    const std::size_t average = sampled ? bytes / sampled : 0;
    return (2 * average + 7) / 8;
}

template <std::size_t W, std::size_t N>
std::vector<std::uint32_t> OrderBy(const TStringList& list, const SortComparer& comparer,
                                   const CancelCheck& cancel) {
    return SortKeys<W, N>(list, comparer, cancel).SortedOrder();
}

template <std::size_t N>
std::vector<std::uint32_t> OrderWith(const TStringList& list, const SortComparer& comparer,
                                     const CancelCheck& cancel) {
    const std::size_t words = WordsNeeded(list);
    if (words <= 1) return OrderBy<1, N>(list, comparer, cancel);
    if (words <= 2) return OrderBy<2, N>(list, comparer, cancel);
    if (words <= 3) return OrderBy<3, N>(list, comparer, cancel);
    return OrderBy<6, N>(list, comparer, cancel);
}

std::vector<std::uint32_t> OrderOf(const TStringList& list, const SortComparer& comparer,
                                   const CancelCheck& cancel, KeyOrder order) {
    // The number's key is two words.
    if (order == KeyOrder::Number) return OrderWith<2>(list, comparer, cancel);
    return OrderWith<0>(list, comparer, cancel);
}

}  // namespace

std::vector<std::uint32_t> SortedOrder(const TStringList& list, Encoding encoding,
                                       const CancelCheck& cancel, KeyOrder order) {
    return OrderOf(list, SortComparer(encoding, std::nullopt), cancel, order);
}

std::vector<std::uint32_t> SortedOrderByField(const TStringList& list, const CsvDialect& dialect,
                                              const KeyField& key, RecordNumbering numbering,
                                              const CancelCheck& cancel, KeyOrder order) {
    return OrderOf(list, SortComparer(dialect, key, numbering), cancel, order);
}

}  // namespace quellor
