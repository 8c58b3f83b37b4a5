// lumo-convert: the personalised Traditional conversion for files and pipes.
//
// The text is converted in pieces, a few at a time on all cores, and written in order as it goes,
// so memory stays the same however long the input is. Nothing is written before every input has
// been read through once and found to be UTF-8, and the character tables are loaded: bad input
// never leaves half a result on standard output. A regular file is simply read twice; standard
// input and other inputs that cannot be read again (pipes, terminals) are copied, while they are
// checked, into an unlinked temporary file in $TMPDIR (in memory where none can be made), which
// the second pass reads.
#include "conversion/conversion.h"
#include "platform/text/scriptmap.h"
#include "platform/text/utf8.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
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
    "All input is checked before anything is written; standard input and pipes are kept\n"
    "in a temporary file in $TMPDIR (or /tmp, else in memory) meanwhile.\n"
    "\n"
    "  --plain     Traditional characters only, no look-alikes\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "  --          treat every later argument as a FILE\n"
    "\n"
    "Exit status: 0 on success, 1 if the conversion or writing failed,\n"
    "2 for bad arguments, unreadable files or input that is not UTF-8.\n";

constexpr std::size_t kReadBytes = 64 * 1024;             // one read() of the input
constexpr std::size_t kSplitCheckBytes = 4 * 1024 * 1024; // a file this large is checked in halves
constexpr std::size_t kPieceBytes = 64 * 1024;            // the usual size of a piece
constexpr std::size_t kLineSearchBytes = 2 * 1024 * 1024; // how far a line break is looked for
constexpr unsigned kMaxThreads = 4;                       // workers; each holds up to two pieces
constexpr std::size_t kNoCut = std::string_view::npos;

[[noreturn]] void Fail(int status, const std::string &message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "lumo-convert: %s\n", message.c_str());
    std::_Exit(status); // no exit handlers: conversion threads may still be running
}

std::string Quoted(const std::string &name)
{
    return "'" + name + "'";
}

// Where the piece at the start of `bytes` may end, or kNoCut when that cannot be told without
// more input; `atEnd` says that no input follows `bytes`. Converting the pieces one by one gives
// the same text as converting the whole input, because a piece ends only where no step of
// ConvertText looks across:
// - right after a line break: neither the mapping nor the look-alike table looks across one;
// - when no line break comes within kLineSearchBytes, right before an ASCII byte other than 'd'
//   or a space: no phrase of the mapping contains an ASCII character; the mapping looks back from
//   a character only to see whether a number stands right before it (3周, %d 周), over at most
//   "%d " or a digit and a space; and the only look-alike row of more than one character is ωǒdé
//   (what 我 and 的 become, one after the other), which matches 我 or ωǒ followed by 的 or dé:
//   its only ASCII character is 'd'. Rows of one character see no cut.
// An ASCII byte is never part of a longer UTF-8 sequence, so no cut falls inside a character.
// With neither, the piece grows until one comes: memory then grows with that one line.
std::size_t PieceEnd(std::string_view bytes, bool atEnd)
{
    if (bytes.size() <= kPieceBytes)
        return atEnd ? bytes.size() : kNoCut;
    const std::size_t lastBreak = bytes.substr(0, kPieceBytes).rfind('\n');
    if (lastBreak != std::string_view::npos)
        return lastBreak + 1;
    const std::size_t nextBreak = bytes.substr(0, kLineSearchBytes).find('\n', kPieceBytes);
    if (nextBreak != std::string_view::npos)
        return nextBreak + 1;
    if (bytes.size() < kLineSearchBytes)
        return atEnd ? bytes.size() : kNoCut;
    auto cuttable = [&bytes](std::size_t at) {
        return static_cast<unsigned char>(bytes[at]) < 0x80 && bytes[at] != 'd' && bytes[at] != ' ';
    };
    for (std::size_t at = kPieceBytes; at < bytes.size(); ++at)
        if (cuttable(at))
            return at;
    for (std::size_t at = kPieceBytes; at-- > 1;)
        if (cuttable(at))
            return at;
    return atEnd ? bytes.size() : kNoCut;
}

