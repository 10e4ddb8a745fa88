#include "RunFuzzSupport.h"

#include <unistd.h>

#include "FuzzSupport.h"
#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"
#include "run/ProcessingRun.h"
#include "run/StandardStreams.h"

namespace quellor::fuzz {

namespace {

RecordCondition DrawCondition(FuzzedDataProvider& fdp) {
    RecordCondition c;
    c.FieldNumber = fdp.ConsumeIntegralInRange<int>(0, 5);
    c.Mode = static_cast<MatchMode>(fdp.ConsumeIntegralInRange<std::uint8_t>(0, 4));
    c.SearchText = fdp.ConsumeRandomLengthString(6);
    // Now and then a typed form for UTF-8 files, or one code page 932 cannot hold.
    if (fdp.ConsumeBool()) c.SearchTextUtf8 = fdp.ConsumeRandomLengthString(6);
    c.NotInCp932 = fdp.ConsumeBool();
    return c;
}

// The count the window would take: the first record of the first file; now
// and then one off, so that every record fails.
int DrawExpectedCount(FuzzedDataProvider& fdp, const std::string& firstFile) {
    std::string_view text = firstFile;
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    const Encoding encoding = DetectEncoding(text.substr(0, text.find_first_of("\r\n")));
    const CsvDialect dialect(encoding, DelimiterOf(text, encoding));
    TStringListEx fields;
    SplitFields(fields, text.substr(0, FindRecordEnd(text, 0, dialect).End), dialect);
    return std::max(0, fields.Count() + fdp.ConsumeIntegralInRange<int>(-1, 1) *
                                            fdp.ConsumeIntegralInRange<int>(0, 1));
}

void DrawSettings(FuzzedDataProvider& fdp, RunSettings& s) {
    s.FieldExtractionOn = fdp.ConsumeBool();
    s.RecordExtractionOn = fdp.ConsumeBool();
    s.SortOn = fdp.ConsumeBool();
    const int chosen = fdp.ConsumeIntegralInRange<int>(0, 4);
    for (int i = 0; i < chosen; ++i)
        s.ChosenFields.push_back(fdp.ConsumeIntegralInRange<int>(0, 6));
    s.SortKeyField = fdp.ConsumeIntegralInRange<int>(0, 6);
    s.SortDescending = fdp.ConsumeBool();
    s.DuplicatesToFile = fdp.ConsumeBool();
    s.JoinWithOr = fdp.ConsumeBool();
    s.NoFileWhenEmpty = fdp.ConsumeBool();
    s.Condition1 = DrawCondition(fdp);
    s.Condition2 = DrawCondition(fdp);
    s.SortNumeric = fdp.ConsumeBool();
    s.HeadingLine = fdp.ConsumeBool();
    // Every line a run of its own: the streamed path and the sort on disk.
    if (fdp.ConsumeBool()) s.MemoryBudget = 16;
}

// Now and then a file is named as an earlier file's output, as when last
// month's results lie beside their inputs.
std::string DrawName(FuzzedDataProvider& fdp, const std::vector<std::string>& earlier) {
    const std::string plain = "f" + std::to_string(earlier.size()) + ".csv";
    if (earlier.empty() || fdp.ConsumeIntegralInRange<int>(0, 3) != 0) return plain;
    const std::string& owner =
        earlier[fdp.ConsumeIntegralInRange<std::size_t>(0, earlier.size() - 1)];
    const std::string name = owner + (fdp.ConsumeBool() ? ".new" : ".w");
    return std::find(earlier.begin(), earlier.end(), name) == earlier.end() ? name : plain;
}

}  // namespace

bool ListsAnOutput(const RunCase& c) {
    const bool duplicates = c.Settings.SortOn && c.Settings.DuplicatesToFile;
    const auto listed = [&](const std::string& name) {
        return std::find(c.Names.begin(), c.Names.end(), name) != c.Names.end();
    };
    return std::any_of(c.Names.begin(), c.Names.end(), [&](const std::string& name) {
        return listed(name + ".new") || (duplicates && listed(name + ".w"));
    });
}

void FuzzObserver::ProcessPendingEvents() {
    if (++events_ == abortAt_) abort_.Request();
}

RunCase MakeRunCase(FuzzedDataProvider& fdp, const std::string& dir) {
    RunCase c;
    DrawSettings(fdp, c.Settings);
    c.AbortAt = fdp.ConsumeIntegralInRange<int>(0, 40);
    const int files = fdp.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < files; ++i) {
        const bool staleNew = fdp.ConsumeBool(), staleW = fdp.ConsumeBool();
        c.Names.push_back(DrawName(fdp, c.Names));
        c.Contents.push_back(fdp.ConsumeRandomLengthString(4096));
        const std::string path = dir + "/" + c.Names.back();
        WriteFileBytes(path, c.Contents.back());
        if (staleNew) WriteFileBytes(path + ".new", "stale new\r\n");
        if (staleW) WriteFileBytes(path + ".w", "stale w\r\n");
        c.Settings.Files.push_back(path);
    }
    c.Settings.ExpectedFieldCount = DrawExpectedCount(fdp, c.Contents[0]);
    c.ClosedStream = fdp.ConsumeIntegralInRange<int>(-3, 2);  // half the time none
    return c;
}

void FuzzObserver::AppendLog(const std::string& text) {
    if (logTo_ >= 0 && ::write(logTo_, text.data(), text.size()) < 0) return;
}

RunResult RunOnce(const RunCase& c) {
    // Closed as cron may leave it, made safe as main does, given back after the run.
    const int fd = c.ClosedStream, saved = fd >= 0 ? ::dup(fd) : -1;
    FUZZ_CHECK(saved < 0 || (::close(fd) == 0 && OpenClosedStandardStreams()), "streams");
    FuzzObserver observer(c.AbortAt, fd > 0 ? fd : -1);
    RunResult out;
    try {
        const RunOutcome outcome = ExecuteRun(c.Settings, observer, observer.Abort());
        if (outcome.What == RunOutcome::Kind::Aborted) {
            out.Failed = out.Aborted = true;
            out.Message = outcome.Message;
        }
    } catch (const Exception& e) {
        out.Failed = true;
        out.Message = e.Message();
    }
    if (saved >= 0 && ::dup2(saved, fd) == fd) ::close(saved);
    out.Warned = observer.Warned();
    FUZZ_CHECK(!(out.Warned && out.Failed), out.Message);
    FUZZ_CHECK(out.Warned || observer.Informed() == (out.Failed ? 0 : 1));
    FUZZ_CHECK(!out.Failed || observer.Locks() > 0, out.Message);
    out.FileIndex = out.Failed ? static_cast<std::size_t>(observer.Locks() - 1) : 0;
    return out;
}

}  // namespace quellor::fuzz
