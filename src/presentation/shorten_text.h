// Display shortening of long Shift-JIS texts (the music caption).
#pragma once

#include <string>
#include <string_view>

namespace presentation {

inline constexpr std::size_t kShortenLimit = 32;  // longest text shown whole, in characters
inline constexpr std::size_t kShortenHead = 10;   // characters kept before the "..."
inline constexpr std::size_t kShortenTail = 20;   // characters kept after it

// A text of more than 32 characters becomes its first 10 characters, "..." and its last
// 20 (33 characters); shorter texts come back unchanged. A character is one byte or a lead
// byte with the byte after it; a lead byte that ends the text counts as one character, so
// no two-byte character is ever cut in half.
std::string ShortenText(std::string_view ansi);

}  // namespace presentation
