// Differential test: our conversion against OpenCC's own converter on the same dictionaries, on
// text made of the dictionaries' own keys so that phrases meet and overlap at every kind of
// boundary. Our segmentation differs from OpenCC's on purpose (by word frequency, not longest
// match), so each of our words is converted by OpenCC on its own: OpenCC then converts it by the
// phrases inside it, then by characters, which is what the table must hold for it.
//
// The reference is s2tw as zhconv/chain.lock chains it, put together from the pieces of the
// libopencc on this machine (which predates OpenCC 1.4's union of two phrase dictionaries and its
// normalisation step).

#include "platform/text/codepage.h"
#include "platform/text/utf8.h"
#include "tools/s2twgen/chain.h"
#include "tools/s2twgen/tablebuilder.h"
#include "zhconv/engine.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>
#include <opencc/MaxMatchSegmentation.hpp>
#include <opencc/TextDict.hpp>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace lp = lumo::platform;

namespace {

const lumo::zhconv::Chain &TheChain()
{
    static const lumo::zhconv::Chain chain(LUMO_CHAIN, LUMO_DATA_DIR);
    return chain;
}

opencc::DictPtr Load(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        throw std::runtime_error("cannot open " + path);
    auto dict = opencc::MarisaDict::NewFromFile(file);
    std::fclose(file);
    return dict;
}

std::vector<std::string> Keys(const opencc::DictPtr &dict)
{
    std::vector<std::string> keys;
    for (const auto &entry : *dict->GetLexicon())
        keys.push_back(entry->Key());
    return keys;
}

// OpenCC 1.4's "union" group: the longer match of the two; on a tie, the first dictionary's.
// Equivalent to one dictionary that holds the first's entries and the second's other keys.
opencc::DictPtr Union(const opencc::DictPtr &first, const opencc::DictPtr &second)
{
    auto lexicon = std::make_shared<opencc::Lexicon>();
    std::set<std::string> keys;
    for (const auto &entry : *first->GetLexicon()) {
        lexicon->Add(opencc::DictEntryFactory::New(entry.get()));
        keys.insert(entry->Key());
    }
    for (const auto &entry : *second->GetLexicon())
        if (!keys.contains(entry->Key()))
            lexicon->Add(opencc::DictEntryFactory::New(entry.get()));
    lexicon->Sort();
    return std::make_shared<opencc::TextDict>(lexicon);
}

// s2tw: normalise, segment, convert by phrases then characters, then by Taiwan variants.
class ReferenceS2tw {
  public:
    ReferenceS2tw()
        : phrases_(Step("phrases", true)), normalise_(Step("normalise")),
          converter_("s2tw", std::make_shared<opencc::MaxMatchSegmentation>(phrases_),
                     std::make_shared<opencc::ConversionChain>(std::list<opencc::ConversionPtr>{
                         std::make_shared<opencc::Conversion>(std::make_shared<opencc::DictGroup>(
                             std::list<opencc::DictPtr>{phrases_, Step("characters")})),
                         std::make_shared<opencc::Conversion>(std::make_shared<opencc::DictGroup>(
                             std::list<opencc::DictPtr>{Step("variant-phrases"), Step("variants")})),
                     }))
    {
    }

    // One step's dictionaries: as one group, or as OpenCC 1.4's union for the phrases.
    static opencc::DictPtr Step(const std::string &step, bool unite = false)
    {
        std::list<opencc::DictPtr> dicts;
        for (const auto &file : TheChain().Required(step))
            dicts.push_back(Load(file.path));
        if (dicts.size() == 1)
            return dicts.front();
        if (!unite)
            return std::make_shared<opencc::DictGroup>(dicts);
        opencc::DictPtr united = dicts.front();
        for (auto it = std::next(dicts.begin()); it != dicts.end(); ++it)
            united = Union(united, *it);
        return united;
    }
    std::string Convert(const std::string &text) const
    {
        return converter_.Convert(normalise_.Convert(text));
    }
    const opencc::DictPtr &Phrases() const { return phrases_; }

