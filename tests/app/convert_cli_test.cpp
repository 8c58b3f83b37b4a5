// Runs the built lumo-convert as a user would.
#include "conversion/conversion.h"
#include "platform/text/utf8.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::literals;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void WriteFile(const fs::path &path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ShellQuoted(const std::string &arg)
{
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? "'\\''"s : std::string(1, c);
    return quoted + "'";
}

std::string DataFile(const char *name)
{
    return std::string(LUMO_CLI_DATA_DIR) + "/" + name;
}

class LumoConvert : public testing::Test {
  protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("lumo-convert-test-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Temp(const std::string &name, std::string_view bytes)
    {
        const fs::path path = dir_ / name;
        WriteFile(path, bytes);
        return path;
    }

    Outcome Convert(const std::vector<std::string> &args, std::string_view input = {},
                    std::string_view shellPrefix = {})
    {
        std::string command = std::string(shellPrefix) + ShellQuoted(LUMO_CONVERT_PATH);
        for (const std::string &arg : args)
            command += " " + ShellQuoted(arg);
        command += " < " + ShellQuoted(Temp("stdin", input)) + " > " + ShellQuoted(dir_ / "stdout") + " 2> " +
                   ShellQuoted(dir_ / "stderr");
        Outcome run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadFile(dir_ / "stdout");
        run.err = ReadFile(dir_ / "stderr");
        return run;
    }

    fs::path dir_;
};

// One line on standard error, nothing on standard output, status 2.
void ExpectRefused(const Outcome &run, const std::string &mentions)
{
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

TEST_F(LumoConvert, HelpAndVersion)
{
    const Outcome version = Convert({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "2.5.0.16\n");
    const Outcome help = Convert({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--plain"), std::string::npos);
    EXPECT_EQ(help.err, "");
}

TEST_F(LumoConvert, RefusesBadArguments)
{
    ExpectRefused(Convert({"--plian"}), "'--plian'");
    ExpectRefused(Convert({"-x", DataFile("essay.txt")}), "'-x'");
    ExpectRefused(Convert({"-", "-"}), "standard input");
}

TEST_F(LumoConvert, RefusesFilesItCannotRead)
{
    ExpectRefused(Convert({DataFile("essay.txt"), (dir_ / "missing.txt").string()}), "missing.txt");
    ExpectRefused(Convert({dir_.string()}), dir_.string());
}

TEST_F(LumoConvert, RefusesInvalidUtf8WithItsOffset)
{
    struct Bad {
        std::string_view bytes;
        std::size_t offset;
    };
    // clang-format off
    const Bad cases[] = {
        {"\xff",                          0},
        {"ab\x80",                        2},  // stray continuation byte
        {"\xe6\x88\x91\xc0\x80",          3},  // overlong U+0000
        {"\xe6\x88\x91\xe0\x80\xaf",      3},  // overlong three-byte form
        {"\xed\xa0\x80",                  0},  // a surrogate
        {"\xf4\x90\x80\x80",              0},  // above U+10FFFF
        {"line\n\xe6\x88",                5},  // cut off at the end
        {"\xe6\x88\n\xe6\x88\x91",        0},  // cut off before a line break
    };
    // clang-format on
    for (const Bad &bad : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(bad.bytes)));
        ExpectRefused(Convert({}, bad.bytes),
                      "standard input is not valid UTF-8 (byte offset " + std::to_string(bad.offset) + ")");
    }
    // A good file ahead of the bad one writes nothing either.
    const fs::path bad = Temp("bad.txt", "我们\n\xe4\xbb");
    ExpectRefused(Convert({DataFile("essay.txt"), bad.string()}),
                  "'" + bad.string() + "' is not valid UTF-8 (byte offset 7)");
}

TEST_F(LumoConvert, EssayOnBothPaths)
{
    const Outcome personalised = Convert({DataFile("essay.txt")});
    EXPECT_EQ(personalised.status, 0) << personalised.err;
    EXPECT_EQ(personalised.out, ReadFile(DataFile("essay.personalised.txt")));
    const Outcome plain = Convert({"--plain", DataFile("essay.txt")});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, ReadFile(DataFile("essay.plain.txt")));
    EXPECT_EQ(plain.err, "");

    // Standard input, and "-" among files, give the same.
    EXPECT_EQ(Convert({"--plain"}, ReadFile(DataFile("essay.txt"))).out, plain.out);
    EXPECT_EQ(Convert({DataFile("essay.txt"), "-"}, "我的\r\n").out, personalised.out + "莪dé\r\n");
}

TEST_F(LumoConvert, UnconvertedTextPassesThroughByteForByte)
{
    const std::string text = "Line one\r\nline two\n\n\r\n  tabs\tand spaces  \r\n\xef\xbb\xbf BOM, "
                             "\xc2\xa9 \xe0\xb8\x81 \xf0\x9f\x98\x80 \xef\xbc\x90\xef\xbc\x91 NUL:\0:end\r"s;
    const Outcome plain = Convert({"--plain"}, text);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, text);
    EXPECT_EQ(Convert({"--plain"}, "").out, "");
    EXPECT_EQ(Convert({}, "").status, 0);
}

TEST_F(LumoConvert, LargeInputConvertsAsOneText)
{
    // Several megabytes are converted in stretches, maybe in parallel: the
    // output must equal the conversion of the whole text at once.
    const std::string essay = ReadFile(DataFile("essay.txt"));
    std::string big;
    for (int k = 0; big.size() < 3'000'000; ++k)
        big += essay + std::to_string(k) + (k % 3 ? "\n" : "\r\n");
    std::u16string text;
    std::size_t offset = 0;
    ASSERT_TRUE(lumo::platform::DecodeUtf8(big, text, offset));
    for (const bool plain : {false, true}) {
        const lumo::conversion::ConvertResult whole = lumo::conversion::ConvertText(text, plain);
        ASSERT_TRUE(whole.ok) << whole.error;
        std::string expected;
        lumo::platform::EncodeUtf8(whole.text, expected);
        const Outcome run = Convert(plain ? std::vector<std::string>{"--plain", Temp("big.txt", big).string()}
                                          : std::vector<std::string>{Temp("big.txt", big).string()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out == expected) << "output differs from the whole-text conversion";
    }
}

TEST_F(LumoConvert, RunningOutOfMemorySaysSoAndWritesNothing)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit this test sets";
#endif
    // 64 MB of text cannot be held twice within 128 MiB of address space; the program itself
    // starts in well under 100 MiB.
    std::string big;
    big.reserve(64 << 20);
    while (big.size() < (64u << 20))
        big += "头发我们的\n";
    const Outcome run = Convert({Temp("big.txt", big).string()}, {}, "ulimit -v 131072; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "lumo-convert: not enough memory to convert the text\n");
}

} // namespace