// The length of `bytes` without a UTF-8 sequence cut off at its end, which the next read
// completes. Ill-formed bytes are left in: checking reports them.
std::size_t CompleteUtf8Length(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, n); ++back) {
        const auto lead = static_cast<unsigned char>(bytes[n - back]);
        if ((lead & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

// Reads up to `size` bytes; returns the count, 0 at the end, -1 on failure (errno set).
ssize_t ReadSome(int fd, char *into, std::size_t size)
{
    ssize_t got;
    do
        got = ::read(fd, into, size);
    while (got < 0 && errno == EINTR);
    return got;
}

// The same at `offset`, leaving the file position alone.
ssize_t ReadSomeAt(int fd, char *into, std::size_t size, off_t offset)
{
    ssize_t got;
    do
        got = ::pread(fd, into, size, offset);
    while (got < 0 && errno == EINTR);
    return got;
}

bool WriteAll(int fd, const char *bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, bytes, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

struct Input {
    std::string name;  // as given on the command line; "-" for standard input
    std::string label; // for messages: the quoted file name, or "standard input"
    int fd = -1;       // kept open between the passes: standard input or a temporary copy
    off_t start = 0;   // where the text begins in `fd`
    std::uint64_t size = 0;
    dev_t device = 0; // a regular file named on the command line is opened again by name;
    ino_t inode = 0;  // these tell that it is still the file that was checked
};

// An unlinked file in $TMPDIR (else /tmp) for an input that cannot be read twice; where none can
// be made (no such directory, a read-only system), a file in memory, so that a pipe still converts.
int MakeTemporaryCopy(const Input &input)
{
    const char *fromEnvironment = std::getenv("TMPDIR");
    const std::string dir = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without O_TMPFILE: a named file, unlinked at once.
        std::string path = dir + "/lumo-convert-XXXXXX";
        fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd >= 0)
            ::unlink(path.c_str());
    }
    const int dirError = errno;
    if (fd < 0)
        fd = ::memfd_create("lumo-convert", MFD_CLOEXEC);
    if (fd < 0)
        Fail(kExitFailure, "cannot keep " + input.label + " in a temporary file in " + Quoted(dir) + ": " +
                               ErrorText(dirError));
    return fd;
}

// What the first pass found in a stretch of one input.
struct StretchCheck {
    std::uint64_t size = 0;    // bytes read and checked
    bool bad = false;          // not UTF-8
    std::uint64_t badByte = 0; // the first bad byte, from the stretch's start
    int readError = 0;         // errno of the read that failed, or 0
    int copyError = 0;         // errno of the write to `copy` that failed, or 0
};

// Reads a stretch of an input through `read(into, size)` until `limit` bytes or its end, checking
// that it is UTF-8 when `check` is set; `copy`, when not -1, receives what was read. It stops at
// the first failed read or write; after the first bad byte the rest is only read through.
template <typename Read> StretchCheck CheckStretch(Read read, std::uint64_t limit, int copy, bool check)
{
    StretchCheck result;
    // Bytes of a character cut off by one read are moved to the front for the next. Not
    // zero-filled: a short input touches only the first page of it.
    const auto storage = std::make_unique_for_overwrite<char[]>(kReadBytes + 4);
    const std::span<char> buffer(storage.get(), kReadBytes + 4);
    std::size_t carried = 0;
    for (;;) {
        const ssize_t got =
            limit == 0 ? 0 : read(buffer.data() + carried, std::min<std::uint64_t>(kReadBytes, limit));
        if (got < 0) {
            result.readError = errno;
            return result;
        }
        limit -= static_cast<std::uint64_t>(got);
        if (!check || result.bad) {
            if (got == 0)
                return result;
            continue;
        }
        if (copy >= 0 && !WriteAll(copy, buffer.data() + carried, static_cast<std::size_t>(got))) {
            result.copyError = errno;
            return result;
        }
        const std::string_view bytes(buffer.data(), carried + static_cast<std::size_t>(got));
        const std::size_t complete = got == 0 ? bytes.size() : CompleteUtf8Length(bytes);
        std::size_t badByte = 0;
        if (!lumo::platform::CheckUtf8(bytes.substr(0, complete), badByte)) {
            result.bad = true;
            result.badByte = result.size + badByte;
        }
        result.size += complete;
        if (got == 0)
            return result;
        carried = bytes.size() - complete;
        std::memmove(buffer.data(), buffer.data() + complete, carried);
    }
}

// Where the character at or after `at` begins: past the continuation bytes there, at most three;
// -1 when they cannot be read.
off_t CharacterStart(int fd, off_t at)
{
    char bytes[3] = {};
    const ssize_t got = ReadSomeAt(fd, bytes, sizeof bytes, at);
    if (got < 0)
        return -1;
    for (ssize_t k = 0; k < got; ++k, ++at)
        if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80)
            break;
    return at;
}

// The first pass over one input: reads it through, checks that it is UTF-8 and notes what the
// second pass needs to read it again. An input that cannot be read fails at once; the first bad
// byte goes into `badInput`, and once that is set inputs are only read through, unchecked, so that
// an unreadable input later on is still the error reported, as when all input was read first.
void CheckInput(Input &input, std::string &badInput)
{
    const bool isStdin = input.name == "-";
    input.label = isStdin ? "standard input" : Quoted(input.name);
    const int fd = isStdin ? STDIN_FILENO : ::open(input.name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(kExitBadInput, "cannot read " + input.label + ": " + ErrorText(errno));
    struct stat info {};
    bool rereadable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (rereadable && isStdin) {
        input.start = ::lseek(fd, 0, SEEK_CUR);
        rereadable = input.start >= 0;
    }
    int copy = -1;
    if (rereadable) {
        input.device = info.st_dev;
        input.inode = info.st_ino;
        input.fd = isStdin ? fd : -1;
    } else if (badInput.empty()) {
        input.start = 0;
        input.fd = copy = MakeTemporaryCopy(input);
    }
    const bool check = badInput.empty();
    const auto failRead = [&input](int error) {
        Fail(kExitBadInput, "cannot read " + input.label + ": " + ErrorText(error));
    };
    const auto setBad = [&input, &badInput](std::uint64_t offset) {
        badInput = input.label + " is not valid UTF-8 (byte offset " + std::to_string(offset) + ")";
    };

    // A large file that can be read twice is checked in two halves at once: the second, from the
    // first character after the middle, on a thread of its own (reading and checking 20 MB takes
    // about 30 ms, all of it before the conversion can start).
    std::uint64_t firstLimit = std::numeric_limits<std::uint64_t>::max();
    std::thread second;
    StretchCheck rest;
    if (rereadable && check && info.st_size - input.start >= static_cast<off_t>(kSplitCheckBytes)) {
        const off_t from = CharacterStart(fd, input.start + (info.st_size - input.start) / 2);
        if (from < 0)
            failRead(errno);
        firstLimit = static_cast<std::uint64_t>(from - input.start);
        second = std::thread([fd, from, &rest] {
            off_t at = from;
            const auto readAt = [fd, &at](char *into, std::size_t size) {
                const ssize_t got = ReadSomeAt(fd, into, size, at);
                if (got > 0)
                    at += got;
                return got;
            };
            rest = CheckStretch(readAt, std::numeric_limits<std::uint64_t>::max(), -1, true);
        });
    }
    const StretchCheck first = CheckStretch(
        [fd](char *into, std::size_t size) { return ReadSome(fd, into, size); }, firstLimit, copy, check);
    if (first.readError != 0)
        failRead(first.readError);
    if (first.copyError != 0)
        Fail(kExitFailure,
             "cannot keep " + input.label + " in a temporary file: " + ErrorText(first.copyError));
    if (first.bad)
        setBad(first.badByte);
    input.size = first.size;
    if (second.joinable()) {
        second.join();
        if (rest.readError != 0)
            failRead(rest.readError);
        if (!first.bad && rest.bad)
            setBad(first.size + rest.badByte);
        input.size += rest.size;
    }
    if (!isStdin && fd != copy)
        ::close(fd);
}

[[noreturn]] void FailChanged(const Input &input)
{
    Fail(kExitBadInput, input.label + " changed while it was being converted");
}

// One stretch of one input, converted on its own.
struct Piece {
    std::string bytes, output;
    std::u16string text;
    std::string error;    ///< why the conversion failed, empty when it did not
    bool badUtf8 = false; ///< the input is no longer what was checked
    bool converted = false;
    const Input *input = nullptr;
};

// The second pass: reads the checked inputs again, one after the other, as pieces.
class PieceReader {
  public:
    explicit PieceReader(std::vector<Input> &inputs) : inputs_(inputs) {}

    // The next piece, or false when every input has been read.
    bool Next(Piece &piece)
    {
        for (;;) {
            if (fd_ < 0 && !OpenNext())
                return false;
            std::size_t want = kPieceBytes + 1; // one byte more than a piece tells where it ends
            std::size_t end;
            while ((end = PieceEnd(buffer_, left_ == 0)) == kNoCut) {
                Fill(want);
                want *= 2; // a long line: read ahead in doubling steps, so each byte is looked at few times
            }
            if (end > 0) {
                piece.bytes.assign(buffer_, 0, end);
                buffer_.erase(0, end);
                piece.input = &inputs_[current_];
                return true;
            }
            Close(); // this input is done
        }
    }

  private:
    bool OpenNext()
    {
        do // an empty input has nothing to convert, and need not be there any more
            ++current_;
        while (current_ < inputs_.size() && inputs_[current_].size == 0);
        if (current_ >= inputs_.size())
            return false;
        Input &input = inputs_[current_];
        if (input.fd >= 0) {
            fd_ = input.fd;
        } else {
            fd_ = ::open(input.name.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0)
                Fail(kExitBadInput, "cannot read " + input.label + ": " + ErrorText(errno));
            struct stat info {};
            if (::fstat(fd_, &info) != 0 || info.st_dev != input.device || info.st_ino != input.inode)
                FailChanged(input);
        }
        if (::lseek(fd_, input.start, SEEK_SET) < 0)
            Fail(kExitBadInput, "cannot read " + input.label + ": " + ErrorText(errno));
        left_ = input.size;
        buffer_.clear();
        return true;
    }

    void Close()
    {
        if (fd_ != STDIN_FILENO)
            ::close(fd_);
        fd_ = -1;
    }

    // Reads until `want` bytes are buffered or the checked length is read.
    void Fill(std::size_t want)
    {
        const Input &input = inputs_[current_];
        while (buffer_.size() < want && left_ > 0) {
            const std::size_t before = buffer_.size();
            const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kReadBytes));
            buffer_.resize(before + step);
            const ssize_t got = ReadSome(fd_, buffer_.data() + before, step);
            if (got < 0)
                Fail(kExitBadInput, "cannot read " + input.label + ": " + ErrorText(errno));
            if (got == 0)
                FailChanged(input); // shorter than when it was checked
            buffer_.resize(before + static_cast<std::size_t>(got));
            left_ -= static_cast<std::uint64_t>(got);
        }
    }

    std::vector<Input> &inputs_;
    std::size_t current_ = static_cast<std::size_t>(-1);
    int fd_ = -1;
    std::uint64_t left_ = 0; // bytes of the current input not read yet
    std::string buffer_;     // read but not yet handed out
};

