#include "engine/base/name_index.h"

std::string FoldNameCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    const auto u = static_cast<uint8_t>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) {
      c = static_cast<char>(u + 0x20);
    }
  }
  return folded;
}

uint8_t NameBucket(std::string_view name) {
  const std::string folded = FoldNameCase(name);
  const size_t n = folded.size();
  size_t bucket = 16 * n;
  if (n >= 2) {
    bucket += static_cast<uint8_t>(folded[0]) + static_cast<uint8_t>(folded[n - 2]);
  }
  return static_cast<uint8_t>(bucket % 256);
}
