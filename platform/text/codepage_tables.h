#pragma once

// Internal to lumo_platform_codepage: the flat code page 936 tables. The build computes them from
// ICU (tools/codepagegen/codepage_builder.cpp) and compiles them in as constant arrays.

#include <cstdint>

namespace lumo::platform::detail {

inline constexpr int kLeadFirst = 0x81;
inline constexpr int kLeadLast = 0xFE;
inline constexpr int kTrailCount = 0xFF - 0x40; // trail bytes 0x40..0xFE; 0x7F is never a trail
inline constexpr int kBmpFourByteCount = 39420; // GB18030 four-byte codes 81308130..8431A439 cover the BMP
// Unpaired surrogates get four-byte codes that GB18030 leaves unassigned (8431A530 onwards), so even
// ill-formed UTF-16 survives a round trip.
inline constexpr int kSurrogateFourByteFirst = kBmpFourByteCount;
inline constexpr int kSupplementaryFourByteFirst = 189000; // 90308130 = U+10000
inline constexpr char16_t kReplacement = u'\uFFFD';

inline constexpr int kEncodeCount = 0x10000;
inline constexpr int kDecodeDoubleCount = 126 * kTrailCount;
inline constexpr int kDecodeSingleCount = 256;

/// For each BMP code unit: 0 when unset, else the code page bytes packed as (length << 24) | bytes,
/// or for four-byte forms (4 << 24) | index.
extern const std::uint32_t kEncode[kEncodeCount];
/// Double-byte code -> UTF-16, indexed by (lead - 0x81) * kTrailCount + (trail - 0x40).
extern const char16_t kDecodeDouble[kDecodeDoubleCount];
/// Four-byte BMP index -> UTF-16.
extern const char16_t kDecodeFour[kBmpFourByteCount];
/// Single byte -> UTF-16.
extern const char16_t kDecodeSingle[kDecodeSingleCount];

} // namespace lumo::platform::detail
