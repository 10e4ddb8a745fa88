// The first line of the first listed file: the sample from which the window
// offers its field choices and the command line takes its field count.
#pragma once

#include <string>
#include <vector>

#include "records/Encoding.h"

namespace quellor {

struct SampleLine {
    std::vector<std::string> Fields;  // bytes, in the line's encoding
    Encoding TextEncoding = Encoding::Cp932;
};

// The fields of the file's first line, split as field extraction splits
// (quotes are ordinary characters), in the encoding the line's bytes say; a
// byte-order mark is no part of the first field. Raises the reader's errors.
SampleLine ReadSampleLine(const std::string& path);
std::vector<std::string> SampleFields(const std::string& path);

// Lines read from a file's start for showing, at most limit of them, with
// the encoding those bytes say and no byte-order mark. Lines read before a
// failure are kept: the caller shows them, then passes the error on.
struct LeadingLines {
    std::vector<std::string> Lines;
    Encoding TextEncoding = Encoding::Cp932;
};
void ReadLeadingLines(const std::string& path, int limit, LeadingLines& out);

}  // namespace quellor
