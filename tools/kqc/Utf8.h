// UTF-8 helpers of the compiler: decoding, the identifier character classes
// and case folding. Kestlang names compare case-insensitively, also beyond
// ASCII (`Menü` and `MENÜ` are one name), so every name is folded to one key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kqc::utf8 {

// Decodes the code point at text[at]. Returns its length in bytes (1 to 4)
// and stores it in *cp, or returns 0 for an invalid or truncated sequence
// (overlong forms and surrogates count as invalid).
size_t decode(std::string_view text, size_t at, char32_t *cp);

void append(std::string &out, char32_t cp);

// Letters of identifiers: ASCII letters, '_', and code points from U+00C0 on
// except symbol and punctuation blocks. Digits may follow the first character.
bool isIdentifierStart(char32_t cp);
bool isIdentifierPart(char32_t cp);

// Simple case folding to lower case: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic capitals. Other code points stay as they are.
char32_t foldCase(char32_t cp);

// The folded form of a (valid UTF-8) name: the key under which scopes and
// tables keep it.
std::string fold(std::string_view name);

// Number of code points in text; invalid bytes count one each.
size_t length(std::string_view text);

} // namespace kqc::utf8
