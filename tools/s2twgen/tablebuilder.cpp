#include "tools/s2twgen/tablebuilder.h"

#include "platform/text/codepage.h"
#include "zhconv/engine.h"
#include "zhconv/table.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <compare>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>
#include <span>
#include <stdexcept>
#include <unicode/utf8.h>
#include <unordered_map>
#include <unordered_set>

// The conversion follows OpenCC's s2tw chain, as its s2tw.json gives it:
//   1. normalisation: CJK_Compatibility_Ideographs over the whole text;
//   2. segmentation, in OpenCC by longest match in its phrases; here by word frequency (below);
//   3. each segment converted by longest match in the phrases, else by STCharacters;
//   4. each segment converted again by longest match in TWVariantsPhrases, else by TWVariants.
// A segment is a whole word, so steps 3 and 4 give a value that can be computed here, once. The
// table therefore holds a trie of words with their final values and costs, a character map (3
// then 4), and the normalisation as a map of code page units.
//
// The words are the conversion phrases, our rows, jieba's word list and the words of seven rules
// about characters that a phrase or word beside them reads wrongly (只 before a verb, 后 after a
// word, 刮 after the wind, 里 after a word, 周, 里, 斗, 只 and 面 after a numeral, a word before
// 上; AddAdverbOnly, AddAfterWords, AddWindBlowing, AddInsideWords, AddWeekCounts, AddNumberUnits,
// AddWordsOnTop); the list's names keep their 里 (KeepNameLi) and the dictionary's reading of a
// character row's character (KeepNameCharacters). A word's cost is -log(frequency / total) of the
// list; a phrase or row costs at most one less than the cheapest split of it into listed words and
// characters, so that on its own it is read whole, as OpenCC reads it, and only a more probable
// reading of the text around it cuts it.

