#include "RunTestSupport.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <utility>

#include "records/Exceptions.h"
#include "run/ProcessingRun.h"

namespace quellor::test {

void RecordingObserver::SetFileCounter(const std::string& text) {
    Calls.push_back("SetFileCounter:" + text);
}
void RecordingObserver::SetRecordCounter(const std::string& text) {
    Calls.push_back("SetRecordCounter:" + text);
}
void RecordingObserver::SetLog(const std::string& text) {
    Calls.push_back("SetLog:" + text);
    Log = text;
}
void RecordingObserver::AppendLog(const std::string& text) {
    Calls.push_back("AppendLog:" + text);
    Log += text;
}
void RecordingObserver::SetFileProgress(int percent) {
    Calls.push_back("SetFileProgress:" + std::to_string(percent));
}
void RecordingObserver::SetRecordProgress(int percent) {
    Calls.push_back("SetRecordProgress:" + std::to_string(percent));
    RecordBar = std::clamp(percent, 0, 100);
}
void RecordingObserver::ProcessPendingEvents() {
    Calls.push_back("ProcessPendingEvents");
    ++PendingEventCalls;
    if (OnPendingEvents) OnPendingEvents(*this);
}
void RecordingObserver::LockControls() {
    Calls.push_back("LockControls");
}
void RecordingObserver::UnlockControls() {
    Calls.push_back("UnlockControls");
}
void RecordingObserver::ShowWarning(const std::string& text) {
    Calls.push_back("ShowWarning:" + text);
}
void RecordingObserver::ShowInformation(const std::string& text) {
    Calls.push_back("ShowInformation:" + text);
    LogAtInformation = Log;
}
void RecordingObserver::SelectPage(RunStage stage) {
    Calls.push_back("SelectPage:" + std::to_string(static_cast<int>(stage)));
}

std::vector<std::string> RecordingObserver::TextsOf(const std::string& name) const {
    std::vector<std::string> texts;
    const std::string prefix = name + ":";
    for (const std::string& call : Calls)
        if (call.rfind(prefix, 0) == 0) texts.push_back(call.substr(prefix.size()));
    return texts;
}

std::vector<int> RecordingObserver::ValuesOf(const std::string& name) const {
    std::vector<int> values;
    for (const std::string& text : TextsOf(name)) values.push_back(std::stoi(text));
    return values;
}

int RecordingObserver::CountOf(const std::string& name) const {
    return static_cast<int>(std::count_if(Calls.begin(), Calls.end(), [&](const std::string& c) {
        return c == name || c.rfind(name + ":", 0) == 0;
    }));
}

std::vector<std::string> RecordingObserver::Normalized() const {
    static const std::regex elapsed("処理時間[0-9]+ﾐﾘ秒$");
    std::vector<std::string> calls;
    for (const std::string& call : Calls)
        calls.push_back(std::regex_replace(call, elapsed, "処理時間#ﾐﾘ秒"));
    return calls;
}

void RunTest::SetUp() {
    std::string templ = (std::filesystem::temp_directory_path() / "quellor-run-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
}

void RunTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string RunTest::PathOf(const std::string& name) const {
    return (dir_ / name).string();
}

std::string RunTest::WriteLines(const std::string& name, const std::vector<std::string>& lines) {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<std::string> ReadLines(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

RunError RunFailing(const RunSettings& settings, RecordingObserver& observer) {
    try {
        const RunOutcome outcome = ExecuteRun(settings, observer, observer.Abort);
        if (outcome.What == RunOutcome::Kind::Aborted) return {typeid(void), outcome.Message, true};
    } catch (const Exception& e) {
        return {typeid(e), e.Message()};
    }
    ADD_FAILURE() << "the run ended without an error";
    return {};
}

std::ostream& operator<<(std::ostream& out, const RunOutputs& o) {
    return out << "error \"" << o.Error << "\", .new \"" << o.New << "\", .w \"" << o.Duplicates
               << "\"";
}

RunOutputs RunTakingOutputs(const RunSettings& settings, RecordingObserver& observer) {
    RunOutputs o;
    try {
        ExecuteRun(settings, observer, observer.Abort);
    } catch (const Exception& e) {
        o.Error = e.Message();
    }
    const std::string& input = settings.Files.front();
    for (auto [suffix, bytes] : {std::pair{".new", &o.New}, {".w", &o.Duplicates}}) {
        *bytes = Exists(input + suffix) ? ReadBytes(input + suffix) : "(none)";
        std::filesystem::remove(input + suffix);
    }
    return o;
}

RunOutputs RunTakingOutputs(const RunSettings& settings) {
    RecordingObserver observer;
    return RunTakingOutputs(settings, observer);
}

RunSettings SettingsFor(std::vector<std::string> files, int expectedFieldCount) {
    RunSettings settings;
    settings.Files = std::move(files);
    settings.ExpectedFieldCount = expectedFieldCount;
    return settings;
}

}  // namespace quellor::test
