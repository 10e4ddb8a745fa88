#include "records/ExternalSort.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>

#include "records/Cancel.h"
#include "records/ForkJoin.h"
#include "records/SortOrder.h"
#include "records/StringList.h"

namespace quellor {

namespace {

constexpr std::uint64_t kTickEvery = 8192;
constexpr std::size_t kReadBlock = std::size_t{4} << 20;
constexpr std::size_t kOutBatch = std::size_t{1} << 20;
// A merge reads each run through a buffer of at least this size, so a run
// costs one read in this many bytes; its share of the budget decides how
// many runs one merge may read.
constexpr std::size_t kLeastMergeBlock = std::size_t{64} << 10;
constexpr std::size_t kMostMergeBlock = std::size_t{4} << 20;
// Descriptors the rest of the program may hold: standard streams, the
// input, the outputs and their folders, the window's own.
constexpr std::uint64_t kOtherFiles = 64;
// Open runs stay below a quarter of what is left, so four levels of runs
// waiting for their merge fit: a fan-in of 240 under the common limit of
// 1024 covers 240^4 runs.
constexpr std::uint64_t kLevelsThatFit = 4;
// How often the caller hears from a run being sorted: well within the half
// second in which the window must take an abort.
constexpr std::chrono::milliseconds kTickWhileSorting{50};

std::size_t FanInFor(const ExternalSortSettings& s) {
    if (s.MostRunsPerMerge >= 2) return s.MostRunsPerMerge;
    std::uint64_t byFiles = 1024;
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        byFiles = limit.rlim_cur;
    byFiles = byFiles > kOtherFiles ? (byFiles - kOtherFiles) / kLevelsThatFit : 2;
    const std::uint64_t byMemory = s.MergeBytes / kLeastMergeBlock;
    return static_cast<std::size_t>(std::max<std::uint64_t>(2, std::min(byFiles, byMemory)));
}

// The first primary weight bytes of a record's form as big-endian words:
// where they differ they decide the comparison, and four word comparisons
// cost less than a memcmp call.
struct Key {
    static constexpr std::size_t kWords = 4;
    std::uint64_t words[kWords];
    bool known;
    NumberKey number;  // the same for every record when the key is text

