#include "platform/text/scriptengine.h"

#include "platform/text/codepage.h"

#include <algorithm>
#include <cstring>

// The table (built by platform/text/tablegen from OpenCC's s2tw dictionaries and our own rows)
// holds a phrase trie whose values are already fully converted, and a character map. Mapping is
// OpenCC's s2tw over code page bytes: segment by longest match, convert each segment, with no
// per-segment strings and no conversion to UTF-8 and back.
//
// Greedy longest match sometimes swallows the first character of the next word (被发明 read as
// 被发|明 gives 被髮明). Where the phrase chosen at a position ends inside one of our rows, we
// segment the stretch up to the end of our row both ways, greedy (A) and cut in front of our
// row (B), and take B when it has
//   1. fewer segments (参与制|造 against 参与|制造: a tie), else
//   2. fewer one-character segments (参与|制造 has none), else
//   3. nothing but "free" characters (被, 这, 一 ...; see the table builder) as one-character
//      segments in front of our row: 被|发明, 一|只只, 这|只能, but not 控|制成|本.
// Otherwise the greedy reading stays. So 头发生长 stays 头发|生长 (B: 头|发生, and 头 is not
// free), and 前头发生 converts right because 前头 is a row of its own. The comparison stops at
// the end of our row on purpose: OpenCC has many phrases that only keep 了 from becoming 瞭
// (送了, 懂了 ...), and counting them would make 被发|送了 look better than 被|发送|了.

namespace lumo::platform::detail {

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

namespace {

template <typename T>
bool Take(std::span<const unsigned char> data, const TableHeader &header, Section section,
          std::span<const T> &out, std::size_t expectedCount, std::string &error)
{
    const SectionSpan span = header.sections[static_cast<std::uint32_t>(section)];
    if (span.offset % 16 != 0 || span.offset > data.size() || span.size > data.size() - span.offset ||
        span.size % sizeof(T) != 0 || (expectedCount != 0 && span.size / sizeof(T) != expectedCount)) {
        error = "the Chinese character table is damaged (section " +
                std::to_string(static_cast<std::uint32_t>(section)) + ")";
        return false;
    }
    out = {reinterpret_cast<const T *>(data.data() + span.offset), span.size / sizeof(T)};
    return true;
}

} // namespace

bool ScriptEngine::Open(std::span<const unsigned char> data, std::string &error)
{
    if (data.size() < sizeof(TableHeader) || reinterpret_cast<std::uintptr_t>(data.data()) % 16 != 0) {
        error = "the Chinese character table is missing";
        return false;
    }
    TableHeader header;
    std::memcpy(&header, data.data(), sizeof header);
    if (std::memcmp(header.magic, kTableMagic, sizeof kTableMagic) != 0 || header.version != kTableVersion) {
        error = "the Chinese character table is not of this program's version";
        return false;
    }
    constexpr std::size_t kSmall = 0x10000;
    if (!Take(data, header, Section::RootSmall, rootSmall_, kSmall, error) ||
        !Take(data, header, Section::RootLarge, rootLarge_, 0, error) ||
        !Take(data, header, Section::Nodes, nodes_, 0, error) ||
        !Take(data, header, Section::Entries, entries_, 0, error) ||
        !Take(data, header, Section::Values, values_, 0, error) ||
        !Take(data, header, Section::CharacterSmall, charSmall_, kSmall, error) ||
        !Take(data, header, Section::CharacterLarge, charLarge_, 0, error) ||
        !Take(data, header, Section::Normal, normal_, kSmall, error) ||
        !Take(data, header, Section::NormalLarge, normalLarge_, 0, error) ||
        !Take(data, header, Section::OursFirst, oursFirst_, kSmall, error) ||
        !Take(data, header, Section::Free, free_, kSmall, error))
        return false;
    if (nodes_.empty()) {
        error = "the Chinese character table is damaged (no phrases)";
        return false;
    }
    oursFirstLarge_ = header.oursFirstLarge != 0;
    maxKeyLength_ = header.maxKeyLength;
    return true;
}

std::uint32_t ScriptEngine::RootNode(Unit unit) const
{
    if (unit < 0x10000)
        return rootSmall_[unit];
    const auto found = std::lower_bound(rootLarge_.begin(), rootLarge_.end(), unit,
                                        [](const LargeRoot &r, Unit u) { return r.unit < u; });
    return found != rootLarge_.end() && found->unit == unit ? found->node : 0;
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
    const TrieNode &n = nodes_[node];
    const TrieNode *first = nodes_.data() + n.firstChild;
    const TrieNode *last = first + n.childCount;
    const TrieNode *child =
        std::lower_bound(first, last, next, [](const TrieNode &c, Unit u) { return c.unit < u; });
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
        // Written from the unit, not copied from src: the unit may be the normal form of src.
        const std::uint16_t mapped = charSmall_[unit];
        const Unit to = mapped != 0 ? mapped : unit;
        dest[0] = static_cast<char>(to >> 8);
        dest[1] = static_cast<char>(to & 0xFF);
        return;
    }
    if (length == 4 && unit >= 0x10000) {
        const auto found = std::lower_bound(charLarge_.begin(), charLarge_.end(), unit,
                                            [](const LargeCharacter &c, Unit u) { return c.unit < u; });
        if (found != charLarge_.end() && found->unit == unit) {
            std::memcpy(dest, found->bytes, 4);
        } else {
            // Likewise from the unit: the four-byte form with that index.
            WriteFourByte(dest, static_cast<int>(unit - 0x10000));
        }
        return;
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
        // Compatibility ideographs are read as the characters they stand for.
        for (Unit &unit : units) {
            if (unit < 0x10000) {
                if (normal_[unit] != 0)
                    unit = normal_[unit];
            } else if (!normalLarge_.empty()) {
                const auto found =
                    std::lower_bound(normalLarge_.begin(), normalLarge_.end(), unit,
                                     [](const LargeNormal &entry, Unit u) { return entry.unit < u; });
                if (found != normalLarge_.end() && found->unit == unit)
                    unit = found->normal;
            }
        }
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
