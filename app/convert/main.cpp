// lumo-convert: the personalised Traditional conversion for files and pipes.
//
// Everything is read and checked before anything is written, and the output
// is written only once the whole conversion has succeeded, so a failure never
// leaves half a result on standard output.
#include "conversion/conversion.h"
#include "platform/text/scriptmap.h"
#include "platform/text/utf8.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int kExitFailure = 1;  // the conversion or the output failed
constexpr int kExitBadInput = 2; // bad arguments or input

constexpr std::string_view kUsage =
    "Usage: lumo-convert [--plain] [FILE...]\n"
    "Converts Simplified Chinese to Traditional Chinese and, unless --plain is given,\n"
    "swaps common characters and the digits for rare look-alikes.\n"
    "Reads UTF-8 from the FILEs, or from standard input when there are none or a FILE\n"
    "is \"-\", and writes UTF-8 to standard output. Line breaks and all text that is not\n"
    "converted pass through unchanged.\n"
    "\n"
    "  --plain     Traditional characters only, no look-alikes\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "  --          treat every later argument as a FILE\n"
    "\n"
    "Exit status: 0 on success, 1 if the conversion or writing failed,\n"
    "2 for bad arguments, unreadable files or input that is not UTF-8.\n";

struct Input {
    std::string label; // for messages: the quoted file name, or "standard input"
    std::string bytes;
};

// A stretch of one input that is converted on its own. Stretches end after a
// line break: no conversion step looks across one, so converting them apart
// gives the same text as converting the whole input.
constexpr std::size_t kNoBadByte = static_cast<std::size_t>(-1);

struct Chunk {
    const Input *input;
    std::size_t begin, end;
    std::string output;
    std::string error;                ///< why the conversion failed, empty when it did not
    std::size_t badByte = kNoBadByte; ///< offset of the first ill-formed UTF-8 byte, if any
};

constexpr std::size_t kChunkBytes = 256 * 1024;

[[noreturn]] void Fail(int status, const std::string &message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "lumo-convert: %s\n", message.c_str());
    std::exit(status);
}

std::string Quoted(const std::string &name)
{
    return "'" + name + "'";
}

bool ReadAll(std::FILE *file, std::string &bytes)
{
    // Sized up front where the size is known, so growing the buffer never
    // holds the old and the new copy at once.
    struct stat info {};
    if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    return !std::ferror(file);
}

Input ReadInput(const std::string &name)
{
    Input input;
    if (name == "-") {
        input.label = "standard input";
        if (!ReadAll(stdin, input.bytes))
            Fail(kExitBadInput, "cannot read standard input: " + std::string(std::strerror(errno)));
        return input;
    }
    input.label = Quoted(name);
    std::FILE *file = std::fopen(name.c_str(), "rb");
    if (!file)
        Fail(kExitBadInput, "cannot read " + Quoted(name) + ": " + std::strerror(errno));
    const bool ok = ReadAll(file, input.bytes);
    const int readError = errno;
    std::fclose(file);
    if (!ok)
        Fail(kExitBadInput, "cannot read " + Quoted(name) + ": " + std::strerror(readError));
    return input;
}

std::vector<Chunk> SplitIntoChunks(const std::vector<Input> &inputs)
{
    std::vector<Chunk> chunks;
    for (const Input &input : inputs) {
        const std::string_view bytes = input.bytes;
        std::size_t begin = 0;
        while (begin < bytes.size()) {
            std::size_t end = bytes.size();
            if (bytes.size() - begin > kChunkBytes) {
                const std::size_t lineBreak = bytes.find('\n', begin + kChunkBytes);
                if (lineBreak != std::string_view::npos)
                    end = lineBreak + 1;
            }
            chunks.push_back({&input, begin, end, {}, {}, kNoBadByte});
            begin = end;
        }
    }
    return chunks;
}

// Invalid UTF-8 is refused with the offset of the first bad byte. Line breaks
// are never part of a longer sequence, so checking chunk by chunk finds the
// same first fault as checking the whole input.
void FailOnBadUtf8(const Chunk &chunk)
{
    if (chunk.badByte != kNoBadByte)
        Fail(kExitBadInput, chunk.input->label + " is not valid UTF-8 (byte offset " +
                                std::to_string(chunk.begin + chunk.badByte) + ")");
}