namespace lumo::zhconv {
namespace {

using lumo::platform::detail::AppendAnsi;

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

Lexicon LoadDictionary(const std::string &path)
{
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

// jieba's word list: one "word frequency [tag]" per line; the tag is the word's part of speech.
struct WordList {
    std::unordered_map<std::u32string, double> frequencies;
    std::unordered_set<std::u32string> verbs;    // tagged v (verb), vn (verb as a noun), p (preposition)
    std::unordered_set<std::u32string> names;    // tagged nr, nrt, nrfg (people), ns (places)
    std::unordered_set<std::u32string> numerals; // tagged m
};

WordList LoadWords(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open the word list " + path + ": " + std::strerror(errno));
    WordList list;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::size_t space = line.find(' ');
        char *end = nullptr;
        const double frequency = space == std::string::npos ? 0 : std::strtod(line.c_str() + space + 1, &end);
        if (space == 0 || space == std::string::npos || end == line.c_str() + space + 1 || !(frequency > 0))
            throw std::runtime_error(path + ":" + std::to_string(number) + ": not a word and its frequency");
        const std::u32string word = FromUtf8(line.substr(0, space));
        list.frequencies[word] += frequency;
        const std::string_view tag = std::string_view(end).substr(std::min<std::size_t>(1, std::strlen(end)));
        if (tag == "v" || tag == "vn" || tag == "p")
            list.verbs.insert(word);
        else if (tag == "nr" || tag == "nrt" || tag == "nrfg" || tag == "ns")
            list.names.insert(word);
        else if (tag == "m")
            list.numerals.insert(word);
    }
    if (list.frequencies.empty())
        throw std::runtime_error("the word list " + path + " is empty");
    return list;
}

// The frequency of a common word (jieba counts 需要 27,430, 发明 4,000), which each of our rows
// that gives a value is taken to have at least: those rows are decisions, not hints.
constexpr double kRowFrequency = 5000;

// Listed words seen this often or less count as rare (jieba's list gives 3 to words it has
// hardly seen, more than half of it).
constexpr double kRareFrequency = 3;

class Builder {
  public:
    std::string Run(const Chain &chain)
    {
        for (const Chain::File &file : chain.Required("normalise"))
            BuildNormal(LoadDictionary(file.path));
        for (const Chain::File &file : chain.Required("variants"))
            for (const auto &[key, value] : LoadDictionary(file.path))
                if (key.size() == 1 && value.size() == 1)
                    variants_.try_emplace(key[0], value[0]);
        for (const CharacterRow &row : VariantRows()) {
            const auto [from, to] = OneToOne(row, "variant");
            variants_.insert_or_assign(from, to);
        }
        for (const Chain::File &file : chain.Required("variant-phrases")) {
            for (const auto &[key, value] : LoadDictionary(file.path)) {
                variantPhrases_.try_emplace(key, value);
                variantPhraseMax_ = std::max(variantPhraseMax_, key.size());
            }
        }
        for (const Chain::File &file : chain.Required("characters"))
            for (const auto &[key, value] : LoadDictionary(file.path))
                if (key.size() == 1 && value.size() == 1)
                    chars_.try_emplace(key[0], Variants(value)[0]);
        for (const auto &[from, to] : variants_)
            chars_.try_emplace(from, to);
        for (const CharacterRow &row : CharacterRows()) {
            const auto [from, to] = OneToOne(row, "character");
            nameChars_.insert_or_assign(from, MapChar(from));
            chars_.insert_or_assign(from, to);
        }
        BuildCharacterTables();
        BuildCountedReadings();

        // Conversion phrases with their final values: the earlier file's reading where two hold
        // a key, our rows over both.
        for (const Chain::File &file : chain.Required("phrases"))
            for (const auto &[key, value] : LoadDictionary(file.path))
                if (key.size() >= 2)
                    phrases_.try_emplace(key, Variants(value));
        for (const Chain::File &file : chain.Required("words")) {
            WordList list = LoadWords(file.path);
            for (auto &[word, frequency] : list.frequencies) {
                total_ += frequency;
                words_[word] += frequency;
            }
            verbs_.merge(list.verbs);
            names_.merge(list.names);
            numerals_.merge(list.numerals);
        }
        // What OpenCC makes of each usage row's word, before the row replaces it.
        std::vector<UsageChange> usage;
        for (const OverrideRow &row : UsageRows()) {
            const std::u32string key = FromUtf8(row.key);
            const auto found = phrases_.find(key);
            usage.push_back(
                {key, found != phrases_.end() ? found->second : ConvertInside(key), FromUtf8(row.value)});
        }
        std::vector<std::pair<std::u32string, std::u32string>> rows;
        std::unordered_set<std::u32string> decided;
        for (const OverrideRow &row : OverrideRows()) {
            const std::u32string key = FromUtf8(row.key);
            if (row.value != nullptr) {
                rows.emplace_back(key, FromUtf8(row.value));
                if (row.decided)
                    decided.insert(key);
            } else if (const auto found = phrases_.find(key); found != phrases_.end())
                rows.emplace_back(key, found->second);
            else
                rows.emplace_back(key, ConvertInside(key));
        }
        for (auto &[key, value] : rows) {
            phrases_[key] = value;
            if (decided.contains(key))
                decidedRows_.insert(key);
        }
        ApplyUsage(usage);
        insideReadings_.clear();
        BuildCosts();
        AddAdverbOnly();
        AddAfterWords();
        AddWindBlowing();
        AddInsideWords();
        AddWeekCounts();
        AddNumberUnits();
        AddWordsOnTop();

        // Every word: the conversion phrases and rows, the words of the rules above, and the
        // listed words.
        for (const auto &[key, value] : phrases_)
            if (!ruleWords_.contains(key))
                AddWord(key, value, CostOfWord(key));
        for (const auto &[key, word] : ruleWords_)
            AddWord(key, word.first, word.second);
        // Listed words that are no phrase. Those seen no more than kRareFrequency times that read
        // character by character are left out: more than half the list, and they hardly ever
        // decide between two readings.
        for (const auto &[word, frequency] : words_) {
            if (word.size() < 2 || phrases_.contains(word) || ruleWords_.contains(word))
                continue;
            std::u32string reading = ConvertInside(word);
            if (names_.contains(word)) {
                KeepNameLi(word, reading);
                KeepNameCharacters(word, reading);
            }
            if (frequency <= kRareFrequency && reading == ByCharacter(word))
                continue;
            AddWord(word, reading, WordCost(word));
        }
        BuildTrie();
        return Serialise();
    }

  private:
    static std::pair<char32_t, char32_t> OneToOne(const CharacterRow &row, const char *kind)
    {
        const std::u32string key = FromUtf8(row.key), value = FromUtf8(row.value);
        if (key.size() != 1 || value.size() != 1)
            throw std::runtime_error(std::string("a ") + kind +
                                     " row is not one character each way: " + row.key);
        return {key[0], value[0]};
    }

    struct UsageChange {
        std::u32string key, before, after;
    };

    // A usage row holds inside longer phrases too: 跨平台 read 跨平臺 and 不了解 不瞭解 after the rows
    // 平台 and 了解 had chosen 平台 and 了解. Only where the phrase reads the word as OpenCC reads it
    // alone; a phrase that reads those characters otherwise means something else by them.
    void ApplyUsage(const std::vector<UsageChange> &usage)
    {
        for (const UsageChange &change : usage) {
            if (change.before == change.after || change.before.size() != change.key.size())
                continue;
            for (auto &[key, value] : phrases_) {
                if (key.size() <= change.key.size() || value.size() != key.size())
                    continue;
                for (std::size_t at = key.find(change.key); at != std::u32string::npos;
                     at = key.find(change.key, at + 1))
                    if (value.compare(at, change.before.size(), change.before) == 0)
                        value.replace(at, change.after.size(), change.after);
            }
        }
    }

