#include "records/ExternalSort.h"

#include <unicode/ucoleitr.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>

#include "records/Cancel.h"
#include "records/Collation.h"
#include "records/Compare.h"
#include "records/CsvDialect.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/FieldSwap.h"
#include "records/ForkJoin.h"
#include "records/Format.h"
#include "records/Messages.h"
#include "records/PrimaryWeights.h"

namespace quellor {

namespace {

constexpr std::uint64_t kTickEvery = 8192;
constexpr std::size_t kReadBlock = std::size_t{4} << 20;
constexpr std::size_t kOutBatch = std::size_t{1} << 20;
// How often the caller hears from a run being sorted: well within the half
// second in which the window must take an abort.
constexpr std::chrono::milliseconds kTickWhileSorting{50};

// Makes the keys below, one per thread: a line whose characters' weights
// depend on their neighbours (kana before a prolonged sound mark, voiced
// half-width kana) is walked by the collator, as in the in-memory sort, so
// that it too is compared by its key rather than by the collator each time.
class KeyMaker {
  public:
    KeyMaker() : elements_(ucol_openElements(collation::Collator(), nullptr, 0, &status_)) {}
    ~KeyMaker() {
        if (elements_) ucol_closeElements(elements_);
    }
    KeyMaker(const KeyMaker&) = delete;
    KeyMaker& operator=(const KeyMaker&) = delete;

    bool Prefix(std::string_view line, std::uint8_t* key, std::size_t limit, std::size_t* size,
                Encoding encoding) {
        if (weights_.Prefix(line, key, limit, size, encoding)) return true;
        if (!elements_) return false;
        collation::PrepareText(line, true, text_, scratch_, encoding);
        return weights_.WalkPrimaries(elements_, text_, key, limit, size);
    }

  private:
    const PrimaryWeights& weights_ = PrimaryWeights::Get(true);
    UErrorCode status_ = U_ZERO_ERROR;
    UCollationElements* elements_;
    collation::U16Buffer text_, scratch_;
};

// The first primary weight bytes of a line, zero-padded, as big-endian
// words: where they differ they decide the locale comparison, as in the
// in-memory sort, and four word comparisons cost less than a memcmp call.
struct Key {
    static constexpr std::size_t kWords = 4;
    std::uint64_t words[kWords];
    bool known;
    NumberKey number;  // the same for every line when the key is text

