#include "conversion/personalised_table.h"

// Placeholder until the table lands.
namespace lumo::conversion {
const std::array<PersonalisedRow, 75> PersonalisedTable{};
std::u16string ApplyPersonalisedTable(std::u16string_view text) { return std::u16string(text); }
std::u16string ApplyPersonalisedTableRowByRow(std::u16string_view text) { return std::u16string(text); }
} // namespace lumo::conversion
