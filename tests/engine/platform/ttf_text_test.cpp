// The game's text face as SDL2_ttf draws it: figures read as figures (a zero with an open
// counter, not the slashed zero of the calligraphic face that reads as "Ø"), stand on the text's
// baseline and advance the pen by the width TextWidth reports.
#include "engine/platform/ttf/ttf_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// A black picture that text is drawn on in white.
struct Sheet {
  static constexpr int Width = 600;
  static constexpr int Height = 150;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(Width * Height, 0);

  platform::PixelView View() { return {pixels.data(), Width, Height, Width}; }
  bool Ink(int x, int y) const { return (pixels[y * Width + x] & 0xFF) > 64; }

  // The box around the ink in columns [left, right): left, top, right, bottom (exclusive).
  struct Box {
    int left = Width, top = Height, right = 0, bottom = 0;
  };
  Box InkBox(int left = 0, int right = Width) const {
    Box box;
    for (int y = 0; y < Height; ++y) {
      for (int x = left; x < right; ++x) {
        if (!Ink(x, y)) continue;
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x + 1);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
    return box;
  }
};

class TtfText : public ::testing::Test {
 protected:
  std::unique_ptr<platform::TextRasterizer> text =
      platform::CreateTtfTextRasterizer(SKARVEL_FONT_DIR);
};

TEST_F(TtfText, ZeroHasAnOpenCounterAndNoSlash) {
  // The heads-up display's size, the score table's and a large one; plain and bold.
  for (const int size : {16, 18, 48}) {
    for (const uint8_t style : {uint8_t{0}, uint8_t{platform::fsBold}}) {
      SCOPED_TRACE("size " + std::to_string(size) + " style " + std::to_string(style));
      Sheet sheet;
      text->DrawText({"Carolingia", size, style}, 0xFFFFFF, "0", sheet.View(), 10, 10);
      const Sheet::Box zero = sheet.InkBox();
      ASSERT_GT(zero.right - zero.left, 4);
      ASSERT_GT(zero.bottom - zero.top, 8);
      // The middle of the counter, a quarter of the zero's width and height around its centre.
      const int cx = (zero.left + zero.right) / 2;
      const int cy = (zero.top + zero.bottom) / 2;
      const int rx = std::max(1, (zero.right - zero.left) / 8);
      const int ry = std::max(1, (zero.bottom - zero.top) / 8);
      for (int y = cy - ry; y <= cy + ry; ++y) {
        for (int x = cx - rx; x <= cx + rx; ++x) {
          EXPECT_FALSE(sheet.Ink(x, y)) << "ink inside the zero at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(TtfText, FiguresStandOnTheBaselineAndAdvanceAsMeasured) {
  const platform::FontSpec font{"Carolingia", 48, 0};
  Sheet sheet;
  const int x = 10;
  const int letters = text->TextWidth(font, "Hx");
  text->DrawText(font, 0xFFFFFF, "Hx100 ", sheet.View(), x, 10);
  const Sheet::Box word = sheet.InkBox(x, x + letters);
  const Sheet::Box figures = sheet.InkBox(x + letters, Sheet::Width);
  EXPECT_NEAR(figures.bottom, word.bottom, 2) << "figures on the baseline";
  // As tall as the face's capitals, give or take its own figures' shorter stems.
  EXPECT_GT(figures.bottom - figures.top, (word.bottom - word.top) * 8 / 10);
  EXPECT_LT(figures.bottom - figures.top, (word.bottom - word.top) * 11 / 10);
  // The figures follow the letters without a gap or overlap, and end where TextWidth says.
  EXPECT_LT(figures.left - (x + letters), 10);
  EXPECT_LE(figures.right, x + text->TextWidth(font, "Hx100"));
  EXPECT_GT(text->TextWidth(font, "Hx100 "), text->TextWidth(font, "Hx100"));
  EXPECT_EQ(text->TextWidth(font, ""), 0);
}

// Runs once drawn are kept and drawn again from what was kept: a text drawn again, by a rasterizer
// that has drawn many others meanwhile, blends exactly as one drawn for the first time, also where
// the surface cuts it off.
TEST_F(TtfText, TextDrawnAgainBlendsAsTheFirstTime) {
  const platform::FontSpec font{"Carolingia", 22, 0};
  const auto draw = [&](platform::TextRasterizer& rasterizer, int x, int y) {
    Sheet sheet;
    std::fill(sheet.pixels.begin(), sheet.pixels.end(), 0x204060);
    rasterizer.DrawText(font, 0xFF0000, "SCORE 01234", sheet.View(), x, y);
    rasterizer.DrawText(font, 0x00FF00, "00:59", sheet.View(), Sheet::Width - 30, 120);
    return sheet.pixels;
  };
  const std::vector<uint32_t> first = draw(*text, -7, -4);
  EXPECT_NE(std::count(first.begin(), first.end(), 0x204060u), Sheet::Width * Sheet::Height);
  Sheet scratch;
  for (int i = 0; i < 300; ++i) {
    text->DrawText(font, 0xFFFFFF, "x" + std::to_string(i), scratch.View(), 0, 0);
  }
  EXPECT_EQ(draw(*text, -7, -4), first);
  EXPECT_EQ(draw(*text, -7, -4), first);
  const std::unique_ptr<platform::TextRasterizer> fresh =
      platform::CreateTtfTextRasterizer(SKARVEL_FONT_DIR);
  EXPECT_EQ(draw(*fresh, -7, -4), first);
  // Elsewhere, the same ink moved.
  const std::vector<uint32_t> moved = draw(*text, 13, 20);
  EXPECT_EQ(moved[(20 + 10) * Sheet::Width + 13 + 20], first[(-4 + 10) * Sheet::Width - 7 + 20]);
}

}  // namespace
