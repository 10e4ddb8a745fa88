// The first line of the first listed file: the sample from which the window
// offers its field choices and the command line takes its field count.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "records/Encoding.h"

namespace quellor {

// What the window reads of a line to offer fields or show a preview. A file
// that is no sensible CSV (no line break in a gigabyte, a million commas)
// must not hold the window; real files stay far below both.
inline constexpr std::size_t kShownLineBytes = std::size_t{4} << 20;
inline constexpr std::size_t kShownFieldLimit = 4096;

struct SampleLine {
    std::vector<std::string> Fields;  // bytes, in the line's encoding
    Encoding TextEncoding = Encoding::Cp932;
    bool LineCut = false;    // the line goes on past kShownLineBytes
    bool FieldsCut = false;  // the line has more than kShownFieldLimit fields
};

// The fields of the file's first line, split as field extraction splits
// (quotes are ordinary characters), in the encoding chosen or else the one
// the line's bytes say; a byte-order mark is no part of the first field.
// Raises the reader's errors.
SampleLine ReadSampleLine(const std::string& path, EncodingChoice choice = EncodingChoice::Auto);
std::vector<std::string> SampleFields(const std::string& path,
                                      EncodingChoice choice = EncodingChoice::Auto);
// The field count of a run whose count was not given: that of the first
// file's first line. A file that cannot be opened or read raises the error
// the run raises for it (EFOpenError, EReadError, naming the file), and so
// does an empty file, which has no first line to count.
int FieldCountOfFirstFile(const std::string& path, EncodingChoice choice = EncodingChoice::Auto);
// The sample line read within the bounds above. Raises the reader's errors.
SampleLine SampleFieldsShown(const std::string& path);

// The notice for a line read only in part (empty when it was read whole),
// naming every limit that cut it; lineNumber counts from 1.
std::string ShownLineNotice(const std::string& path, int lineNumber, bool lineCut, bool fieldsCut);

// Lines read from a file's start for showing, at most limit of them, with
// the encoding those bytes say and no byte-order mark. Lines read before a
// failure are kept: the caller shows them, then passes the error on. A line
// longer than kShownLineBytes is kept cut and the lines after it are read
// on; only a line that goes on past kShownSkipBytes ends the lines, as its
// end would take too long to find.
inline constexpr std::size_t kShownSkipBytes = std::size_t{64} << 20;
struct LeadingLines {
    std::vector<std::string> Lines;
    std::vector<bool> Cut;  // for each line: read only in part
    Encoding TextEncoding = Encoding::Cp932;
};
void ReadLeadingLines(const std::string& path, int limit, LeadingLines& out);

}  // namespace quellor