    struct Pending {
        std::uint32_t keyOffset; // into keyUnits_
        std::uint32_t keyLength;
        std::uint32_t valueOffset; // into values_, or kByCharacter
        std::uint32_t cost;
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

    // A word that is no conversion phrase reads as its most probable split into phrases, listed
    // words and characters: by the phrases inside it, then by characters. (Longest match inside
    // would bring back the faults of greedy segmentation: a listed 相冲突 would read 相沖|突.)
    std::u32string ConvertInside(const std::u32string &word)
    {
        if (const auto found = insideReadings_.find(word); found != insideReadings_.end())
            return found->second;
        const std::size_t n = word.size();
        std::vector<std::uint32_t> best(n + 1, 0);
        std::vector<std::size_t> next(n + 1, n);
        for (std::size_t i = n; i-- > 0;) {
            best[i] = CostOfWord(word.substr(i, 1)) + best[i + 1];
            next[i] = i + 1;
            for (std::size_t end = i + 2; end <= n; ++end) {
                if (i == 0 && end == n)
                    continue;
                const std::u32string piece = word.substr(i, end - i);
                if (!phrases_.contains(piece) && !words_.contains(piece))
                    continue;
                if (const std::uint32_t cost = CostOfWord(piece) + best[end]; cost <= best[i]) {
                    best[i] = cost;
                    next[i] = end;
                }
            }
        }
        std::u32string out;
        for (std::size_t i = 0; i < n; i = next[i]) {
            const std::u32string piece = word.substr(i, next[i] - i);
            if (piece.size() == 1)
                out.push_back(MapChar(piece[0]));
            else if (const auto found = phrases_.find(piece); found != phrases_.end())
                out += found->second;
            else
                out += ConvertInside(piece);
        }
        insideReadings_.emplace(word, out);
        return out;
    }

    // 只 in front of a verb or preposition is the adverb, "only" (只適用, 只對), but the phrases
    // that read it as the measure word 隻 after a demonstrative or a noun (这只, 那只, 每只, 有只:
    // OpenCC's, none of them in the word list) cost one less than their split, so 这只|适用 won
    // over 这|只|适用. Each verb of the word list therefore makes a word 只 + verb, read with 只,
    // that costs a little less than 只 and the verb apart: it beats a phrase that only just beats
    // its split, and nothing the word list knows (一只, 两只, 几只 are frequent words there, so a
    // numeral keeps the measure word; so does a word after 只 that is no verb: 这只猫). Words of
    // one character are left out but for auxiliaries and prepositions that rarely follow the
    // measure word: 那只跑了, 这只叫, 那只在树上, 这只被抓 are the measure word as often as not.
    void AddAdverbOnly()
    {
        static constexpr char32_t kOnly = U'只';
        static constexpr std::u32string_view kOneCharacter = U"会需可够剩对为以从于由用向";
        for (const std::u32string &verb : verbs_) {
            if (verb.size() == 1 ? kOneCharacter.find(verb[0]) == std::u32string_view::npos
                                 : words_.at(verb) <= kRareFrequency)
                continue;
            AddRuleWord(kOnly + verb, kOnly + ReadingOf(verb),
                        WordCost(std::u32string(1, kOnly)) + BestCost(verb));
        }
    }

    // 后 after a word is 後, "after" (字元後, 更新後), but OpenCC's titles of queens and empresses
    // that read it 后 (元后, 美后, 母后, 帝后, 群后 ...) can take the last character of the word in
    // front of them: 字|元后 won over 字元|后 (the word list counts 字元, Taiwan's word, 3 times).
    // Each listed word that ends in the beginning of such a title therefore makes a word
    // word + 后, read 後, that costs a little less than the word and 后 apart.
    void AddAfterWords()
    {
        static constexpr char32_t kAfter = U'后';
        std::unordered_set<std::u32string> titleStarts; // the titles without their 后
        for (const auto &[key, value] : phrases_)
            if (key.size() >= 2 && key.back() == kAfter && value.back() == kAfter)
                titleStarts.insert(key.substr(0, key.size() - 1));
        for (const auto &[word, frequency] : words_) {
            for (std::size_t start = 1; start < word.size(); ++start) {
                if (titleStarts.contains(word.substr(start))) {
                    AddRuleWord(word + kAfter, ReadingOf(word) + U'後',
                                BestCost(word) + WordCost(std::u32string(1, kAfter)));
                    break;
                }
            }
        }
    }

