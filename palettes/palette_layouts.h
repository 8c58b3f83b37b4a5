#pragma once

#include "platform/windowdef.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace lumo::palettes {

/// The symbol palette's window: 60 symbol buttons and the close button.
const platform::WindowDef &Form2Layout();
/// The emoticon palette's window: 31 emoticon buttons and the close button.
const platform::WindowDef &Form3Layout();

/// The close buttons; every other button of a palette inserts its caption.
inline constexpr std::string_view kForm2CloseButton = "Command1";
inline constexpr std::string_view kForm3CloseButton = "Command32";

namespace detail {
/// Joins two string literals at compile time (window captions end with the web domain).
template <std::size_t N, std::size_t M>
constexpr std::array<char16_t, N + M - 1> Join(const char16_t (&a)[N], const char16_t (&b)[M])
{
    std::array<char16_t, N + M - 1> joined{};
    for (std::size_t i = 0; i + 1 < N; ++i)
        joined[i] = a[i];
    for (std::size_t i = 0; i < M; ++i)
        joined[N - 1 + i] = b[i];
    return joined;
}

template <std::size_t N> constexpr std::u16string_view View(const std::array<char16_t, N> &text)
{
    return {text.data(), N - 1};
}
} // namespace detail

} // namespace lumo::palettes
