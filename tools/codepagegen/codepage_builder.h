#pragma once

// Build time only: computes the code page 936 tables (codepage_tables.h) from ICU.

#include "platform/text/codepage_tables.h"

#include <array>
#include <memory>

namespace lumo::platform::detail {

struct CodePageTables {
    std::array<std::uint32_t, kEncodeCount> encode{};
    std::array<char16_t, kDecodeDoubleCount> decodeDouble{};
    std::array<char16_t, kBmpFourByteCount> decodeFour{};
    std::array<char16_t, kDecodeSingleCount> decodeSingle{};
};

/// Fills the tables from ICU's "windows-936-2000" and "gb18030" converters. Throws
/// std::runtime_error when ICU lacks them or they disagree with what the tables need.
std::unique_ptr<CodePageTables> BuildCodePageTables();

} // namespace lumo::platform::detail
