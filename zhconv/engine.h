#pragma once

// The Simplified-to-Taiwan-Traditional mapping over code page 936 bytes (GBK, with GB18030's
// four-byte forms), read in place from a compiled table (table.h).

#include "zhconv/table.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::zhconv {

/// Splits code page bytes into characters. starts receives the byte offset of every character
/// and, last, the total length.
void SplitUnits(std::string_view bytes, std::vector<Unit> &units, std::vector<std::uint32_t> &starts);

/// Segments text into its most probable words and converts each word. Immutable, so any number
/// of threads may use one engine at once.
class Engine {
  public:
    /// Reads the table at `data` (which must outlive the engine and be aligned to 16 bytes).
    /// Returns false, with `error` set, when it is not a table of this version or is cut short.
    bool Open(std::span<const unsigned char> data, std::string &error);

    /// Maps n bytes from src into dest (which may be src itself); dest receives exactly n bytes.
    /// Text cut in front of an ASCII character other than a space or a 'd' maps piece by piece
    /// as it does whole.
    void Map(const char *src, std::size_t n, char *dest) const;

    /// The byte offsets at which Map starts a new word, 0 first, for the same n bytes.
    std::vector<std::size_t> WordStarts(const char *src, std::size_t n) const;

    /// The longest stretch, in characters, that is segmented as a whole; longer stretches
    /// without a character that ends every word are cut after this many characters.
    static constexpr std::size_t kMaxRun = 8192;

  private:
    struct Choice {
        std::uint32_t cost;   // of the best reading from here to the end of the run
        std::uint32_t length; // of the word that starts it, in characters
        std::uint32_t node;   // the trie node where that word ends, 0 for a single character
    };

    std::uint32_t RootNode(Unit unit) const;
    /// The child of `node` reached by `next`, 0 when there is none.
    std::uint32_t ChildNode(std::uint32_t node, Unit next) const;
    /// The node reached from the root by `first` then `second`, 0 when there is none.
    std::uint32_t PairNode(Unit first, Unit second) const;
    std::uint32_t CharacterCost(Unit unit) const;
    bool InWord(Unit unit) const;
    void Segment(const Unit *units, std::size_t count, Choice *choices) const;
    /// Segments n bytes from src; maps them into dest unless it is null, and records where each
    /// word starts unless wordStarts is null.
    void Walk(const char *src, std::size_t n, char *dest, std::vector<std::size_t> *wordStarts) const;

    static constexpr std::size_t kWindowBytes = 64 * 1024;
    void MapCharacter(Unit unit, const char *src, std::size_t length, char *dest) const;
    /// The two-byte unit that `unit` (a word of its own right after a number) reads as, 0 = none.
    Unit CountedReadingOf(Unit unit) const;

    std::span<const UnitInfo> units_;
    std::span<const LargeRoot> rootLarge_;
    std::span<const Unit> nodeUnits_;
    std::span<const TrieNode> nodes_;
    std::span<const char> values_;
    std::span<const LargeCharacter> charLarge_;
    std::span<const LargeNormal> normalLarge_;
    std::span<const PairSlot> pairs_;
    std::span<const CountedReading> counted_;
    unsigned pairBits_ = 0;
    std::uint32_t largeCost_ = 0;
    std::size_t maxKeyLength_ = 0;
};

} // namespace lumo::zhconv
