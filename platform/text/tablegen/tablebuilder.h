#pragma once

// Build time only: turns OpenCC's s2tw dictionaries and our own rows into the table that
// lumo_platform_text links in (scripttable.h). Not part of the programs.

#include <string>
#include <vector>

namespace lumo::platform::detail {

/// One row of our own dictionary, consulted before OpenCC's. With a value, the key converts to
/// it; without one, the key is a word whose reading OpenCC's dictionaries already give, and it
/// only takes part in segmentation (so that a greedy phrase does not swallow its first character).
struct OverrideRow {
    const char *key;   // UTF-8, at least two characters
    const char *value; // UTF-8, as many characters as key, or nullptr
};

/// Our override rows.
std::vector<OverrideRow> OverrideRows();

/// Characters (UTF-8) that commonly stand alone as a word before another word.
const char *FreeCharacters();

/// The dictionaries of OpenCC's s2tw chain, read from the folder that holds s2tw.json.
inline constexpr const char *kDictionaryFiles[] = {
    "CJK_Compatibility_Ideographs.ocd2",
    "STPhrases.ocd2",
    "STPhrases_GeneratedFromRegionalPhrases.ocd2",
    "STCharacters.ocd2",
    "TWVariantsPhrases.ocd2",
    "TWVariants.ocd2",
};

/// Builds the table from the dictionaries in dictDir and our rows. Throws std::runtime_error
/// naming the file that could not be read.
std::string BuildScriptTable(const std::string &dictDir);

} // namespace lumo::platform::detail