    // 刮 after the wind is the wind blowing, 颳 (大風颳了三天, 北風颳得), but after anything else it
    // scrapes or shaves, 刮 (刮了鬍子, 刮去鏽), and our rows read OpenCC's 刮了, 刮得 and 刮去 so.
    // OpenCC's 风刮 cannot hold where the word list has the wind's word (大风|刮了). Each listed
    // word that ends in 风 (wind) therefore makes a word word + 刮, read 颳.
    void AddWindBlowing()
    {
        static constexpr char32_t kWind = U'风', kScrape = U'刮';
        for (const auto &[word, frequency] : words_) {
            if (word.size() < 2 || word.back() != kWind || frequency <= kRareFrequency)
                continue;
            const std::u32string reading = ReadingOf(word);
            if (reading.back() == U'風')
                AddRuleWord(word + kScrape, reading + U'颳',
                            BestCost(word) + WordCost(std::u32string(1, kScrape)));
        }
    }

    // 里 after a word is 裡, "inside" (信用卡裡, 嘴巴裡, 道德裡), but OpenCC's names that read it 里
    // (卡里, 巴里, 德里, 格里 ...) can take the last character of the word in front of them:
    // 记忆|卡里 won over 记忆卡|里, the more so as the word list counts the names (卡里 35) and
    // hardly Taiwan's words (记忆卡 3). Each word or phrase that ends in the first character of
    // such a name therefore makes a word word + 里, read 裡, that costs a little less than both
    // the word and 里 apart and the rest of the word and the name. Not after a numeral (八万里,
    // distance) nor where the whole is a name of its own (新德里).
    void AddInsideWords()
    {
        static constexpr char32_t kLi = U'里', kInside = U'裡';
        std::unordered_set<char32_t> nameStarts;
        for (const auto &[key, value] : phrases_)
            if (key.size() == 2 && key[1] == kLi && value[1] == kLi && names_.contains(key))
                nameStarts.insert(key[0]);
        const auto consider = [&](const std::u32string &word) {
            if (word.size() < 2 || !nameStarts.contains(word.back()) || numerals_.contains(word) ||
                names_.contains(word + kLi))
                return;
            const std::u32string name{word.back(), kLi};
            const std::uint32_t apart = BestCost(word) + WordCost(std::u32string(1, kLi));
            const std::uint32_t throughName = BestCost(word.substr(0, word.size() - 1)) + CostOfWord(name);
            AddRuleWord(word + kLi, ReadingOf(word) + kInside, std::min(apart, throughName));
        };
        ForEachWordAndPhrase(0, consider);
    }

    // 上 after a word is "on" it (服务台上, 一碗面上, 控制台上), but OpenCC's phrases 台上, 面上
    // and 卷上 read their first character otherwise (臺, 面, 捲) and can take the last character of
    // the word in front of them: 服务|台上 read 服務臺上, where 服务台 alone reads 服務檯. Each
    // word or phrase that ends in the first character of such a phrase, and reads it otherwise,
    // therefore makes a word word + 上 that keeps the word's reading and costs a little less than
    // both the word and 上 apart and the rest of the word and the phrase. Not after verbs (划向上,
    // 回向上), which 上 follows as a direction.
    void AddWordsOnTop()
    {
        static constexpr char32_t kOn = U'上';
        std::unordered_map<char32_t, char32_t> takers; // first character -> its reading there
        for (const auto &[key, value] : phrases_)
            if (key.size() == 2 && key[1] == kOn && value.size() == 2)
                takers.emplace(key[0], value[0]);
        const auto consider = [&](const std::u32string &word) {
            if (word.size() < 2 || verbs_.contains(word))
                return;
            const auto taker = takers.find(word.back());
            if (taker == takers.end())
                return;
            const std::u32string reading = ReadingOf(word);
            if (reading.size() != word.size() || reading.back() == taker->second)
                return;
            const std::u32string phrase{word.back(), kOn};
            const std::uint32_t apart = BestCost(word) + WordCost(std::u32string(1, kOn));
            const std::uint32_t throughPhrase =
                BestCost(word.substr(0, word.size() - 1)) + CostOfWord(phrase);
            AddRuleWord(word + kOn, reading + kOn, std::min(apart, throughPhrase));
        };
        ForEachWordAndPhrase(kRareFrequency, consider);
    }

    // Calls f with every listed word seen more than minFrequency times and every phrase or row
    // that the list lacks.
    template <typename F> void ForEachWordAndPhrase(double minFrequency, F &&f)
    {
        for (const auto &[word, frequency] : words_)
            if (frequency > minFrequency)
                f(word);
        for (const auto &[key, value] : phrases_)
            if (!words_.contains(key))
                f(key);
    }

