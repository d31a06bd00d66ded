// The asset generator's lettering: figures on the pictures (help pages, captions) read as figures
// (a zero with an open counter, not the calligraphic face's slashed zero that reads as "Ø"), and
// the measured width is the width drawn.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tools/assetgen/image.h"
#include "tools/assetgen/paint.h"

namespace {

using assets::Face;
using assets::Image;

bool Ink(const Image& image, int x, int y) {
  return (image.Row(y)[x] >> 24) > 128;
}

// Checks that the zero drawn on `image` has no ink around its centre.
void ExpectOpenZero(const Image& image) {
  image.Flush();
  int left = image.width(), top = image.height(), right = 0, bottom = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!Ink(image, x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  ASSERT_GT(right - left, 10);
  ASSERT_GT(bottom - top, 20);
  const int cx = (left + right) / 2;
  const int cy = (top + bottom) / 2;
  for (int y = cy - (bottom - top) / 8; y <= cy + (bottom - top) / 8; ++y) {
    for (int x = cx - (right - left) / 8; x <= cx + (right - left) / 8; ++x) {
      EXPECT_FALSE(Ink(image, x, y)) << "ink inside the zero at " << x << "," << y;
    }
  }
}

TEST(Lettering, ZeroHasAnOpenCounterAndNoSlash) {
  for (const Face face : {Face::Regular, Face::Bold}) {
    SCOPED_TRACE(face == Face::Bold ? "bold" : "regular");
    {
      SCOPED_TRACE("shown");
      Image image(120, 120);
      cairo_t* cr = image.cr();
      assets::SetFont(cr, face, 72);
      assets::SetColor(cr, assets::Hex(0xffffff));
      cairo_move_to(cr, 20, 90);
      assets::ShowText(cr, "0");
      ExpectOpenZero(image);
    }
    {
      SCOPED_TRACE("lettered");
      Image image(120, 120);
      assets::Lettering style;
      style.face = face;
      style.pixels = 72;
      style.outlineWidth = 0;
      style.shadow = 0;
      assets::DrawLettering(image.cr(), style, 20, 90, "0", assets::Hex(0xffffff));
      ExpectOpenZero(image);
    }
  }
}

TEST(Lettering, TextWidthIsHowFarTheTextAdvances) {
  Image image(400, 60);
  cairo_t* cr = image.cr();
  assets::SetFont(cr, Face::Regular, 30);
  for (const std::string text : {"Fire: 2", "100 points", "10 / 10", "Level"}) {
    SCOPED_TRACE(text);
    cairo_move_to(cr, 10, 40);
    assets::ShowText(cr, text);
    double x = 0, y = 0;
    cairo_get_current_point(cr, &x, &y);
    EXPECT_NEAR(x - 10, assets::TextWidth(cr, text), 0.01);
    EXPECT_NEAR(y, 40, 0.01);
  }
}

}  // namespace
