#include "TestSupport.h"

#include <sys/stat.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "records/RecordList.h"

namespace quellor::test {

namespace fs = std::filesystem;

std::string Sjis(std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> conv(ucnv_open("windows-31j", &status),
                                                            &ucnv_close);
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    std::string out(static_cast<std::size_t>(text.length()) * 2 + 1, '\0');
    int32_t n = ucnv_fromUChars(conv.get(), out.data(), static_cast<int32_t>(out.size()),
                                text.getBuffer(), text.length(), &status);
    if (U_FAILURE(status)) throw std::runtime_error("not encodable in CP932");
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string Hex(std::string_view bytes) {
    std::string out;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

void Fill(TStringList& list, const std::vector<std::string>& lines) {
    list.Clear();
    for (const auto& line : lines) list.Add(line);
}

std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.emplace_back(list.Get(i));
    return out;
}

std::string IndexMessage(int index) {
    return "リストのインデックスが範囲を超えています (" + std::to_string(index) + ")";
}

Split SplitOf(std::string_view record, const CsvDialect& dialect) {
    TStringListEx list;
    SplitFields(list, record, dialect);
    Split out;
    for (int i = 0; i < list.Count(); ++i) {
        out.values.emplace_back(list.Get(i));
        out.raw.emplace_back(list.Raw(i));
    }
    return out;
}

void TempDirTest::SetUp() {
    std::string templ = (fs::temp_directory_path() / "quellor-records-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
}

void TempDirTest::TearDown() {
    std::error_code ec;
    for (auto& entry : fs::recursive_directory_iterator(dir_, ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
}

std::string TempDirTest::WriteBytes(const std::string& name, std::string_view bytes) const {
    std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string TempDirTest::ReadBytes(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> TempDirTest::Entries() const {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace quellor::test
