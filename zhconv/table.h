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

/// A node of the word trie. The children of a node are consecutive and sorted by unit, so a
/// child is found by binary search.
struct TrieNode {
    Unit unit;
    std::uint32_t firstChild;
    std::uint32_t childCount;
    std::int32_t entry; // index into the entries, or -1
};

/// valueOffset of a word that converts character by character.
inline constexpr std::uint32_t kByCharacter = 0xFFFFFFFF;

/// A word of two or more characters: what it converts to, and how unlikely it is.
struct TrieEntry {
    std::uint32_t valueOffset; // into the values (as many bytes as the key), or kByCharacter
    std::uint16_t cost;        // -log of the word's probability, in 1/kCostScale nepers
    std::uint16_t reserved;
};

inline constexpr double kCostScale = 32.0;

/// A larger unit (four-byte form) and what it maps to.
struct LargeRoot {
    Unit unit;
    std::uint32_t node;
};
struct LargeCharacter {
    Unit unit;
    unsigned char bytes[4];
};

struct LargeNormal {
    Unit unit;
    Unit normal;
};

/// The sections of the table, in file order.
enum class Section : std::uint32_t {
    RootSmall,      // uint32_t[0x10000]: unit -> root node, 0 = none
    RootLarge,      // LargeRoot[], sorted by unit
    Nodes,          // TrieNode[]; nodes[0] is unused
    Entries,        // TrieEntry[]
    Values,         // bytes
    CharacterSmall, // uint16_t[0x10000]: two-byte unit -> two-byte unit, 0 = itself
    CharacterLarge, // LargeCharacter[], sorted by unit
    Normal,         // uint16_t[0x10000]: two-byte unit -> the unit it is read as, 0 = itself
    NormalLarge,    // LargeNormal[], sorted by unit: the same for four-byte forms
    CharacterCost,  // uint16_t[0x10000]: cost of the unit as a word of its own
    InWord,         // uint8_t[0x10000]: 1 when the unit occurs in some word of the trie
    Count
};

struct SectionSpan {
    std::uint32_t offset; // from the start of the table, a multiple of 16
    std::uint32_t size;   // in bytes
};

inline constexpr char kTableMagic[8] = {'L', 'U', 'M', 'O', 'S', '2', 'T', 'W'};
inline constexpr std::uint32_t kTableVersion = 2;

struct TableHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t maxKeyLength; // in characters
    std::uint32_t largeCost;    // cost of a four-byte unit as a word of its own
    std::uint32_t reserved;
    SectionSpan sections[static_cast<std::uint32_t>(Section::Count)];
};

} // namespace lumo::zhconv
