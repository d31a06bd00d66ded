// Hand-assembled device-independent bitmaps of every kind the picture reader accepts, so that
// tests (and the fuzzing seeds) check decoding against bytes laid out independently of the
// game's own writer.
#pragma once

#include <cstdint>
#include <vector>

namespace dib_builder {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(Bytes& out, uint32_t v) {
  for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(v >> s));
}

struct Info {
  int32_t width = 1;
  int32_t height = 1;  // negative: rows top to bottom
  uint16_t bitCount = 24;
  uint32_t compression = 0;       // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  std::vector<uint32_t> palette;  // 0x00RRGGBB; its size is the header's colour count
  std::vector<uint32_t> masks;    // written after the header (bit fields)
  Bytes pixels;                   // rows (or the run-length stream) as stored
  uint32_t headerSize = 40;
  uint16_t planes = 1;

  // Chained setters: Info().Width(2).Height(1).BitCount(8)...
  Info& Width(int32_t v) { return width = v, *this; }
  Info& Height(int32_t v) { return height = v, *this; }
  Info& BitCount(uint16_t v) { return bitCount = v, *this; }
  Info& Compression(uint32_t v) { return compression = v, *this; }
  Info& Palette(std::vector<uint32_t> v) { return palette = std::move(v), *this; }
  Info& Masks(std::vector<uint32_t> v) { return masks = std::move(v), *this; }
  Info& Pixels(Bytes v) { return pixels = std::move(v), *this; }
};

// A packed DIB with a 40-byte header.
inline Bytes InfoDib(const Info& info) {
  Bytes out;
  Put32(out, info.headerSize);
  Put32(out, static_cast<uint32_t>(info.width));
  Put32(out, static_cast<uint32_t>(info.height));
  Put16(out, info.planes);
  Put16(out, info.bitCount);
  Put32(out, info.compression);
  Put32(out, static_cast<uint32_t>(info.pixels.size()));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(info.palette.size()));
  Put32(out, 0);
  out.resize(info.headerSize, 0);
  for (uint32_t m : info.masks) Put32(out, m);
  for (uint32_t c : info.palette) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(0);
  }
  out.insert(out.end(), info.pixels.begin(), info.pixels.end());
  return out;
}

// A packed DIB with the 12-byte core header; the palette is padded to 2^bitCount triples.
inline Bytes CoreDib(uint16_t width, uint16_t height, uint16_t bitCount,
                     std::vector<uint32_t> palette, const Bytes& pixels) {
  Bytes out;
  Put32(out, 12);
  Put16(out, width);
  Put16(out, height);
  Put16(out, 1);
  Put16(out, bitCount);
  if (bitCount <= 8) palette.resize(size_t{1} << bitCount, 0);
  for (uint32_t c : palette) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c >> 16));
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// A bitmap file around a packed DIB whose pixels start `gap` bytes after its colour table.
inline Bytes BitmapFile(const Info& info, uint32_t gap = 0) {
  Info withoutPixels = info;
  withoutPixels.pixels.clear();
  Bytes dib = InfoDib(withoutPixels);
  dib.resize(dib.size() + gap, 0xEE);
  const uint32_t offset = 14 + static_cast<uint32_t>(dib.size());
  dib.insert(dib.end(), info.pixels.begin(), info.pixels.end());
  Bytes out = {'B', 'M'};
  Put32(out, 14 + static_cast<uint32_t>(dib.size()));
  Put32(out, 0);
  Put32(out, offset);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

}  // namespace dib_builder
