#include "engine/pictures/dib_writer.h"

#include "engine/base/exception.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

std::vector<uint8_t> EncodeDib(const TPicture& picture, int bitCount) {
  if (bitCount != 24 && bitCount != 32) throw Exception("DIB bit count must be 24 or 32");
  if (picture.Empty()) throw Exception("An empty picture has no DIB");
  const size_t bytesPerPixel = static_cast<size_t>(bitCount) / 8;
  const size_t stride = (static_cast<size_t>(picture.Width) * bytesPerPixel + 3) & ~size_t{3};
  const size_t imageSize = stride * static_cast<size_t>(picture.Height);
  std::vector<uint8_t> out;
  out.reserve(40 + imageSize);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(picture.Width));
  Put32(out, static_cast<uint32_t>(picture.Height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bitCount));
  Put32(out, 0);  // uncompressed
  Put32(out, static_cast<uint32_t>(imageSize));
  Put32(out, 3780);  // 96 pixels per inch
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = picture.Height - 1; y >= 0; --y) {
    const uint32_t* row = picture.Row(y);
    for (int x = 0; x < picture.Width; ++x) {
      out.push_back(static_cast<uint8_t>(row[x]));
      out.push_back(static_cast<uint8_t>(row[x] >> 8));
      out.push_back(static_cast<uint8_t>(row[x] >> 16));
      if (bitCount == 32) out.push_back(0);
    }
    out.resize(out.size() + (stride - static_cast<size_t>(picture.Width) * bytesPerPixel), 0);
  }
  return out;
}

std::vector<uint8_t> EncodeBitmapFile(const TPicture& picture, int bitCount) {
  const std::vector<uint8_t> dib = EncodeDib(picture, bitCount);
  std::vector<uint8_t> out = {'B', 'M'};
  Put32(out, static_cast<uint32_t>(14 + dib.size()));
  Put32(out, 0);
  Put32(out, 14 + 40);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}
