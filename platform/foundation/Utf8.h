// UTF-8 decoding for text measurement and name matching, and the test of
// what counts as text in a file. A malformed byte decodes as U+FFFD on its
// own, so every input decodes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::u32string decodeUtf8(std::string_view text);

// The length of the well-formed UTF-8 sequence at text[i] (i < text.size()),
// or 0 when there is none there: overlong forms, surrogate code points
// (U+D800 to U+DFFF, as CESU-8 writes them) and code points above U+10FFFF
// are not well-formed.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i);

// Why bytes, or UTF-16 code units, are no text: the first fault met.
enum class TextFault {
    None,
    Nul,        // a NUL character
    Surrogate,  // a lone UTF-16 surrogate (in UTF-8, a surrogate code point)
    NotUtf8,    // bytes that are not well-formed UTF-8
};
TextFault utf8TextFault(std::string_view bytes);
TextFault utf16TextFault(std::u16string_view units);

// Whether bytes are text: well-formed UTF-8 holding no NUL character.
inline bool isUtf8Text(std::string_view bytes) { return utf8TextFault(bytes) == TextFault::None; }

// Bytes, or UTF-16 code units, in an escaped form that shows what they hold:
// a backslash is written "\\", a NUL or another control character "\x00"
// ... "\x1F", "\x7F", a surrogate code point (a lone UTF-16 surrogate, or
// its three-byte form in UTF-8) "\uD800" ... "\uDFFF", and any other byte
// that is not part of well-formed UTF-8 "\xNN". The rest is kept as it is,
// so the result is printable UTF-8, and text that needs no escape is
// unchanged.
std::string escapedUtf8(std::string_view bytes);
std::string escapedUtf16(std::u16string_view units);