    void Of(std::string_view record, std::int64_t index, SortComparer& comparer, KeyOrder order) {
        std::uint8_t bytes[8 * kWords];
        const SortComparer::Key key = comparer.KeyOf(record, index, bytes, sizeof bytes, order);
        known = key.Known;
        number = key.Number;
        for (std::size_t w = 0; w < kWords; ++w) words[w] = LoadBigEndian(bytes + 8 * w);
    }
};

int Compare(std::string_view a, const Key& ka, std::string_view b, const Key& kb,
            SortComparer& comparer) {
    const int byNumber = CompareNumbers(
        ka.number, kb.number, [&](int k) { return comparer.KeyValue(k ? b : a, k); },
        comparer.TextEncoding());
    if (byNumber != 0) return byNumber;
    if (ka.known && kb.known) {
        for (std::size_t w = 0; w < Key::kWords; ++w) {
            if (ka.words[w] != kb.words[w]) return ka.words[w] < kb.words[w] ? -1 : 1;
        }
    }
    return comparer.CompareTied(a, b);
}

struct Entry {
    Key key;
    std::uint32_t line;
};
// What a line costs in a run beyond its text: its place in the list and its entry.
constexpr std::uint64_t kLineCost = 16 + sizeof(Entry);

// Runs work on a second thread while this one calls tick, at once and then
// at short intervals, so that the caller's window lives through a run's sort
// however long it takes. A tick that throws (an abort) stops the work
// through stop and is thrown on once the work has ended; otherwise what the
// work threw is. The calls into the caller all stay on this thread.
template <typename Work>
void WhileTicking(const Work& work, std::atomic<bool>& stop, const std::function<void()>& tick) {
    std::future<void> done = std::async(std::launch::async, work);
    try {
        do {
            if (tick) tick();
        } while (done.wait_for(kTickWhileSorting) != std::future_status::ready);
    } catch (...) {
        stop.store(true, std::memory_order_relaxed);
        done.wait();
        throw;
    }
    done.get();
}

}  // namespace

ExternalSort::ExternalSort(ExternalSortSettings settings)
    : s_(std::move(settings)), fanIn_(FanInFor(s_)) {}

void ExternalSort::BuildRuns(const IndexedFile& input, const LineIndex& index) {
    if (index.Marks.empty()) return;
    TStringList batch;
    std::vector<Entry> entries;
    std::uint64_t firstRecord = 0, bytes = 0;
    std::atomic<bool> stop{false};
    const CancelCheck cancel(stop);
    const SortComparer prototype(s_.Dialect, KeyField{s_.KeyIndex, s_.ExpectedFieldCount},
                                 s_.Numbering);

    // On the worker thread: the calling thread only waits meanwhile.
    const auto sortAndWrite = [&] {
        const std::size_t n = static_cast<std::size_t>(batch.Count());
        entries.resize(n);
        // The first half's failure is the one thrown on, so the error names
        // the first wrong line.
        const auto keys = [&](std::size_t from, std::size_t to) {
            SortComparer comparer(prototype);
            for (std::size_t i = from; i < to; ++i) {
                cancel.AtStep(i - from);
                entries[i].key.Of(batch.At(i), static_cast<std::int64_t>(firstRecord + i), comparer,
                                  s_.Order);
                entries[i].line = static_cast<std::uint32_t>(i);
            }
        };
        const auto sort = [&](Entry* from, Entry* to) {
            SortComparer comparer(prototype);
            std::size_t compared = 0;
            std::sort(from, to, [&](const Entry& a, const Entry& b) {
                cancel.AtStep(++compared);
                const int c = Compare(batch.At(a.line), a.key, batch.At(b.line), b.key, comparer);
                return s_.Descending ? c > 0 : c < 0;
            });
        };
        if (!WorthTwoThreads(n)) {
            keys(0, n);
            sort(entries.data(), entries.data() + n);
        } else {
            // The order is total, so the middle record splits the run into
            // two halves either core can sort alone.
            ForkJoin([&] { keys(0, n / 2); }, [&] { keys(n / 2, n); });
            Entry* middle = entries.data() + n / 2;
            cancel.ThrowIfRequested();
            SortComparer comparer(prototype);
            std::nth_element(
                entries.data(), middle, entries.data() + n, [&](const Entry& a, const Entry& b) {
                    const int c =
                        Compare(batch.At(a.line), a.key, batch.At(b.line), b.key, comparer);
                    return s_.Descending ? c > 0 : c < 0;
                });
            ForkJoin([&] { sort(entries.data(), middle); },
                     [&] { sort(middle + 1, entries.data() + n); });
        }
        RunFile run(s_.Folder, s_.Output);
        for (std::size_t k = 0; k < n; ++k) {
            cancel.AtStep(k);
            run.Add(batch.At(entries[k].line));
        }
        run.Finish();
        return run;
    };
    const auto writeRun = [&] {
        std::optional<RunFile> run;
        WhileTicking([&] { run.emplace(sortAndWrite()); }, stop,
                     [&] {
                         if (s_.Tick) s_.Tick(lines_);
                     });
        firstRecord += static_cast<std::uint64_t>(batch.Count());
        batch.Reset();
        bytes = 0;
        AddRun(std::move(*run), 0);
    };

    // A record that fills a run alone is a run of its own, written from where
    // it was read: a record longer than the budget is not copied again.
    const auto writeOneRecordRun = [&](std::string_view alone) {
        SortComparer comparer(prototype);
        std::uint8_t prefix[8];
        comparer.KeyOf(alone, static_cast<std::int64_t>(firstRecord), prefix, sizeof prefix,
                       KeyOrder::Text);
        RunFile run(s_.Folder, s_.Output);
        run.Add(alone);
        run.Finish();
        ++firstRecord;
        AddRun(std::move(run), 0);
    };

    LineStream in(input, index.From(0), index.End, kReadBlock);
    std::string_view line;
    while (in.Next(line)) {
        if (++lines_ % kTickEvery == 0 && s_.Tick) s_.Tick(lines_);
        if (line.size() + kLineCost >= s_.RunBytes) {
            if (batch.Count() > 0) writeRun();
            writeOneRecordRun(line);
            continue;
        }
        batch.Add(line);
        bytes += line.size() + kLineCost;
        if (bytes >= s_.RunBytes) writeRun();
    }
    if (batch.Count() > 0) writeRun();
    std::vector<Entry>().swap(entries);
}

void ExternalSort::AddRun(RunFile run, std::size_t level) {
    if (levels_.size() <= level) levels_.resize(level + 1);
    levels_[level].push_back(std::move(run));
    if (levels_[level].size() < fanIn_) return;
    RunFile merged = MergeIntoOne(levels_[level]);
    levels_[level].clear();
    AddRun(std::move(merged), level + 1);
}

RunFile ExternalSort::MergeIntoOne(std::vector<RunFile>& runs) {
    RunFile merged(s_.Folder, s_.Output);
    MergeRuns(runs, [&](std::string_view record) { merged.Add(record); });
    merged.Finish();
    return merged;
}

void ExternalSort::MergeRuns(std::vector<RunFile>& runs,
                             const std::function<void(std::string_view)>& take) {
    struct Cursor {
        RunReader reader;
        std::string_view record;
        Key key;
    };
    SortComparer comparer(s_.Dialect, KeyField{s_.KeyIndex, s_.ExpectedFieldCount});
    const std::size_t block = static_cast<std::size_t>(std::clamp<std::uint64_t>(
        s_.MergeBytes / std::max<std::size_t>(runs.size(), 1), kLeastMergeBlock, kMostMergeBlock));
    std::vector<Cursor> cursors;
    cursors.reserve(runs.size());
    std::vector<std::size_t> heap;
    for (const RunFile& run : runs) {
        Cursor& c = cursors.emplace_back(Cursor{RunReader(run, block), {}, {}});
        if (c.reader.Next(c.record)) {
            c.key.Of(c.record, 0, comparer, s_.Order);
            heap.push_back(cursors.size() - 1);
        }
    }
    // The heap's top is the record that comes first.
    const bool descending = s_.Descending;
    const auto after = [&](std::size_t a, std::size_t b) {
        const int c =
            Compare(cursors[a].record, cursors[a].key, cursors[b].record, cursors[b].key, comparer);
        return descending ? c < 0 : c > 0;
    };
    std::make_heap(heap.begin(), heap.end(), after);
    std::uint64_t count = 0;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), after);
        Cursor& c = cursors[heap.back()];
        take(c.record);
        if (c.reader.Next(c.record)) {
            c.key.Of(c.record, 0, comparer, s_.Order);
            std::push_heap(heap.begin(), heap.end(), after);
        } else {
            heap.pop_back();
        }
        if (++count % kTickEvery != 0 || !s_.Tick) continue;
        if (toMerge_ == 0) {
            s_.Tick(lines_);  // a merge while the runs are built
        } else {
            merged_ += kTickEvery;
            s_.Tick(lines_ + lines_ * std::min(merged_, toMerge_) / toMerge_);
        }
    }
}

