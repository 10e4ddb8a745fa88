#include "run/JobLines.h"

#include <charconv>
#include <fstream>

#include "records/Encoding.h"
#include "records/Format.h"

namespace quellor {

using namespace runmsg;

namespace {

EJobError FileError(const std::string& path, Said reason) {
    return EJobError(Format(kJobFile.Japanese, {path, reason.Japanese}),
                     Format(kJobFile.English, {path, reason.English}));
}

// A line refused as a whole.
EJobError LineError(const std::string& path, int line, Said reason) {
    return EJobError(Format(kJobAt.Japanese, {path, line, reason.Japanese}),
                     Format(kJobAt.English, {path, line, reason.English}));
}

// "quellor-job N": a later N is a newer program's job, not a broken one.
void CheckVersionLine(const std::string& path, std::string_view line) {
    if (!line.starts_with(kJobMark)) throw LineError(path, 1, kJobNoVersion);
    const std::string_view number = line.substr(kJobMark.size());
    int version = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), version);
    if (ec != std::errc() || end != number.data() + number.size() || version < 1)
        throw LineError(path, 1, kJobNoVersion);
    if (version > kJobVersion) throw LineError(path, 1, kJobNewer);
}

std::string Whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, kJobUnreadable);
    std::string bytes(kLargestJobFile + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) throw FileError(path, kJobUnreadable);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kLargestJobFile) throw FileError(path, kJobTooLarge);
    return bytes;
}

}  // namespace

EJobError JobError(const std::string& path, int line, const std::string& argument, Said reason) {
    return EJobError(Format(kJobLine.Japanese, {path, line, argument, reason.Japanese}),
                     Format(kJobLine.English, {path, line, argument, reason.English}));
}

std::vector<JobLine> JobFileLines(const std::string& path) {
    std::string bytes = Whole(path);
    // Editors that mark UTF-8 files with a byte order mark still save a job.
    if (bytes.starts_with(kUtf8Bom)) bytes.erase(0, kUtf8Bom.size());
    std::vector<JobLine> lines;
    std::size_t start = 0;
    for (int number = 1; start < bytes.size() || number == 1; ++number) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string text = bytes.substr(start, end - start);
        start = end + 1;
        if (text.ends_with('\r')) text.pop_back();
        if (text.find('\0') != std::string::npos) throw LineError(path, number, kJobNul);
        if (!IsValidUtf8(text)) throw LineError(path, number, kJobNotUtf8);
        if (number == 1) {
            CheckVersionLine(path, text);
            continue;
        }
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') continue;
        lines.push_back({number, text.substr(first)});
    }
    return lines;
}

bool StartsAsJob(std::string_view firstBytes) {
    if (firstBytes.starts_with(kUtf8Bom)) firstBytes.remove_prefix(kUtf8Bom.size());
    return firstBytes.starts_with(kJobMark);
}

bool EndsInBlanks(std::string_view text) {
    return text.ends_with(' ') || text.ends_with('\t') ||
           text.ends_with("\xE3\x80\x80");  // U+3000, the full-width blank
}

}  // namespace quellor