    // 周 after a number counts weeks, 週 (第三週, 二十週). OpenCC's phrases have 一周, 三周 ...
    // as 週, but a listed numeral in front takes the number (第三|周), and 周 alone is 周 (周圍,
    // a surname). Each listed numeral of two or more characters that ends in a digit therefore
    // makes a word numeral + 周, read 週.
    void AddWeekCounts()
    {
        static constexpr char32_t kWeek = U'周';
        static constexpr std::u32string_view kDigits = U"一二三四五六七八九十百两几";
        for (const std::u32string &number : numerals_) {
            if (number.size() < 2 || kDigits.find(number.back()) == std::u32string_view::npos)
                continue;
            AddRuleWord(number + kWeek, ReadingOf(number) + U'週',
                        BestCost(number) + WordCost(std::u32string(1, kWeek)));
        }
    }

    // A unit after a number. 里 after a number is the unit of distance, 里 (七百里, 三十里路), but
    // 里 alone reads 裡 ("inside"); 斗 after one is the measure, 斗 (三斗米), but alone it reads
    // 鬥 (fight); and OpenCC's phrases have only some numbers with either (十里, 万里, 一斗, 五斗).
    // 只 after a number is the measure word, 隻 (三十隻, 二十五隻, 一萬隻), but 只 alone reads 只
    // ("only"), and OpenCC's phrases have the one-character numbers only (三只, 万只). Each listed
    // numeral written in numeral characters alone therefore makes the words numeral + 里 and
    // numeral + 斗 that keep their unit, and one numeral + 只 that reads 隻. Not 大四 (the fourth
    // year) or 三个 (three of them): 里 there is inside what is counted. Nor 只 after 多, 余 or 数
    // (多数只是, 余数只能) or the adverbs 千万 and 万万: it is "only" there as often. (After a
    // digit, kCountedRows.)
    //
    // 面 after a count of bowls, plates, portions or packets is noodles, 麵 (三碗麵, 两份麵), as in
    // OpenCC's 一碗面, but the list's 三碗 and 两份 take the 碗 of its 碗面. Each listed numeral that
    // ends in such a measure makes a word numeral + 面 that reads 麵 (not 一份|面试, a likelier word).
    void AddNumberUnits()
    {
        static constexpr std::u32string_view kNumeral = U"零一二三四五六七八九十百千万两几数余多";
        static constexpr std::u32string_view kNotBeforeOnly = U"数余多";
        static constexpr std::u32string_view kNoodleMeasures = U"碗盘份包盒袋斤";
        static constexpr char32_t kLi = U'里', kMeasure = U'斗', kOnly = U'只', kFace = U'面';
        const auto isNumeral = [](char32_t c) { return kNumeral.find(c) != std::u32string_view::npos; };
        for (const std::u32string &number : numerals_) {
            const std::uint32_t cost = BestCost(number);
            if (number.size() >= 2 && isNumeral(number.front()) &&
                kNoodleMeasures.find(number.back()) != std::u32string_view::npos &&
                std::ranges::all_of(number.begin(), number.end() - 1, isNumeral))
                AddRuleWord(number + kFace, ReadingOf(number) + U'麵',
                            cost + WordCost(std::u32string(1, kFace)));
            if (!std::ranges::all_of(number, isNumeral))
                continue;
            for (char32_t unit : {kLi, kMeasure})
                AddRuleWord(number + unit, ReadingOf(number) + unit,
                            cost + WordCost(std::u32string(1, unit)));
            if (number.size() < 2 || number == U"千万" || number == U"万万" ||
                number.find_first_of(kNotBeforeOnly) != std::u32string::npos)
                continue;
            AddRuleWord(number + kOnly, ReadingOf(number) + U'隻', cost + WordCost(std::u32string(1, kOnly)));
        }
    }

    // 里 inside a name is 里, never 裡 ("inside"): 埃里克, 海因里希, 奥里诺科河. OpenCC's phrases
    // have the common names; the word list's names read by character had 裡. The list tags
    // some words with "inside" as names too (庙里, 家里人, 里边儿, 沙里淘金, 云里雾), so a 里 at the
    // end, before 边, 面, 头 or 人, after a thing one is inside of (云, 梦, 心 ...), or after a
    // character whose phrase with 里 reads 裡 (家里) keeps its reading.
    void KeepNameLi(const std::u32string &word, std::u32string &reading) const
    {
        static constexpr char32_t kLi = U'里', kInside = U'裡';
        static constexpr std::u32string_view kInsideAfter = U"边面头人";
        static constexpr std::u32string_view kInsideOf = U"云雾梦水手心家城夜村山林屋眼嘴肚脑怀";
        for (std::size_t i = 0; i + 1 < word.size(); ++i) {
            if (word[i] != kLi || reading[i] != kInside ||
                kInsideAfter.find(word[i + 1]) != std::u32string_view::npos)
                continue;
            if (i > 0) {
                if (kInsideOf.find(word[i - 1]) != std::u32string_view::npos)
                    continue;
                const auto phrase = phrases_.find(word.substr(i - 1, 2));
                if (phrase != phrases_.end() && phrase->second[1] == kInside)
                    continue;
            }
            reading[i] = kLi;
        }
    }

