#pragma once

#include <cstddef>
#include <string>

namespace lumo::bench {

/// Deterministic Simplified Chinese text in UTF-8, about `bytes` long: a few
/// hand-written paragraphs, then sentences drawn from everyday phrases with a
/// fixed seed, with digits, punctuation and line breaks. Ends with a line break.
std::string SampleChineseText(std::size_t bytes);

} // namespace lumo::bench