// Only for reporting bad input before a failure to load the tables.
void CheckUtf8(std::vector<Chunk> &chunks)
{
    std::u16string scratch;
    for (Chunk &chunk : chunks) {
        scratch.clear();
        std::size_t offset = 0;
        const std::string_view bytes(chunk.input->bytes);
        if (!lumo::platform::DecodeUtf8(bytes.substr(chunk.begin, chunk.end - chunk.begin), scratch, offset))
            chunk.badByte = offset;
        FailOnBadUtf8(chunk);
    }
}

void ConvertChunk(Chunk &chunk, bool personalisedOff, lumo::conversion::ConversionVariables &vars)
{
    std::u16string text;
    std::size_t offset = 0;
    const std::string_view bytes(chunk.input->bytes);
    if (!lumo::platform::DecodeUtf8(bytes.substr(chunk.begin, chunk.end - chunk.begin), text, offset)) {
        chunk.badByte = offset;
        return;
    }
    const lumo::conversion::ConvertResult result = lumo::conversion::ConvertText(text, personalisedOff, vars);
    if (!result.ok) {
        chunk.error = result.error;
        return;
    }
    lumo::platform::EncodeUtf8(result.text, chunk.output);
}

void ConvertAll(std::vector<Chunk> &chunks, bool personalisedOff)
{
    // Every chunk is decoded (and so checked) exactly once, here, on all cores;
    // nothing is written before all of them are done.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> outOfMemory{false};
    auto work = [&] {
        try {
            lumo::conversion::ConversionVariables vars;
            for (std::size_t k = next++; k < chunks.size(); k = next++)
                ConvertChunk(chunks[k], personalisedOff, vars);
        } catch (const std::bad_alloc &) {
            outOfMemory = true;
            next = chunks.size(); // the others stop too
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                        std::min<std::size_t>(chunks.size(), 8));
    std::vector<std::jthread> helpers;
    helpers.reserve(threads);
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // the threads we have share the work
        }
    }
    work();
    helpers.clear(); // joins
    if (outOfMemory)
        throw std::bad_alloc();
    for (const Chunk &chunk : chunks)
        FailOnBadUtf8(chunk);
    for (const Chunk &chunk : chunks)
        if (!chunk.error.empty())
            Fail(kExitFailure, chunk.error);
}

} // namespace

int Run(int argc, char **argv)
{
    bool personalisedOff = false;
    std::vector<std::string> names;
    bool optionsEnded = false;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            names.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--plain") {
            personalisedOff = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return std::fflush(stdout) == 0 ? 0 : kExitFailure;
        } else if (arg == "--version") {
            std::puts(LUMO_VERSION);
            return std::fflush(stdout) == 0 ? 0 : kExitFailure;
        } else {
            Fail(kExitBadInput, "unknown option " + Quoted(arg) + " (see lumo-convert --help)");
        }
    }
    if (names.empty())
        names.emplace_back("-");
    if (std::count(names.begin(), names.end(), "-") > 1)
        Fail(kExitBadInput, "standard input (\"-\") can be named only once");

    std::vector<Input> inputs;
    inputs.reserve(names.size());
    for (const std::string &name : names)
        inputs.push_back(ReadInput(name));

    std::vector<Chunk> chunks = SplitIntoChunks(inputs);
    if (chunks.empty())
        return 0;
    if (!lumo::platform::PreloadScriptMap()) {
        CheckUtf8(chunks); // bad input is reported first, as it would be otherwise
        Fail(kExitFailure, "cannot load the Chinese character tables: " + lumo::platform::ScriptMapError());
    }
    ConvertAll(chunks, personalisedOff);

    for (const Chunk &chunk : chunks)
        if (std::fwrite(chunk.output.data(), 1, chunk.output.size(), stdout) != chunk.output.size())
            break;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        Fail(kExitFailure, "cannot write the output: " + std::string(std::strerror(errno)));
    return 0;
}

int main(int argc, char **argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        // Nothing has been written yet unless the output itself ran out: say so plainly.
        std::fflush(stdout);
        std::fputs("lumo-convert: not enough memory to convert the text\n", stderr);
        return kExitFailure;
    }
}
