#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumo::platform {

/// Appends the UTF-16 form of UTF-8 `bytes` to `out`. Returns false, with
/// `errorOffset` set to the byte offset of the first ill-formed sequence
/// (overlong forms, surrogates and code points above U+10FFFF included), and
/// leaves `out` as it was.
bool DecodeUtf8(std::string_view bytes, std::u16string &out, std::size_t &errorOffset);

/// Whether `bytes` is well-formed UTF-8, as DecodeUtf8 reads it; when not, `errorOffset` is the
/// offset DecodeUtf8 would give. Writes nothing.
bool CheckUtf8(std::string_view bytes, std::size_t &errorOffset);

/// Appends the UTF-8 form of `text` to `out`; an unpaired surrogate, which
/// UTF-8 cannot carry, becomes U+FFFD.
void EncodeUtf8(std::u16string_view text, std::string &out);

} // namespace lumo::platform