    void Of(std::string_view line, KeyMaker& maker, Encoding encoding, KeyOrder order) {
        if (order == KeyOrder::Number) number = NumberKeyOf(line, encoding);
        std::uint8_t bytes[8 * kWords];
        std::size_t size = 0;
        known = maker.Prefix(line, bytes, sizeof bytes, &size, encoding);
        if (!known) size = 0;
        std::memset(bytes + size, 0, sizeof bytes - size);
        for (std::size_t w = 0; w < kWords; ++w) {
            std::uint64_t v = 0;
            for (std::size_t k = 0; k < 8; ++k) v = (v << 8) | bytes[8 * w + k];
            words[w] = v;
        }
    }
};

// The first primary weights of two lines, as far as the table reaches: a
// difference decides the locale comparison; 0 when they do not tell.
int CompareLongerPrefixes(std::string_view a, std::string_view b, Encoding encoding) {
    constexpr std::size_t kLonger = 64;
    const PrimaryWeights& weights = PrimaryWeights::Get(true);
    std::uint8_t ka[kLonger], kb[kLonger];
    std::size_t na = 0, nb = 0;
    if (!weights.Prefix(a, ka, kLonger, &na, encoding) ||
        !weights.Prefix(b, kb, kLonger, &nb, encoding))
        return 0;
    if (const int c = std::memcmp(ka, kb, std::min(na, nb))) return c;
    // A line whose weights end first is less, unless both were cut.
    if (na != nb) return na < nb ? -1 : 1;
    return 0;
}

// The sort's order made total: the locale comparison ignoring case, then the bytes.
int CompareLines(std::string_view a, const Key& ka, std::string_view b, const Key& kb,
                 Encoding encoding) {
    if (const int c = CompareNumbers(
            ka.number, kb.number, [&](int k) { return k ? b : a; }, encoding))
        return c;
    if (ka.known && kb.known) {
        for (std::size_t w = 0; w < Key::kWords; ++w) {
            if (ka.words[w] != kb.words[w]) return ka.words[w] < kb.words[w] ? -1 : 1;
        }
    }
    // Files repeat lines, and a big one repeats them across runs: the
    // collator is never asked about two copies of one line.
    if (a == b) return 0;
    // Lines alike in their first characters (one name, a running number)
    // mostly differ a little further on, which the table tells for a
    // fraction of what the collator takes.
    if (ka.known && kb.known) {
        if (const int c = CompareLongerPrefixes(a, b, encoding)) return c;
    }
    const int c = CompareLocale(a, b, true, encoding);
    if (c != 0) return c;
    return a.compare(b);
}

struct Entry {
    Key key;
    std::uint32_t line;
};
// What a line costs in a run beyond its text: its place in the list and its entry.
constexpr std::uint64_t kLineCost = 16 + sizeof(Entry);

// The line with the wrong field count among lines the rewrite refused,
// named by its number in the whole file as the in-memory sort names it.
[[noreturn]] void RethrowWithFileLine(const TStringList& batch, std::uint64_t firstLine,
                                      int expected, Encoding encoding) {
    TStringList fields;
    for (int i = 0; i < batch.Count(); ++i) {
        SplitFields(fields, batch.At(static_cast<std::size_t>(i)), QuotedCsv(encoding));
        if (fields.Count() != expected) {
            const auto line = static_cast<std::int64_t>(firstLine) + i + 1;
            throw EStringListError(Format(msg::kFieldCountDiffers, {line}));
        }
    }
    throw;
}

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

void ExternalSort::BuildRuns(int fd, const LineIndex& index) {
    if (index.Marks.empty()) return;
    TStringList batch;
    std::vector<Entry> entries;
    std::uint64_t firstLine = s_.FirstLine, lines = 0, bytes = 0;
    std::atomic<bool> stop{false};
    const CancelCheck cancel(stop);

    const auto before = [this](const TStringList& list, const Entry& a, const Entry& b) {
        const int c = CompareLines(list.At(a.line), a.key, list.At(b.line), b.key, s_.TextEncoding);
        return s_.Descending ? c > 0 : c < 0;
    };
    // On the worker thread: the calling thread only waits meanwhile.
    const auto sortAndWrite = [&] {
        try {
            SwapFieldsInEveryLine(batch, 0, s_.KeyIndex, s_.ExpectedFieldCount, s_.TextEncoding,
                                  cancel);
        } catch (const EStringListError&) {
            RethrowWithFileLine(batch, firstLine, s_.ExpectedFieldCount, s_.TextEncoding);
        }
        const std::size_t n = static_cast<std::size_t>(batch.Count());
        entries.resize(n);
        const auto keys = [&](std::size_t from, std::size_t to) {
            KeyMaker maker;
            for (std::size_t i = from; i < to; ++i) {
                cancel.AtStep(i - from);
                entries[i].key.Of(batch.At(i), maker, s_.TextEncoding, s_.Order);
                entries[i].line = static_cast<std::uint32_t>(i);
            }
        };
        const auto sort = [&](Entry* from, Entry* to) {
            std::size_t compared = 0;
            std::sort(from, to, [&](const Entry& a, const Entry& b) {
                cancel.AtStep(++compared);
                return before(batch, a, b);
            });
        };
        if (!WorthTwoThreads(n)) {
            keys(0, n);
            sort(entries.data(), entries.data() + n);
        } else {
            // The order is total, so the middle line splits the run into two
            // halves either core can sort alone.
            ForkJoin([&] { keys(0, n / 2); }, [&] { keys(n / 2, n); });
            Entry* middle = entries.data() + n / 2;
            cancel.ThrowIfRequested();
            std::nth_element(entries.data(), middle, entries.data() + n,
                             [&](const Entry& a, const Entry& b) { return before(batch, a, b); });
            ForkJoin([&] { sort(entries.data(), middle); },
                     [&] { sort(middle + 1, entries.data() + n); });
        }
        RunFile& run = runs_.emplace_back(s_.Folder, s_.Output);
        for (std::size_t k = 0; k < n; ++k) {
            cancel.AtStep(k);
            run.Add(batch.At(entries[k].line));
        }
        run.Finish();
    };
    const auto writeRun = [&] {
        WhileTicking(sortAndWrite, stop, [&] {
            if (s_.Tick) s_.Tick(lines);
        });
        firstLine += static_cast<std::uint64_t>(batch.Count());
        batch.Reset();
        bytes = 0;
    };

    LineStream in(fd, index.From(0), index.End, kReadBlock);
    std::string_view line;
    while (in.Next(line)) {
        batch.Add(line);
        bytes += line.size() + kLineCost;
        if (++lines % kTickEvery == 0 && s_.Tick) s_.Tick(lines);
        if (bytes >= s_.RunBytes) writeRun();
    }
    if (batch.Count() > 0) writeRun();
    std::vector<Entry>().swap(entries);
}

void ExternalSort::Merge(const std::function<void(std::string_view)>& sink) {
    struct Cursor {
        LineStream stream;
        std::string_view line;
        Key key;
    };
    KeyMaker maker;
    const Encoding encoding = s_.TextEncoding;
    const std::size_t block = static_cast<std::size_t>(std::clamp<std::uint64_t>(
        s_.MergeBytes / std::max<std::size_t>(runs_.size(), 1), 64 << 10, 4 << 20));
    std::vector<Cursor> cursors;
    cursors.reserve(runs_.size());
    std::vector<std::size_t> heap;
    std::uint64_t total = 0;
    for (const RunFile& run : runs_) {
        Cursor& c =
            cursors.emplace_back(Cursor{LineStream(run.Fd(), 0, run.Index().End, block), {}, {}});
        total += run.Index().Lines;
        if (c.stream.Next(c.line)) {
            c.key.Of(c.line, maker, encoding, s_.Order);
            heap.push_back(cursors.size() - 1);
        }
    }
    // The heap's top is the line that comes first.
    const bool descending = s_.Descending;
    const auto after = [&](std::size_t a, std::size_t b) {
        const int c = CompareLines(cursors[a].line, cursors[a].key, cursors[b].line, cursors[b].key,
                                   encoding);
        return descending ? c < 0 : c > 0;
    };
    std::make_heap(heap.begin(), heap.end(), after);

    // A batch of merged lines gets its key field back and goes to the sink on
    // a second thread while this one merges the next: with two cores the
    // merge costs little more than its reading.
    TStringList batches[2];
    int filling = 0;
    std::size_t outBytes = 0;
    std::future<void> draining;
    const auto flush = [&] {
        if (draining.valid()) draining.get();
        TStringList& full = batches[filling];
        draining = std::async(std::launch::async, [this, &full, &sink, encoding] {
            SwapFieldsInEveryLine(full, s_.KeyIndex, 0, -1, encoding);
            for (int i = 0; i < full.Count(); ++i) sink(full.At(static_cast<std::size_t>(i)));
            full.Reset();
        });
        filling ^= 1;
        outBytes = 0;
    };
    std::uint64_t merged = 0;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), after);
        Cursor& c = cursors[heap.back()];
        batches[filling].Add(c.line);
        outBytes += c.line.size();
        if (c.stream.Next(c.line)) {
            c.key.Of(c.line, maker, encoding, s_.Order);
            std::push_heap(heap.begin(), heap.end(), after);
        } else {
            heap.pop_back();
        }
        if (outBytes >= kOutBatch) flush();
        if (++merged % kTickEvery == 0 && s_.Tick) s_.Tick(total + merged);
    }
    flush();
    draining.get();
}

}  // namespace quellor
