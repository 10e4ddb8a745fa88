#include "records/Sort.h"

#include <cstddef>
#include <system_error>
#include <vector>

#include "records/Compare.h"
#include "records/ForkJoin.h"
#include "records/PrimaryWeights.h"
#include "records/SortKeys.h"
#include "records/SortOrder.h"

namespace quellor {

void SortLines(TStringList& list, Encoding encoding, const CancelCheck& cancel) {
    if (list.Count() < 2) return;
    list.Reorder(SortedOrder(list, encoding, cancel));
}

void SortByField(TStringList& list, int keyIndex, int expectedFieldCount, const CsvDialect& dialect,
                 const CancelCheck& cancel, KeyOrder order, RecordNumbering numbering) {
    list.Reorder(SortedOrderByField(list, dialect, KeyField{keyIndex, expectedFieldCount},
                                    numbering, cancel, order));
}

SortPreparation::SortPreparation() {
    try {
        worker_ = std::thread([] {
            try {
                PrimaryWeights::Get(true);
            } catch (...) {
                // Left for the sort to meet again, where it is reported.
            }
        });
    } catch (const std::system_error&) {
        // No thread to spare: the sort builds the table itself.
    }
}

SortPreparation::~SortPreparation() {
    if (worker_.joinable()) worker_.join();
}

void ReverseLines(TStringList& list) {
    const int count = list.Count();
    for (int i = 0; i < count - 1 - i; ++i) list.Exchange(i, count - 1 - i);
}

std::unique_ptr<TStringList> ExtractDuplicates(TStringList& list, const CancelCheck& cancel) {
    // Walking from the end never moves a line still to be compared, so each
    // line is compared with its original neighbour: one forward pass gives
    // the same result, with the moved lines already in their order. A long
    // list is compared in two halves at once, the second half's lines moved
    // after the first's.
    auto moved = std::make_unique<TStringList>();
    const std::size_t count = static_cast<std::size_t>(list.Count());
    if (count < 2) return moved;
    std::vector<char> keep(count, 1);
    std::vector<TStringList> parts(2);
    const auto compare = [&](TStringList& part, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            cancel.AtStep(i - from);
            if (SameBytes(list.At(i), list.At(i - 1))) {
                keep[i] = 0;
                part.Add(list.At(i));
            }
        }
    };
    if (WorthTwoThreads(count)) {
        const std::size_t half = count / 2;
        ForkJoin([&] { compare(parts[0], 1, half); }, [&] { compare(parts[1], half, count); });
    } else {
        compare(parts[0], 1, count);
    }
    moved->ReplaceLines(parts);
    if (moved->Count() > 0) list.KeepMarked(keep);
    return moved;
}

}  // namespace quellor
