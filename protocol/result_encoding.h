// The letters a result travels in: every payload byte as eight bits, every five bits as one of 32
// characters that need no escaping in a URL and cannot be mistaken for one another.
#pragma once

#include <string>
#include <string_view>

// Value 0 to 31 in this order: A to Y without I and O, then the digits 1 to 9.
constexpr std::string_view ResultAlphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";

// Each byte as eight characters "0" or "1", the most significant bit first.
std::string ByteToBits(std::string_view text);
// Groups of five bits from the left, each read most significant bit first, as letters of
// ResultAlphabet; "0" characters are put in front first when the length is not a multiple of 5.
// Throws std::invalid_argument for a character other than "0" and "1".
std::string BitsToLetters(std::string_view bits);
// BitsToLetters(ByteToBits(text)).
std::string EncodeResult(std::string_view text);