    // A character of a character row reads as the dictionary has it inside a listed name (钟繇,
    // 钟万仇: 鍾, a surname), where no phrase inside the name reads it.
    void KeepNameCharacters(const std::u32string &word, std::u32string &reading) const
    {
        for (std::size_t i = 0; i < word.size(); ++i) {
            const auto found = nameChars_.find(word[i]);
            if (found == nameChars_.end() || reading[i] != MapChar(word[i]) || InsidePhrase(word, i))
                continue;
            reading[i] = found->second;
        }
    }

    // Whether a conversion phrase inside `word`, shorter than it, holds the character at `at`.
    bool InsidePhrase(const std::u32string &word, std::size_t at) const
    {
        for (std::size_t begin = 0; begin <= at; ++begin)
            for (std::size_t end = std::max(at + 1, begin + 2); end <= word.size(); ++end)
                if (end - begin < word.size() && phrases_.contains(word.substr(begin, end - begin)))
                    return true;
        return false;
    }

    // A word of the rules above, costing kRuleBonus less than its parts apart (or less, where the
    // word list or a phrase of the same reading says so: OpenCC's 只会 reads 只會). A phrase or
    // row of the same key and another reading keeps it, and its cost (只身, 隻身).
    void AddRuleWord(const std::u32string &key, const std::u32string &reading, std::uint32_t partsCost)
    {
        if (partsCost <= kRuleBonus)
            return;
        std::uint32_t cost = partsCost - kRuleBonus;
        if (const auto found = phrases_.find(key); found != phrases_.end()) {
            if (found->second != reading)
                return;
            cost = std::min(cost, CostOfWord(key));
        } else if (words_.contains(key)) {
            cost = std::min(cost, WordCost(key));
        }
        ruleWords_.insert_or_assign(key, std::pair{reading, cost});
    }

    // A phrase costs at most one less than its split. A word of a rule must beat its parts apart
    // with a phrase on either side, such as 这只|适用于 against 这|只适用|于: by three.
    static constexpr std::uint32_t kRuleBonus = 3;

    std::u32string ReadingOf(const std::u32string &word)
    {
        if (word.size() == 1)
            return {MapChar(word[0])};
        if (const auto found = phrases_.find(word); found != phrases_.end())
            return found->second;
        return ConvertInside(word);
    }

    // The cost of the cheapest reading of a word: whole, or split into listed words.
    std::uint32_t BestCost(const std::u32string &word) const
    {
        return word.size() == 1 ? WordCost(word) : std::min(CostOfWord(word), SplitCost(word));
    }

    // The cost the engine gives a word: a phrase or row at most one less than its cheapest split;
    // a row that gives a value at most that of a common word, whatever the list says.
    std::uint32_t CostOfWord(const std::u32string &word) const
    {
        if (word.size() < 2 || !phrases_.contains(word))
            return WordCost(word);
        std::uint32_t cost = std::min(WordCost(word), SplitCost(word) - 1);
        if (decidedRows_.contains(word))
            cost = std::min(cost, CostOf(kRowFrequency));
        return cost;
    }

    std::u32string ByCharacter(const std::u32string &word) const
    {
        std::u32string out;
        for (char32_t c : word)
            out.push_back(MapChar(c));
        return out;
    }

    std::uint32_t CostOf(double frequency) const
    {
        const double cost = std::round(kCostScale * std::log(total_ / frequency));
        return static_cast<std::uint32_t>(std::clamp(cost, 1.0, 65535.0));
    }

    // A listed word's cost; a word the list lacks counts as seen once, as jieba counts it.
    std::uint32_t WordCost(const std::u32string &word) const
    {
        const auto found = words_.find(word);
        return CostOf(found == words_.end() ? 1.0 : found->second);
    }

    // The cheapest reading of `word` as two or more listed words and characters.
    std::uint32_t SplitCost(const std::u32string &word) const
    {
        const std::size_t n = word.size();
        std::vector<std::uint32_t> best(n + 1, 0);
        for (std::size_t i = n; i-- > 0;) {
            best[i] = WordCost(word.substr(i, 1)) + best[i + 1];
            for (std::size_t end = i + 2; end <= n; ++end) {
                if (i == 0 && end == n)
                    continue;
                if (const auto found = words_.find(word.substr(i, end - i)); found != words_.end())
                    best[i] = std::min(best[i], CostOf(found->second) + best[end]);
            }
        }
        return std::max<std::uint32_t>(best[0], 2);
    }