  private:
    opencc::DictPtr phrases_;
    opencc::Conversion normalise_;
    opencc::Converter converter_;
};

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

// Whether b has as many characters as a and each takes as many code page bytes as the one at its
// place in a.
bool SameByteLengths(const std::u16string &a, const std::u16string &b)
{
    auto lengths = [](std::u16string_view s) {
        std::vector<std::size_t> out;
        for (std::size_t i = 0; i < s.size();) {
            const bool pair = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size();
            const std::size_t n = pair ? 2 : 1;
            out.push_back(lp::EncodeAnsi(s.substr(i, n)).size());
            i += n;
        }
        return out;
    };
    return lengths(a) == lengths(b);
}

TEST(EngineAgainstOpenCC, EachWordReadsAsOpenCCReadsItWhereNoOverrideRowOccurs)
{
    const ReferenceS2tw opencc;
    lumo::zhconv::Engine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(lumo::zhconv::CompiledTable(), error)) << error;
    const std::vector<std::string> phrases = Keys(opencc.Phrases());
    const std::vector<std::string> characters = Keys(ReferenceS2tw::Step("characters"));
    std::vector<std::string> compatibility; // those of the code page among them
    for (const auto &key : Keys(ReferenceS2tw::Step("normalise")))
        if (key.size() == 3)
            compatibility.push_back(key);
    ASSERT_GT(phrases.size(), 40000u);
    ASSERT_GT(characters.size(), 3000u);
    ASSERT_GT(compatibility.size(), 400u);
    std::vector<std::string> rowKeys; // our readings of words and of characters alone
    for (const auto &row : lumo::zhconv::OverrideRows())
        rowKeys.emplace_back(row.key);
    for (const auto &row : lumo::zhconv::CharacterRows())
        rowKeys.emplace_back(row.key);

    std::mt19937 rng(2052);
    std::uniform_int_distribution<std::size_t> pickPhrase(0, phrases.size() - 1);
    std::uniform_int_distribution<std::size_t> pickChar(0, characters.size() - 1);
    std::uniform_int_distribution<std::size_t> pickCompatibility(0, compatibility.size() - 1);
    std::uniform_int_distribution<int> kind(0, 19);
    int compared = 0;
    std::size_t comparedWords = 0;
    const std::set<std::string> phraseKeys(phrases.begin(), phrases.end());
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        for (int piece = 0; piece < 8; ++piece) {
            const int k = kind(rng);
            if (k < 10)
                text += phrases[pickPhrase(rng)];
            else if (k < 18)
                text += characters[pickChar(rng)];
            else if (k < 19)
                text += "a1，";
            else
                text += compatibility[pickCompatibility(rng)];
        }
        bool hasRow = false;
        for (const auto &key : rowKeys)
            hasRow = hasRow || text.find(key) != std::string::npos;
        if (hasRow)
            continue;
        const std::string bytes = lp::EncodeAnsi(FromUtf8(text));
        std::vector<std::size_t> starts = engine.WordStarts(bytes.data(), bytes.size());
        starts.push_back(bytes.size());
        std::string mapped(bytes.size(), ' ');
        engine.Map(bytes.data(), bytes.size(), mapped.data());
        // A word of the word list that is no phrase reads as its own most probable split, which
        // OpenCC has no way to make; such words are taken as we read them.
        std::string expected;
        for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
            std::string word;
            lp::EncodeUtf8(lp::DecodeAnsi(bytes.substr(starts[k], starts[k + 1] - starts[k])), word);
            if (CodePoints(word) == 1 || phraseKeys.contains(word)) {
                expected += opencc.Convert(word);
                ++comparedWords;
            } else {
                lp::EncodeUtf8(lp::DecodeAnsi(mapped.substr(starts[k], starts[k + 1] - starts[k])), expected);
            }
        }
        for (const auto &row : lumo::zhconv::VariantRows()) // Taiwan's spelling, wherever written
            for (std::size_t at = expected.find(row.key); at != std::string::npos;
                 at = expected.find(row.key, at))
                expected.replace(at, std::strlen(row.key), row.value);
        if (CodePoints(expected) != CodePoints(text))
            continue; // OpenCC changed the length somewhere; we keep such stretches as they are
        const std::u16string ours = lp::DecodeAnsi(mapped);
        const std::u16string theirs = FromUtf8(expected);
        if (!SameByteLengths(FromUtf8(text), theirs))
            continue; // some character would need other bytes; its stretch is kept as it was
        ASSERT_EQ(ours, theirs) << "text: " << text << "\nOpenCC, word by word: " << expected;
        ++compared;
    }
    EXPECT_GT(compared, 1000);
    EXPECT_GT(comparedWords, 10000u);
}

} // namespace
