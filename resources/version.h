#pragma once

namespace lumo::resources {

/// The program's version as four numbers, "2.5.0.16".
const char *VersionString();

/// The version as the version block writes it, "2.05.0016": major, two-digit minor, four-digit revision.
const char *DisplayVersion();

} // namespace lumo::resources
