// Where a run writes the outputs of each input file: beside the input for
// the window and the command line, wherever the caller says for the
// benchmark driver. Part of what a run is told, as its settings are.
#pragma once

#include <functional>
#include <string>

#include "run/RunMessages.h"

namespace quellor {

// Where the outputs of one input file go.
struct OutputPaths {
    std::string Processed;   // the ".new" file
    std::string Duplicates;  // the ".w" file
};
using OutputPathsFor = std::function<OutputPaths(const std::string& input)>;

// The outputs beside the input: its full name with ".new" and ".w" appended.
inline OutputPaths OutputsBeside(const std::string& input) {
    return {input + runmsg::kProcessedSuffix, input + runmsg::kDuplicatesSuffix};
}

}  // namespace quellor
