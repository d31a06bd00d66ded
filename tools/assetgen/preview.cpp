#include "tools/assetgen/preview.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "tools/assetgen/paint.h"

namespace assets {

Image Unkey(const KeyedPicture& picture) {
  Image image(picture.width, picture.height);
  image.Flush();
  for (int y = 0; y < picture.height; ++y) {
    uint32_t* row = image.Row(y);
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.pixels[static_cast<size_t>(y) * picture.width + x];
      row[x] = p == picture.transparent ? 0u : (0xFF000000u | p);
    }
  }
  image.MarkDirty();
  return image;
}

namespace {

constexpr int kSheetWidth = 1900;
constexpr int kGap = 14;
constexpr int kLabelHeight = 30;
// Very long strips (the scale's 195 patterns) are shown as their first patterns only.
constexpr int kMaxPatternsShown = 24;

void Checker(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  for (int cy = 0; cy * 8 < h; ++cy) {
    for (int cx = 0; cx * 8 < w; ++cx) {
      SetColor(cr, ((cx + cy) % 2) != 0 ? Hex(0x8a8a94) : Hex(0x5a5a66));
      cairo_rectangle(cr, x + cx * 8, y + cy * 8, 8, 8);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

struct Placed {
  const KeyedPicture* picture;
  int position;
  int x, y, w, h;  // the block: patterns with gaps, plus the label
};

int BlockWidth(const KeyedPicture& p, int shown) {
  const int gaps = p.patternWidth < p.width ? 2 : 0;
  return std::max(shown * (p.patternWidth + gaps), 150);
}

}  // namespace

Image ContactSheet(const std::vector<std::vector<KeyedPicture>>& archives,
                   const std::vector<std::string>& titles) {
  // Lay the blocks out in rows (shelf packing in manifest order).
  std::vector<std::vector<Placed>> layout(archives.size());
  std::vector<int> titleY(archives.size());
  int y = kGap;
  for (size_t a = 0; a < archives.size(); ++a) {
    titleY[a] = y;
    y += 44;
    int x = kGap;
    int rowHeight = 0;
    for (size_t i = 0; i < archives[a].size(); ++i) {
      const KeyedPicture& p = archives[a][i];
      const int patterns = p.width / p.patternWidth;
      const int shown = std::min(patterns, kMaxPatternsShown);
      const int w = std::min(BlockWidth(p, shown), kSheetWidth - 2 * kGap);
      const int h = p.patternHeight + kLabelHeight;
      if (x + w > kSheetWidth - kGap) {
        x = kGap;
        y += rowHeight + kGap;
        rowHeight = 0;
      }
      layout[a].push_back({&p, static_cast<int>(i), x, y, w, h});
      x += w + kGap;
      rowHeight = std::max(rowHeight, h);
    }
    y += rowHeight + 2 * kGap;
  }

  Image sheet(kSheetWidth, y);
  cairo_t* cr = sheet.cr();
  SetColor(cr, Hex(0x1c1a22));
  cairo_paint(cr);
  for (size_t a = 0; a < archives.size(); ++a) {
    SetFont(cr, Face::Bold, 30);
    SetColor(cr, Hex(0xf0d8a0));
    cairo_move_to(cr, kGap, titleY[a] + 30);
    ShowText(cr, titles[a]);
    for (const Placed& placed : layout[a]) {
      const KeyedPicture& p = *placed.picture;
      const Image image = Unkey(p);
      const int patterns = p.width / p.patternWidth;
      const int shown = std::min(patterns, kMaxPatternsShown);
      const int step = p.patternWidth + (patterns > 1 ? 2 : 0);
      for (int i = 0; i < shown; ++i) {
        const double px = placed.x + i * step;
        if (px + p.patternWidth > kSheetWidth) break;
        Checker(cr, px, placed.y, p.patternWidth, p.patternHeight);
        cairo_save(cr);
        cairo_rectangle(cr, px, placed.y, p.patternWidth, p.patternHeight);
        cairo_clip(cr);
        cairo_set_source_surface(cr, image.surface(), px - i * p.patternWidth, placed.y);
        cairo_paint(cr);
        cairo_restore(cr);
      }
      std::string label = std::to_string(placed.position) + " " + p.name + "  " +
                          std::to_string(p.patternWidth) + "x" + std::to_string(p.patternHeight);
      if (patterns > 1) label += " x" + std::to_string(patterns);
      SetFont(cr, Face::Regular, 17);
      SetColor(cr, Hex(0xe8e4f0));
      cairo_move_to(cr, placed.x, placed.y + p.patternHeight + 20);
      ShowText(cr, label);
    }
  }
  return sheet;
}

void WritePng(const Image& image, const std::filesystem::path& path) {
  image.Flush();
  if (cairo_surface_write_to_png(image.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace assets
