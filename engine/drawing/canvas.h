// The text-and-shape drawing context of a surface: font, brush and pen as the frame loops set them,
// TextOut, TextWidth and Rectangle.
#pragma once

#include <string>
#include <string_view>

#include "engine/base/colors.h"
#include "engine/platform/platform.h"

enum class TBrushStyle : uint8_t { bsSolid, bsClear };
enum class TPenStyle : uint8_t { psSolid, psClear };

struct TFont {
  std::string Name = "Carolingia";
  int Size = 8;
  TColor Color = clBlack;
  uint8_t Style = 0;  // platform::FontStyle bits
};

struct TBrush {
  TBrushStyle Style = TBrushStyle::bsSolid;
  TColor Color = clWhite;
};

struct TPen {
  TPenStyle Style = TPenStyle::psSolid;
  int Width = 1;
  TColor Color = clBlack;
};

class TCanvas {
 public:
  TCanvas(platform::PixelView target, platform::TextRasterizer& text);
  // The picture's memory moved (its surface was laid on other memory); the settings stay.
  void Retarget(platform::PixelView target) { target_ = target; }

  TFont Font;
  TBrush Brush;
  TPen Pen;

  // Text with its top-left corner at (x, y); with a solid brush the text's box is filled first.
  void TextOut(int x, int y, std::string_view text);
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);
  // An outline with the pen (centred on the edges, Right and Bottom exclusive) around an
  // interior filled with a solid brush.
  void Rectangle(int left, int top, int right, int bottom);
  // Gives the drawing context back; the next use takes it again.
  void Release() { taken_ = false; }
  bool Taken() const { return taken_; }

 private:
  platform::FontSpec Spec() const;
  void FillRect(int left, int top, int right, int bottom, uint32_t pixel);

  platform::PixelView target_;
  platform::TextRasterizer& text_;
  bool taken_ = false;
};
