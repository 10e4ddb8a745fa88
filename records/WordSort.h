// A faster way to the sort's order for keys whose words decide most
// comparisons: the keys are sorted by their words, one word at a time,
// short runs of equal words are settled by the full comparison in a buffer
// that stays in the cache, and a run equal in every word that is too long
// for the buffer is left, with the whole order, to the quicksort.
// Internal to the sort.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "records/Cancel.h"
#include "records/ForkJoin.h"

namespace quellor {

namespace wordsort {

// One key's current word beside the key's place in the entries.
#pragma pack(push, 4)
struct Pair {
    std::uint64_t word;
    std::uint32_t entry;
};
#pragma pack(pop)

// Runs up to this long are settled in the buffer (some hundred kilobytes).
constexpr std::size_t kSettleInBuffer = 4096;
constexpr std::size_t kPrefetchAhead = 8;
// The first sixteen bits of the first word split the keys into buckets
// that the two cores take in turn.
constexpr int kBucketBits = 16;

// E has words[] and line, and entries of identical lines share their line.
template <typename E, typename Compare>
class WordSorter {
  public:
    WordSorter(const E* entries, std::size_t words, std::uint32_t* out, std::atomic<bool>& failed,
               const Compare& compare, const CancelCheck& cancel)
        : entries_(entries),
          words_(words),
          out_(out),
          failed_(failed),
          compare_(compare),
          cancel_(cancel) {}

    // Sorts p[from, to), whose pairs hold word k of their keys, and writes
    // the lines in their order to the same places of out.
    void Sort(Pair* p, std::size_t from, std::size_t to, std::size_t k) {
        std::sort(p + from, p + to, [](const Pair& a, const Pair& b) { return a.word < b.word; });
        for (std::size_t i = from; i < to && !failed_.load(std::memory_order_relaxed);) {
            cancel_.AtStep(++steps_);
            std::size_t j = i + 1;
            while (j < to && p[j].word == p[i].word) ++j;
            if (j - i == 1) {
                out_[i] = entries_[p[i].entry].line;
            } else if (j - i <= kSettleInBuffer) {
                Settle(p, i, j);
            } else if (OneLine(p, i, j)) {
                // Copies of one line, however many, stand as they are.
                for (std::size_t m = i; m < j; ++m) out_[m] = entries_[p[i].entry].line;
            } else if (k + 1 < words_) {
                for (std::size_t m = i; m < j; ++m) p[m].word = entries_[p[m].entry].words[k + 1];
                Sort(p, i, j, k + 1);
            } else {
                failed_ = true;
            }
            i = j;
        }
    }

  private:
    bool OneLine(const Pair* p, std::size_t from, std::size_t to) const {
        const std::uint32_t line = entries_[p[from].entry].line;
        for (std::size_t m = from + 1; m < to; ++m) {
            if (entries_[p[m].entry].line != line) return false;
        }
        return true;
    }

    void Settle(const Pair* p, std::size_t from, std::size_t to) {
        buffer_.clear();
        for (std::size_t m = from; m < to; ++m) {
            if (m + kPrefetchAhead < to) __builtin_prefetch(&entries_[p[m + kPrefetchAhead].entry]);
            buffer_.push_back(entries_[p[m].entry]);
        }
        // A merge sort stays within the buffer whatever the comparison says;
        // one that contradicted itself leaves the order to the quicksort.
        std::stable_sort(buffer_.begin(), buffer_.end(), [this](const E& a, const E& b) {
            cancel_.AtStep(++steps_);
            return compare_(a, b) < 0;
        });
        for (std::size_t m = 0; m < buffer_.size(); ++m) {
            if (m > 0 && buffer_[m - 1].line != buffer_[m].line &&
                compare_(buffer_[m - 1], buffer_[m]) > 0) {
                failed_ = true;
                return;
            }
            out_[from + m] = buffer_[m].line;
        }
    }

    const E* entries_;
    std::size_t words_;
    std::uint32_t* out_;
    std::atomic<bool>& failed_;
    Compare compare_;
    const CancelCheck& cancel_;
    std::size_t steps_ = 0;
    std::vector<E> buffer_;
};

}  // namespace wordsort

// Writes the line of each place in the sorted order to out, for entries
// whose words decide every comparison they differ in; compare(a, b) is the
// full comparison, a total order, copied for each thread. False when the
// quicksort must decide; out is then of no use.
template <typename E, typename Compare>
bool SortByWords(const E* entries, std::size_t n, std::size_t words, const Compare& compare,
                 const CancelCheck& cancel, std::uint32_t* out) {
    using wordsort::Pair;
    constexpr std::size_t kBuckets = std::size_t{1} << wordsort::kBucketBits;
    constexpr int kShift = 64 - wordsort::kBucketBits;
    // Each half of the entries is counted and placed by its own core: the
    // first half's keys go first in every bucket.
    const bool two = WorthTwoThreads(n);
    const std::size_t half = two ? n / 2 : n;
    std::vector<std::size_t> counts[2] = {std::vector<std::size_t>(kBuckets),
                                          std::vector<std::size_t>(kBuckets)};
    const auto count = [&](int h, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) ++counts[h][entries[i].words[0] >> kShift];
    };
    std::vector<std::size_t> starts(kBuckets + 1, 0);
    const auto pairs = std::make_unique_for_overwrite<Pair[]>(n);
    const auto place = [&](int h, std::size_t from, std::size_t to) {
        std::vector<std::size_t>& next = counts[h];
        for (std::size_t i = from; i < to; ++i) {
            const std::uint64_t word = entries[i].words[0];
            pairs[next[word >> kShift]++] = {word, static_cast<std::uint32_t>(i)};
        }
    };
    const auto halves = [&](const auto& step) {
        if (two) {
            ForkJoin([&] { step(0, 0, half); }, [&] { step(1, half, n); });
        } else {
            step(0, 0, n);
        }
    };
    halves(count);
    for (std::size_t b = 0, at = 0; b < kBuckets; ++b) {
        starts[b] = at;
        const std::size_t first = counts[0][b];
        counts[0][b] = at;
        at += first;
        const std::size_t second = counts[1][b];
        counts[1][b] = at;
        at += second;
    }
    starts[kBuckets] = n;
    halves(place);
    std::atomic<bool> failed{false};
    std::atomic<std::size_t> nextBucket{0};
    const auto sortBuckets = [&] {
        wordsort::WordSorter<E, Compare> sorter(entries, words, out, failed, compare, cancel);
        for (std::size_t b = nextBucket++; b < kBuckets && !failed; b = nextBucket++) {
            if (starts[b + 1] == starts[b]) continue;
            cancel.ThrowIfRequested();
            cancel.Report(n + starts[b], 2 * std::uint64_t{n});
            sorter.Sort(pairs.get(), starts[b], starts[b + 1], 0);
        }
    };
    if (two) {
        ForkJoin(sortBuckets, sortBuckets);
    } else {
        sortBuckets();
    }
    return !failed;
}

}  // namespace quellor
