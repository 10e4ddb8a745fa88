#include "run/OnePassStages.h"

#include <string>
#include <type_traits>

#include "records/CsvDialect.h"
#include "records/FieldCodec.h"
#include "records/ForkJoin.h"

namespace quellor {

OnePassStages::OnePassStages(const RunSettings& settings, const CsvDialect& dialect, Sink keep)
    : settings_(settings), dialect_(dialect), keep_(std::move(keep)) {
    if (settings.RecordExtractionOn) {
        stays_ = RecordTest(settings, dialect.TextEncoding);
        plainStays_ = PlainRecordTest(settings, dialect.TextEncoding);
    }
}

std::optional<std::string> HeadingAsWritten(const RunState& state, const RunSettings& settings,
                                            const CsvDialect& dialect) {
    if (!state.Heading || !settings.FieldExtractionOn) return state.Heading;
    try {
        return CutHeading(state, settings, dialect);
    } catch (const Exception&) {
        return std::nullopt;  // the stages' check of the heading fails the same way
    }
}

// Most records are read in place: neither the record nor its fields are
// copied. The others are split once, for both stages.
void OnePassStages::Take(std::string_view record) {
    const std::uint64_t h = taken_++;
    const bool plain = plain_.Find(record, dialect_);
    if (!plain && (settings_.RecordExtractionOn || settings_.FieldExtractionOn))
        SplitFields(fields_, record, dialect_);
    if (settings_.RecordExtractionOn) {
        if (plain ? !Stays(h, plain_) : !Stays(h, fields_)) return;
    }
    const std::uint64_t kept = left_++;
    if (!settings_.FieldExtractionOn) {
        keep_(record);
        return;
    }
    if (firstRefusedField_ || firstFailedCut_) return;  // the run ends there: nothing is kept
    if (plain) {
        Cut(kept, plain_);
    } else {
        Cut(kept, fields_);
    }
}

template <typename Fields>
bool OnePassStages::Stays(std::uint64_t h, const Fields& fields) {
    // The stage reports the last failure it meets walking back; once there
    // is one, no record is kept.
    if (fields.Count() != settings_.ExpectedFieldCount) {
        lastRefusedRecord_ = Refused{h, fields.Count()};
        return false;
    }
    bool stays = false;
    try {
        if constexpr (std::is_same_v<Fields, PlainFields>) {
            stays = plainStays_(fields);
        } else {
            stays = stays_(fields);
        }
    } catch (...) {
        lastFailedTest_ = Failed{h, std::current_exception()};
    }
    return stays && !lastRefusedRecord_ && !lastFailedTest_;
}

template <typename Fields>
void OnePassStages::Cut(std::uint64_t kept, const Fields& fields) {
    if (fields.Count() != settings_.ExpectedFieldCount) {
        firstRefusedField_ = Refused{kept, fields.Count()};
        return;
    }
    try {
        fields.SelectFieldsInto(settings_.ChosenFields, dialect_.Delimiter, cut_);
    } catch (...) {
        firstFailedCut_ = Failed{kept, std::current_exception()};
        return;
    }
    keep_(cut_);
}

void OnePassStages::Append(const OnePassStages& later) {
    // Once a record is refused the run ends in its stage, whatever follows.
    if (later.lastRefusedRecord_) {
        lastRefusedRecord_ = {taken_ + later.lastRefusedRecord_->Index,
                              later.lastRefusedRecord_->Found};
    }
    if (later.lastFailedTest_) {
        lastFailedTest_ = {taken_ + later.lastFailedTest_->Index, later.lastFailedTest_->Error};
    }
    if (!firstFailedCut_ && later.firstFailedCut_) {
        firstFailedCut_ = {left_ + later.firstFailedCut_->Index, later.firstFailedCut_->Error};
    }
    if (!firstRefusedField_ && later.firstRefusedField_) {
        firstRefusedField_ = {left_ + later.firstRefusedField_->Index,
                              later.firstRefusedField_->Found};
    }
    taken_ += later.taken_;
    left_ += later.left_;
}

int OnePassStages::Report(RunContext& run) const {
    const int expected = settings_.ExpectedFieldCount;
    const auto found = [&](const std::optional<Refused>& refused, std::uint64_t index) {
        return refused && refused->Index == index ? refused->Found : expected;
    };
    if (settings_.RecordExtractionOn) {
        const int count = static_cast<int>(taken_);
        OpenRecordStage(run, count);
        int examined = 0;
        for (int h = count - 1; h >= 0; --h) {
            CheckRecord(run, RecordLine(run.State, h),
                        found(lastRefusedRecord_, static_cast<std::uint64_t>(h)));
            if (lastFailedTest_ && lastFailedTest_->Index == static_cast<std::uint64_t>(h))
                std::rethrow_exception(lastFailedTest_->Error);
            ReportRecordProgress(run, ++examined);
            LetEventsThrough(run);
        }
        CheckHeading(run, RunStage::RecordExtraction, dialect_);
        CloseRecordStage(run, count, static_cast<int>(left_));
    }
    const int left = static_cast<int>(left_);
    if (settings_.FieldExtractionOn) {
        OpenFieldStage(run, left);
        CheckHeading(run, RunStage::FieldExtraction, dialect_);
        for (int i = 0; i < left; ++i) {
            CheckRecord(run, RecordLine(run.State, i),
                        found(firstRefusedField_, static_cast<std::uint64_t>(i)));
            if (firstFailedCut_ && firstFailedCut_->Index == static_cast<std::uint64_t>(i))
                std::rethrow_exception(firstFailedCut_->Error);
            ReportRecordProgress(run, i + 1);
        }
        CloseFieldStage(run, left);
    }
    return left;
}

namespace {

// Records per half of one round on two cores: a round's kept lines wait in
// memory for their turn, so a round stays a few megabytes.
constexpr std::size_t kRoundHalf = 16384;
constexpr std::size_t kPrefetchAhead = 24;

void TakeRange(OnePassStages& stages, const TStringList& records, std::size_t from,
               std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (i + kPrefetchAhead < to) PrefetchLine(records.At(i + kPrefetchAhead));
        stages.Take(records.At(i));
    }
}

}  // namespace

