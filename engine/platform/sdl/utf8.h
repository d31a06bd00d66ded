// UTF-8, the desktop's text encoding, to and from the game's characters (Latin-1 code points).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sdl {

// The code points of UTF-8 text. A malformed sequence (a stray byte, an overlong form, a
// surrogate, a value past U+10FFFF, a cut-off end) is dropped, never guessed at.
std::vector<uint32_t> DecodeUtf8(std::string_view text);

// Text for the desktop: kept when it is already UTF-8, else read as Latin-1 (the game's own
// strings, such as a typed name) and encoded.
std::string ToDesktopText(std::string_view text);

}  // namespace platform::sdl
