#pragma once

#include <array>
#include <string>
#include <string_view>

namespace lumo::conversion {

struct PersonalisedRow {
    std::u16string_view find;
    std::u16string_view replace;
};

/// The 75 look-alike rows, in the order they are applied.
extern const std::array<PersonalisedRow, 75> PersonalisedTable;

/// Applies every row of PersonalisedTable, in order, to `text` (one pass).
std::u16string ApplyPersonalisedTable(std::u16string_view text);

/// Row-by-row reference: each row replaces all non-overlapping occurrences,
/// left to right, in the result of the previous row.
std::u16string ApplyPersonalisedTableRowByRow(std::u16string_view text);

} // namespace lumo::conversion
