// "sortmem": the peak memory of loading and sorting one file, per line and
// as a multiple of the file's size; "preview": what listing a file of any
// size costs the window.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCommands.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/LineFiles.h"
#include "records/RecordList.h"
#include "records/Sort.h"
#include "run/PreviewRows.h"
#include "run/SampleLine.h"

namespace quellor::bench {

int SortMemoryCommand(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: quellor_bench sortmem IN [KEY]\n");
        return 2;
    }
    const int key = args.size() == 2 ? std::stoi(args[1]) : 1;
    try {
        const auto start = std::chrono::steady_clock::now();
        TStringListEx records;
        const CsvDialect dialect = LoadLines(records, args[0]).Dialect();
        TStringListEx fields;
        if (records.Count() > 0) SplitFields(fields, records.At(0), dialect);
        std::size_t bytes = 0;
        for (int i = 0; i < records.Count(); ++i)
            bytes += records.At(static_cast<std::size_t>(i)).size() + 2;
        SortByField(records, key - 1, fields.Count(), dialect);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
        const double lines = records.Count() ? records.Count() : 1;
        std::printf("lines %d  file ~%.0f MB  peak %.0f MB  %.1f bytes/line  %.2fx file  %.2f s\n",
                    records.Count(), static_cast<double>(bytes) / 1e6, peak / 1e6, peak / lines,
                    peak / static_cast<double>(bytes), seconds);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}

int PreviewCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quellor_bench preview IN\n");
        return 2;
    }
    try {
        // What the window reads when a file is listed: the sample line for
        // the field choosers and the preview's 50 rows.
        const auto start = std::chrono::steady_clock::now();
        const SampleLine sample = SampleFieldsShown(args[0]);
        PreviewRows rows(args[0], 50, "");
        int shown = 0;
        while (rows.Next()) ++shown;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        std::printf("sample %zu fields  preview %d rows  peak %.1f MB  %.4f s\n",
                    sample.Fields.size(), shown, static_cast<double>(usage.ru_maxrss) / 1024.0,
                    seconds);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}

}  // namespace quellor::bench
