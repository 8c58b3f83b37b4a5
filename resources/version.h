#pragma once

namespace lumo::resources {

/// The program's version as four numbers, "2.5.0.16".
const char *VersionString();

} // namespace lumo::resources
