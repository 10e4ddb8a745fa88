// "run": one whole headless run, as the window would start it.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchCommands.h"
#include "bench/WarningObserver.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/LineFiles.h"
#include "records/RecordList.h"
#include "records/SearchText.h"
#include "run/ProcessingRun.h"
#include "run/SampleLine.h"

namespace quellor::bench {
namespace {

int Number(const std::string& text) {
    std::size_t used = 0;
    const int value = std::stoi(text, &used);
    if (used != text.size()) throw std::invalid_argument(text);
    return value;
}

std::vector<int> NumberList(const std::string& text) {
    std::vector<int> numbers;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        numbers.push_back(Number(text.substr(start, comma - start)));
        start = comma + 1;
    }
    return numbers;
}

const char* const kModes[] = {"--exact", "--contains", "--starts", "--ends"};

// Returns false on a word it does not know.
bool ParseOption(const std::vector<std::string>& args, std::size_t& i, RunSettings& s, int& fields,
                 bool& typed) {
    const std::string& opt = args[i];
    auto value = [&]() -> const std::string& {
        if (i + 1 >= args.size()) throw std::invalid_argument(opt + " needs a value");
        return args[++i];
    };
    if (opt == "--sort") {
        s.SortOn = true;
        s.SortKeyField = Number(value());
    } else if (opt == "--desc") {
        s.SortDescending = true;
    } else if (opt == "--dup") {
        s.DuplicatesToFile = true;
    } else if (opt == "--filter") {
        s.RecordExtractionOn = true;
        s.Condition1.FieldNumber = Number(value());
    } else if (opt == "--cut") {
        s.FieldExtractionOn = true;
        s.ChosenFields = NumberList(value());
    } else if (opt == "--fields") {
        fields = Number(value());
    } else if (opt == "--empty-no-file") {
        s.NoFileWhenEmpty = true;
    } else if (opt == "--typed") {
        typed = true;  // the search text is UTF-8, as the window's boxes give it
    } else {
        for (int mode = 0; mode < 4; ++mode) {
            if (opt == kModes[mode]) {
                s.Condition1.Mode = static_cast<MatchMode>(mode);
                s.Condition1.SearchText = value();
                return true;
            }
        }
        return false;
    }
    return true;
}

}  // namespace

int RunCommand(const std::vector<std::string>& args) {
    RunSettings settings;
    int fields = -1;
    bool typed = false;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            if (!ParseOption(args, i, settings, fields, typed)) {
                std::fprintf(stderr, "unknown option %s\n", args[i].c_str());
                return 2;
            }
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() != 3) {
        std::fprintf(stderr, "run needs IN OUT DUP\n");
        return 2;
    }
    const std::string out = paths[1], dup = paths[2];
    settings.Files = {paths[0]};
    if (typed) {
        RecordCondition& c = settings.Condition1;
        const auto cp932 = SearchTextAsCp932(c.SearchText);
        c.SearchTextUtf8 = c.SearchText;
        c.NotInCp932 = !cp932;
        c.SearchText = cp932.value_or(std::string());
    }
    try {
        settings.ExpectedFieldCount =
            fields >= 0 ? fields : static_cast<int>(SampleFields(paths[0]).size());
        WarningObserver observer;
        AbortSwitch abort;
        ExecuteRun(settings, observer, abort, [&](const std::string&) {
            return OutputPaths{out, dup};
        });
        if (!observer.Warning().empty()) {
            std::fprintf(stderr, "%s\n", observer.Warning().c_str());
            return 2;
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace quellor::bench
