// Differential test: our mapping against OpenCC's own s2tw converter, on text made of the
// dictionaries' own keys so that phrases meet and overlap at every kind of boundary.

#include "platform/text/codepage.h"
#include "platform/text/scriptengine.h"
#include "platform/text/scriptmap.h"
#include "platform/text/utf8.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>
#include <opencc/SimpleConverter.hpp>
#include <random>
#include <string>
#include <vector>

namespace lp = lumo::platform;

namespace {

std::vector<std::string> Keys(const char *name)
{
    const std::string path = std::string(LUMO_OPENCC_DATA_DIR) + "/" + name;
    FILE *file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr)
        return {};
    const auto dict = opencc::MarisaDict::NewFromFile(file);
    std::fclose(file);
    std::vector<std::string> keys;
    for (const auto &entry : *dict->GetLexicon())
        keys.push_back(entry->Key());
    return keys;
}

std::u16string FromUtf8(const std::string &s)
{
    std::u16string out;
    std::size_t offset = 0;
    lumo::platform::DecodeUtf8(s, out, offset);
    return out;
}

std::size_t CodePoints(const std::string &s)
{
    std::size_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Whether every character of b takes as many code page bytes as the one at its place in a.
bool SameByteLengths(const std::u16string &a, const std::u16string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool pair = a[i] >= 0xD800 && a[i] <= 0xDBFF && i + 1 < a.size();
        const std::size_t n = pair ? 2 : 1;
        if (lp::EncodeAnsi(std::u16string_view(a).substr(i, n)).size() !=
            lp::EncodeAnsi(std::u16string_view(b).substr(i, n)).size())
            return false;
        i += n - 1;
    }
    return true;
}

TEST(ScriptMapAgainstOpenCC, SameReadingWhereNoOverrideRowOccurs)
{
    const std::vector<std::string> phrases = Keys("STPhrases.ocd2");
    const std::vector<std::string> characters = Keys("STCharacters.ocd2");
    ASSERT_FALSE(phrases.empty());
    ASSERT_FALSE(characters.empty());
    opencc::SimpleConverter opencc(std::string(LUMO_OPENCC_DATA_DIR) + "/s2tw.json");
    std::vector<std::string> rowKeys;
    for (const auto &row : lp::detail::OverrideRows())
        rowKeys.emplace_back(row.key);

    std::mt19937 rng(2052);
    std::uniform_int_distribution<std::size_t> pickPhrase(0, phrases.size() - 1);
    std::uniform_int_distribution<std::size_t> pickChar(0, characters.size() - 1);
    std::uniform_int_distribution<int> kind(0, 9);
    int compared = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        for (int piece = 0; piece < 12; ++piece) {
            const int k = kind(rng);
            if (k < 5)
                text += phrases[pickPhrase(rng)];
            else if (k < 9)
                text += characters[pickChar(rng)];
            else
                text += "a1，";
        }
        bool hasRow = false;
        for (const auto &key : rowKeys)
            hasRow = hasRow || text.find(key) != std::string::npos;
        if (hasRow)
            continue;
        const std::string expected = opencc.Convert(text);
        if (CodePoints(expected) != CodePoints(text))
            continue; // OpenCC changed the length somewhere; we keep such stretches as they are
        const std::string bytes = lp::EncodeAnsi(FromUtf8(text));
        std::string mapped(bytes.size(), ' ');
        ASSERT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, bytes.data(),
                                   static_cast<int>(bytes.size()), mapped.data(),
                                   static_cast<int>(mapped.size())),
                  static_cast<int>(bytes.size()));
        const std::u16string ours = lp::DecodeAnsi(mapped);
        const std::u16string theirs = FromUtf8(expected);
        if (!SameByteLengths(FromUtf8(text), theirs))
            continue; // some character would need other bytes; its stretch is kept as it was
        ASSERT_EQ(ours, theirs) << "text: " << text << "\nOpenCC: " << expected;
        ++compared;
    }
    EXPECT_GT(compared, 1000);
}

} // namespace
