#pragma once

#include <string>
#include <string_view>

namespace lumo::platform {

/// Encodes UTF-16 text in the Chinese ANSI code page (Windows code page 936,
/// including its private-use mappings such as A994 <-> U+E7F2). Characters
/// that code page 936 cannot represent are written in their GB18030 four-byte
/// form instead of becoming "?", so DecodeAnsi(EncodeAnsi(t)) == t for every
/// well-formed t. (The few characters that GB18030-2005 moved to two-byte codes which code page
/// 936 reads as private-use characters, such as U+1E3F at A8BC, keep their GB18030-2000
/// four-byte codes.) An unpaired surrogate is written as a four-byte code that GB18030 leaves
/// unassigned (from 84 31 A5 30 on), which DecodeAnsi reads back as the same surrogate, so the
/// round trip holds for any UTF-16 string.
std::string EncodeAnsi(std::u16string_view text);

/// Decodes Chinese ANSI code page bytes (as written by EncodeAnsi) to UTF-16.
/// Covers the whole byte string, embedded zero bytes and trailing spaces included. A lead byte
/// without a valid continuation, or an unassigned four-byte code, gives U+FFFD; the bytes after a
/// bad lead byte are read afresh.
std::u16string DecodeAnsi(std::string_view bytes);
/// The same, appended to `out`.
void DecodeAnsi(std::string_view bytes, std::u16string &out);

/// lstrlenA: the number of bytes before the first zero byte.
int AnsiLength(std::string_view bytes);

} // namespace lumo::platform
