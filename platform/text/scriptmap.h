#pragma once

#include <cstdint>
#include <string>

namespace lumo::platform {

inline constexpr std::uint32_t kLocaleChinesePrc = 2052; // 0x0804
inline constexpr std::uint32_t LCMAP_TRADITIONAL_CHINESE = 0x04000000;

/// Maps Chinese ANSI code page text between scripts, shaped like LCMapStringA.
/// Reads srcCount bytes from src (-1: up to and including its zero byte) and writes at most
/// destCapacity bytes to dest; returns the number of bytes written, 0 on failure (see
/// ScriptMapError()). With destCapacity 0 it returns the size needed and writes nothing.
/// Only locale 2052 with LCMAP_TRADITIONAL_CHINESE is supported: Simplified to Taiwan-standard
/// Traditional, phrase by phrase. The mapped text keeps the number of characters and of bytes:
/// a stretch whose mapping would change its length or need more bytes keeps its source
/// characters, and bytes that form no character pass through unchanged. Four-byte forms (as
/// EncodeAnsi writes characters outside code page 936) are characters like any other: mapped
/// where the dictionaries hold them with a four-byte result, else left as they are. dest may be
/// src itself.
/// Safe to call from several threads at once.
int LCMapStringA(std::uint32_t locale, std::uint32_t flags, const char *src, int srcCount, char *dest,
                 int destCapacity);

/// Why the last failed mapping on this thread failed; empty when it did not.
std::string ScriptMapError();

/// Opens the compiled-in mapping table now instead of on first use. Returns false with
/// ScriptMapError() set when it cannot be read (a damaged build).
bool PreloadScriptMap();

} // namespace lumo::platform
