#include "engine/drawing/canvas.h"

#include <algorithm>
#include <cstddef>

TCanvas::TCanvas(platform::PixelView target, platform::TextRasterizer& text)
    : target_(target), text_(text) {}

platform::FontSpec TCanvas::Spec() const {
  return {Font.Name, Font.Size, Font.Style};
}

void TCanvas::FillRect(int left, int top, int right, int bottom, uint32_t pixel) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, target_.width);
  bottom = std::min(bottom, target_.height);
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = target_.pixels + static_cast<ptrdiff_t>(y) * target_.pitch;
    std::fill(row + left, row + std::max(left, right), pixel);
  }
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  taken_ = true;
  const platform::FontSpec face = Spec();
  if (Brush.Style == TBrushStyle::bsSolid) {
    FillRect(x, y, x + text_.TextWidth(face, text), y + text_.TextHeight(face),
             ColorToPixel(Brush.Color));
  }
  text_.DrawText(face, ColorToPixel(Font.Color), text, target_, x, y);
}

int TCanvas::TextWidth(std::string_view text) {
  taken_ = true;
  return text_.TextWidth(Spec(), text);
}

int TCanvas::TextHeight(std::string_view) {
  taken_ = true;
  return text_.TextHeight(Spec());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  taken_ = true;
  if (Brush.Style == TBrushStyle::bsSolid) {
    FillRect(left + 1, top + 1, right - 1, bottom - 1, ColorToPixel(Brush.Color));
  }
  if (Pen.Style == TPenStyle::psClear || Pen.Width < 1 || right <= left || bottom <= top) return;
  // Each edge is a line Pen.Width thick centred on the outermost pixel row or column.
  const int before = Pen.Width / 2;
  const int after = Pen.Width - before;
  const uint32_t pixel = ColorToPixel(Pen.Color);
  const int l = left, t = top, r = right - 1, b = bottom - 1;
  FillRect(l - before, t - before, r + after, t + after, pixel);  // top
  FillRect(l - before, b - before, r + after, b + after, pixel);  // bottom
  FillRect(l - before, t - before, l + after, b + after, pixel);  // left
  FillRect(r - before, t - before, r + after, b + after, pixel);  // right
}
