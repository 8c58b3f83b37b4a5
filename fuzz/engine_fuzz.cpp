// Arbitrary bytes, valid code page 936 or not, through the Simplified-to-Traditional engine,
// checking what must always hold: the result keeps the length and every ASCII character (read
// from a character boundary), mapping in place gives the same, and text cut in front of an ASCII
// character other than a space or a 'd' maps piece by piece as it does whole.
#include "platform/text/codepage.h"
#include "zhconv/engine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

const lumo::zhconv::Engine &TheEngine()
{
    static const lumo::zhconv::Engine engine = [] {
        lumo::zhconv::Engine e;
        std::string error;
        Check(e.Open(lumo::zhconv::CompiledTable(), error), "the compiled table opens");
        return e;
    }();
    return engine;
}

std::string Map(const std::string &bytes)
{
    std::string out(bytes.size(), '\0');
    TheEngine().Map(bytes.data(), bytes.size(), out.data());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const std::string mapped = Map(bytes);
    Check(mapped.size() == bytes.size(), "the length is kept");

    std::string inPlace = bytes;
    TheEngine().Map(inPlace.data(), inPlace.size(), inPlace.data());
    Check(inPlace == mapped, "mapping in place gives the same");

    // Character boundaries as the code page reads them; ASCII at one stays, and is a place
    // where the text may be cut.
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    std::size_t cut = 0;
    for (std::size_t at = 0; at < size; at += lumo::platform::AnsiCharacterLength(b, at, size)) {
        if (b[at] < 0x80) {
            Check(mapped[at] == bytes[at], "ASCII is kept");
            if (cut == 0 && at > 0 && b[at] != ' ' && b[at] != 'd' && (b[0] % 3 == 0 || at * 2 >= size))
                cut = at;
        }
    }
    if (cut != 0) {
        Check(Map(bytes.substr(0, cut)) + Map(bytes.substr(cut)) == mapped,
              "text cut in front of ASCII (not a space or a 'd') maps as it does whole");
    }
    return 0;
}
