// The first line of the first listed file: the sample from which the window
// offers its field choices and the command line takes its field count.
#pragma once

#include <string>
#include <vector>

namespace quellor {

// The fields of the file's first line, split as field extraction splits
// (quotes are ordinary characters). Raises the reader's errors.
std::vector<std::string> SampleFields(const std::string& path);

}  // namespace quellor
