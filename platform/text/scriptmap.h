#pragma once

#include <cstdint>
#include <string>

namespace lumo::platform {

inline constexpr std::uint32_t kLocaleChinesePrc = 2052;                // 0x0804
inline constexpr std::uint32_t LCMAP_TRADITIONAL_CHINESE = 0x04000000;
inline constexpr std::uint32_t LCMAP_SIMPLIFIED_CHINESE = 0x02000000;

/// Maps Chinese ANSI code page text between scripts, shaped like LCMapStringA.
/// Reads srcCount bytes from src and writes at most destCapacity bytes to dest;
/// returns the number of bytes written, 0 on failure (see ScriptMapError()).
/// The mapped text keeps the number of characters: a stretch whose mapping
/// would change its length or need more bytes keeps its source characters.
int LCMapStringA(std::uint32_t locale, std::uint32_t flags, const char *src, int srcCount,
                 char *dest, int destCapacity);

/// Why the last failed mapping on this thread failed; empty when it did not.
std::string ScriptMapError();

/// Loads the mapping tables now instead of on first use. Returns false with
/// ScriptMapError() set when they cannot be loaded.
bool PreloadScriptMap();

} // namespace lumo::platform
