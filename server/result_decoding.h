// Reading the letters of a submitted result back into the payload bytes the game encoded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The most letters a result may have: a payload of 64 bytes (twice what the longest honest one
// needs) gives 103 letters, rounded up to whole groups of eight.
constexpr size_t MaxResultLetters = 160;

// The bytes of `letters`, or nothing when they cannot be what the game sends: empty, longer than
// MaxResultLetters, a letter outside ResultAlphabet, or a count that is not a whole number of
// five-byte groups (eight letters each, since every padded payload is a multiple of five bytes).
std::optional<std::string> DecodeResultLetters(std::string_view letters);
