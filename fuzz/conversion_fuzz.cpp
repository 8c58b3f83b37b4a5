// Arbitrary UTF-16 (two fuzz bytes per code unit, lone surrogates and zeroes
// included) through both conversion paths, checking what must always hold.
#include "conversion/conversion.h"
#include "conversion/personalised_table.h"
#include "platform/text/utf8.h"

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

bool KeptAsIs(char16_t c)
{
    return c == 0 || (c >= 0xD800 && c <= 0xDFFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace lumo::conversion;
    using lumo::platform::DecodeUtf8;
    using lumo::platform::EncodeUtf8;
    std::u16string text(size / 2, u'\0');
    for (std::size_t k = 0; k < text.size(); ++k)
        text[k] = static_cast<char16_t>(data[2 * k] | (data[2 * k + 1] << 8));

    ConversionVariables vars;
    const ConvertResult plain = ConvertText(text, true, vars);
    Check(plain.ok, "the plain conversion failed");
    Check(plain.text.size() == text.size(), "the mapping changed the length");
    Check(vars.ConvTextB == text, "the source variable changed");
    for (std::size_t k = 0; k < text.size(); ++k)
        if (KeptAsIs(text[k]))
            Check(plain.text[k] == text[k], "a zero or surrogate was not kept");

    const ConvertResult personalised = ConvertText(text, false, vars);
    Check(personalised.ok, "the personalised conversion failed");
    Check(personalised.text == ApplyPersonalisedTableRowByRow(plain.text),
          "the one-pass table differs from the rows one by one");

    // The UTF-8 helpers of lumo-convert, on the raw bytes.
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::u16string decoded;
    std::size_t offset = 0;
    if (DecodeUtf8(bytes, decoded, offset)) {
        std::string encoded;
        EncodeUtf8(decoded, encoded);
        Check(encoded == bytes, "UTF-8 did not round-trip");
    } else {
        Check(offset < size && decoded.empty(), "bad UTF-8 error offset");
    }
    return 0;
}