void ExternalSort::Merge(const std::function<void(std::string_view)>& sink) {
    std::vector<RunFile> runs;
    for (std::vector<RunFile>& level : levels_) {
        for (RunFile& run : level) runs.push_back(std::move(run));
    }
    levels_.clear();
    // Too many runs for one merge: the smallest are merged first, as few at
    // a time as leave exactly one merge's worth. The plan is made on the
    // runs' sizes first, so the bar knows all the merging still to come.
    struct Size {
        std::uint64_t Bytes, Records;
    };
    const auto smallestFirst = [](const auto& a, const auto& b) { return a.Bytes() < b.Bytes(); };
    std::vector<Size> plan;
    for (const RunFile& run : runs) plan.push_back({run.Bytes(), run.Records()});
    toMerge_ = lines_;
    while (plan.size() > fanIn_) {
        std::sort(plan.begin(), plan.end(),
                  [](const Size& a, const Size& b) { return a.Bytes < b.Bytes; });
        const std::size_t take = std::min(fanIn_, plan.size() - fanIn_ + 1);
        Size merged{0, 0};
        for (std::size_t k = 0; k < take; ++k) {
            merged.Bytes += plan[k].Bytes;
            merged.Records += plan[k].Records;
        }
        toMerge_ += merged.Records;
        plan.erase(plan.begin(), plan.begin() + static_cast<std::ptrdiff_t>(take));
        plan.push_back(merged);
    }
    while (runs.size() > fanIn_) {
        std::sort(runs.begin(), runs.end(), smallestFirst);
        const std::size_t take = std::min(fanIn_, runs.size() - fanIn_ + 1);
        std::vector<RunFile> group(
            std::make_move_iterator(runs.begin()),
            std::make_move_iterator(runs.begin() + static_cast<std::ptrdiff_t>(take)));
        runs.erase(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(take));
        runs.push_back(MergeIntoOne(group));
    }

    // A batch of merged records goes to the sink on a second thread while
    // this one merges the next: with two cores the merge costs little more
    // than its reading.
    TStringList batches[2];
    int filling = 0;
    std::size_t outBytes = 0;
    std::future<void> draining;
    const auto flush = [&] {
        if (draining.valid()) draining.get();
        TStringList& full = batches[filling];
        draining = std::async(std::launch::async, [&full, &sink] {
            for (int i = 0; i < full.Count(); ++i) sink(full.At(static_cast<std::size_t>(i)));
            full.Reset();
        });
        filling ^= 1;
        outBytes = 0;
    };
    MergeRuns(runs, [&](std::string_view record) {
        if (record.size() < kOutBatch) {
            batches[filling].Add(record);
            outBytes += record.size();
            if (outBytes >= kOutBatch) flush();
            return;
        }
        // A record longer than a batch goes to the sink from where it was
        // read, once the batches before it are through.
        if (outBytes > 0) flush();
        if (draining.valid()) draining.get();
        sink(record);
    });
    flush();
    draining.get();
}

}  // namespace quellor
