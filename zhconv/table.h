#pragma once

// The layout of the compiled Simplified-to-Taiwan-Traditional table. The build writes it
// (tools/s2twgen) and links it into the programs as read-only data; the engine reads it in place,
// so nothing is parsed, copied or read from disk at run time.

#include <cstddef>
#include <cstdint>
#include <span>

// The table as linked into lumo_zhconv_data (table_data.cpp.in).
extern "C" const unsigned char lumo_script_table[];
extern "C" const unsigned char lumo_script_table_end[];

namespace lumo::zhconv {

/// The linked-in table's bytes (only in programs that link lumo_zhconv_data).
inline std::span<const unsigned char> CompiledTable()
{
    return {lumo_script_table, static_cast<std::size_t>(lumo_script_table_end - lumo_script_table)};
}

/// A character of code page text: single bytes are 0..0xFF (bytes that start no valid sequence
/// are 0x100 + byte), two-byte codes (lead << 8) | trail, four-byte codes 0x10000 + their index.
using Unit = std::uint32_t;

/// What the engine needs of a one- or two-byte unit, in one place so that a character costs one
/// cache line.
struct UnitInfo {
    std::uint32_t root;   // the trie node of words starting with the unit, 0 = none
    std::uint16_t mapped; // the two-byte unit it converts to, 0 = itself
    std::uint16_t normal; // the two-byte unit it is read as, 0 = itself
    std::uint16_t cost;   // of the unit as a word of its own
    std::uint8_t inWord;  // 1 when the unit occurs in some word of the trie
    std::uint8_t counted; // 1 when the unit reads otherwise as a word of its own right after a
                          // number (Section::Counted)
};

/// A node of the word trie. The children of a node are consecutive and sorted by unit (their
/// units are in a section of their own, so that finding a child by binary search reads 4 bytes a
/// step).
struct TrieNode {
    std::uint32_t firstChild;
    std::uint16_t childCount;
    std::uint16_t cost;        // of the word that ends here (-log of its probability, in
                               // 1/kCostScale nepers); 0 when no word ends here
    std::uint32_t valueOffset; // its reading in the values (as many bytes as the key), or
                               // kByCharacter
};

/// valueOffset of a word that converts character by character.
inline constexpr std::uint32_t kByCharacter = 0xFFFFFFFF;

inline constexpr double kCostScale = 32.0;

/// A larger unit (four-byte form) and where its words start.
struct LargeRoot {
    Unit unit;
    std::uint32_t node;
};
/// A larger unit and what it converts to.
struct LargeCharacter {
    Unit unit;
    unsigned char bytes[4];
};
/// A larger unit and the unit it is read as.
struct LargeNormal {
    Unit unit;
    Unit normal;
};

/// A unit that reads otherwise as a word of its own right after a number (3 周 counts weeks: 3 週).
struct CountedReading {
    std::uint16_t unit;
    std::uint16_t mapped;
};

/// The second step into the trie, found by hashing instead of binary search: the node of the words
/// that start with two given two-byte units. Most lookups are this one, and a search among the
/// many children of a common character misses the cache at nearly every step.
struct PairSlot {
    std::uint32_t key; // first unit << 16 | second unit; 0 = empty
    std::uint32_t node;
};

/// The slot where a pair's search starts, in a table of 1 << bits slots (linear probing after).
inline std::uint32_t PairSlotOf(std::uint32_t key, unsigned bits)
{
    return (key * 0x9E3779B1u) >> (32 - bits);
}

/// The sections of the table, in file order.
enum class Section : std::uint32_t {
    Units,          // UnitInfo[0x10000], by unit
    RootLarge,      // LargeRoot[], sorted by unit
    NodeUnits,      // Unit[]: the unit each node is reached by
    Nodes,          // TrieNode[]; nodes[0] is unused
    Values,         // bytes
    CharacterLarge, // LargeCharacter[], sorted by unit
    NormalLarge,    // LargeNormal[], sorted by unit
    Pairs,          // PairSlot[1 << pairBits]: every trie node at depth 2 reached by two-byte units
    Counted,        // CountedReading[], sorted by unit
    Count
};

struct SectionSpan {
    std::uint32_t offset; // from the start of the table, a multiple of 16
    std::uint32_t size;   // in bytes
};

inline constexpr char kTableMagic[8] = {'L', 'U', 'M', 'O', 'S', '2', 'T', 'W'};
inline constexpr std::uint32_t kTableVersion = 5;

struct TableHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t maxKeyLength; // in characters
    std::uint32_t largeCost;    // cost of a four-byte unit as a word of its own
    std::uint32_t pairBits;     // the pair table has 1 << pairBits slots
    SectionSpan sections[static_cast<std::uint32_t>(Section::Count)];
};

} // namespace lumo::zhconv
