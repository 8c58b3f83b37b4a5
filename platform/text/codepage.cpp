#include "platform/text/codepage.h"

// Placeholder until the ICU-backed implementation lands.
namespace lumo::platform {
std::string EncodeAnsi(std::u16string_view) { return {}; }
std::u16string DecodeAnsi(std::string_view) { return {}; }
int AnsiLength(std::string_view bytes) { return static_cast<int>(bytes.find('\0') == std::string_view::npos ? bytes.size() : bytes.find('\0')); }
} // namespace lumo::platform
