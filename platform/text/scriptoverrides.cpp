#include "platform/text/scriptengine.h"

namespace lumo::platform::detail {

// clang-format off
static constexpr OverrideRow kOverrideRows[] = {
    // Words whose first character a greedy phrase before them tends to swallow.
    {"发明", nullptr},
    {"发生", nullptr},
    {"发布", nullptr},
    {"制造", nullptr},
    {"生长", nullptr},
    {"明显", nullptr},
    // Readings OpenCC gets wrong.
    {"只只", "隻隻"},
    {"冲咖啡", "沖咖啡"},
    {"面条干了", "麵條乾了"},
};
// clang-format on

std::vector<OverrideRow> OverrideRows() { return {std::begin(kOverrideRows), std::end(kOverrideRows)}; }

} // namespace lumo::platform::detail
