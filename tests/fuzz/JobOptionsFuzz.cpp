// Job files and option lists from any bytes. The input is a job file, then
// after a 0xFF byte the arguments, each ended by a NUL; "{job}" in an
// argument names the job file (without 0xFF the arguments are "@{job}").
// Reading them gives a run's settings or a usage or job error, never a crash
// or another error; and the choices read, saved as a job, read back as the
// same job, or the saving is refused with a job error.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "records/Exceptions.h"
#include "run/CommandOptions.h"
#include "run/JobFile.h"
#include "run/RunChoices.h"

namespace quellor::fuzz {
namespace {

std::vector<std::string> Arguments(std::string_view text, const std::string& job) {
    std::vector<std::string> args;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\0', start);
        if (end == std::string_view::npos) end = text.size();
        std::string arg(text.substr(start, end - start));
        for (std::size_t at; (at = arg.find("{job}")) != std::string::npos;)
            arg.replace(at, 5, job);
        args.push_back(std::move(arg));
        start = end + 1;
    }
    return args;
}

// The choices as a job, written and read back.
void CheckSavedJob(const RunChoices& choices) {
    const std::string saved = ScratchDir() + "/saved.txt";
    try {
        WriteJobFile(saved, choices);
    } catch (const EJobError&) {
        FUZZ_CHECK(!Exists(saved), "a refused job was written");
        return;
    }
    try {
        FUZZ_CHECK(JobText(ReadJobFile(saved)) == JobText(choices), ReadFileBytes(saved));
    } catch (const EJobError& e) {
        Fail("a saved job does not load", e.English() + "\n" + ReadFileBytes(saved));
    }
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellor;
    using namespace quellor::fuzz;
    ClearScratch();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\xFF');
    const std::string job = ScratchDir() + "/月次.txt";
    WriteFileBytes(job, input.substr(0, cut));
    const std::vector<std::string> args = cut == std::string_view::npos
                                              ? std::vector<std::string>{"@" + job}
                                              : Arguments(input.substr(cut + 1), job);
    CommandLine command;
    try {
        command = ParseCommandLine(args);
    } catch (const UsageError& e) {
        FUZZ_CHECK(e.Reason.Japanese && e.Reason.English, e.Argument);
        return 0;
    } catch (const EJobError& e) {
        FUZZ_CHECK(e.English().find(':') != std::string::npos, e.English());
        return 0;
    } catch (const std::exception& e) {
        Fail("neither a usage nor a job error", e.what());
    }
    try {
        SettingsFromChoices(command.Choices);
    } catch (const std::invalid_argument&) {
        return 0;  // a search text typed that is not UTF-8: refused by the command line
    }
    CheckSavedJob(command.Choices);
    return 0;
}
