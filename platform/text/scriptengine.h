#pragma once

// Internal to lumo_platform_text: the Simplified-to-Taiwan-Traditional mapping over code page bytes.

#include "platform/text/scripttable.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::platform::detail {

/// Splits code page bytes into characters. starts receives the byte offset of every character
/// and, last, the total length.
void SplitUnits(std::string_view bytes, std::vector<Unit> &units, std::vector<std::uint32_t> &starts);

/// The phrase and character mapping, read in place from a compiled table (scripttable.h).
/// Immutable, so any number of threads may use it at once.
class ScriptEngine {
  public:
    /// Reads the table at `data` (which must outlive the engine and be aligned to 16 bytes).
    /// Returns false, with `error` set, when it is not a table of this version or is cut short.
    bool Open(std::span<const unsigned char> data, std::string &error);

    /// Maps n bytes from src into dest (which may be src itself); dest receives exactly n bytes.
    void Map(const char *src, std::size_t n, char *dest) const;

  private:
    struct Match {
        std::uint32_t length = 0; // in characters
        std::int32_t entry = -1;
    };

    Match Longest(const Unit *units, std::size_t count, std::size_t limit) const;
    Match LongestOurs(const Unit *units, std::size_t count) const;
    std::uint32_t RootNode(Unit unit) const;
    /// The child of `node` reached by `next`, 0 when there is none.
    std::uint32_t ChildNode(std::uint32_t node, Unit next) const;
    bool PreferSplit(const Unit *units, std::size_t i, std::size_t len, std::size_t j, std::size_t end) const;
    std::size_t MapWindow(const Unit *units, const std::uint32_t *starts, std::size_t count,
                          std::size_t commitLimit, const char *src, char *dest) const;
    void MapCharacter(Unit unit, const char *src, std::size_t length, char *dest) const;

    std::span<const std::uint32_t> rootSmall_;
    std::span<const LargeRoot> rootLarge_;
    std::span<const TrieNode> nodes_;
    std::span<const TrieEntry> entries_;
    std::span<const char> values_;
    std::span<const std::uint16_t> charSmall_;
    std::span<const LargeCharacter> charLarge_;
    std::span<const std::uint16_t> normal_;
    std::span<const LargeNormal> normalLarge_;
    std::span<const std::uint8_t> oursFirst_;
    std::span<const std::uint8_t> free_;
    bool oursFirstLarge_ = false;
    std::size_t maxKeyLength_ = 0;
};

} // namespace lumo::platform::detail
