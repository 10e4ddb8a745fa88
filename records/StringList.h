// TStringList: the ordered list of byte strings under every record list and
// field list. Lines live in an arena of large blocks, so loading a file or
// rewriting a million lines costs no allocation per line. A list holds
// bytes and nothing else: how they are cut into fields (CsvDialect) and
// how they sort (Sort.h) is said by whoever works on them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quellor {

class TStringList {
  public:
    TStringList() = default;
    TStringList(const TStringList&) = delete;
    TStringList& operator=(const TStringList&) = delete;
    TStringList(TStringList&&) noexcept = default;
    TStringList& operator=(TStringList&&) noexcept = default;
    virtual ~TStringList() = default;

    int Count() const { return static_cast<int>(lines_.size()); }
    bool Empty() const { return lines_.empty(); }

    // Line i as a view; valid until the list is next changed.
    std::string_view Get(int i) const;
    std::string Strings(int i) const { return std::string(Get(i)); }
    void Put(int i, std::string_view text);
    // The same, but always at the arena's tail: rewriting every line in list
    // order this way lays the lines out in that order again.
    void PutAtTail(int i, std::string_view text);
    int Add(std::string_view text);
    void Delete(int i);
    void Exchange(int i, int j);
    void Clear();

    // Unchecked view for loops that already know i is in range.
    std::string_view At(std::size_t i) const { return {lines_[i].data, lines_[i].size}; }

    struct Span {
        const char* data;
        std::size_t size;
    };

    // Keeps the lines whose flag is non-zero, in order, in one pass.
    void KeepMarked(const std::vector<char>& keep);
    // Replaces the contents with lines that point into a buffer the list takes over.
    void Adopt(std::unique_ptr<char[]> buffer, std::size_t size, std::vector<Span>&& lines);
    // Whether p points into this list's own storage.
    bool Owns(const char* p) const;
    // The used bytes of the storage block that p points into; empty for none.
    std::string_view BlockHolding(const char* p) const;
    // Arena space for size bytes, for lines that AddOwned then appends.
    char* Allocate(std::size_t size);
    // Appends a line whose bytes lie in space from Allocate and belong to no other line.
    void AddOwned(const char* data, std::size_t size) { lines_.push_back({data, size}); }
    // Replaces every line with the lines of parts, in order, taking over
    // their storage; parts are left empty.
    void ReplaceLines(std::vector<TStringList>& parts);
    // Frees arena blocks that no line points into any more.
    void ReleaseUnusedBlocks();
    // Applies a permutation: line k becomes the old line order[k].
    void Reorder(std::vector<std::uint32_t> order);
    // Drops every line but keeps the arena's largest block for reuse.
    void Reset();
    void Reserve(std::size_t lines) { lines_.reserve(lines); }

  protected:
    void CheckIndex(int i) const;

  private:
    // Every line owns its bytes alone, so a shorter or equal text can be
    // written over it in place; longer texts go to the arena's tail.
    char* Store(std::string_view text);

    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    std::vector<Span> lines_;
    std::vector<Block> blocks_;
};

// The list's error for a line or field i that is not there.
[[noreturn]] void ThrowIndexOutOfBounds(int i);

// Asks for the first bytes of a line a pass will reach soon: after a sort
// the lines lie anywhere in memory, and a pass that waited on each in turn
// would spend most of its time waiting.
inline void PrefetchLine(std::string_view line) {
    for (std::size_t at = 0; at < line.size() && at < 256; at += 64) {
        __builtin_prefetch(line.data() + at);
    }
}

}  // namespace quellor
