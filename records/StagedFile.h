// Outputs written aside and put in place whole. Until Publish the file at
// the output's path stays exactly as it was; what was written is flushed to
// disk before it takes that path, and the folder after it. Temporary names
// are short and fixed in form, so they fit wherever the output's name fits,
// and nothing written outlives the process: the file has no name at all
// where the file system allows, and a named one is removed on every path.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "records/Cancel.h"
#include "records/FileHandle.h"
#include "records/StringList.h"

namespace quellor {

class StagedFile {
  public:
    // Fails with EFCreateError when the output cannot be replaced, its name
    // does not fit in its folder, or no temporary can be made beside it. The
    // output gets newMode limited by the umask and, when it replaces an old
    // output, by the old one's bits; never a set-ID or sticky bit.
    explicit StagedFile(std::string path, mode_t newMode = 0666);
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    const std::string& Path() const { return path_; }
    // Writes the prefix (a byte-order mark), then every line followed by
    // CR LF, and flushes the bytes to disk; EWriteError naming the output
    // when any of it is refused. work is looked at between chunks.
    void Write(const TStringList& list, std::string_view prefix = {}, const CancelCheck& work = {});
    // The same in pieces, for an output made while its input is read: the
    // bytes as they come, then Finish once.
    void Append(std::string_view bytes);
    void Finish();
    // Gives the written file its temporary name beside the output; nothing
    // visible to the user changes. EFCreateError when that fails.
    void Prepare();
    // Renames it over the output and flushes the folder.
    void Publish();

  private:
    friend void CommitTogether(std::initializer_list<StagedFile*> files);

    void Create(mode_t mode);
    // Writes bytes at the end; false when any of them is refused.
    bool Put(const char* bytes, std::size_t size);
    void CopyToNamedFile();
    // EFCreateError when the rename would fail for a cause that can be seen
    // beforehand: a folder, or an append-only or immutable file, in the way.
    void CheckReplaceable() const;
    // Renames the written file over the output; the old output, if any,
    // keeps the temporary name until the destructor or Restore.
    void Place();
    // Puts the old output back after Place (or removes a first output).
    void Restore() noexcept;
    void SyncFolder();

    std::string path_;
    std::string name_;  // the output's name within its folder
    FileHandle folder_;
    FileHandle file_;
    std::string tempName_;  // set while a named temporary exists
    bool unnamed_ = false;
    bool exists_ = false;  // an old output stands at the path (as last seen)
    bool placed_ = false;
    bool keepsOld_ = false;  // after Place: tempName_ names the old output
    mode_t existingMode_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t writebackFrom_ = 0;  // the disk was asked for what lies before
};

// Puts several outputs in place together: all are named and checked before
// the first rename, and an output already renamed is put back when a later
// one fails, so on any failure every old output stands as it was. Null
// entries are skipped.
void CommitTogether(std::initializer_list<StagedFile*> files);

// The permission bits for an output of this input: the input's own, so the
// output is no more readable than the data it came from, with the owner's
// write bit so the next run can replace it; no set-ID or sticky bit.
mode_t NewOutputMode(const std::string& input);

// Removes the named temporaries that processes of this user which no longer
// exist left in the folder (a kill or a crash between naming and renaming).
// Touches nothing else: only regular files of this user whose name has the
// exact form this program gives.
void RemoveStaleTemporaries(const std::string& folder);

// The folder part of a path as open() wants it ("." for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace quellor
