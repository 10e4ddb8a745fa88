#include "run/MemoryBudget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "records/FileHandle.h"

namespace quellor {

namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
constexpr std::uint64_t kLargestBudget = 4 * kGiB;
// Lists count lines and bytes in 32 bits: larger files are always streamed.
constexpr std::uint64_t kLargestInMemory = std::uint64_t{1} << 31;
constexpr std::size_t kSample = 64 << 10;

// Measured with the benchmark's memory probe: a sort holds the text about
// 2.1 times and about 23 bytes per line beyond it; a run without one, the
// text once and the line table. Rounded up, since the allocator adds its own.
constexpr std::uint64_t kSortPerByteQuarters = 9;  // 2.25
constexpr std::uint64_t kSortPerLine = 32;
constexpr std::uint64_t kPlainPerByteQuarters = 5;  // 1.25
constexpr std::uint64_t kPlainPerLine = 24;

// The file's lines guessed from its first bytes.
std::uint64_t GuessLines(int fd, std::uint64_t size) {
    char sample[kSample];
    const long long got = ReadFully(fd, sample, sizeof sample);
    if (got <= 0) return 1;
    const auto n = static_cast<std::uint64_t>(got);
    std::uint64_t breaks = static_cast<std::uint64_t>(std::count(sample, sample + n, '\n'));
    if (breaks == 0) breaks = static_cast<std::uint64_t>(std::count(sample, sample + n, '\r'));
    return (n == size ? breaks : size / n * breaks) + 1;
}

}  // namespace

std::uint64_t DefaultMemoryBudget() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return kGiB;
    const std::uint64_t quarter =
        static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 4;
    return std::min(quarter, kLargestBudget);
}

std::optional<std::uint64_t> ParseMemorySize(std::string_view text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr == text.data() || value == 0) return std::nullopt;
    int shift = 0;
    if (ptr + 1 == end) {
        switch (*ptr) {
            case 'K':
            case 'k':
                shift = 10;
                break;
            case 'M':
            case 'm':
                shift = 20;
                break;
            case 'G':
            case 'g':
                shift = 30;
                break;
            case 'T':
            case 't':
                shift = 40;
                break;
            default:
                return std::nullopt;
        }
    } else if (ptr != end) {
        return std::nullopt;
    }
    if (value > (~std::uint64_t{0} >> shift)) return std::nullopt;
    return value << shift;
}

std::uint64_t BudgetOf(const RunSettings& settings) {
    return settings.MemoryBudget ? settings.MemoryBudget : DefaultMemoryBudget();
}

bool FitsInMemory(const RunSettings& settings, const std::string& path) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!file.Valid() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size >= kLargestInMemory) return false;
    const std::uint64_t lines = GuessLines(file.Get(), size);
    const std::uint64_t need = settings.SortOn
                                   ? size * kSortPerByteQuarters / 4 + lines * kSortPerLine
                                   : size * kPlainPerByteQuarters / 4 + lines * kPlainPerLine;
    return need <= BudgetOf(settings);
}

// A run's text is held twice while its key field is moved to the front,
// besides its line table and sort entries (counted with the text).
std::uint64_t SortRunBytes(std::uint64_t budget) {
    return std::max<std::uint64_t>(budget * 2 / 5, 1);
}

std::uint64_t MergeBufferBytes(std::uint64_t budget) {
    return budget / 4;
}

}  // namespace quellor
