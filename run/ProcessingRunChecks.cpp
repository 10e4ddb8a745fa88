#include "run/ProcessingRunChecks.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "records/Format.h"
#include "records/LineFilesStaging.h"
#include "run/RunMessages.h"

namespace quellor {

namespace {

namespace fs = std::filesystem;

struct FileId {
    dev_t Device;
    ino_t Inode;
    bool operator==(const FileId&) const = default;
};

struct FileIdHash {
    std::size_t operator()(const FileId& id) const {
        return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.Inode) * 1000003u ^
                                          static_cast<std::uint64_t>(id.Device));
    }
};

std::optional<FileId> IdOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

// The path a dangling symlink would create its file at, links followed.
std::string WhereItLeads(fs::path link) {
    std::error_code ec;
    for (int hop = 0; hop < 40 && fs::is_symlink(link, ec); ++hop) {
        const fs::path target = fs::read_symlink(link, ec);
        if (ec) break;
        link = target.is_absolute() ? target : link.parent_path() / target;
    }
    return fs::weakly_canonical(link, ec).string();
}

}  // namespace

std::optional<std::string> ListedFileAmongOutputs(const RunSettings& s,
                                                  const OutputPathsFor& outputsFor) {
    const std::vector<std::string>& files = s.Files;
    std::unordered_map<std::string_view, std::size_t> byPath;
    std::unordered_map<FileId, std::size_t, FileIdHash> byId;
    byPath.reserve(files.size());
    byId.reserve(files.size());
    // A listed symlink to a file that does not exist yet would read what the
    // run writes there: it is known by where it leads.
    std::unordered_map<std::string, std::size_t> byTarget;
    for (std::size_t i = 0; i < files.size(); ++i) {
        byPath.emplace(files[i], i);
        if (const auto id = IdOf(files[i])) {
            byId.emplace(*id, i);
        } else if (std::error_code ec; fs::is_symlink(files[i], ec)) {
            byTarget.emplace(WhereItLeads(files[i]), i);
        }
    }
    const auto listedAs = [&](const std::string& output) -> std::optional<std::size_t> {
        if (const auto hit = byPath.find(output); hit != byPath.end()) return hit->second;
        if (const auto id = IdOf(output)) {
            if (const auto hit = byId.find(*id); hit != byId.end()) return hit->second;
        } else if (!byTarget.empty()) {
            std::error_code ec;
            const auto hit = byTarget.find(fs::weakly_canonical(output, ec).string());
            if (hit != byTarget.end()) return hit->second;
        }
        return std::nullopt;
    };
    const bool duplicatesWritten = s.SortOn && s.DuplicatesToFile;
    for (const std::string& input : files) {
        const OutputPaths outputs = outputsFor(input);
        auto hit = listedAs(outputs.Processed);
        if (!hit && duplicatesWritten) hit = listedAs(outputs.Duplicates);
        if (hit)
            return Format(runmsg::kOutputIsListedFile,
                          {PathForShow(files[*hit]), PathForShow(input)});
    }
    return std::nullopt;
}

void RemoveStaleTemporariesBeside(const RunSettings& s, const OutputPathsFor& outputsFor) {
    std::unordered_set<std::string> folders;
    for (const std::string& input : s.Files) {
        const OutputPaths outputs = outputsFor(input);
        folders.insert(FolderOf(outputs.Processed));
        folders.insert(FolderOf(outputs.Duplicates));
    }
    for (const std::string& folder : folders) RemoveStaleTemporaries(folder);
}

}  // namespace quellor
