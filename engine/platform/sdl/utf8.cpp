#include "engine/platform/sdl/utf8.h"

#include <cstddef>

namespace platform::sdl {
namespace {

// Decodes one sequence at `at`; returns its length, or 0 when it is malformed.
size_t DecodeOne(std::string_view text, size_t at, uint32_t& codePoint) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  size_t length = 0;
  uint32_t value = 0;
  uint32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1Fu;
    smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0Fu;
    smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07u;
    smallest = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const uint8_t next = byte(at + i);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

}  // namespace

std::vector<uint32_t> DecodeUtf8(std::string_view text) {
  std::vector<uint32_t> codePoints;
  size_t at = 0;
  while (at < text.size()) {
    uint32_t codePoint = 0;
    const size_t length = DecodeOne(text, at, codePoint);
    if (length == 0) {
      ++at;  // drop the stray byte and resynchronise on the next
      continue;
    }
    codePoints.push_back(codePoint);
    at += length;
  }
  return codePoints;
}

std::string ToDesktopText(std::string_view text) {
  size_t at = 0;
  bool valid = true;
  while (valid && at < text.size()) {
    uint32_t codePoint = 0;
    const size_t length = DecodeOne(text, at, codePoint);
    valid = length != 0;
    at += length;
  }
  if (valid) return std::string(text);
  std::string encoded;
  encoded.reserve(text.size() * 2);
  for (const char c : text) {
    const auto latin1 = static_cast<uint8_t>(c);
    if (latin1 < 0x80) {
      encoded.push_back(c);
    } else {
      encoded.push_back(static_cast<char>(0xC0 | (latin1 >> 6)));
      encoded.push_back(static_cast<char>(0x80 | (latin1 & 0x3F)));
    }
  }
  return encoded;
}

}  // namespace platform::sdl