std::unique_ptr<OnePassStages> ExtractInMemory(RunContext& run, const TStringList& records,
                                               const CsvDialect& dialect, DeferredOutput& out) {
    auto stages = std::make_unique<OnePassStages>(run.Settings, dialect,
                                                  [&](std::string_view line) { out.Add(line); });
    const std::size_t n = static_cast<std::size_t>(records.Count());
    if (!WorthTwoThreads(n)) {
        TakeRange(*stages, records, 0, n);
        return stages;
    }
    // Rounds of two halves, one on each core, each into a buffer of its own,
    // noted in their order; this thread writes a round's lines out while the
    // next round is taken. An abort is looked at between rounds.
    const CancelCheck work = WorkCheck(run, true, run.State.RecordBar, 0);
    std::string kept[2][2];
    int filling = 0;
    const auto writeOut = [&](std::string(&round)[2]) {
        for (std::string& lines : round) {
            out.AddBytes(lines);
            lines.clear();
        }
    };
    for (std::size_t from = 0; from < n; from += 2 * kRoundHalf) {
        work.ThrowIfRequested();
        const std::size_t middle = std::min(n, from + kRoundHalf);
        const std::size_t to = std::min(n, middle + kRoundHalf);
        std::optional<OnePassStages> part[2];
        for (int k = 0; k < 2; ++k) {
            part[k].emplace(run.Settings, dialect,
                            [&buffer = kept[filling][k]](std::string_view line) {
                                buffer += line;
                                buffer += "\r\n";
                            });
        }
        ForkJoin(
            [&] {
                writeOut(kept[1 - filling]);
                TakeRange(*part[0], records, from, middle);
            },
            [&] { TakeRange(*part[1], records, middle, to); });
        for (int k = 0; k < 2; ++k) stages->Append(*part[k]);
        filling = 1 - filling;
    }
    writeOut(kept[1 - filling]);
    return stages;
}

}  // namespace quellor
