// Runs the built lumo-convert as a user would.
#include "conversion/conversion.h"
#include "platform/text/utf8.h"

#include <algorithm>
#include <cstdint>
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

// What ConvertText makes of the whole of `utf8` at once.
std::string WholeConversion(std::string_view utf8, bool plain)
{
    std::u16string text;
    std::size_t offset = 0;
    EXPECT_TRUE(lumo::platform::DecodeUtf8(utf8, text, offset)) << "test text is not UTF-8";
    const lumo::conversion::ConvertResult whole = lumo::conversion::ConvertText(text, plain);
    EXPECT_TRUE(whole.ok) << whole.error;
    std::string converted;
    lumo::platform::EncodeUtf8(whole.text, converted);
    return converted;
}

// Lines of at least `lineBytes` bytes, each ended by `ending` (none: one line), made of `parts`
// in a fixed pseudo-random order, until there are at least `bytes`.
std::string Lines(const std::vector<std::string_view> &parts, std::size_t lineBytes, std::string_view ending,
                  std::size_t bytes)
{
    std::string text;
    std::uint32_t state = 2026;
    std::size_t lineStart = 0;
    while (text.size() < bytes) {
        state = state * 1103515245u + 12345u;
        text += parts[(state >> 16) % parts.size()];
        if (text.size() - lineStart >= lineBytes) {
            text += ending;
            lineStart = text.size();
        }
    }
    return text;
}

// clang-format off
// Chinese with full-width punctuation and digits, characters outside the BMP (U+20000, U+1F600)
// and look-alike sources, but no ASCII at all.
const std::vector<std::string_view> kHanOnly = {
    "我们的头发", "这是一个测试。", "后来发展得很快，", "里面", "简体中文",
    "\xf0\xa0\x80\x80", "\xf0\x9f\x98\x80", "\xef\xbc\x90\xef\xbc\x91", "ωǒ", "的"};
// The same with ASCII among it: spaces, a tab, digits, letters, NUL.
const std::vector<std::string_view> kMixed = {
    "我们的头发", "这是一个测试。", "后来 发展", "里面", "简体中文 ",
    "\xf0\xa0\x80\x80", "2026年", "abc", "\xf0\x9f\x98\x80", "我的", " ", "\t", "\0"sv};
// Where the only ASCII near most cuts is the 'd' of the chain 我的 -> ωǒdé -> 莪dé.
const std::vector<std::string_view> kChains = {
    "我dé", "ωǒdé", "ωǒ的", "我的", "的", "头发", "d", "dd", "。", " "};
// Counts of weeks: 周 reads 週 right after a number, a space between or not.
const std::vector<std::string_view> kCounts = {
    "%d 周", "3 周", "3周", "\xef\xbc\x93周", "周", "%d", "%", "3", " ", "d", "周前", "。"};
// clang-format on

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

    // Runs lumo-convert with `input` on standard input, from a file or (`piped`) through a pipe.
    Outcome Convert(const std::vector<std::string> &args, std::string_view input = {},
                    std::string_view shellPrefix = {}, bool piped = false)
    {
        const std::string in = ShellQuoted(Temp("stdin", input));
        std::string command =
            std::string(shellPrefix) + (piped ? "cat " + in + " | " : "") + ShellQuoted(LUMO_CONVERT_PATH);
        for (const std::string &arg : args)
            command += " " + ShellQuoted(arg);
        if (!piped)
            command += " < " + in;
        command += " > " + ShellQuoted(dir_ / "stdout") + " 2> " + ShellQuoted(dir_ / "stderr");
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
    // Every input is opened and read before any is found not to be UTF-8.
    ExpectRefused(Convert({"-", (dir_ / "missing.txt").string()}, "\xff", {}, true), "missing.txt");
    ExpectRefused(Convert({Temp("bad.txt", "\xff").string(), dir_.string()}), "'" + dir_.string() + "'");
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

TEST_F(LumoConvert, LongInputsConvertAsOneText)
{
    // Long inputs are converted in pieces as they are read: whatever the lines, the output must
    // equal the conversion of the whole text at once.
    struct LongText {
        const char *name;
        std::string text;
        bool piped;
    };
    const std::string essay = ReadFile(DataFile("essay.txt"));
    std::string numbered;
    for (int k = 0; numbered.size() < 3'000'000; ++k)
        numbered += essay + std::to_string(k) + (k % 3 ? "\n" : "\r\n");
    const LongText cases[] = {
        {"essay lines, LF and CRLF", numbered, false},
        {"short lines", Lines(kMixed, 60, "\n", 3'000'000), true},
        {"CRLF lines of 1 MiB", Lines(kMixed, 1 << 20, "\r\n", 5'000'000), false},
        {"one line, ASCII here and there", Lines(kMixed, 6'000'000, "", 5'000'000), true},
        {"one line, a 'd' near every cut", Lines(kChains, 6'000'000, "", 5'000'000), false},
        {"one line, numbers before 周", Lines(kCounts, 4'000'000, "", 3'000'000), false},
        {"one line, no ASCII", Lines(kHanOnly, 4'000'000, "", 3'000'000), true},
        {"lines of 3 MiB without ASCII", Lines(kHanOnly, 3 << 20, "\n", 7'000'000), false},
    };
    for (const LongText &c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool plain : {false, true}) {
            const Outcome run =
                Convert(plain ? std::vector<std::string>{"--plain"} : std::vector<std::string>{}, c.text, {},
                        c.piped);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_TRUE(run.out == WholeConversion(c.text, plain))
                << (plain ? "--plain: " : "") << "output differs from the whole-text conversion";
        }
    }
}

