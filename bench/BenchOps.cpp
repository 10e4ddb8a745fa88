// "ops": each operation of a run alone, on a freshly loaded list, so that the
// cost of a whole run can be taken apart.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchCommands.h"
#include "bench/WarningObserver.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/LineFiles.h"
#include "records/RecordList.h"
#include "records/Sort.h"
#include "run/OnePassStages.h"
#include "run/OutputLines.h"
#include "run/RunStages.h"

namespace quellor::bench {
namespace {

constexpr int kKeyField = 3;
constexpr int kFilterField = 8;
const std::vector<int> kCutFields = {3, 1};
const char* const kDefaultPattern = "\x8e\x8a\x8b\x7d";  // 至急 in code page 932

double Milliseconds(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count();
}

void Report(const char* name, double ms, const TStringListEx& list) {
    std::printf("%-34s %9.1f ms  %8d lines\n", name, ms, list.Count());
    std::fflush(stdout);
}

std::unique_ptr<TStringListEx> Loaded(const std::string& path) {
    auto list = std::make_unique<TStringListEx>();
    LoadLines(*list, path);
    return list;
}

}  // namespace

int OpsCommand(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 3) {
        std::fprintf(stderr, "ops needs IN [PAT] [SCRATCH]\n");
        return 2;
    }
    const std::string in = args[0];
    const std::string pattern = args.size() > 1 ? args[1] : kDefaultPattern;
    const std::string scratch =
        args.size() > 2 ? args[2] : "/tmp/quellor-bench-ops-" + std::to_string(getpid());

    try {
        auto list = std::make_unique<TStringListEx>();
        TextForm form;
        Report("LoadLines", Milliseconds([&] { form = LoadLines(*list, in); }), *list);
        const CsvDialect dialect = form.Dialect();
        const int fieldCount = [&] {
            TStringListEx fields;
            SplitFields(fields, list->Get(0), dialect);
            return fields.Count();
        }();

        Report("SortByField(3) + ExtractDuplicates", Milliseconds([&] {
                   SortByField(*list, kKeyField - 1, fieldCount, dialect);
                   ExtractDuplicates(*list);
               }),
               *list);

        RunSettings settings;
        settings.ExpectedFieldCount = fieldCount;
        settings.Condition1 = {kFilterField, pattern, MatchMode::Contains};
        settings.ChosenFields = kCutFields;
        WarningObserver observer;
        AbortSwitch abort;
        RunContext run{settings, observer, abort, RunState{}};
        run.State.OperationsOn = 1;

        const auto extract = [&](const char* name, bool records, bool fields) {
            list = Loaded(in);
            settings.RecordExtractionOn = records;
            settings.FieldExtractionOn = fields;
            int left = 0;
            const double ms = Milliseconds([&] {
                DeferredOutput out(scratch, 0600, {});
                left = ExtractInMemory(run, *list, dialect, out)->Report(run);
                out.Finish();
            });
            std::printf("%-34s %9.1f ms  %8d lines\n", name, ms, left);
        };
        extract("record extraction, written", true, false);
        extract("field extraction, written", false, true);

        list = Loaded(in);
        Report("SaveLines (whole file)", Milliseconds([&] { SaveLines(*list, scratch); }), *list);
        unlink(scratch.c_str());
    } catch (const Exception& e) {
        unlink(scratch.c_str());
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace quellor::bench

namespace quellor::bench {

int CopyCommand(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quellor_bench copy IN OUT\n");
        return 2;
    }
    try {
        TStringListEx list;
        LoadLines(list, args[0]);
        SaveLines(list, args[1]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace quellor::bench