void ConvertPiece(Piece &piece, bool personalisedOff, lumo::conversion::ConversionVariables &vars)
{
    piece.text.clear();
    piece.output.clear();
    piece.error.clear();
    std::size_t offset = 0;
    piece.badUtf8 = !lumo::platform::DecodeUtf8(piece.bytes, piece.text, offset);
    if (piece.badUtf8)
        return;
    const lumo::conversion::ConvertResult result =
        lumo::conversion::ConvertText(piece.text, personalisedOff, vars);
    if (!result.ok) {
        piece.error = result.error;
        return;
    }
    lumo::platform::EncodeUtf8(result.text, piece.output);
}

// Converts every input and writes it in order. Worker threads, one a core, convert pieces while
// this thread reads the next ones and writes the converted ones in order: at most two pieces a
// worker are held at once, so memory does not grow with the input.
void ConvertAndWrite(std::vector<Input> &inputs, bool personalisedOff)
{
    // Text of a piece or less (a signature line) is converted on this thread: starting workers
    // and their memory arenas would cost more than the conversion.
    std::uint64_t total = 0;
    for (const Input &input : inputs)
        total += input.size;
    const unsigned threads =
        total <= kPieceBytes ? 0u : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    const std::size_t slots = 2 * std::max(threads, 1u); // one being converted, one read ahead
    std::vector<Piece> pieces(slots);                    // piece number k lives in pieces[k % slots]
    std::size_t read = 0, taken = 0, written = 0;
    bool stop = false, outOfMemory = false;
    std::mutex mutex; // guards read, taken, stop, outOfMemory and each piece's `converted`
    std::condition_variable toConvert, converted;

    auto work = [&] {
        lumo::conversion::ConversionVariables vars;
        std::unique_lock lock(mutex);
        for (;;) {
            toConvert.wait(lock, [&] { return stop || taken < read; });
            if (stop)
                return;
            Piece &piece = pieces[taken++ % slots];
            lock.unlock();
            bool failed = false;
            try {
                ConvertPiece(piece, personalisedOff, vars);
            } catch (const std::bad_alloc &) {
                failed = true;
            }
            lock.lock();
            piece.converted = true;
            outOfMemory = outOfMemory || failed;
            converted.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    // However this function is left, the workers stop before it returns.
    struct StopWorkers {
        std::vector<std::jthread> &workers;
        std::mutex &mutex;
        bool &stop;
        std::condition_variable &toConvert;
        ~StopWorkers()
        {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            toConvert.notify_all();
            workers.clear(); // joins
        }
    } stopWorkers{workers, mutex, stop, toConvert};
    workers.reserve(threads);
    for (unsigned k = 0; k < threads; ++k) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // the threads we have share the work
        }
    }
    lumo::conversion::ConversionVariables ownVars; // when no thread could be started

    PieceReader reader(inputs);
    bool more = true;
    for (;;) {
        while (more && read - written < slots) {
            Piece &piece = pieces[read % slots]; // written out already, so no worker holds it
            more = reader.Next(piece);
            if (more) {
                std::lock_guard lock(mutex);
                piece.converted = false;
                ++read;
            }
            if (more)
                toConvert.notify_one();
        }
        if (written == read)
            break;
        Piece &piece = pieces[written % slots];
        if (workers.empty()) {
            ConvertPiece(piece, personalisedOff, ownVars);
        } else {
            std::unique_lock lock(mutex);
            converted.wait(lock, [&] { return piece.converted || outOfMemory; });
            if (outOfMemory)
                throw std::bad_alloc();
        }
        if (piece.badUtf8)
            FailChanged(*piece.input);
        if (!piece.error.empty())
            Fail(kExitFailure, piece.error);
        if (std::fwrite(piece.output.data(), 1, piece.output.size(), stdout) != piece.output.size())
            Fail(kExitFailure, "cannot write the output: " + ErrorText(errno));
        ++written;
    }
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

    std::vector<Input> inputs(names.size());
    std::string badInput;
    std::uint64_t total = 0;
    for (std::size_t k = 0; k < names.size(); ++k) {
        inputs[k].name = names[k];
        CheckInput(inputs[k], badInput);
        total += inputs[k].size;
    }
    if (!badInput.empty())
        Fail(kExitBadInput, badInput);
    if (total == 0)
        return 0;
    if (!lumo::platform::PreloadScriptMap())
        Fail(kExitFailure, "cannot load the Chinese character tables: " + lumo::platform::ScriptMapError());

    ConvertAndWrite(inputs, personalisedOff);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        Fail(kExitFailure, "cannot write the output: " + ErrorText(errno));
    return 0;
}

int main(int argc, char **argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        // Every input was checked before anything was written, so this is a line (or a run of text
        // with no place to cut) too long to hold; what was converted before it has been written.
        std::fflush(stdout);
        std::fputs("lumo-convert: not enough memory to convert the text\n", stderr);
        return kExitFailure;
    }
}
