#include "zhconv/engine.h"

#include "platform/text/codepage.h"

#include <algorithm>
#include <cstring>

// Segmentation by word frequency. Each stretch of text that words can span (a run: it ends at a
// character that occurs in no word, such as any ASCII character or a line break) is cut into the
// sequence of words whose probabilities multiply to the largest value, as jieba does: every word
// of the table that matches is a candidate, a single character always is, and the cost of a word
// is -log of its probability. Words are the phrases of the conversion dictionaries and of our own
// rows, a general word list, and words the table builder makes where a phrase would read a
// character against the words around it (只 before a verb, 后 after a word); each word's
// conversion is in the table (a conversion phrase's reading, or a plain word converted by the
// phrases inside it, then by characters).
//
// Greedy longest match, OpenCC's segmentation, lets a rare phrase swallow the first character of
// the next word: 被复|制 (被複制) where 被|复制 is meant, 此系|统 where 此|系统 is meant. With
// frequencies, 被|复制 wins because 复制 is a common word and 被复 is not. The table builder
// gives every conversion phrase a cost below that of the pieces it splits into, so a phrase on its
// own is never split; only a more probable reading around it can cut it.

namespace lumo::zhconv {

using lumo::platform::AnsiCharacterLength;
using lumo::platform::EndOfAscii;
using lumo::platform::FourByteIndex;
using lumo::platform::WriteFourByte;

namespace {

// The character at b[at] as a unit; `length` receives its length in bytes.
Unit ReadUnit(const unsigned char *b, std::size_t at, std::size_t n, std::size_t &length)
{
    const unsigned char lead = b[at];
    length = AnsiCharacterLength(b, at, n);
    if (length == 2)
        return (Unit{lead} << 8) | b[at + 1];
    if (length == 4)
        return 0x10000 + static_cast<Unit>(FourByteIndex(b + at));
    if (lead < 0x81 || lead == 0xFF)
        return lead;
    return 0x100 + lead; // a lead byte without its trail
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
    for (std::size_t i = 0, length = 0; i < n; i += length) {
        starts.push_back(static_cast<std::uint32_t>(i));
        units.push_back(ReadUnit(b, i, n, length));
    }
    starts.push_back(static_cast<std::uint32_t>(n));
}

namespace {

// Whether ASCII text ends with a number, so that the character after it counts: a digit or a
// count that a program fills in (%d), then at most one space. lumo-convert never cuts text in
// front of a space or a 'd', so a cut cannot change this.
bool EndsWithNumber(const unsigned char *ascii, std::size_t n)
{
    if (n > 0 && ascii[n - 1] == ' ')
        --n;
    if (n > 0 && ascii[n - 1] >= '0' && ascii[n - 1] <= '9')
        return true;
    return n >= 2 && ascii[n - 1] == 'd' && ascii[n - 2] == '%';
}

bool IsFullwidthDigit(Unit unit)
{
    return unit >= 0xA3B0 && unit <= 0xA3B9; // ０..９
}

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

bool Engine::Open(std::span<const unsigned char> data, std::string &error)
{
    error.clear();
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
    if (!Take(data, header, Section::Units, units_, kSmall, error) ||
        !Take(data, header, Section::RootLarge, rootLarge_, 0, error) ||
        !Take(data, header, Section::NodeUnits, nodeUnits_, 0, error) ||
        !Take(data, header, Section::Nodes, nodes_, nodeUnits_.size(), error) ||
        !Take(data, header, Section::Values, values_, 0, error) ||
        !Take(data, header, Section::CharacterLarge, charLarge_, 0, error) ||
        !Take(data, header, Section::NormalLarge, normalLarge_, 0, error) || header.pairBits == 0 ||
        header.pairBits > 30 ||
        !Take(data, header, Section::Pairs, pairs_, std::size_t{1} << header.pairBits, error) ||
        !Take(data, header, Section::Counted, counted_, 0, error)) {
        if (error.empty())
            error = "the Chinese character table is damaged (pairs)";
        return false;
    }
    pairBits_ = header.pairBits;
    if (nodes_.empty()) {
        error = "the Chinese character table is damaged (no words)";
        return false;
    }
    largeCost_ = header.largeCost;
    maxKeyLength_ = header.maxKeyLength;
    return true;
}

std::uint32_t Engine::RootNode(Unit unit) const
{
    if (unit < 0x10000)
        return units_[unit].root;
    const auto found = std::lower_bound(rootLarge_.begin(), rootLarge_.end(), unit,
                                        [](const LargeRoot &r, Unit u) { return r.unit < u; });
    return found != rootLarge_.end() && found->unit == unit ? found->node : 0;
}

std::uint32_t Engine::ChildNode(std::uint32_t node, Unit next) const
{
    const TrieNode &n = nodes_[node];
    const Unit *first = nodeUnits_.data() + n.firstChild;
    const Unit *last = first + n.childCount;
    const Unit *child = std::lower_bound(first, last, next);
    return (child != last && *child == next) ? static_cast<std::uint32_t>(child - nodeUnits_.data()) : 0;
}

std::uint32_t Engine::PairNode(Unit first, Unit second) const
{
    if (first >= 0x10000 || second >= 0x10000)
        return ChildNode(RootNode(first), second);
    const std::uint32_t key = first << 16 | second;
    const std::uint32_t mask = (std::uint32_t{1} << pairBits_) - 1;
    for (std::uint32_t slot = PairSlotOf(key, pairBits_);; slot = (slot + 1) & mask) {
        const PairSlot &entry = pairs_[slot];
        if (entry.key == key)
            return entry.node;
        if (entry.key == 0)
            return 0;
    }
}

std::uint32_t Engine::CharacterCost(Unit unit) const
{
    return unit < 0x10000 ? units_[unit].cost : largeCost_;
}

bool Engine::InWord(Unit unit) const
{
    // Four-byte forms are rare in words; any of them may be in one.
    return unit >= 0x10000 || units_[unit].inWord != 0;
}

void Engine::Segment(const Unit *u, std::size_t count, Choice *c) const
{
    // From the end of the run back: the best reading from i is the best word at i followed by the
    // best reading from where that word ends. On a tie the longer word wins.
    c[count] = {0, 0, 0};
    for (std::size_t i = count; i-- > 0;) {
        Choice best{CharacterCost(u[i]) + c[i + 1].cost, 1, 0};
        const std::size_t limit = std::min(count - i, maxKeyLength_);
        std::uint32_t node = limit >= 2 && RootNode(u[i]) != 0 ? PairNode(u[i], u[i + 1]) : 0;
        for (std::size_t length = 2; node != 0 && length <= limit; ++length) {
            if (length > 2)
                node = ChildNode(node, u[i + length - 1]);
            if (node == 0)
                break;
            if (const std::uint32_t wordCost = nodes_[node].cost; wordCost != 0) {
                const std::uint32_t cost = wordCost + c[i + length].cost;
                if (cost <= best.cost)
                    best = {cost, static_cast<std::uint32_t>(length), node};
            }
        }
        c[i] = best;
    }
}

void Engine::Walk(const char *src, std::size_t n, char *dest, std::vector<std::size_t> *wordStarts) const
{
    // ASCII ends every word and maps to itself, so it is copied through in one go. The rest is
    // split into characters a stretch at a time (up to the next ASCII character, at most a window
    // of bytes), so memory stays small however long the text is. Only whole runs are segmented: a
    // run that reaches the end of a window is read again at the start of the next stretch, unless
    // it is kMaxRun characters long, where it is cut whatever the window. Every cut is therefore
    // where a whole-text pass makes it.
    static_assert(kWindowBytes / 4 > kMaxRun, "a window must hold a run of kMaxRun characters");
    const auto *b = reinterpret_cast<const unsigned char *>(src);
    thread_local std::vector<Unit> units;
    thread_local std::vector<std::uint32_t> starts;
    thread_local std::vector<Choice> choices;
    std::size_t pos = 0;
    // What came right before the stretch at pos: whether ASCII ending with a number, and the
    // character before it when it is no ASCII (0 at the start), so that a counted reading looks
    // back over whole characters and never before src.
    bool numberBefore = false;
    Unit unitBefore = 0;
    while (pos < n) {
        if (b[pos] < 0x80) {
            const std::size_t end = EndOfAscii(b, pos + 1, n);
            numberBefore = EndsWithNumber(b + pos, end - pos);
            unitBefore = 0;
            if (dest != nullptr && dest != src)
                std::memcpy(dest + pos, src + pos, end - pos);
            if (wordStarts != nullptr)
                for (std::size_t k = pos; k < end; ++k)
                    wordStarts->push_back(k);
            pos = end;
            continue;
        }
        // Characters are read from their first byte on (a trail byte may look like ASCII), and a
        // character that straddles the window's end is read whole.
        const std::size_t limit = n - pos <= kWindowBytes ? n : pos + kWindowBytes;
        units.clear();
        starts.clear();
        std::size_t at = pos;
        while (at < limit && b[at] >= 0x80) {
            starts.push_back(static_cast<std::uint32_t>(at - pos));
            std::size_t length = 0;
            Unit unit = ReadUnit(b, at, n, length);
            // Compatibility ideographs are read as the characters they stand for.
            if (unit < 0x10000) {
                if (const std::uint16_t normal = units_[unit].normal; normal != 0)
                    unit = normal;
            } else if (!normalLarge_.empty()) {
                const auto found =
                    std::lower_bound(normalLarge_.begin(), normalLarge_.end(), unit,
                                     [](const LargeNormal &entry, Unit u) { return entry.unit < u; });
                if (found != normalLarge_.end() && found->unit == unit)
                    unit = found->normal;
            }
            // Segment looks up every pair of neighbours in a table far larger than the cache:
            // asked for now, the lines arrive while the rest of the stretch is read.
            if (!units.empty() && unit < 0x10000 && units.back() < 0x10000)
                __builtin_prefetch(&pairs_[PairSlotOf(units.back() << 16 | unit, pairBits_)]);
            units.push_back(unit);
            at += length;
        }
        starts.push_back(static_cast<std::uint32_t>(at - pos));
        const bool whole = at >= n || b[at] < 0x80; // the stretch ends at ASCII or the text's end
        const std::size_t count = units.size();
        choices.resize(count + 1);
        const char *wsrc = src + pos;
        char *wdest = dest == nullptr ? nullptr : dest + pos;
        auto emit = [&](std::size_t first, std::size_t length, std::uint32_t node) {
            if (wordStarts != nullptr)
                wordStarts->push_back(pos + starts[first]);
            if (wdest == nullptr)
                return;
            if (length == 1 && units[first] < 0x10000 && units_[units[first]].counted != 0 &&
                starts[first + 1] - starts[first] == 2 &&
                (first == 0 ? numberBefore || IsFullwidthDigit(unitBefore)
                            : IsFullwidthDigit(units[first - 1]))) {
                if (const Unit to = CountedReadingOf(units[first]); to != 0) {
                    wdest[starts[first]] = static_cast<char>(to >> 8);
                    wdest[starts[first] + 1] = static_cast<char>(to & 0xFF);
                    return;
                }
            }
            if (node != 0 && nodes_[node].valueOffset != kByCharacter) {
                std::memcpy(wdest + starts[first], values_.data() + nodes_[node].valueOffset,
                            starts[first + length] - starts[first]);
                return;
            }
            for (std::size_t k = first; k < first + length; ++k)
                MapCharacter(units[k], wsrc + starts[k], starts[k + 1] - starts[k], wdest + starts[k]);
        };
        std::size_t i = 0;
        while (i < count) {
            if (!InWord(units[i])) {
                emit(i, 1, 0);
                ++i;
                continue;
            }
            std::size_t end = i + 1;
            while (end < count && end - i < kMaxRun && InWord(units[end]))
                ++end;
            if (end == count && !whole && end - i < kMaxRun)
                break; // the run may go on in the next stretch
            if (end == i + 1) {
                emit(i, 1, 0); // one character is its own word
                ++i;
                continue;
            }
            Segment(units.data() + i, end - i, choices.data() + i);
            for (std::size_t k = i; k < end; k += choices[k].length)
                emit(k, choices[k].length, choices[k].node);
            i = end;
        }
        pos += starts[i];
        numberBefore = false;
        if (i > 0)
            unitBefore = units[i - 1];
    }
}

void Engine::Map(const char *src, std::size_t n, char *dest) const
{
    Walk(src, n, dest, nullptr);
}

std::vector<std::size_t> Engine::WordStarts(const char *src, std::size_t n) const
{
    std::vector<std::size_t> wordStarts;
    Walk(src, n, nullptr, &wordStarts);
    return wordStarts;
}

Unit Engine::CountedReadingOf(Unit unit) const
{
    const auto found = std::lower_bound(counted_.begin(), counted_.end(), unit,
                                        [](const CountedReading &c, Unit u) { return c.unit < u; });
    return found != counted_.end() && found->unit == unit ? found->mapped : 0;
}

void Engine::MapCharacter(Unit unit, const char *src, std::size_t length, char *dest) const
{
    if (length == 2) {
        // Written from the unit, not copied from src: the unit may be the normal form of src.
        const std::uint16_t mapped = units_[unit].mapped;
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

} // namespace lumo::zhconv
