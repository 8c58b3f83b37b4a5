#pragma once

// Internal to lumo_platform_text: the layout of the compiled Simplified-to-Taiwan-Traditional
// table. The build writes it (platform/text/tablegen) and links it into the program as read-only
// data; the engine reads it in place, so nothing is parsed, copied or read from disk at run time.

#include <cstddef>
#include <cstdint>
#include <span>

// The table as linked into lumo_platform_text (scripttable_data.cpp.in).
extern "C" const unsigned char lumo_script_table[];
extern "C" const unsigned char lumo_script_table_end[];

namespace lumo::platform::detail {

/// The linked-in table's bytes (only in programs that link lumo_platform_text).
inline std::span<const unsigned char> CompiledScriptTable()
{
    return {lumo_script_table, static_cast<std::size_t>(lumo_script_table_end - lumo_script_table)};
}

/// A character of code page text: single bytes are 0..0xFF (bytes that start no valid sequence
/// are 0x100 + byte), two-byte codes (lead << 8) | trail, four-byte codes 0x10000 + their index.
using Unit = std::uint32_t;

/// A node of the phrase trie. The children of a node are consecutive and sorted by unit, so a
/// child is found by binary search.
struct TrieNode {
    Unit unit;
    std::uint32_t firstChild;
    std::uint32_t childCount;
    std::int32_t entry; // index into the entries, or -1
};

/// What a phrase converts to.
struct TrieEntry {
    std::uint32_t valueOffset; // into the values; the value has as many bytes as the key
    std::uint32_t ours;        // 1: one of our own rows, 0: OpenCC's
};

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
    OursFirst,      // uint8_t[0x10000]: the unit starts one of our rows
    Free,           // uint8_t[0x10000]: the unit stands alone as a word (see the builder)
    Count
};

struct SectionSpan {
    std::uint32_t offset; // from the start of the table, a multiple of 16
    std::uint32_t size;   // in bytes
};

inline constexpr char kTableMagic[8] = {'L', 'U', 'M', 'O', 'S', '2', 'T', 'W'};
inline constexpr std::uint32_t kTableVersion = 1;

struct TableHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t maxKeyLength;   // in characters
    std::uint32_t oursFirstLarge; // 1: one of our rows starts with a four-byte form
    std::uint32_t reserved;
    SectionSpan sections[static_cast<std::uint32_t>(Section::Count)];
};

} // namespace lumo::platform::detail
