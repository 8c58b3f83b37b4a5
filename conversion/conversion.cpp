#include "conversion/conversion.h"

// Placeholder until the engine lands.
namespace lumo::conversion {
bool MapChineseScript(std::u16string &, std::u16string &, std::uint32_t, std::int32_t &, std::string *) { return false; }
ConvertResult ConvertText(std::u16string_view, bool, ConversionVariables &) { return {}; }
ConvertResult ConvertText(std::u16string_view text, bool off) { ConversionVariables v; return ConvertText(text, off, v); }
} // namespace lumo::conversion
