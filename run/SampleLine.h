// The first line of the first listed file: the sample from which the window
// offers its field choices and the command line takes its field count.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quellor {

// The fields of the file's first line, split as field extraction splits
// (quotes are ordinary characters). Raises the reader's errors.
std::vector<std::string> SampleFields(const std::string& path);

// What the window reads of a line to offer fields or show a preview. A file
// that is no sensible CSV (no line break in a gigabyte, a million commas)
// must not hold the window; real files stay far below both.
inline constexpr std::size_t kShownLineBytes = std::size_t{4} << 20;
inline constexpr std::size_t kShownFieldLimit = 4096;

// Fields of a line as far as the window shows them, and what was left out.
struct ShownFields {
    std::vector<std::string> Fields;
    bool LineCut = false;    // the line goes on past kShownLineBytes
    bool FieldsCut = false;  // the line has more than kShownFieldLimit fields
};

// The sample line read within the bounds above. Raises the reader's errors.
ShownFields SampleFieldsShown(const std::string& path);

// The notice for a line read only in part (empty when it was read whole), in
// the wording of the error box; lineNumber counts from 1.
std::string ShownLineNotice(const std::string& path, int lineNumber, bool lineCut, bool fieldsCut);

}  // namespace quellor
