#include "platform/text/scriptengine.h"

#include "platform/text/codepage.h"

#include <algorithm>
#include <cerrno>
#include <compare>
#include <cstdio>
#include <cstring>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>
#include <span>
#include <stdexcept>
#include <unicode/utf8.h>

// OpenCC's s2tw configuration segments the text by longest match in STPhrases, converts each
// segment with STPhrases and STCharacters, and then maps TWVariants over the result; TWVariants
// holds single characters only, so that last step is a character map. We do the same here, but
// over code page bytes and with our own tables, built once from OpenCC's dictionaries: no
// per-segment strings, no conversion to UTF-8 and back, and our own rows first.
//
// Greedy longest match sometimes swallows the first character of the next word (被发明 read as
// 被发|明 gives 被髮明). Where the phrase chosen at a position ends inside one of our rows, we
// segment the stretch up to the end of our row both ways, greedy (A) and cut in front of our
// row (B), and take B when it has
//   1. fewer segments (参与制|造 against 参与|制造: a tie), else
//   2. fewer one-character segments (参与|制造 has none), else
//   3. nothing but "free" characters (被, 这, 一 ...; FreeCharacters()) as one-character
//      segments in front of our row: 被|发明, 一|只只, 这|只能, but not 控|制成|本.
// Otherwise the greedy reading stays. So 头发生长 stays 头发|生长 (B: 头|发生, and 头 is not
// free), and 前头发生 converts right because 前头 is a row of its own. The comparison stops at
// the end of our row on purpose: OpenCC has many phrases that only keep 了 from becoming 瞭
// (送了, 懂了 ...), and counting them would make 被发|送了 look better than 被|发送|了.

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

opencc::MarisaDictPtr LoadDictionary(const std::string &dataDir, const char *name)
{
    // Always an absolute path: OpenCC's own loader tries the working directory first.
    const std::string path = dataDir + "/" + name;
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
        opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file);
        std::fclose(file);
        return dict;
    } catch (const opencc::Exception &e) {
        std::fclose(file);
        throw std::runtime_error("cannot read the dictionary " + path + ": " + e.what());
    } catch (const std::exception &e) {
        std::fclose(file);
        throw std::runtime_error("cannot read the dictionary " + path + ": " + e.what());
    }
}

} // namespace

void SplitUnits(std::string_view bytes, std::vector<Unit> &units, std::vector<std::uint32_t> &starts)
{
    units.clear();
    starts.clear();
    units.reserve(bytes.size());
    starts.reserve(bytes.size() + 1);
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        starts.push_back(static_cast<std::uint32_t>(i));
        const unsigned char lead = b[i];
        const std::size_t length = AnsiCharacterLength(b, i, n);
        if (length == 2)
            units.push_back((Unit{lead} << 8) | b[i + 1]);
        else if (length == 4)
            units.push_back(0x10000 + static_cast<Unit>(FourByteIndex(b + i)));
        else if (lead < 0x81 || lead == 0xFF)
            units.push_back(lead);
        else
            units.push_back(0x100 + lead); // a lead byte without its trail
        i += length;
    }
    starts.push_back(static_cast<std::uint32_t>(n));
}

class ScriptEngine::Builder {
  public:
    explicit Builder(ScriptEngine &engine) : e_(engine) {}

