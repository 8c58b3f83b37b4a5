#include "resources/version.h"

namespace lumo::resources {
const char *VersionString() { return LUMO_VERSION; }
} // namespace lumo::resources
