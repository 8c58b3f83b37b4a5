#pragma once

// Build time only: turns the data of zhconv/chain.lock and our own rows into the table that
// lumo_zhconv_data links in (zhconv/table.h). Not part of the programs.

#include "tools/s2twgen/chain.h"

#include <string>
#include <vector>

namespace lumo::zhconv {

/// One row of our own dictionary, consulted before OpenCC's. With a value, the key converts to
/// it; without one, the key is a word whose reading the dictionaries already give, listed so that
/// segmentation weighs it against the phrases that overlap it.
struct OverrideRow {
    const char *key;   // UTF-8, at least two characters
    const char *value; // UTF-8, as many characters as key, or nullptr
    // A row that gives a value costs what a common word costs, so that a decision is not lost to
    // a rare word beside it; a plain row is priced as a conversion phrase is, and a likelier word
    // over part of it still wins (一|台灯 over 一台|灯).
    bool decided = true;
};

/// Our override rows, the usage rows among them.
std::vector<OverrideRow> OverrideRows();

/// The rows that say how Taiwan writes a word: each also holds inside every longer conversion
/// phrase that reads the word as OpenCC does.
std::vector<OverrideRow> UsageRows();

/// A character that reads otherwise as a word of its own right after a number.
struct CountedRow {
    const char *key;   // UTF-8, one character
    const char *value; // UTF-8, one character
};

std::vector<CountedRow> CountedRows();

/// One character to another.
struct CharacterRow {
    const char *key;   // UTF-8, one character
    const char *value; // UTF-8, one character
};

/// A Simplified character that reads otherwise wherever no phrase or word holds it. Names of
/// people keep the dictionary's reading (a surname).
std::vector<CharacterRow> CharacterRows();

/// Taiwan's spelling of a Traditional character, wherever the conversion writes it (in phrases
/// too), as OpenCC's Taiwan variants are.
std::vector<CharacterRow> VariantRows();

/// Builds the table from the chain's files and our rows. Throws std::runtime_error naming the
/// file that could not be read.
std::string BuildTable(const Chain &chain);

} // namespace lumo::zhconv
