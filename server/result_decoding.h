// Reading the letters of a submitted result back into the payload bytes the game encoded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The most letters a result may have: 160 payload bytes, where the longest honest one (a name and a
// country of 10 characters, a score of 5 digits and this server's token) has 115, 184 letters.
constexpr size_t MaxResultLetters = 256;

// The bytes of `letters`, or nothing when they cannot be what the game sends: empty, longer than
// MaxResultLetters, a letter outside ResultAlphabet, or a count that is not a whole number of
// five-byte groups (eight letters each, since every padded payload is a multiple of five bytes).
std::optional<std::string> DecodeResultLetters(std::string_view letters);
