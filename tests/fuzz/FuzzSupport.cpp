#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quellor::fuzz {

namespace fs = std::filesystem;

void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "invariant broken: %s\n%.*s\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

namespace {

void RemoveScratch() {
    std::error_code ec;
    fs::remove_all(ScratchDir(), ec);
}

}  // namespace

const std::string& ScratchDir() {
    // Never destroyed: the exit handler that removes the folder needs it.
    static const std::string* dir = [] {
        auto* templ = new std::string((fs::temp_directory_path() / "quellor-fuzz-XXXXXX").string());
        if (::mkdtemp(templ->data()) == nullptr) Fail("mkdtemp");
        std::atexit(RemoveScratch);
        return templ;
    }();
    return *dir;
}

void ClearScratch() {
    for (const auto& entry : fs::directory_iterator(ScratchDir())) fs::remove_all(entry.path());
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("cannot write scratch file", path);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.emplace_back(list.Get(i));
    return lines;
}

void Fill(TStringList& list, const std::vector<std::string>& lines) {
    list.Clear();
    for (const auto& line : lines) list.Add(line);
}

std::string Hex(std::string_view bytes) {
    std::string out;
    char buf[8];
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

}  // namespace quellor::fuzz
