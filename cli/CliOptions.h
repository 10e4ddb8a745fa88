// The command line's own part of reading its arguments: the language of its
// texts and the checks made once the first file is known. The options
// themselves are read by run/CommandOptions.h, as job files are.
#pragma once

#include "cli/CliTexts.h"
#include "run/CommandOptions.h"

namespace quellor::cli {

enum class Language { Japanese, English };

// The help's language: the first of LC_ALL, LC_MESSAGES, LANG that is set
// decides, as it does for every program; "ja..." is Japanese.
Language LanguageOf(const char* lcAll, const char* lcMessages, const char* lang);

inline const char* In(Language language, Said text) {
    return language == Language::Japanese ? text.Japanese : text.English;
}

// Field numbers beyond the records' field count, and search texts that code
// page 932 cannot hold, are refused here, naming the argument.
void CheckAgainstFieldCount(const CommandLine& command);
RunSettings SettingsOf(const CommandLine& command);

}  // namespace quellor::cli
