#include "resources/version.h"

namespace lumo::resources {
const char *VersionString()
{
    return LUMO_VERSION;
}
const char *DisplayVersion()
{
    return LUMO_DISPLAY_VERSION;
}
} // namespace lumo::resources
