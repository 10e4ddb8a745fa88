// The option reader as job files and typed options meet it: real job files
// in a temporary folder, and the job writer giving back only what the reader
// reads as it was written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "records/Exceptions.h"
#include "run/CommandOptions.h"
#include "run/JobFile.h"

namespace quellor {
namespace {

namespace fs = std::filesystem;

// The English refusal of the arguments, or "" when they are read.
std::string Refusal(const std::vector<std::string>& args) {
    try {
        ParseCommandLine(args);
        return "";
    } catch (const EJobError& e) {
        return e.English();
    } catch (const UsageError& e) {
        return e.Argument + ": " + e.Reason.English;
    }
}

class JobOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    // A job of these option lines, line 1 being the version line.
    std::string Job(const std::string& lines) {
        std::ofstream(job, std::ios::binary) << "quellor-job 1\n" << lines;
        return job.string();
    }
    const fs::path dir = fs::temp_directory_path() / ("quellor-job-" + std::to_string(::getpid()));
    const fs::path job = dir / "月次.txt";
};

// The value is the rest of the line, blanks inside it included, whether
// written after a blank or after "=".
TEST_F(JobOptionsTest, AValueHoldsItsBlanksInEitherForm) {
    for (const char* line : {"--where 2:contains:東京 都", "--where=2:contains:東京 都",
                             "  --where=2:contains:東京 都"}) {
        const CommandLine c = ParseCommandLine({"@" + Job(std::string(line) + "\n")});
        EXPECT_EQ(c.Choices.Records.Condition1.Text, "東京 都") << line;
        EXPECT_EQ(c.Choices.Records.Condition1.FieldNumber, 2) << line;
    }
}

// What stands before a job stays unless the job says otherwise: options it
// does not hold, and files.
TEST_F(JobOptionsTest, OptionsAndFilesBeforeAJobStay) {
    const std::string path = Job("--sort 3\n--fields 2,1\n");
    using Words = std::vector<std::string>;
    for (const auto& [args, files] : std::vector<std::pair<Words, Words>>{
             {{"--duplicates", "@" + path, "a.csv"}, {"a.csv"}},
             {{"a.csv", "--duplicates", "--job", path}, {"a.csv"}},
             {{"--duplicates", "a.csv", "--job=" + path, "b.csv"}, {"a.csv", "b.csv"}}}) {
        const CommandLine c = ParseCommandLine(args);
        EXPECT_EQ(c.Choices.Files.Paths, files) << args[0];
        EXPECT_TRUE(c.Choices.Sort.DuplicatesToFile) << args[0];
        EXPECT_EQ(c.Choices.Sort.KeyField, 3) << args[0];
        EXPECT_EQ(c.Choices.Fields.ChosenFields, (std::vector<int>{2, 1})) << args[0];
    }
}

TEST(CommandOptions, EncodingsAreTakenByTheirUsualNamesInAnyCase) {
    const struct {
        const char* word;
        EncodingChoice choice;
    } cases[] = {{"UTF-8", EncodingChoice::Utf8},      {"utf8", EncodingChoice::Utf8},
                 {"utf-8", EncodingChoice::Utf8},      {"Shift_JIS", EncodingChoice::Cp932},
                 {"shift-jis", EncodingChoice::Cp932}, {"SJIS", EncodingChoice::Cp932},
                 {"cp932", EncodingChoice::Cp932},     {"Windows-31J", EncodingChoice::Cp932},
                 {"ms932", EncodingChoice::Cp932},     {"AUTO", EncodingChoice::Auto}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseCommandLine({"--encoding", c.word}).Choices.Files.Text.Encoding, c.choice)
            << c.word;
    }
    for (const char* word : {"utf-16", "cp-932", "euc-jp", "sjis "}) {
        EXPECT_EQ(Refusal({"--encoding", word}),
                  std::string("--encoding ") + word +
                      ": is not an encoding such as cp932, utf-8 or auto");
    }
}

TEST(CommandOptions, MemoryBelowOneMebibyteIsRefused) {
    for (const char* size : {"1M", "1024K", "1048576", "4g"})
        EXPECT_EQ(Refusal({"--memory", size}), "") << size;
    for (const char* size : {"1048575", "1023K", "1"}) {
        EXPECT_EQ(Refusal({"--memory", size}), std::string("--memory ") + size +
                                                   ": is below 1M, the least memory a run may use");
    }
}

// A search text a job line cannot give back as it is: the saved job would
// load as another one, or not at all.
TEST_F(JobOptionsTest, TheWriterRefusesWhatTheReaderWouldNotGiveBack) {
    RunChoices choices;
    choices.Records.On = true;
    for (const char* text : {"東京 ", "東京\t", "東京\u3000", "東\n京", "東京\r"}) {
        choices.Records.Condition1 = {2, text, MatchMode::Contains};
        try {
            WriteJobFile(job.string(), choices);
            ADD_FAILURE() << "written: " << text;
        } catch (const EJobError& e) {
            EXPECT_TRUE(e.English().starts_with(job.string() + ":2: --where: ")) << e.English();
        }
        EXPECT_FALSE(fs::exists(job)) << text;
    }
    choices.Records.Condition1 = {2, " 東京 都 = 23:区", MatchMode::Contains};
    choices.Files.Text.Encoding = EncodingChoice::Cp932;
    WriteJobFile(job.string(), choices);
    const RunChoices read = ReadJobFile(job.string());
    EXPECT_EQ(read.Records.Condition1.Text, choices.Records.Condition1.Text);
    EXPECT_EQ(JobText(read), JobText(choices));
}

}  // namespace
}  // namespace quellor
