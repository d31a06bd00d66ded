// Builds RIFF WAVE files chunk by chunk, as other programs write them, for the wave reader's
// tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class RiffBuilder {
 public:
  // "RIFF", the size field (by default the true one, filled in by Bytes), "WAVE".
  RiffBuilder() { Text("RIFF").U32(0).Text("WAVE"); }

  RiffBuilder& Text(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  RiffBuilder& U16(uint32_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
  }
  RiffBuilder& U32(uint32_t value) {
    U16(value & 0xFFFF);
    return U16(value >> 16);
  }
  RiffBuilder& Raw(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // A chunk with its true size; `pad` adds the 0 byte RIFF puts after an odd-sized chunk.
  RiffBuilder& Chunk(std::string_view id, const std::vector<uint8_t>& body, bool pad = true) {
    Text(id).U32(static_cast<uint32_t>(body.size())).Raw(body);
    if (pad && body.size() % 2 == 1) bytes_.push_back(0);
    return *this;
  }
  // A plain PCM format chunk.
  RiffBuilder& Format(int channels, int rate, int bits) {
    const uint32_t align = static_cast<uint32_t>(channels * bits / 8);
    Text("fmt ").U32(16).U16(1).U16(static_cast<uint32_t>(channels));
    U32(static_cast<uint32_t>(rate)).U32(static_cast<uint32_t>(rate) * align);
    return U16(align).U16(static_cast<uint32_t>(bits));
  }

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out = bytes_;
    const uint32_t size = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
      out[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(size >> (8 * i));
    return out;
  }

 private:
  std::vector<uint8_t> bytes_;
};
