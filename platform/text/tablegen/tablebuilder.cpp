#include "platform/text/tablegen/tablebuilder.h"

#include "platform/text/codepage.h"
#include "platform/text/scriptengine.h"
#include "platform/text/scripttable.h"

#include <algorithm>
#include <cerrno>
#include <compare>
#include <cstdio>
#include <cstring>
#include <map>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>
#include <span>
#include <stdexcept>
#include <unicode/utf8.h>
#include <unordered_map>

// OpenCC's s2tw chain, as its s2tw.json gives it:
//   1. normalisation: CJK_Compatibility_Ideographs over the whole text;
//   2. segmentation by longest match in STPhrases and STPhrases_GeneratedFromRegionalPhrases
//      together (the longer key wins; on a tie, STPhrases);
//   3. each segment converted by longest match in those phrases, else by STCharacters;
//   4. each segment converted again by longest match in TWVariantsPhrases, else by TWVariants.
// A phrase segment is a whole key, so steps 3 and 4 give a value that can be computed here, once;
// a segment of characters that start no phrase converts character by character. The table
// therefore holds a trie of phrases with their final values, a character map (3 then 4), and the
// normalisation as a map of code page units.

namespace lumo::platform::detail {
namespace {

std::u32string FromUtf8(std::string_view s)
{
    std::u32string out;
    const auto n = static_cast<std::int32_t>(s.size());
    for (std::int32_t i = 0; i < n;) {
        UChar32 c;
        U8_NEXT(s.data(), i, n, c);
        if (c < 0)
            throw std::runtime_error("a dictionary holds text that is not UTF-8");
        out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

std::vector<Unit> UnitsOf(std::string_view bytes)
{
    std::vector<Unit> units;
    std::vector<std::uint32_t> starts;
    SplitUnits(bytes, units, starts);
    return units;
}

std::string Ansi(char32_t c)
{
    std::string bytes;
    AppendAnsi(bytes, c);
    return bytes;
}

using Lexicon = std::vector<std::pair<std::u32string, std::u32string>>; // key, first value

Lexicon LoadDictionary(const std::string &dictDir, const char *name)
{
    const std::string path = dictDir + "/" + name;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        throw std::runtime_error("cannot open the dictionary " + path + ": " + std::strerror(errno));
    // OpenCC checks this header too, but leaks a buffer when it does not match.
    static constexpr std::string_view kHeader = "OPENCC_MARISA_0.2.5";
    char header[kHeader.size()];
    if (std::fread(header, 1, sizeof header, file) != sizeof header ||
        std::string_view(header, sizeof header) != kHeader || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        throw std::runtime_error("cannot read the dictionary " + path + ": not an OpenCC dictionary");
    }
    try {
        const opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file);
        std::fclose(file);
        Lexicon lexicon;
        for (const auto &entry : *dict->GetLexicon())
            lexicon.emplace_back(FromUtf8(entry->Key()), FromUtf8(entry->GetDefault()));
        return lexicon;
    } catch (const opencc::Exception &e) {
        std::fclose(file);
        throw std::runtime_error("cannot read the dictionary " + path + ": " + e.what());
    } catch (const std::exception &e) {
        std::fclose(file);
        throw std::runtime_error("cannot read the dictionary " + path + ": " + e.what());
    }
}

class Builder {
  public:
    std::string Run(const std::string &dictDir)
    {
        const Lexicon compatibility = LoadDictionary(dictDir, "CJK_Compatibility_Ideographs.ocd2");
        const Lexicon phrases = LoadDictionary(dictDir, "STPhrases.ocd2");
        const Lexicon generated = LoadDictionary(dictDir, "STPhrases_GeneratedFromRegionalPhrases.ocd2");
        const Lexicon characters = LoadDictionary(dictDir, "STCharacters.ocd2");
        const Lexicon variantPhrases = LoadDictionary(dictDir, "TWVariantsPhrases.ocd2");
        const Lexicon variants = LoadDictionary(dictDir, "TWVariants.ocd2");

        BuildNormal(compatibility);
        for (const auto &[key, value] : variants)
            if (key.size() == 1 && value.size() == 1)
                variants_[key[0]] = value[0];
        for (const auto &[key, value] : variantPhrases) {
            variantPhrases_[key] = value;
            variantPhraseMax_ = std::max(variantPhraseMax_, key.size());
        }
        for (const auto &[key, value] : characters)
            if (key.size() == 1 && value.size() == 1)
                chars_[key[0]] = Variants(value)[0];
        for (const auto &[from, to] : variants_)
            if (!chars_.contains(from))
                chars_[from] = to;
        BuildCharacterTables();
        BuildFree();

        // Every phrase with its final value. STPhrases is added after the generated phrases and
        // our rows after both: where keys meet, the later one counts.
        const std::vector<OverrideRow> rows = OverrideRows();
        for (const OverrideRow &row : rows)
            if (row.value == nullptr)
                rowReadings_[FromUtf8(row.key)];
        for (const Lexicon *lexicon : {&generated, &phrases}) {
            for (const auto &[key, value] : *lexicon) {
                const std::u32string reading = Variants(value);
                if (const auto found = rowReadings_.find(key); found != rowReadings_.end())
                    found->second = reading;
                AddPhrase(key, reading, false);
            }
        }
        for (const OverrideRow &row : rows) {
            const std::u32string key = FromUtf8(row.key);
            std::u32string value;
            if (row.value != nullptr) {
                value = FromUtf8(row.value);
            } else if (const auto found = rowReadings_.find(key); !found->second.empty()) {
                value = found->second;
            } else {
                for (char32_t c : key)
                    value.push_back(MapChar(c));
            }
            AddPhrase(key, value, true);
        }
        BuildTrie();
        return Serialise();
    }

  private:
    struct Pending {
        std::uint32_t keyOffset; // into keyUnits_
        std::uint32_t keyLength;
        std::uint32_t valueOffset; // into values_
        std::uint32_t sequence;
        bool ours;
    };

    char32_t MapChar(char32_t c) const
    {
        const auto found = chars_.find(c);
        return found == chars_.end() ? c : found->second;
    }

    // Step 4 over a converted segment: longest match in TWVariantsPhrases, else TWVariants.
    std::u32string Variants(const std::u32string &s) const
    {
        std::u32string out;
        for (std::size_t i = 0; i < s.size();) {
            std::size_t matched = 0;
            for (std::size_t n = std::min(variantPhraseMax_, s.size() - i); n >= 2 && matched == 0; --n) {
                if (const auto found = variantPhrases_.find(s.substr(i, n)); found != variantPhrases_.end()) {
                    out += found->second;
                    matched = n;
                }
            }
            if (matched == 0) {
                const auto found = variants_.find(s[i]);
                out.push_back(found == variants_.end() ? s[i] : found->second);
                matched = 1;
            }
            i += matched;
        }
        return out;
    }

    void BuildNormal(const Lexicon &compatibility)
    {
        normal_.assign(0x10000, 0);
        for (const auto &[key, value] : compatibility) {
            if (key.size() != 1 || value.size() != 1 || key == value)
                continue;
            // Only where both take as many bytes: the text keeps its length.
            const std::string from = Ansi(key[0]), to = Ansi(value[0]);
            if (from.size() != to.size())
                continue;
            if (from.size() == 2)
                normal_[UnitsOf(from).front()] = static_cast<std::uint16_t>(UnitsOf(to).front());
            else if (from.size() == 4)
                normalLarge_.push_back({UnitsOf(from).front(), UnitsOf(to).front()});
        }
        std::sort(normalLarge_.begin(), normalLarge_.end(),
                  [](const LargeNormal &a, const LargeNormal &b) { return a.unit < b.unit; });
    }

    void BuildCharacterTables()
    {
        charSmall_.assign(0x10000, 0);
        for (const auto &[from, to] : chars_) {
            if (from == to)
                continue;
            const std::string key = Ansi(from), value = Ansi(to);
            if (key.size() != value.size()) // the character keeps its bytes' length or stays
                continue;
            const Unit unit = UnitsOf(key).front();
            if (key.size() == 2) {
                charSmall_[unit] = static_cast<std::uint16_t>(UnitsOf(value).front());
            } else if (key.size() == 4) {
                LargeCharacter c{unit, {}};
                std::memcpy(c.bytes, value.data(), 4);
                charLarge_.push_back(c);
            }
        }
        std::sort(charLarge_.begin(), charLarge_.end(),
                  [](const LargeCharacter &a, const LargeCharacter &b) { return a.unit < b.unit; });
    }

    void BuildFree()
    {
        free_.assign(0x10000, 0);
        for (char32_t c : FromUtf8(FreeCharacters()))
            if (const Unit unit = UnitsOf(Ansi(c)).front(); unit < 0x10000)
                free_[unit] = 1;
    }

    void AddPhrase(const std::u32string &key, const std::u32string &value, bool ours)
    {
        if (key.size() < 2)
            return;
        keyBytes_.clear();
        for (char32_t c : key)
            AppendAnsi(keyBytes_, c);
        const auto valueOffset = static_cast<std::uint32_t>(values_.size());
        for (char32_t c : value)
            AppendAnsi(values_, c);
        // A stretch whose reading has another length, or another byte length, keeps its characters.
        if (key.size() != value.size() || values_.size() - valueOffset != keyBytes_.size()) {
            values_.resize(valueOffset);
            values_ += keyBytes_;
        }
        SplitUnits(keyBytes_, units_, starts_);
        const auto keyOffset = static_cast<std::uint32_t>(keyUnits_.size());
        keyUnits_.insert(keyUnits_.end(), units_.begin(), units_.end());
        pending_.push_back({keyOffset, static_cast<std::uint32_t>(units_.size()), valueOffset,
                            static_cast<std::uint32_t>(pending_.size()), ours});
    }

    std::span<const Unit> Key(const Pending &p) const
    {
        return {keyUnits_.data() + p.keyOffset, p.keyLength};
    }

    // Lays the trie out breadth first. The engine finds a child by binary search, so the children
    // of every node must be consecutive and sorted by unit: they are, because the keys are sorted
    // before the nodes are made and each node's children are made in one go, in key order.
    void BuildTrie()
    {
        std::sort(pending_.begin(), pending_.end(), [this](const Pending &a, const Pending &b) {
            const auto ka = Key(a), kb = Key(b);
            const auto order =
                std::lexicographical_compare_three_way(ka.begin(), ka.end(), kb.begin(), kb.end());
            return order != 0 ? order < 0 : a.sequence < b.sequence;
        });
        std::vector<Pending> unique;
        unique.reserve(pending_.size());
        for (const Pending &p : pending_)
            maxKeyLength_ = std::max<std::size_t>(maxKeyLength_, p.keyLength);
        for (const Pending &p : pending_) {
            if (!unique.empty() && std::ranges::equal(Key(unique.back()), Key(p)))
                unique.back() = p;
            else
                unique.push_back(p);
        }
        auto unitAt = [&](std::size_t index, std::size_t depth) {
            return keyUnits_[unique[index].keyOffset + depth];
        };

        rootSmall_.assign(0x10000, 0);
        oursFirst_.assign(0x10000, 0);
        nodes_.assign(1, TrieNode{0, 0, 0, -1});
        nodes_.reserve(unique.size() * 2);
        entries_.reserve(unique.size());
        struct Work {
            std::uint32_t node, lo, hi, depth;
        };
        std::vector<Work> queue;
        queue.reserve(unique.size() * 2);
        for (std::size_t lo = 0; lo < unique.size();) {
            std::size_t hi = lo;
            const Unit first = unitAt(lo, 0);
            while (hi < unique.size() && unitAt(hi, 0) == first)
                ++hi;
            const auto node = static_cast<std::uint32_t>(nodes_.size());
            nodes_.push_back(TrieNode{first, 0, 0, -1});
            if (first < 0x10000)
                rootSmall_[first] = node;
            else
                rootLarge_.push_back({first, node});
            queue.push_back({node, static_cast<std::uint32_t>(lo), static_cast<std::uint32_t>(hi), 1});
            lo = hi;
        }
        for (std::size_t q = 0; q < queue.size(); ++q) {
            Work w = queue[q];
            if (unique[w.lo].keyLength == w.depth) {
                const Pending &p = unique[w.lo];
                nodes_[w.node].entry = static_cast<std::int32_t>(entries_.size());
                entries_.push_back(TrieEntry{p.valueOffset, p.ours ? 1u : 0u});
                if (p.ours) {
                    const Unit first = unitAt(w.lo, 0);
                    if (first < 0x10000)
                        oursFirst_[first] = 1;
                    else
                        oursFirstLarge_ = true;
                }
                ++w.lo;
            }
            const auto firstChild = static_cast<std::uint32_t>(nodes_.size());
            for (std::size_t lo = w.lo; lo < w.hi;) {
                std::size_t hi = lo;
                const Unit unit = unitAt(lo, w.depth);
                while (hi < w.hi && unitAt(hi, w.depth) == unit)
                    ++hi;
                const auto node = static_cast<std::uint32_t>(nodes_.size());
                nodes_.push_back(TrieNode{unit, 0, 0, -1});
                queue.push_back(
                    {node, static_cast<std::uint32_t>(lo), static_cast<std::uint32_t>(hi), w.depth + 1});
                lo = hi;
            }
            nodes_[w.node].firstChild = firstChild;
            nodes_[w.node].childCount = static_cast<std::uint32_t>(nodes_.size()) - firstChild;
        }
    }

    std::string Serialise() const
    {
        TableHeader header{};
        std::memcpy(header.magic, kTableMagic, sizeof kTableMagic);
        header.version = kTableVersion;
        header.maxKeyLength = static_cast<std::uint32_t>(maxKeyLength_);
        header.oursFirstLarge = oursFirstLarge_ ? 1 : 0;
        std::string out(sizeof header, '\0');
        auto put = [&](Section section, const void *data, std::size_t size) {
            out.resize((out.size() + 15) / 16 * 16, '\0');
            header.sections[static_cast<std::uint32_t>(section)] = {static_cast<std::uint32_t>(out.size()),
                                                                    static_cast<std::uint32_t>(size)};
            out.append(static_cast<const char *>(data), size);
        };
        auto putVector = [&](Section section, const auto &v) {
            put(section, v.data(), v.size() * sizeof(v[0]));
        };
        putVector(Section::RootSmall, rootSmall_);
        putVector(Section::RootLarge, rootLarge_);
        putVector(Section::Nodes, nodes_);
        putVector(Section::Entries, entries_);
        put(Section::Values, values_.data(), values_.size());
        putVector(Section::CharacterSmall, charSmall_);
        putVector(Section::CharacterLarge, charLarge_);
        putVector(Section::Normal, normal_);
        putVector(Section::NormalLarge, normalLarge_);
        putVector(Section::OursFirst, oursFirst_);
        putVector(Section::Free, free_);
        out.resize((out.size() + 15) / 16 * 16, '\0');
        std::memcpy(out.data(), &header, sizeof header);
        return out;
    }

    std::unordered_map<char32_t, char32_t> variants_;
    std::map<std::u32string, std::u32string> variantPhrases_;
    std::size_t variantPhraseMax_ = 0;
    std::unordered_map<char32_t, char32_t> chars_;
    std::unordered_map<std::u32string, std::u32string> rowReadings_; // OpenCC's readings of our rows
    std::vector<Unit> keyUnits_;
    std::vector<Pending> pending_;
    std::string keyBytes_;
    std::vector<Unit> units_;
    std::vector<std::uint32_t> starts_;

    std::vector<std::uint32_t> rootSmall_;
    std::vector<LargeRoot> rootLarge_;
    std::vector<TrieNode> nodes_;
    std::vector<TrieEntry> entries_;
    std::string values_;
    std::vector<std::uint16_t> charSmall_;
    std::vector<LargeCharacter> charLarge_;
    std::vector<std::uint16_t> normal_;
    std::vector<LargeNormal> normalLarge_;
    std::vector<std::uint8_t> oursFirst_;
    std::vector<std::uint8_t> free_;
    bool oursFirstLarge_ = false;
    std::size_t maxKeyLength_ = 0;
};

} // namespace

std::string BuildScriptTable(const std::string &dictDir)
{
    return Builder().Run(dictDir);
}

} // namespace lumo::platform::detail
