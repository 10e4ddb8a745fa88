// The help of quellor-cli in the user's language: its options come from the
// option table (run/CommandOptionTable.h), in two columns.
#pragma once

#include <string>

#include "cli/CliOptions.h"

namespace quellor::cli {

std::string HelpText(Language language);

}  // namespace quellor::cli
