// Letters of ResultAlphabet, five bits each, back into bytes, eight bits each.
#include "server/result_decoding.h"

#include <array>
#include <cstdint>

#include "protocol/result_encoding.h"

namespace {

constexpr uint8_t NotALetter = 0xFF;
constexpr size_t LettersPerGroup = 8;  // Five bytes are forty bits are eight letters.

const std::array<uint8_t, 256>& LetterValues() {
  static const auto table = [] {
    std::array<uint8_t, 256> values{};
    values.fill(NotALetter);
    for (size_t value = 0; value < ResultAlphabet.size(); ++value) {
      values[static_cast<unsigned char>(ResultAlphabet[value])] = static_cast<uint8_t>(value);
    }
    return values;
  }();
  return table;
}

}  // namespace

std::optional<std::string> DecodeResultLetters(std::string_view letters) {
  if (letters.empty() || letters.size() > MaxResultLetters) return std::nullopt;
  if (letters.size() % LettersPerGroup != 0) return std::nullopt;
  const auto& values = LetterValues();
  std::string bytes;
  bytes.reserve(letters.size() * 5 / 8);
  uint32_t pending = 0;  // Bits read but not yet a whole byte, at most 12 of them.
  int pendingCount = 0;
  for (const char letter : letters) {
    const uint8_t value = values[static_cast<unsigned char>(letter)];
    if (value == NotALetter) return std::nullopt;
    pending = (pending << 5) | value;
    pendingCount += 5;
    if (pendingCount >= 8) {
      pendingCount -= 8;
      bytes += static_cast<char>((pending >> pendingCount) & 0xFF);
      pending &= (1u << pendingCount) - 1;
    }
  }
  return bytes;
}