TEST_F(LumoConvert, SeveralInputsConvertOneAfterAnother)
{
    // Each input is a text of its own: a chain cut at the end of one file does not join the next.
    const std::string first = Lines(kChains, 400'000, "", 1'000'000) + "我";
    const std::string second = "dé" + Lines(kMixed, 70, "\r\n", 600'000);
    const std::string third = "的" + Lines(kHanOnly, 100, "\n", 300'000);
    const fs::path a = Temp("a.txt", first), c = Temp("c.txt", third), empty = Temp("empty.txt", "");
    const std::string expected =
        WholeConversion(first, false) + WholeConversion(second, false) + WholeConversion(third, false);
    for (const bool piped : {false, true}) {
        SCOPED_TRACE(piped ? "standard input on a pipe" : "standard input from a file");
        const Outcome run = Convert({a.string(), empty.string(), "-", c.string()}, second, {}, piped);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out == expected) << "output differs from the inputs converted one by one";
    }
}

TEST_F(LumoConvert, InvalidUtf8LateInLongInputWritesNothing)
{
    // However far in the first bad byte lies, and whatever read it arrives in, nothing is written
    // and the offset is counted from the start of its own input.
    struct LateFault {
        const char *name;
        std::size_t at;       // offset of the bad byte
        std::string_view bad; // the ill-formed bytes there
        std::size_t after;    // good bytes that follow
        bool piped;
    };
    // clang-format off
    const LateFault cases[] = {
        {"stray continuation byte at 64 KiB",    1 << 16,       "\x80",            1'000'000, false},
        {"character cut by a line break, 256 KiB", (1 << 18) - 1, "\xe6\x88\n",      1'000'000, true},
        {"overlong form across 1 MiB",           (1 << 20) - 2, "\xe0\x80\xaf",    1'000'000, false},
        {"surrogate after 3 MB",                 3'000'001,     "\xed\xa0\x80",    2'000'000, true},
        {"cut off at the very end of 5 MB",      5'000'000,     "\xe4\xbb",        0,         true},
        {"bad byte in a 5 MB line without breaks", 4'999'999,   "\xff",            500'000,   false},
        // A file of 4 MiB or more is checked in two halves at once, the second from the first
        // character after its middle: faults at and around that cut.
        {"stray continuation byte at the middle of 6 MB", 3'000'000, "\x80",         3'000'000, false},
        {"character cut at the middle of 6 MB",  2'999'999,     "\xe4\xbb",        3'000'000, false},
    };
    // clang-format on
    for (const LateFault &c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = Lines(kMixed, 80, "\n", c.at - 100);
        text.append(c.at - text.size(), 'x');
        text += c.bad;
        text += Lines(kMixed, 80, "\n", c.after).substr(0, c.after);
        ExpectRefused(Convert({}, text, {}, c.piped),
                      "standard input is not valid UTF-8 (byte offset " + std::to_string(c.at) + ")");
        const fs::path file = Temp("late.txt", text);
        ExpectRefused(Convert({DataFile("essay.txt"), "-", file.string()}, Lines(kMixed, 80, "\n", 2'000'000),
                              {}, c.piped),
                      "'" + file.string() + "' is not valid UTF-8 (byte offset " + std::to_string(c.at) +
                          ")");
    }
}

TEST_F(LumoConvert, NoTemporaryDirectoryAndAFullDisk)
{
    const std::string text = Lines(kMixed, 80, "\n", 2'000'000);
    // A pipe is kept in a temporary file while it is checked; where none can be made, in memory.
    const Outcome noTemp =
        Convert({}, text, "export TMPDIR=" + ShellQuoted((dir_ / "missing").string()) + "; ", true);
    EXPECT_EQ(noTemp.status, 0) << noTemp.err;
    EXPECT_TRUE(noTemp.out == WholeConversion(text, false))
        << "output differs from the whole-text conversion";
    // A full disk stops the output with a message.
    const std::string command = ShellQuoted(LUMO_CONVERT_PATH) + " " +
                                ShellQuoted(Temp("in.txt", text).string()) + " > /dev/full 2> " +
                                ShellQuoted((dir_ / "stderr").string());
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
    EXPECT_NE(ReadFile(dir_ / "stderr").find("cannot write the output"), std::string::npos);
}

TEST_F(LumoConvert, RunningOutOfMemorySaysSo)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit this test sets";
#endif
    // A line of 64 MB with no ASCII offers no place to cut, so it must be held whole: that
    // cannot fit in 128 MiB of address space. The program itself starts in well under 100 MiB.
    std::string big;
    big.reserve(64 << 20);
    while (big.size() < (64u << 20))
        big += "头发我们的";
    const Outcome run = Convert({Temp("big.txt", big).string()}, {}, "ulimit -v 131072; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "lumo-convert: not enough memory to convert the text\n");
}

} // namespace
