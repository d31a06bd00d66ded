// Encoding a result payload into letters of the result alphabet.
#include "protocol/result_encoding.h"

#include <array>
#include <stdexcept>

namespace {

// The eight bit characters of every byte value, made once.
const std::array<std::array<char, 8>, 256>& BitTable() {
  static const auto table = [] {
    std::array<std::array<char, 8>, 256> bits{};
    for (size_t value = 0; value < bits.size(); ++value) {
      for (size_t bit = 0; bit < 8; ++bit) bits[value][bit] = (value >> (7 - bit)) & 1 ? '1' : '0';
    }
    return bits;
  }();
  return table;
}

}  // namespace

std::string ByteToBits(std::string_view text) {
  const auto& table = BitTable();
  std::string bits;
  bits.reserve(text.size() * 8);
  for (const char c : text) {
    const auto& entry = table[static_cast<unsigned char>(c)];
    bits.append(entry.data(), entry.size());
  }
  return bits;
}

std::string BitsToLetters(std::string_view bits) {
  std::string letters;
  letters.reserve((bits.size() + 4) / 5);
  // The leading "0" characters that make the length a multiple of 5 only shift the first group.
  size_t value = 0;
  size_t count = (5 - bits.size() % 5) % 5;
  for (const char bit : bits) {
    if (bit != '0' && bit != '1') throw std::invalid_argument("not a bit string");
    value = value * 2 + (bit == '1' ? 1 : 0);
    if (++count == 5) {
      letters += ResultAlphabet[value];
      value = 0;
      count = 0;
    }
  }
  return letters;
}

std::string EncodeResult(std::string_view text) {
  return BitsToLetters(ByteToBits(text));
}