    void BuildNormal(const Lexicon &compatibility)
    {
        normal_.resize(0x10000, 0);
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

    void BuildCountedReadings()
    {
        for (const CountedRow &row : CountedRows()) {
            const std::u32string key = FromUtf8(row.key), value = FromUtf8(row.value);
            const std::string keyBytes = key.size() == 1 ? Ansi(key[0]) : std::string();
            const std::string valueBytes = value.size() == 1 ? Ansi(value[0]) : std::string();
            if (keyBytes.size() != 2 || valueBytes.size() != 2)
                throw std::runtime_error(
                    std::string("a counted row is not one two-byte character each way: ") + row.key);
            counted_.push_back({static_cast<std::uint16_t>(UnitsOf(keyBytes).front()),
                                static_cast<std::uint16_t>(UnitsOf(valueBytes).front())});
        }
        std::sort(counted_.begin(), counted_.end(),
                  [](const CountedReading &a, const CountedReading &b) { return a.unit < b.unit; });
    }

    void BuildCosts()
    {
        charCost_.assign(0x10000, static_cast<std::uint16_t>(CostOf(1.0)));
        for (const auto &[word, frequency] : words_) {
            if (word.size() != 1)
                continue;
            const std::string bytes = Ansi(word[0]);
            if (bytes.size() == 2)
                charCost_[UnitsOf(bytes).front()] = static_cast<std::uint16_t>(CostOf(frequency));
        }
        largeCost_ = CostOf(1.0);
    }

    void AddWord(const std::u32string &key, const std::u32string &value, std::uint32_t cost)
    {
        // No word holds an ASCII character, so every ASCII character ends every word: text may be
        // cut in front of one (but a space or a 'd', which a counted reading looks back over)
        // without changing how it is read (lumo-convert streams that way).
        if (key.size() < 2 || std::ranges::any_of(key, [](char32_t c) { return c < 0x80; }))
            return;
        keyBytes_.clear();
        for (char32_t c : key)
            AppendAnsi(keyBytes_, c);
        SplitUnits(keyBytes_, units_, starts_);
        if (units_.size() != key.size())
            return; // a character the code page cannot hold
        std::uint32_t valueOffset = kByCharacter;
        if (value != ByCharacter(key)) {
            valueOffset = static_cast<std::uint32_t>(values_.size());
            for (char32_t c : value)
                AppendAnsi(values_, c);
            // A stretch whose reading has another length, or another byte length, keeps its
            // characters.
            if (key.size() != value.size() || values_.size() - valueOffset != keyBytes_.size()) {
                values_.resize(valueOffset);
                values_ += keyBytes_;
            }
        }
        const auto keyOffset = static_cast<std::uint32_t>(keyUnits_.size());
        keyUnits_.insert(keyUnits_.end(), units_.begin(), units_.end());
        pending_.push_back({keyOffset, static_cast<std::uint32_t>(units_.size()), valueOffset, cost});
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
            return std::lexicographical_compare(ka.begin(), ka.end(), kb.begin(), kb.end());
        });
        // Keys are unique: phrases and rows are one map, and listed words that are phrases are
        // left out. Two keys can still meet as units when normalisation makes them one.
        std::vector<Pending> unique;
        unique.reserve(pending_.size());
        for (const Pending &p : pending_) {
            maxKeyLength_ = std::max<std::size_t>(maxKeyLength_, p.keyLength);
            if (!unique.empty() && std::ranges::equal(Key(unique.back()), Key(p)))
                continue;
            unique.push_back(p);
        }
        inWord_.assign(0x10000, 0);
        for (const Unit unit : keyUnits_)
            if (unit < 0x10000)
                inWord_[unit] = 1;
        auto unitAt = [&](std::size_t index, std::size_t depth) {
            return keyUnits_[unique[index].keyOffset + depth];
        };

