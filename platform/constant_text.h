#pragma once

// Texts put together at compile time, for window definitions: captions that end with the web
// domain, the main window's default text.
//
//   constexpr std::u16string_view kParts[] = {u"特殊符号表 - ", product::kWebDomain};
//   constexpr auto kCaption = JoinText<TotalLength(kParts)>(kParts);
//   ... .caption = TextView(kCaption) ...

#include <array>
#include <cstddef>
#include <string_view>

namespace lumo::platform {

/// The number of characters of all the parts together.
template <std::size_t N> constexpr std::size_t TotalLength(const std::u16string_view (&parts)[N])
{
    std::size_t length = 0;
    for (std::u16string_view part : parts)
        length += part.size();
    return length;
}

/// The parts one after another, as exactly Length characters (no terminating zero).
template <std::size_t Length, std::size_t N>
constexpr std::array<char16_t, Length> JoinText(const std::u16string_view (&parts)[N])
{
    std::array<char16_t, Length> text{};
    std::size_t at = 0;
    for (std::u16string_view part : parts)
        for (char16_t c : part)
            text[at++] = c;
    return text;
}

/// Every character of a text made by JoinText (or any array of characters without a terminating zero).
template <std::size_t N> constexpr std::u16string_view TextView(const std::array<char16_t, N> &text)
{
    return {text.data(), N};
}

} // namespace lumo::platform