    void Run(const std::string &dataDir)
    {
        const opencc::MarisaDictPtr phrases = LoadDictionary(dataDir, "STPhrases.ocd2");
        const opencc::MarisaDictPtr characters = LoadDictionary(dataDir, "STCharacters.ocd2");
        const opencc::MarisaDictPtr variants = LoadDictionary(dataDir, "TWVariants.ocd2");

        for (const auto &entry : *variants->GetLexicon())
            AddVariant(entry->Key(), entry->GetDefault());
        for (const auto &entry : *characters->GetLexicon())
            AddCharacter(entry->Key(), entry->GetDefault());
        for (const auto &[from, to] : variants_)
            if (!chars_.contains(from))
                chars_[from] = to;
        BuildCharacterTables();
        e_.free_.assign(0x10000, false);
        for (char32_t c : FromUtf8(FreeCharacters())) {
            std::string bytes;
            AppendAnsi(bytes, c);
            if (const Unit unit = UnitsOf(bytes).front(); unit < 0x10000)
                e_.free_[unit] = true;
        }

        const std::vector<OverrideRow> rows = OverrideRows();
        for (const OverrideRow &row : rows)
            if (row.value == nullptr)
                rowReadings_[FromUtf8(row.key)];
        for (const auto &entry : *phrases->GetLexicon()) {
            const std::u32string key = FromUtf8(entry->Key());
            const std::u32string value = Variants(FromUtf8(entry->GetDefault()));
            if (!rowReadings_.empty())
                if (const auto found = rowReadings_.find(key); found != rowReadings_.end())
                    found->second = value;
            AddPhrase(key, value, false);
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
    }

  private:
    struct Pending {
        std::uint32_t keyOffset; // into keyUnits_
        std::uint32_t keyLength;
        std::uint32_t valueOffset; // into e_.values_
        std::uint32_t sequence;
        bool ours;
    };

    char32_t MapChar(char32_t c) const
    {
        const auto found = chars_.find(c);
        return found == chars_.end() ? c : found->second;
    }

    std::u32string Variants(std::u32string s) const
    {
        for (char32_t &c : s)
            if (const auto found = variants_.find(c); found != variants_.end())
                c = found->second;
        return s;
    }

    void AddVariant(const std::string &key, const std::string &value)
    {
        const std::u32string k = FromUtf8(key);
        const std::u32string v = FromUtf8(value);
        if (k.size() == 1 && v.size() == 1)
            variants_[k[0]] = v[0];
    }

    void AddCharacter(const std::string &key, const std::string &value)
    {
        const std::u32string k = FromUtf8(key);
        const std::u32string v = Variants(FromUtf8(value));
        if (k.size() == 1 && v.size() == 1)
            chars_[k[0]] = v[0];
    }

    void BuildCharacterTables()
    {
        e_.charSmall_.assign(0x10000, 0);
        for (const auto &[from, to] : chars_) {
            if (from == to)
                continue;
            std::string key, value;
            AppendAnsi(key, from);
            AppendAnsi(value, to);
            if (key.size() != value.size()) // the character keeps its bytes' length or stays
                continue;
            const Unit unit = UnitsOf(key).front();
            if (key.size() == 2)
                e_.charSmall_[unit] = static_cast<std::uint16_t>(UnitsOf(value).front());
            else if (key.size() == 4)
                e_.charLarge_[unit] = value;
        }
    }

    void AddPhrase(const std::u32string &key, const std::u32string &value, bool ours)
    {
        if (key.size() < 2)
            return;
        keyBytes_.clear();
        for (char32_t c : key)
            AppendAnsi(keyBytes_, c);
        const auto valueOffset = static_cast<std::uint32_t>(e_.values_.size());
        for (char32_t c : value)
            AppendAnsi(e_.values_, c);
        // A stretch whose reading has another length, or another byte length, keeps its characters.
        if (key.size() != value.size() || e_.values_.size() - valueOffset != keyBytes_.size()) {
            e_.values_.resize(valueOffset);
            e_.values_ += keyBytes_;
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

    void BuildTrie()
    {
        // Our rows come after OpenCC's entries, so where both have a key, the later one counts.
        std::sort(pending_.begin(), pending_.end(), [this](const Pending &a, const Pending &b) {
            const auto ka = Key(a), kb = Key(b);
            const auto order =
                std::lexicographical_compare_three_way(ka.begin(), ka.end(), kb.begin(), kb.end());
            return order != 0 ? order < 0 : a.sequence < b.sequence;
        });
        std::vector<Pending> unique;
        unique.reserve(pending_.size());
        for (const Pending &p : pending_)
            e_.maxKeyLength_ = std::max<std::size_t>(e_.maxKeyLength_, p.keyLength);
        for (const Pending &p : pending_) {
            if (!unique.empty() && std::ranges::equal(Key(unique.back()), Key(p)))
                unique.back() = p;
            else
                unique.push_back(p);
        }
        auto unitAt = [&](std::size_t index, std::size_t depth) {
            return keyUnits_[unique[index].keyOffset + depth];
        };

        e_.rootSmall_.assign(0x10000, 0);
        e_.oursFirst_.assign(0x10000, false);
        e_.nodes_.assign(1, Node{0, 0, 0, -1});
        e_.nodes_.reserve(unique.size() * 2);
        e_.entries_.reserve(unique.size());
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
            const auto node = static_cast<std::uint32_t>(e_.nodes_.size());
            e_.nodes_.push_back(Node{first, 0, 0, -1});
            if (first < 0x10000)
                e_.rootSmall_[first] = node;
            else
                e_.rootLarge_[first] = node;
            queue.push_back({node, static_cast<std::uint32_t>(lo), static_cast<std::uint32_t>(hi), 1});
            lo = hi;
        }
        for (std::size_t q = 0; q < queue.size(); ++q) {
            Work w = queue[q];
            if (unique[w.lo].keyLength == w.depth) {
                const Pending &p = unique[w.lo];
                e_.nodes_[w.node].entry = static_cast<std::int32_t>(e_.entries_.size());
                e_.entries_.push_back(Entry{p.valueOffset, p.ours});
                if (p.ours) {
                    const Unit first = unitAt(w.lo, 0);
                    if (first < 0x10000)
                        e_.oursFirst_[first] = true;
                    else
                        e_.oursFirstLarge_ = true;
                }
                ++w.lo;
            }
            const auto firstChild = static_cast<std::uint32_t>(e_.nodes_.size());
            for (std::size_t lo = w.lo; lo < w.hi;) {
                std::size_t hi = lo;
                const Unit unit = unitAt(lo, w.depth);
                while (hi < w.hi && unitAt(hi, w.depth) == unit)
                    ++hi;
                const auto node = static_cast<std::uint32_t>(e_.nodes_.size());
                e_.nodes_.push_back(Node{unit, 0, 0, -1});
                queue.push_back(
                    {node, static_cast<std::uint32_t>(lo), static_cast<std::uint32_t>(hi), w.depth + 1});
                lo = hi;
            }
            e_.nodes_[w.node].firstChild = firstChild;
            e_.nodes_[w.node].childCount = static_cast<std::uint32_t>(e_.nodes_.size()) - firstChild;
        }
    }

    ScriptEngine &e_;
    std::unordered_map<char32_t, char32_t> variants_;
    std::unordered_map<char32_t, char32_t> chars_;
    std::unordered_map<std::u32string, std::u32string> rowReadings_; // OpenCC's readings of our rows
    std::vector<Unit> keyUnits_;
    std::vector<Pending> pending_;
    std::string keyBytes_;
    std::vector<Unit> units_;
    std::vector<std::uint32_t> starts_;
};

std::unique_ptr<const ScriptEngine> ScriptEngine::Load(const std::string &dataDir)
{
    std::unique_ptr<ScriptEngine> engine(new ScriptEngine);
    Builder(*engine).Run(dataDir);
    return engine;
}

std::uint32_t ScriptEngine::RootNode(Unit unit) const
{
    if (unit < 0x10000)
        return rootSmall_[unit];
    if (rootLarge_.empty())
        return 0;
    const auto found = rootLarge_.find(unit);
    return found == rootLarge_.end() ? 0 : found->second;
}

ScriptEngine::Match ScriptEngine::Longest(const Unit *units, std::size_t count, std::size_t limit) const
{
    Match best;
    std::uint32_t node = count == 0 ? 0 : RootNode(units[0]);
    limit = std::min(limit, count);
    for (std::size_t depth = 1; node != 0; ++depth) {
        if (nodes_[node].entry >= 0 && depth >= 2)
            best = {static_cast<std::uint32_t>(depth), nodes_[node].entry};
        if (depth >= limit)
            break;
        node = ChildNode(node, units[depth]);
    }
    return best;
}

std::uint32_t ScriptEngine::ChildNode(std::uint32_t node, Unit next) const
{
    const Node &n = nodes_[node];
    const Node *first = nodes_.data() + n.firstChild;
    const Node *last = first + n.childCount;
    const Node *child = std::lower_bound(first, last, next, [](const Node &c, Unit u) { return c.unit < u; });
    return (child != last && child->unit == next) ? static_cast<std::uint32_t>(child - nodes_.data()) : 0;
}

ScriptEngine::Match ScriptEngine::LongestOurs(const Unit *units, std::size_t count) const
{
    Match best;
    std::uint32_t node = RootNode(units[0]);
    for (std::size_t depth = 1; node != 0; ++depth) {
        const std::int32_t entry = nodes_[node].entry;
        if (entry >= 0 && depth >= 2 && entries_[entry].ours)
            best = {static_cast<std::uint32_t>(depth), entry};
        if (depth >= count)
            break;
        node = ChildNode(node, units[depth]);
    }
    return best;
}

bool ScriptEngine::PreferSplit(const Unit *units, std::size_t i, std::size_t len, std::size_t j,
                               std::size_t end) const
{
    struct Path {
        std::size_t segments = 0, singles = 0;
        bool boundSingle = false;
    };
    // Greedy segments of [from, to), none reaching past to.
    auto segment = [&](Path &path, std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t length =
                std::max<std::size_t>(1, Longest(units + from, to - from, to - from).length);
            if (length == 1) {
                ++path.singles;
                path.boundSingle = path.boundSingle || units[from] >= 0x10000 || !free_[units[from]];
            }
            ++path.segments;
            from += length;
        }
    };
    Path a{1, 0, false};
    segment(a, i + len, end);
    Path b;
    segment(b, i, j);
    ++b.segments; // our row
    if (a.segments != b.segments)
        return b.segments < a.segments;
    if (a.singles != b.singles)
        return b.singles < a.singles;
    return !b.boundSingle;
}

void ScriptEngine::MapCharacter(Unit unit, const char *src, std::size_t length, char *dest) const
{
    if (length == 2) {
        const std::uint16_t to = charSmall_[unit];
        if (to != 0) {
            dest[0] = static_cast<char>(to >> 8);
            dest[1] = static_cast<char>(to & 0xFF);
            return;
        }
    } else if (length == 4 && !charLarge_.empty()) {
        if (const auto found = charLarge_.find(unit); found != charLarge_.end()) {
            std::memcpy(dest, found->second.data(), 4);
            return;
        }
    }
    if (dest != src)
        std::memmove(dest, src, length);
}

void ScriptEngine::Map(const char *src, std::size_t n, char *dest) const
{
    // The text is split into characters a window at a time, so memory stays small however long
    // the text is. A decision at a character looks at most two keys ahead (a phrase and one of our
    // rows overlapping its end), so a window commits only what starts that far before its end; the
    // rest is read again at the start of the next window. The result equals a single pass.
    constexpr std::size_t kWindowBytes = 64 * 1024;
    const std::size_t margin = 2 * maxKeyLength_ + 4;
    thread_local std::vector<Unit> units;
    thread_local std::vector<std::uint32_t> starts;
    std::size_t pos = 0;
    while (pos < n) {
        const std::size_t windowEnd = n - pos <= kWindowBytes ? n : pos + kWindowBytes;
        SplitUnits(std::string_view(src + pos, windowEnd - pos), units, starts);
        const std::size_t count = units.size();
        const std::size_t commitLimit = windowEnd == n ? count : count - margin;
        const std::size_t committed =
            MapWindow(units.data(), starts.data(), count, commitLimit, src + pos, dest + pos);
        pos += starts[committed];
    }
}

std::size_t ScriptEngine::MapWindow(const Unit *u, const std::uint32_t *starts, std::size_t count,
                                    std::size_t commitLimit, const char *src, char *dest) const
{
    auto emit = [&](std::size_t at, Match m) {
        if (m.length < 2) {
            MapCharacter(u[at], src + starts[at], starts[at + 1] - starts[at], dest + starts[at]);
        } else {
            std::memcpy(dest + starts[at], values_.data() + entries_[m.entry].valueOffset,
                        starts[at + m.length] - starts[at]);
        }
    };
    auto startsOurs = [&](Unit unit) { return unit < 0x10000 ? bool(oursFirst_[unit]) : oursFirstLarge_; };

    std::size_t i = 0;
    while (i < commitLimit) {
        const Match m = Longest(u + i, count - i, count - i);
        if (m.length < 2) {
            emit(i, m);
            ++i;
            continue;
        }
        std::size_t splitAt = 0;
        for (std::size_t j = i + 1; j < i + m.length && splitAt == 0; ++j) {
            if (!startsOurs(u[j]))
                continue;
            const Match w = LongestOurs(u + j, count - j);
            if (w.length != 0 && j + w.length > i + m.length && PreferSplit(u, i, m.length, j, j + w.length))
                splitAt = j;
        }
        if (splitAt == 0) {
            emit(i, m);
            i += m.length;
            continue;
        }
        while (i < splitAt) {
            const Match part = Longest(u + i, count - i, splitAt - i);
            emit(i, part);
            i += std::max<std::size_t>(1, part.length);
        }
    }
    return i;
}

} // namespace lumo::platform::detail
