#pragma once

// Internal to lumo_platform_text: the Simplified-to-Taiwan-Traditional mapping over code page bytes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumo::platform::detail {

/// One row of our own dictionary, consulted before OpenCC's. With a value, the key converts to
/// it; without one, the key is a word whose reading OpenCC's dictionaries already give, and it
/// only takes part in segmentation (so that a greedy phrase does not swallow its first character).
struct OverrideRow {
    const char *key;   // UTF-8, at least two characters
    const char *value; // UTF-8, as many characters as key, or nullptr
};

/// Appends the code page bytes of one code point, as EncodeAnsi writes them.
void AppendAnsi(std::string &out, char32_t c);

/// Our override dictionary, embedded in the program.
std::vector<OverrideRow> OverrideRows();

/// Characters (UTF-8) that commonly stand alone as a word before another word.
const char *FreeCharacters();

/// A character of code page text: single bytes are 0..0xFF (bytes that start no valid sequence
/// are 0x100 + byte), two-byte codes (lead << 8) | trail, four-byte codes 0x10000 + their index.
using Unit = std::uint32_t;

/// Splits code page bytes into characters. starts receives the byte offset of every character
/// and, last, the total length.
void SplitUnits(std::string_view bytes, std::vector<Unit> &units, std::vector<std::uint32_t> &starts);

/// A phrase and character mapping loaded from OpenCC's s2tw dictionaries plus our overrides.
/// Immutable once built, so any number of threads may use it at once.
class ScriptEngine {
  public:
    /// Loads STPhrases, STCharacters and TWVariants from dataDir (an absolute path).
    /// Throws std::runtime_error naming the file that could not be loaded.
    static std::unique_ptr<const ScriptEngine> Load(const std::string &dataDir);

    /// Maps n bytes from src into dest (which may be src itself); dest receives exactly n bytes.
    void Map(const char *src, std::size_t n, char *dest) const;

  private:
    struct Node {
        Unit unit;
        std::uint32_t firstChild;
        std::uint32_t childCount;
        std::int32_t entry; // index into entries_, or -1
    };
    struct Entry {
        std::uint32_t valueOffset; // into values_; the value has as many bytes as the key
        bool ours;
    };
    struct Match {
        std::uint32_t length = 0; // in characters
        std::int32_t entry = -1;
    };
    class Builder;

    Match Longest(const Unit *units, std::size_t count, std::size_t limit) const;
    Match LongestOurs(const Unit *units, std::size_t count) const;
    std::uint32_t RootNode(Unit unit) const;
    /// The child of `node` reached by `next`, 0 when there is none.
    std::uint32_t ChildNode(std::uint32_t node, Unit next) const;
    bool PreferSplit(const Unit *units, std::size_t i, std::size_t len, std::size_t j, std::size_t end) const;
    std::size_t MapWindow(const Unit *units, const std::uint32_t *starts, std::size_t count,
                          std::size_t commitLimit, const char *src, char *dest) const;
    void MapCharacter(Unit unit, const char *src, std::size_t length, char *dest) const;

    std::vector<std::uint32_t> rootSmall_;              // unit < 0x10000 -> node, 0 = none
    std::unordered_map<Unit, std::uint32_t> rootLarge_; // other units -> node
    std::vector<Node> nodes_;                           // nodes_[0] is unused
    std::vector<Entry> entries_;
    std::string values_;
    std::vector<std::uint16_t> charSmall_;            // two-byte unit -> two-byte unit, 0 = same
    std::unordered_map<Unit, std::string> charLarge_; // four-byte unit -> replacement bytes
    std::vector<bool> oursFirst_;                     // unit < 0x10000 starts one of our rows
    std::vector<bool> free_;                          // unit < 0x10000 is one of FreeCharacters()
    bool oursFirstLarge_ = false;                     // some row starts with a larger unit
    std::size_t maxKeyLength_ = 0;                    // in characters
};

} // namespace lumo::platform::detail
