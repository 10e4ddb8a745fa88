// The README's message tables, in both languages, list only what the program
// says: each listed message is a text of the messages headers (or of the few
// English errors raised elsewhere), 〈…〉 standing for a value.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string Source(const std::string& file) {
    std::ifstream in(std::string(QUELLOR_SOURCE_DIR) + "/" + file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Values, line breaks at either end and the error box's period read alike.
std::string Shape(std::string text) {
    text = std::regex_replace(text, std::regex("〈.*?〉|%[sd]|%[0-9]"), "#");
    text = std::regex_replace(text, std::regex(R"(\\")"), "\"");
    text = std::regex_replace(text, std::regex(R"(^(\\r\\n)+|(\\r\\n)+$|\.$)"), "");
    return text;
}

TEST(MessageTables, ListOnlyWhatTheProgramSays) {
    std::set<std::string> said;
    for (const char* file :
         {"records/Messages.h", "run/RunMessages.h", "cli/CliTexts.h", "ui/UiTexts.h",
          "records/Collation.cpp", "records/SearchText.cpp", "ui/ErrorDisplay.cpp"}) {
        const std::string text = Source(file);
        const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
        for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it)
            said.insert(Shape((*it)[1]));
    }
    std::istringstream readme(Source("README.md"));
    bool inTable = false;
    int listed = 0;
    for (std::string line; std::getline(readme, line);) {
        if (line.starts_with("### "))
            inTable = line == "### メッセージ一覧" || line == "### Messages";
        if (!inTable || !line.starts_with("| `")) continue;
        const std::string cell = line.substr(3, line.find("` |") - 3);
        const std::string shape = Shape(std::regex_replace(cell, std::regex("`<br>`"), R"(\r\n)"));
        // A log line may be two texts printed one after the other.
        bool found = said.contains(shape);
        for (auto it = said.begin(); !found && it != said.end(); ++it)
            found = shape.starts_with(*it) && said.contains(shape.substr(it->size()));
        EXPECT_TRUE(found) << cell;
        ++listed;
    }
    EXPECT_GT(listed, 70);
}

}  // namespace