        rootSmall_.assign(0x10000, 0);
        nodes_.assign(1, BuildNode{0, 0, 0, -1});
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
            nodes_.push_back(BuildNode{first, 0, 0, -1});
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
                entries_.push_back(BuildEntry{p.valueOffset, p.cost});
                ++w.lo;
            }
            const auto firstChild = static_cast<std::uint32_t>(nodes_.size());
            for (std::size_t lo = w.lo; lo < w.hi;) {
                std::size_t hi = lo;
                const Unit unit = unitAt(lo, w.depth);
                while (hi < w.hi && unitAt(hi, w.depth) == unit)
                    ++hi;
                const auto node = static_cast<std::uint32_t>(nodes_.size());
                nodes_.push_back(BuildNode{unit, 0, 0, -1});
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
        header.largeCost = largeCost_;
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
        std::vector<UnitInfo> units(0x10000);
        for (std::size_t u = 0; u < units.size(); ++u)
            units[u] = {rootSmall_[u], charSmall_[u], normal_[u], charCost_[u], inWord_[u], 0};
        for (const CountedReading &c : counted_)
            units[c.unit].counted = 1;
        std::vector<Unit> nodeUnits;
        std::vector<TrieNode> nodes;
        nodeUnits.reserve(nodes_.size());
        nodes.reserve(nodes_.size());
        for (const BuildNode &n : nodes_) {
            if (n.childCount > 0xFFFF)
                throw std::runtime_error("a word trie node has more than 65,535 children");
            TrieNode node{n.firstChild, static_cast<std::uint16_t>(n.childCount), 0, kByCharacter};
            if (n.entry >= 0) {
                node.cost = static_cast<std::uint16_t>(entries_[n.entry].cost);
                node.valueOffset = entries_[n.entry].valueOffset;
            }
            nodeUnits.push_back(n.unit);
            nodes.push_back(node);
        }
        putVector(Section::Units, units);
        putVector(Section::RootLarge, rootLarge_);
        putVector(Section::NodeUnits, nodeUnits);
        putVector(Section::Nodes, nodes);
        put(Section::Values, values_.data(), values_.size());
        putVector(Section::CharacterLarge, charLarge_);
        putVector(Section::NormalLarge, normalLarge_);
        // Every step from a root to a child, both two-byte units, hashed; half the slots stay
        // empty, so that a search rarely probes more than twice.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
        for (Unit first = 0; first < 0x10000; ++first) {
            const BuildNode &root = nodes_[rootSmall_[first]];
            if (rootSmall_[first] == 0)
                continue;
            for (std::uint32_t child = root.firstChild; child < root.firstChild + root.childCount; ++child)
                if (nodes_[child].unit < 0x10000)
                    pairs.emplace_back(first << 16 | nodes_[child].unit, child);
        }
        unsigned bits = 1;
        while ((std::size_t{1} << bits) < pairs.size() * 2)
            ++bits;
        std::vector<PairSlot> slots(std::size_t{1} << bits, PairSlot{0, 0});
        for (const auto &[key, node] : pairs) {
            std::uint32_t slot = PairSlotOf(key, bits);
            while (slots[slot].key != 0)
                slot = (slot + 1) & static_cast<std::uint32_t>(slots.size() - 1);
            slots[slot] = {key, node};
        }
        header.pairBits = bits;
        putVector(Section::Pairs, slots);
        putVector(Section::Counted, counted_);
        out.resize((out.size() + 15) / 16 * 16, '\0');
        std::memcpy(out.data(), &header, sizeof header);
        return out;
    }

    std::unordered_map<char32_t, char32_t> variants_;
    std::map<std::u32string, std::u32string> variantPhrases_;
    std::size_t variantPhraseMax_ = 0;
    std::unordered_map<char32_t, char32_t> chars_;
    std::unordered_map<std::u32string, std::u32string> phrases_;        // conversion phrases and our rows
    std::unordered_map<std::u32string, std::u32string> insideReadings_; // ConvertInside's
    std::unordered_set<std::u32string> decidedRows_;                    // our rows that give a value
    std::unordered_map<std::u32string, double> words_;                  // the word list's frequencies
    std::unordered_set<std::u32string> verbs_;                          // its verbs and prepositions
    std::unordered_map<char32_t, char32_t> nameChars_;                  // character rows: OpenCC's reading
    std::unordered_set<std::u32string> names_;                          // its names of people and places
    std::unordered_set<std::u32string> numerals_;                       // its numerals
    std::map<std::u32string, std::pair<std::u32string, std::uint32_t>> ruleWords_; // reading, cost
    double total_ = 0;
    std::vector<Unit> keyUnits_;
    std::vector<Pending> pending_;
    std::string keyBytes_;
    std::vector<Unit> units_;
    std::vector<std::uint32_t> starts_;

    std::vector<std::uint32_t> rootSmall_;
    std::vector<LargeRoot> rootLarge_;
    // The trie as it is built; Serialise lays it out as the engine reads it.
    struct BuildNode {
        Unit unit;
        std::uint32_t firstChild, childCount;
        std::int32_t entry; // -1: no word ends here
    };
    struct BuildEntry {
        std::uint32_t valueOffset, cost;
    };
    std::vector<BuildNode> nodes_;
    std::vector<BuildEntry> entries_;
    std::string values_;
    std::vector<std::uint16_t> charSmall_;
    std::vector<LargeCharacter> charLarge_;
    std::vector<std::uint16_t> normal_;
    std::vector<LargeNormal> normalLarge_;
    std::vector<std::uint16_t> charCost_;
    std::vector<std::uint8_t> inWord_;
    std::vector<CountedReading> counted_;
    std::uint32_t largeCost_ = 0;
    std::size_t maxKeyLength_ = 0;
};

} // namespace

std::string BuildTable(const Chain &chain)
{
    return Builder().Run(chain);
}

} // namespace lumo::zhconv
