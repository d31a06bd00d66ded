// The painting toolbox shared by every picture: colours, noise, blur, glows, and lettering in the
// game's text face through cairo and FreeType.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string_view>

#include "tools/assetgen/image.h"

namespace assets {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb c, double factor);
void SetColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void AddStop(cairo_pattern_t* pattern, double offset, Rgb c, double alpha = 1.0);

// A small deterministic generator, so that every build paints the same pictures.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  uint32_t Next();
  double Uniform(double low = 0.0, double high = 1.0);
  int Below(int n);

 private:
  uint32_t state_;
};

// Smooth value noise in 0..1. A positive `period` makes it repeat every `period` units along x,
// for strips whose two ends must meet.
double Noise(double x, double y, uint32_t seed, int period = 0);
// Octaves of Noise, each at twice the frequency and half the weight; the period (at the base
// frequency) doubles with the frequency so the sum still repeats. Result in 0..1.
double Fractal(double x, double y, int octaves, uint32_t seed, int period = 0);

// Blurs every channel (premultiplied) with three box passes of about `radius` pixels.
void Blur(Image& image, double radius);
// Keeps each pixel's coverage but repaints it in one colour.
void Tint(Image& image, Rgb color);
// Paints `shape`'s blurred coverage in `color` under the shape, for halos and soft shadows.
void AddGlow(Image& target, const Image& shape, Rgb color, double radius, double strength,
             double dx = 0, double dy = 0);

// The game's text face (Oldania ADF) at a size in pixels. The text functions below set figures
// in a companion face, since Oldania's slashed zero reads as a letter.
enum class Face { Regular, Bold };
void SetFont(cairo_t* cr, Face face, double pixels);
// Points at 96 pixels per inch, as the game sizes its texts.
constexpr double PointsToPixels(double points) {
  return points * 96.0 / 72.0;
}
double TextWidth(cairo_t* cr, std::string_view text);
// Adds the text's outline to the path with its baseline starting at (x, y).
void TextPath(cairo_t* cr, double x, double baseline, std::string_view text);
// Draws the text in the current source from the current point (as cairo_show_text does).
void ShowText(cairo_t* cr, std::string_view text);

// Lettering with a dark outline and a drop shadow, filled with `fill` (a colour or a gradient),
// its baseline starting at (x, baseline).
struct Lettering {
  Face face = Face::Bold;
  double pixels = 24;
  Rgb outline = Hex(0x1a0c06);
  double outlineWidth = 2.0;
  double shadow = 2.0;  // offset of the shadow down and right; 0 for none
};
void DrawLettering(cairo_t* cr, const Lettering& style, double x, double baseline,
                   std::string_view text, cairo_pattern_t* fill);
void DrawLettering(cairo_t* cr, const Lettering& style, double x, double baseline,
                   std::string_view text, Rgb fill);
// A vertical gradient from top to bottom colour over the text's height around `baseline`.
cairo_pattern_t* LetterGradient(double baseline, double pixels, Rgb top, Rgb bottom);

// A rounded rectangle path.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

}  // namespace assets

namespace assets {

// Writes one pixel directly (call Flush before and MarkDirty after a run of these).
void PutPixel(Image& image, int x, int y, Rgb c, double alpha = 1.0);
// Reads one pixel as a colour (unpremultiplied) and its coverage.
Rgb GetPixel(const Image& image, int x, int y, double* alpha = nullptr);
double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double x);

}  // namespace assets
