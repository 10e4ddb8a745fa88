// On which line of its file a record begins, as an editor counts lines: a
// record with line breaks inside quoted values pushes the later records
// down. Errors name records by that line.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace quellor {

class RecordLines {
  public:
    // Line (from 1) on which record (from 0) begins.
    std::int64_t LineOf(std::int64_t record) const {
        // The last record before this one that held breaks, and how many
        // breaks all records up to it held.
        const auto after =
            std::upper_bound(spans_.begin(), spans_.end(), record,
                             [](std::int64_t r, const std::pair<std::int64_t, std::int64_t>& s) {
                                 return r <= s.first;
                             });
        const std::int64_t breaks = after == spans_.begin() ? 0 : std::prev(after)->second;
        return record + 1 + breaks;
    }
    // Called in record order for each record that holds line breaks.
    void Note(std::int64_t record, std::int64_t breaks) {
        spans_.emplace_back(record, Breaks() + breaks);
    }
    bool Empty() const { return spans_.empty(); }

  private:
    std::int64_t Breaks() const { return spans_.empty() ? 0 : spans_.back().second; }

    std::vector<std::pair<std::int64_t, std::int64_t>> spans_;  // record, breaks up to it
};

// How the records of a list are named in errors: the list's first record
// is record First of its file (1 when a heading stands before it).
struct RecordNumbering {
    const RecordLines* Lines = nullptr;  // none: one line a record
    std::int64_t First = 0;
    std::int64_t LineOf(std::int64_t index) const {
        return Lines ? Lines->LineOf(First + index) : First + index + 1;
    }
};

}  // namespace quellor
