// Helpers shared by the fuzz targets: a hard invariant check that stops the
// fuzzer with a readable reason, a scratch folder for real files, and small
// list helpers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/StringList.h"

namespace quellor::fuzz {

// Reports the broken invariant and aborts, so libFuzzer saves the input.
[[noreturn]] void Fail(const char* what, std::string_view detail = {});

#define FUZZ_CHECK(cond, ...)                                     \
    do {                                                          \
        if (!(cond)) ::quellor::fuzz::Fail(#cond, ##__VA_ARGS__); \
    } while (0)

// One folder per fuzzing process, removed with its contents at exit.
const std::string& ScratchDir();
// Removes every entry of the scratch folder (between inputs).
void ClearScratch();

void WriteFileBytes(const std::string& path, std::string_view bytes);
std::string ReadFileBytes(const std::string& path);
bool Exists(const std::string& path);

std::vector<std::string> Lines(const TStringList& list);
void Fill(TStringList& list, const std::vector<std::string>& lines);
// Printable form for failure reports.
std::string Hex(std::string_view bytes);

}  // namespace quellor::fuzz
