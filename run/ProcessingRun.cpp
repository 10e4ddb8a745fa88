#include "run/ProcessingRun.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>

#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "run/FileSource.h"
#include "run/OnePassStages.h"
#include "run/ProcessingRunChecks.h"
#include "run/RunMessages.h"
#include "run/RunStages.h"

namespace quellor {

namespace {

// The first start check that fails; their order decides which warning the
// user sees when several apply.
std::optional<RunOutcome> FirstFailedCheck(const RunSettings& s, const OutputPathsFor& outputsFor) {
    const auto failed = [](StartCheck check, std::string message,
                           std::optional<RunStage> page) -> std::optional<RunOutcome> {
        return RunOutcome{RunOutcome::Kind::StartCheckFailed, check, page, std::move(message)};
    };
    if (s.Files.empty()) return failed(StartCheck::NoFiles, runmsg::kNoFiles, std::nullopt);
    if (s.FieldExtractionOn && s.ChosenFields.empty())
        return failed(StartCheck::NoChosenFields, runmsg::kNoChosenFields,
                      RunStage::FieldExtraction);
    if (s.SortOn && s.SortKeyField == 0)
        return failed(StartCheck::NoSortKey, runmsg::kNoSortKey, RunStage::Sort);
    if (s.RecordExtractionOn && s.Condition1.FieldNumber == 0)
        return failed(StartCheck::NoRecordCondition, runmsg::kNoRecordCondition,
                      RunStage::RecordExtraction);
    if (!s.FieldExtractionOn && !s.RecordExtractionOn && !s.SortOn)
        return failed(StartCheck::NoOperation, runmsg::kNoOperation, RunStage::FieldExtraction);
    if (auto overwritten = ListedFileAmongOutputs(s, outputsFor))
        return failed(StartCheck::OutputIsListedFile, std::move(*overwritten), std::nullopt);
    return std::nullopt;
}

// A millisecond tick that wraps at 2^32, so elapsed times are taken modulo 2^32.
std::uint32_t TickCount() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

int OperationsOn(const RunSettings& s) {
    return int{s.FieldExtractionOn} + int{s.RecordExtractionOn} + int{s.SortOn};
}

std::string FileCounter(const RunState& state) {
    return Format(runmsg::kFileCounter, {state.FilesDone, state.TotalFiles});
}

void FinishFile(RunContext& run);

void ProcessFileWork(RunContext& run, const std::string& path, const OutputPathsFor& outputsFor);

// A long piece of work that stopped for an abort ends the run as the record
// check's abort does.
void ProcessFile(RunContext& run, const std::string& path, const OutputPathsFor& outputsFor) {
    try {
        ProcessFileWork(run, path, outputsFor);
    } catch (const ECancelled&) {
        EndByAbort(run);
    }
}

// One file's work, whichever path it takes: its records in, the sort, the
// extraction stages, the outputs. The paths differ only in where the
// records are held and how they are sorted (FileSource).
void ProcessFileWork(RunContext& run, const std::string& path, const OutputPathsFor& outputsFor) {
    RunObserver& observer = run.Observer;
    const RunSettings& settings = run.Settings;
    RunState& state = run.State;

    state.CurrentFile = path;
    state.Heading.reset();
    state.FileLines = {};
    observer.SetLog(Format(runmsg::kLogFileStart, {PathForShow(path)}));
    observer.SetFileCounter(FileCounter(state));

    const OutputPaths paths = outputsFor(path);
    const std::unique_ptr<FileSource> source = OpenFileSource(run, path, paths);
    const TextForm& form = source->Form();
    observer.AppendLog(Format(runmsg::kLogEncoding, {runmsg::EncodingName(form.TextEncoding)}));
    if (settings.HeadingLine) state.Heading = source->TakeHeading();
    state.FileLines = form.Lines;
    const int loaded = source->Count();
    observer.SetRecordCounter(Format(runmsg::kRecordCounter, {0, loaded}));
    SetRecordBar(run, 0);
    state.RecordBarBase = 0;

    // Both outputs are put in place only once both are written whole: the
    // old ".new" and ".w" stay side by side as they were until then.
    FileOutputs outputs(paths, NewOutputMode(path), form.Prefix(),
                        HeadingAsWritten(state, settings, form.Dialect()));
    if (settings.SortOn) {
        OpenSortStage(run, loaded, form.Dialect());
        source->Sort(run, outputs);
    }
    const bool extracting = settings.RecordExtractionOn || settings.FieldExtractionOn;
    std::unique_ptr<OnePassStages> stages;
    if (extracting) {
        stages = source->Extract(run, outputs);
    } else if (!(settings.NoFileWhenEmpty && source->Count() == 0)) {
        source->Write(run, outputs);
    }
    if (settings.SortOn) {
        outputs.FinishDuplicates();
        CloseSortStage(run, loaded);
    }
    if (stages && stages->Report(run) == 0 && settings.NoFileWhenEmpty) outputs.DropProcessed();
    SetRecordBar(run, 100);
    outputs.Commit();
    FinishFile(run);
}

void FinishFile(RunContext& run) {
    RunObserver& observer = run.Observer;
    RunState& state = run.State;
    ++state.FilesDone;
    // Integer arithmetic: in binary floating point 29 of 50 files would read 57.
    const std::int64_t percent = std::int64_t{state.FilesDone} * 100 / state.TotalFiles;
    observer.SetFileProgress(static_cast<int>(percent));
    observer.SetFileCounter(FileCounter(state));
}

void ProcessFiles(RunContext& run, const OutputPathsFor& outputsFor) {
    RunObserver& observer = run.Observer;
    for (const std::string& path : run.Settings.Files) {
        observer.LockControls();
        try {
            // A whole file may be in memory: it is freed on the way out,
            // before the error box waits for the user.
            try {
                ProcessFile(run, path, outputsFor);
            } catch (const std::bad_alloc&) {
                throw EOutOfMemory(Format(runmsg::kOutOfMemory, {PathForShow(path)}));
            } catch (const std::system_error& e) {
                // A helper thread of the sort whose stack found no memory.
                if (e.code() != std::errc::resource_unavailable_try_again) throw;
                throw EOutOfMemory(Format(runmsg::kOutOfMemory, {PathForShow(path)}));
            }
        } catch (...) {
            observer.UnlockControls();
            // The record check's endings close the log, so the user reads the
            // outcome while the error box is open; other errors leave it as it was.
            if (!run.State.EndingLog.empty()) observer.AppendLog(run.State.EndingLog);
            throw;
        }
        observer.UnlockControls();
    }
}

void FinishRun(RunContext& run) {
    RunObserver& observer = run.Observer;
    observer.SetFileProgress(100);
    // Taken before the box opens: the time the user needs to close it is not the run's.
    const std::uint32_t elapsed = TickCount() - run.State.StartTick;
    observer.ShowInformation(runmsg::kFinished);
    observer.SetFileCounter("");
    observer.SetRecordCounter("");
    observer.SetFileProgress(0);
    observer.SetRecordProgress(0);
    observer.SetLog(Format(runmsg::kLogFinished, {run.State.TotalFiles, std::int64_t{elapsed}}));
}

}  // namespace

RunOutcome ExecuteRun(const RunSettings& settings, RunObserver& observer,
                      const AbortSwitch& abort) {
    return ExecuteRun(settings, observer, abort, OutputsBeside);
}

RunOutcome ExecuteRun(const RunSettings& settings, RunObserver& observer, const AbortSwitch& abort,
                      const OutputPathsFor& outputsFor) {
    if (auto failed = FirstFailedCheck(settings, outputsFor)) {
        observer.ShowWarning(failed->Message);
        if (failed->Page) observer.SelectPage(*failed->Page);
        return std::move(*failed);
    }

    RunContext run{settings, observer, abort, RunState{}};
    run.State.TotalFiles = static_cast<int>(settings.Files.size());
    run.State.FilesDone = 0;
    observer.SetFileProgress(0);
    run.State.OperationsOn = OperationsOn(settings);
    run.State.StartTick = TickCount();

    RemoveStaleTemporariesBeside(settings, outputsFor);
    try {
        ProcessFiles(run, outputsFor);
    } catch (const ERunAborted& e) {
        return RunOutcome{RunOutcome::Kind::Aborted, std::nullopt, std::nullopt, e.Message()};
    }
    FinishRun(run);
    return RunOutcome{};
}

}  // namespace quellor
