// The high-score server's side of the result encoding, for tests: letters back into bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "protocol/result_encoding.h"

// Reads letters of ResultAlphabet as five bits each, drops the zero bits put in front to fill the
// first group, and returns the bytes. Throws std::invalid_argument for a letter outside it.
inline std::string DecodeResult(std::string_view letters) {
  std::string bits;
  for (const char letter : letters) {
    const size_t value = ResultAlphabet.find(letter);
    if (value == std::string_view::npos) throw std::invalid_argument("not a result letter");
    for (int bit = 4; bit >= 0; --bit) bits += (value >> bit) & 1 ? '1' : '0';
  }
  bits.erase(0, bits.size() % 8);
  std::string bytes;
  for (size_t i = 0; i < bits.size(); i += 8) {
    unsigned value = 0;
    for (size_t j = 0; j < 8; ++j) value = value * 2 + (bits[i + j] == '1' ? 1 : 0);
    bytes += static_cast<char>(value);
  }
  return bytes;
}
