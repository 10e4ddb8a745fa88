#include "run/ProcessingRunChecks.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "records/Format.h"
#include "records/StagedFile.h"
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

// Paths in the one form the system would find them by: absolute, the folder
// resolved (symlinks, "." and ".."), so "a.csv.new", "./a.csv.new" and
// "../dir/a.csv.new" are the same. Each folder is resolved once: ten
// thousand files in one folder cost one realpath and a stat or two each.
class PathForms {
  public:
    // Where a listed file is read from: a symlink in the last place is
    // followed, whether its target exists yet or not.
    std::string Read(const std::string& path) { return Entry(WhereItLeads(path)); }
    // Where an output lands: the name itself, since a rename replaces a link
    // rather than writing through it.
    std::string Entry(const fs::path& path) {
        const fs::path name = path.filename();
        std::error_code ec;
        if (name.empty() || name == "." || name == "..")
            return fs::weakly_canonical(fs::absolute(path, ec), ec).string();
        const std::string folder = path.parent_path().string();
        auto known = folders_.find(folder);
        if (known == folders_.end()) {
            const fs::path absolute =
                fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), ec);
            known = folders_.emplace(folder, fs::weakly_canonical(absolute, ec).string()).first;
        }
        return (fs::path(known->second) / name).string();
    }

  private:
    static fs::path WhereItLeads(fs::path link) {
        std::error_code ec;
        for (int hop = 0; hop < 40 && fs::is_symlink(link, ec); ++hop) {
            const fs::path target = fs::read_symlink(link, ec);
            if (ec) break;
            link = target.is_absolute() ? target : link.parent_path() / target;
        }
        return link;
    }

    std::unordered_map<std::string, std::string> folders_;
};

}  // namespace

std::optional<std::string> ListedFileAmongOutputs(const RunSettings& s,
                                                  const OutputPathsFor& outputsFor) {
    const std::vector<std::string>& files = s.Files;
    PathForms forms;
    std::unordered_map<std::string, std::size_t> byForm;
    std::unordered_map<FileId, std::size_t, FileIdHash> byId;
    byForm.reserve(files.size());
    byId.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        byForm.emplace(forms.Read(files[i]), i);
        // A hard link has no spelling in common with its other names.
        if (const auto id = IdOf(files[i])) byId.emplace(*id, i);
    }
    const auto listedAs = [&](const std::string& output) -> std::optional<std::size_t> {
        if (const auto hit = byForm.find(forms.Entry(output)); hit != byForm.end())
            return hit->second;
        if (const auto id = IdOf(output)) {
            if (const auto hit = byId.find(*id); hit != byId.end()) return hit->second;
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
