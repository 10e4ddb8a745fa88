#include "run/OnePassStages.h"

#include "records/CsvDialect.h"
#include "records/FieldCodec.h"

namespace quellor {

OnePassStages::OnePassStages(const RunState& state, const RunSettings& settings, Encoding encoding,
                             Sink keep)
    : settings_(settings), encoding_(encoding), keep_(std::move(keep)) {
    if (settings.RecordExtractionOn) stays_ = RecordTest(settings, encoding);
    if (!state.Heading) return;
    // The heading stands first; a count the stages refuse ends the run in
    // Report, before this output is kept.
    if (!settings.FieldExtractionOn) {
        keep_(*state.Heading);
        return;
    }
    SplitFields(fields_, *state.Heading, PlainCsv(encoding));
    if (fields_.Count() != settings.ExpectedFieldCount) return;
    fields_.SelectFieldsInto(settings.ChosenFields, cut_);
    keep_(cut_);
}

void OnePassStages::Take(std::string_view line) {
    const std::uint64_t h = taken_++;
    const int expected = settings_.ExpectedFieldCount;
    if (settings_.RecordExtractionOn) {
        SplitFields(fields_, line, QuotedCsv(encoding_));
        // The stage reports the last such record it meets walking back;
        // nothing after the first one counts.
        if (fields_.Count() != expected) lastRefusedRecord_ = Refused{h, fields_.Count()};
        if (lastRefusedRecord_ || !stays_(fields_)) return;
    }
    const std::uint64_t kept = left_++;
    if (!settings_.FieldExtractionOn) {
        keep_(line);
        return;
    }
    if (firstRefusedField_) return;  // the run ends there: the output is not kept
    SplitFields(fields_, line, PlainCsv(encoding_));
    if (fields_.Count() != expected) {
        firstRefusedField_ = Refused{kept, fields_.Count()};
        return;
    }
    fields_.SelectFieldsInto(settings_.ChosenFields, cut_);
    keep_(cut_);
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
            ReportRecordProgress(run, ++examined);
            LetEventsThrough(run);
        }
        CheckHeading(run, QuotedCsv(encoding_));
        CloseRecordStage(run, count, static_cast<int>(left_));
    }
    const int left = static_cast<int>(left_);
    if (settings_.FieldExtractionOn) {
        OpenFieldStage(run, left);
        CutHeading(run, PlainCsv(encoding_));
        for (int i = 0; i < left; ++i) {
            CheckRecord(run, RecordLine(run.State, i),
                        found(firstRefusedField_, static_cast<std::uint64_t>(i)));
            ReportRecordProgress(run, i + 1);
        }
        CloseFieldStage(run, left);
    }
    return left;
}

}  // namespace quellor
