#include "records/StringList.h"

#include <algorithm>
#include <cstring>

#include "records/Exceptions.h"
#include "records/ForkJoin.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

constexpr std::size_t kMinBlock = 64 * 1024;
constexpr std::size_t kMaxBlock = 64 * 1024 * 1024;

}  // namespace

void ThrowIndexOutOfBounds(int i) {
    throw EStringListError(Format(msg::kListIndexOutOfBounds, {std::int64_t{i}}));
}

void TStringList::CheckIndex(int i) const {
    if (i < 0 || i >= Count()) ThrowIndexOutOfBounds(i);
}

std::string_view TStringList::Get(int i) const {
    CheckIndex(i);
    return At(static_cast<std::size_t>(i));
}

char* TStringList::Allocate(std::size_t size) {
    if (size == 0) return nullptr;
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < size) {
        const std::size_t last = blocks_.empty() ? 0 : blocks_.back().size;
        const std::size_t grown = std::min(std::max(kMinBlock, last * 2), kMaxBlock);
        Block block;
        block.size = std::max(grown, size);
        block.data = std::make_unique_for_overwrite<char[]>(block.size);
        blocks_.push_back(std::move(block));
    }
    Block& tail = blocks_.back();
    char* at = tail.data.get() + tail.used;
    tail.used += size;
    return at;
}

char* TStringList::Store(std::string_view text) {
    char* at = Allocate(text.size());
    if (at != nullptr) std::memcpy(at, text.data(), text.size());
    return at;
}

void TStringList::Put(int i, std::string_view text) {
    CheckIndex(i);
    Span& line = lines_[static_cast<std::size_t>(i)];
    if (text.size() <= line.size) {
        // memmove: the new text may be a piece of the old one.
        if (!text.empty()) std::memmove(const_cast<char*>(line.data), text.data(), text.size());
        line.size = text.size();
        return;
    }
    line.data = Store(text);
    line.size = text.size();
}

void TStringList::PutAtTail(int i, std::string_view text) {
    CheckIndex(i);
    Span& line = lines_[static_cast<std::size_t>(i)];
    line.data = Store(text);
    line.size = text.size();
}

int TStringList::Add(std::string_view text) {
    const char* at = Store(text);
    lines_.push_back({at, text.size()});
    return Count() - 1;
}

void TStringList::Delete(int i) {
    CheckIndex(i);
    lines_.erase(lines_.begin() + i);
}

void TStringList::Exchange(int i, int j) {
    CheckIndex(i);
    CheckIndex(j);
    std::swap(lines_[static_cast<std::size_t>(i)], lines_[static_cast<std::size_t>(j)]);
}

void TStringList::Clear() {
    lines_.clear();
    blocks_.clear();
}

void TStringList::Reset() {
    lines_.clear();
    if (blocks_.size() > 1) {
        auto biggest =
            std::max_element(blocks_.begin(), blocks_.end(),
                             [](const Block& a, const Block& b) { return a.size < b.size; });
        Block keep = std::move(*biggest);
        blocks_.clear();
        blocks_.push_back(std::move(keep));
    }
    if (!blocks_.empty()) blocks_.front().used = 0;
}

void TStringList::KeepMarked(const std::vector<char>& keep) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i < keep.size() && keep[i]) lines_[out++] = lines_[i];
    }
    lines_.resize(out);
}

void TStringList::Adopt(std::unique_ptr<char[]> buffer, std::size_t size,
                        std::vector<Span>&& lines) {
    lines_ = std::move(lines);
    blocks_.clear();
    Block block;
    block.data = std::move(buffer);
    block.size = size;
    block.used = size;
    blocks_.push_back(std::move(block));
}

void TStringList::ReplaceLines(std::vector<TStringList>& parts) {
    std::vector<Span> lines;
    std::vector<Block> blocks;
    std::size_t total = 0;
    for (const TStringList& part : parts) total += part.lines_.size();
    lines.reserve(total);
    for (TStringList& part : parts) {
        lines.insert(lines.end(), part.lines_.begin(), part.lines_.end());
        for (Block& block : part.blocks_) blocks.push_back(std::move(block));
        part.lines_.clear();
        part.blocks_.clear();
    }
    lines_ = std::move(lines);
    blocks_ = std::move(blocks);
}

bool TStringList::Owns(const char* p) const {
    return std::any_of(blocks_.begin(), blocks_.end(), [p](const Block& b) {
        return p != nullptr && p >= b.data.get() && p < b.data.get() + b.size;
    });
}

std::string_view TStringList::BlockHolding(const char* p) const {
    for (const Block& b : blocks_) {
        if (p != nullptr && p >= b.data.get() && p < b.data.get() + b.used)
            return {b.data.get(), b.used};
    }
    return {};
}

void TStringList::ReleaseUnusedBlocks() {
    if (blocks_.size() < 2) return;
    std::vector<std::size_t> order(blocks_.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return blocks_[a].data.get() < blocks_[b].data.get();
    });
    std::vector<char> used(blocks_.size(), 0);
    for (const Span& line : lines_) {
        if (line.size == 0) continue;
        auto it = std::upper_bound(
            order.begin(), order.end(), line.data,
            [this](const char* p, std::size_t k) { return p < blocks_[k].data.get(); });
        if (it != order.begin()) used[*(it - 1)] = 1;
    }
    std::vector<Block> kept;
    for (std::size_t k = 0; k < blocks_.size(); ++k) {
        // The tail block stays: new texts are appended there.
        if (used[k] || k + 1 == blocks_.size()) kept.push_back(std::move(blocks_[k]));
    }
    blocks_ = std::move(kept);
}

void TStringList::Reorder(std::vector<std::uint32_t> order) {
    // Gathered into a new array, both halves at once, the lines ahead asked
    // for: in place, cycle by cycle, every step waited on memory. The spans
    // cost no more than the sort's keys did just before.
    const std::size_t n = std::min(order.size(), lines_.size());
    std::vector<Span> sorted(lines_.size());
    const auto gather = [&](std::size_t from, std::size_t to) {
        constexpr std::size_t kAhead = 16;
        for (std::size_t k = from; k < to; ++k) {
            if (k + kAhead < to) __builtin_prefetch(&lines_[order[k + kAhead]]);
            sorted[k] = lines_[order[k]];
        }
    };
    if (WorthTwoThreads(n)) {
        ForkJoin([&] { gather(0, n / 2); }, [&] { gather(n / 2, n); });
    } else {
        gather(0, n);
    }
    std::copy(lines_.begin() + static_cast<std::ptrdiff_t>(n), lines_.end(),
              sorted.begin() + static_cast<std::ptrdiff_t>(n));
    lines_ = std::move(sorted);
}

}  // namespace quellor
