// A whole headless run on random files with random settings, aborted at a
// random record, now and then with one file listed as another's output or a
// standard stream closed (the log printed to it): inputs stay byte for byte,
// and every ".new" and ".w" is either what was there before or exactly what
// a run without trouble writes, so none holds anything but records.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "RunFuzzSupport.h"
#include "records/Exceptions.h"
#include "run/ProcessingRun.h"

namespace quellor::fuzz {
namespace {

namespace fs = std::filesystem;

using Snapshot = std::map<std::string, std::string>;  // file name -> bytes

Snapshot Take(const std::string& dir) {
    Snapshot snap;
    for (const auto& entry : fs::directory_iterator(dir))
        snap[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
    return snap;
}

std::optional<std::string> Find(const Snapshot& snap, const std::string& name) {
    const auto it = snap.find(name);
    if (it == snap.end()) return std::nullopt;
    return it->second;
}

struct Outputs {
    bool Failed = false;
    std::optional<std::string> New, W;
};

// The same settings on this one file alone, in a folder of its own, with
// nothing in the way.
Outputs Reference(const RunCase& c, std::size_t i) {
    const std::string dir = ScratchDir() + "/ref" + std::to_string(i);
    fs::create_directory(dir);
    const std::string path = dir + "/" + c.Names[i];
    WriteFileBytes(path, c.Contents[i]);
    RunSettings settings = c.Settings;
    settings.Files = {path};
    FuzzObserver observer(0);
    Outputs out;
    try {
        out.Failed =
            ExecuteRun(settings, observer, observer.Abort()).What == RunOutcome::Kind::Aborted;
    } catch (const Exception&) {
        out.Failed = true;
    }
    const Snapshot snap = Take(dir);
    out.New = Find(snap, c.Names[i] + ".new");
    out.W = Find(snap, c.Names[i] + ".w");
    return out;
}

void CheckUntouched(const Snapshot& before, const Snapshot& after, const std::string& name) {
    FUZZ_CHECK(Find(before, name) == Find(after, name), name);
}

void CheckRun(const RunCase& c, const Snapshot& before, const Snapshot& after,
              const RunResult& outcome) {
    for (const auto& [name, bytes] : after) {
        FUZZ_CHECK(before.count(name) || name.ends_with(".new") || name.ends_with(".w"),
                   "stray file " + name);
    }
    FUZZ_CHECK(outcome.Warned || !ListsAnOutput(c), "ran over a listed file");
    const std::size_t files = c.Names.size();
    const std::size_t failedAt = outcome.Failed ? outcome.FileIndex : files;
    for (std::size_t i = 0; i < files; ++i) {
        const std::string& name = c.Names[i];
        CheckUntouched(before, after, name);  // inputs are never changed
        if (outcome.Warned || i > failedAt) {
            CheckUntouched(before, after, name + ".new");
            CheckUntouched(before, after, name + ".w");
            continue;
        }
        const Outputs ref = Reference(c, i);
        if (i == failedAt) {
            // An abort may stop a file that would have gone through; any
            // other error must come again on the file alone.
            FUZZ_CHECK(outcome.Aborted || ref.Failed, outcome.Message);
            // The two outputs change together or not at all.
            CheckUntouched(before, after, name + ".new");
            CheckUntouched(before, after, name + ".w");
            continue;
        }
        FUZZ_CHECK(!ref.Failed, "the file alone fails: " + name);
        FUZZ_CHECK(Find(after, name + ".new") == (ref.New ? ref.New : Find(before, name + ".new")),
                   name + ".new");
        FUZZ_CHECK(Find(after, name + ".w") == (ref.W ? ref.W : Find(before, name + ".w")),
                   name + ".w");
    }
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellor::fuzz;
    ClearScratch();
    FuzzedDataProvider fdp(data, size);
    const std::string dir = ScratchDir() + "/run";
    std::filesystem::create_directory(dir);
    const RunCase c = MakeRunCase(fdp, dir);
    const Snapshot before = Take(dir);
    const RunResult outcome = RunOnce(c);
    CheckRun(c, before, Take(dir), outcome);
    return 0;
}
