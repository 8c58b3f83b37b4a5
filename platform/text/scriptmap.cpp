#include "platform/text/scriptmap.h"

// Placeholder until the OpenCC-backed implementation lands.
namespace lumo::platform {
int LCMapStringA(std::uint32_t, std::uint32_t, const char *, int, char *, int) { return 0; }
std::string ScriptMapError() { return "not implemented"; }
bool PreloadScriptMap() { return false; }
} // namespace lumo::platform
