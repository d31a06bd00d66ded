#include "tools/assetgen/icon.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/assetgen/dragon.h"
#include "tools/assetgen/paint.h"
#include "tools/assetgen/preview.h"

namespace assets {
namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

Image PaintIcon(int size) {
  Image image(size, size);
  cairo_t* cr = image.cr();
  const double s = size;
  // The tile: the game's sky at dusk, indigo above and ember below, with a dark rim so that it
  // stands out on light and dark panels alike.
  const double inset = s * 0.04;
  RoundedRect(cr, inset, inset, s - 2 * inset, s - 2 * inset, s * 0.18);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, inset, 0, s - inset);
  AddStop(sky, 0, Hex(0x1c2250));
  AddStop(sky, 0.55, Hex(0x6a3a6a));
  AddStop(sky, 1, Hex(0xe8782a));
  cairo_set_source(cr, sky);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sky);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  // A low sun behind the dragon.
  cairo_pattern_t* sun =
      cairo_pattern_create_radial(s * 0.5, s * 0.78, 0, s * 0.5, s * 0.78, s * 0.5);
  AddStop(sun, 0, Hex(0xffd27a), 0.9);
  AddStop(sun, 1, Hex(0xffd27a), 0);
  cairo_set_source(cr, sun);
  cairo_paint(cr);
  cairo_pattern_destroy(sun);
  cairo_restore(cr);
  cairo_set_line_width(cr, std::max(1.0, s / 48));
  SetColor(cr, Hex(0x140a06));
  cairo_stroke(cr);

  // The dragon with its wings up fills the tile, a little off its edges.
  const double scale = s * 0.9 / DragonWidth;
  cairo_save(cr);
  cairo_translate(cr, (s - DragonWidth * scale) / 2, (s - DragonHeight * scale) / 2);
  cairo_scale(cr, scale, scale);
  PaintDragon(cr, 0);
  cairo_restore(cr);
  return image;
}

std::vector<uint8_t> EncodeIconBitmap(const Image& image) {
  constexpr uint32_t FileHeaderSize = 14;
  constexpr uint32_t InfoHeaderSize = 108;  // BITMAPV4HEADER: masks, with alpha
  constexpr uint32_t BitFields = 3;
  constexpr uint32_t SrgbColorSpace = 0x73524742;  // "sRGB"
  const auto width = static_cast<uint32_t>(image.width());
  const auto height = static_cast<uint32_t>(image.height());
  const uint32_t pixelBytes = width * height * 4;
  std::vector<uint8_t> out;
  out.reserve(FileHeaderSize + InfoHeaderSize + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, FileHeaderSize + InfoHeaderSize + pixelBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, FileHeaderSize + InfoHeaderSize, 4);
  PutLe(out, InfoHeaderSize, 4);
  PutLe(out, width, 4);
  PutLe(out, height, 4);  // positive: the bottom row comes first
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, BitFields, 4);
  PutLe(out, pixelBytes, 4);
  PutLe(out, 2835, 4);  // 72 dpi
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0x00FF0000, 4);
  PutLe(out, 0x0000FF00, 4);
  PutLe(out, 0x000000FF, 4);
  PutLe(out, 0xFF000000, 4);
  PutLe(out, SrgbColorSpace, 4);
  out.resize(out.size() + 36 + 12, 0);  // end points and gamma, unused for sRGB
  image.Flush();
  for (int y = image.height() - 1; y >= 0; --y) {
    const uint32_t* row = image.Row(y);
    for (int x = 0; x < image.width(); ++x) {
      // cairo keeps colours multiplied by coverage; a bitmap keeps them plain.
      const uint32_t pixel = row[x];
      const uint32_t alpha = pixel >> 24;
      const auto plain = [&](int shift) -> uint8_t {
        const uint32_t c = (pixel >> shift) & 0xFF;
        return alpha == 0
                   ? 0
                   : static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + alpha / 2) / alpha));
      };
      out.push_back(plain(0));
      out.push_back(plain(8));
      out.push_back(plain(16));
      out.push_back(static_cast<uint8_t>(alpha));
    }
  }
  return out;
}

void WriteIconTheme(const std::filesystem::path& hicolorDir, std::string_view iconName) {
  for (int size : IconSizes) {
    const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = hicolorDir / dimensions / "apps";
    std::filesystem::create_directories(folder);
    WritePng(PaintIcon(size), folder / (std::string(iconName) + ".png"));
  }
}

void WriteWindowIcon(const std::filesystem::path& file) {
  WriteBytes(file, EncodeIconBitmap(PaintIcon(WindowIconSize)));
}

}  // namespace assets
