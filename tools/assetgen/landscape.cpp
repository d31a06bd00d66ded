// The landscape the dragon flies over: three depths of mountain strips ("3-1" far and hazy blue,
// "2-1" the middle massifs, "1-1" the dark ground in front) and the volcanic ridge "fon2" of every
// fifth level. Each strip repeats seamlessly, since the game lays two copies side by side.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

// How many noise cells of about `pixels` fit across `width` exactly, so noise repeats with it.
int Cells(int width, double pixels) {
  return std::max(1, static_cast<int>(std::lround(width / pixels)));
}

struct RangeStyle {
  uint32_t seed = 1;
  int features = 5;        // peaks across the strip (whole, so the ridge repeats)
  double top = 0;          // highest crest, picture rows
  double bottom = 100;     // deepest valley
  double sharpness = 1.5;  // higher: narrower peaks, wider valleys
  Rgb lit, shadow, rim, haze;
  double hazeTop = 0.0;     // haze mixed in at the crest
  double hazeBottom = 0.5;  // and at the bottom of the picture
  double snow = 0.0;        // depth of the snow caps below the crests
  double texture = 1.0;     // strength of the rock detail
  uint32_t textureSeed = 5;
};

// The crest line: ridged noise that repeats across the width.
std::vector<double> Ridge(int width, const RangeStyle& style) {
  std::vector<double> ridge(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    const double u = x * style.features / static_cast<double>(width);
    double sum = 0, weight = 1, total = 0, frequency = 1;
    for (int octave = 0; octave < 5; ++octave) {
      const double n = Noise(u * frequency, 0.5, style.seed + octave * 7u,
                             style.features * static_cast<int>(frequency));
      const double v = 1 - std::abs(2 * n - 1);
      sum += weight * std::pow(v, style.sharpness);
      total += weight;
      weight *= 0.45;
      frequency *= 2;
    }
    ridge[static_cast<size_t>(x)] = sum / total;
  }
  // Stretch so that the highest crest reaches the top and the deepest valley the bottom.
  const auto [low, high] = std::minmax_element(ridge.begin(), ridge.end());
  const double lowest = *low, span = std::max(1e-6, *high - *low);
  for (double& r : ridge) {
    r = style.bottom - (style.bottom - style.top) * ((r - lowest) / span);
  }
  return ridge;
}

void PaintRange(Image& image, const RangeStyle& style) {
  const int w = image.width();
  const int h = image.height();
  const std::vector<double> ridge = Ridge(w, style);
  const auto crest = [&](int x) { return ridge[static_cast<size_t>(((x % w) + w) % w)]; };
  const int rockCells = Cells(w, 9);
  const double rockScale = rockCells / static_cast<double>(w);
  image.Flush();
  for (int x = 0; x < w; ++x) {
    const double top = crest(x);
    // Faces turned to the right (the crest falling that way) catch the low light.
    const double slope = (crest(x + 5) - crest(x - 5)) / 10.0;
    const double facing = std::tanh(slope * 1.6);
    for (int y = static_cast<int>(std::floor(top)); y < h; ++y) {
      if (y < 0) continue;
      const double depth = y - top;
      const double coverage = Clamp01(depth + 1.0);
      // Rock: gullies running down from the crests, bent by the slope.
      const double gx = x * rockScale + depth * 0.05 * facing;
      const double n1 = Fractal(gx, depth / 26.0, 4, style.textureSeed, rockCells);
      const double n2 = Fractal(gx * 2, depth / 12.0, 3, style.textureSeed + 9, rockCells * 2);
      const double gullies = (n1 - 0.5) * 1.6 + (n2 - 0.5) * 0.7;
      double light = 0.42 + 0.42 * facing + gullies * 0.55 * style.texture;
      light -= SmoothStep(0, h * 0.9, depth) * 0.25;
      light = Clamp01(light);
      Rgb c = Mix(style.shadow, style.lit, light);
      // A thin bright rim along crests that face the light.
      const double rim = (1 - SmoothStep(0.0, 3.5, depth)) * Clamp01(0.3 + facing);
      c = Mix(c, style.rim, rim * 0.85);
      if (style.snow > 0) {
        const int cells = Cells(w, 14);
        const double snowLine =
            style.snow * (0.6 + 0.8 * Fractal(x * cells / static_cast<double>(w), 0.3, 3,
                                              style.seed + 77, cells));
        const double snow = (1 - SmoothStep(snowLine * 0.6, snowLine, depth)) *
                            SmoothStep(0.35, 0.55, n2 + 0.2 * facing) *
                            (1 - SmoothStep(style.top + 12, style.top + 40, top));
        c = Mix(c, Mix(Hex(0x9aa6d8), Hex(0xe8ecff), Clamp01(0.3 + facing)), snow);
      }
      const double haze = style.hazeTop + (style.hazeBottom - style.hazeTop) * SmoothStep(0, h, y);
      c = Mix(c, style.haze, Clamp01(haze));
      PutPixel(image, x, y, c, coverage);
    }
  }
  image.MarkDirty();
}

Image PaintFarRange(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  RangeStyle back;
  back.seed = 301;
  back.features = 7;
  back.top = 0;
  back.bottom = 50;
  back.sharpness = 1.3;
  back.lit = Hex(0x8d93c4);
  back.shadow = Hex(0x4d5488);
  back.rim = Hex(0xd8d4f0);
  back.haze = Hex(0x7e7fae);
  back.hazeTop = 0.25;
  back.hazeBottom = 0.7;
  back.snow = 14;
  back.texture = 0.8;
  PaintRange(image, back);
  RangeStyle front = back;
  front.seed = 317;
  front.features = 11;
  front.top = 30;
  front.bottom = 80;
  front.lit = Hex(0x6e6ea8);
  front.shadow = Hex(0x3a3c6e);
  front.rim = Hex(0xb9b2e0);
  front.haze = Hex(0x5c5c8c);
  front.hazeTop = 0.15;
  front.hazeBottom = 0.55;
  front.snow = 0;
  Image near(entry.Width(), entry.Height());
  PaintRange(near, front);
  image.Draw(near, 0, 0);
  return image;
}

Image PaintMiddleRange(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  RangeStyle style;
  style.seed = 211;
  style.features = 4;
  style.top = 1;
  style.bottom = 150;
  style.sharpness = 2.2;
  style.lit = Hex(0x7a5a78);
  style.shadow = Hex(0x2a2038);
  style.rim = Hex(0xf0a070);
  style.haze = Hex(0x281c30);
  style.hazeTop = 0.0;
  style.hazeBottom = 0.35;
  style.snow = 10;
  style.texture = 1.1;
  style.textureSeed = 23;
  PaintRange(image, style);
  return image;
}

Image PaintVolcanicRange(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  RangeStyle style;
  style.seed = 907;
  style.features = 6;
  style.top = 6;
  style.bottom = 140;
  style.sharpness = 1.6;
  style.lit = Hex(0x6a3a36);
  style.shadow = Hex(0x1e1216);
  style.rim = Hex(0xff8a3a);
  style.haze = Hex(0x2a1418);
  style.hazeTop = 0.0;
  style.hazeBottom = 0.3;
  style.texture = 1.3;
  style.textureSeed = 61;
  PaintRange(image, style);
  // Glowing cracks of lava in the rock.
  const int w = image.width();
  const int h = image.height();
  image.Flush();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double alpha = 0;
      const Rgb base = GetPixel(image, x, y, &alpha);
      if (alpha < 0.99) continue;
      const int cells = Cells(w, 40);
      const double n = Fractal(x * cells / static_cast<double>(w), y / 40.0, 3, 71, cells);
      const double crack = 1 - std::abs(2 * n - 1);
      // Only the sharpest ridges of the noise, and only where the rock is deep, glow.
      const double depthBelowCrest = SmoothStep(25, 90, y);
      const double seams = SmoothStep(
          0.55, 0.7, Fractal(x * cells / static_cast<double>(w) / 2, y / 60.0, 2, 73, cells / 2));
      const double glow = SmoothStep(0.975, 0.995, crack) * depthBelowCrest * seams;
      if (glow <= 0) continue;
      PutPixel(image, x, y, Mix(base, Mix(Hex(0xff5a10), Hex(0xffd060), glow), glow));
    }
  }
  image.MarkDirty();
  return image;
}

// The ground in front: dark earth, stones and grass tufts against the light.
Image PaintNearGround(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const int w = image.width();
  const int h = image.height();
  image.Flush();
  for (int x = 0; x < w; ++x) {
    const int broad = Cells(w, 80), fine = Cells(w, 9), grain = Cells(w, 7);
    const double top =
        9 + 6 * (Fractal(x * broad / static_cast<double>(w), 0.2, 4, 401, broad) - 0.5) * 2 +
        2.5 * (Noise(x * fine / static_cast<double>(w), 3.1, 409, fine) - 0.5);
    for (int y = 0; y < h; ++y) {
      const double depth = y - top;
      if (depth < -1) continue;
      const double n = Fractal(x * grain / static_cast<double>(w), y / 5.0, 3, 419, grain);
      Rgb c = Mix(Hex(0x2a2226), Hex(0x120c10), SmoothStep(0, 18, depth));
      c = Mix(c, Hex(0x3e3030), (n - 0.5) * 0.8 + 0.1);
      c = Mix(c, Hex(0x7a5040), (1 - SmoothStep(0, 2.5, depth)) * 0.7);
      PutPixel(image, x, y, c, Clamp01(depth + 1));
    }
  }
  image.MarkDirty();
  cairo_t* cr = image.cr();
  Random random(433);
  // Grass tufts: bundles of thin curved blades, catching a warm rim of light on their tips.
  for (int tuft = 0; tuft < 70; ++tuft) {
    const double x = random.Uniform(8, w - 8);
    const double base = 12 + random.Uniform(-2, 3);
    const int blades = 4 + random.Below(6);
    for (int b = 0; b < blades; ++b) {
      const double lean = random.Uniform(-0.7, 0.7);
      const double length = random.Uniform(5, 10);
      const double bx = x + random.Uniform(-3, 3);
      cairo_move_to(cr, bx - 0.8, base + 2);
      cairo_curve_to(cr, bx + lean * length * 0.3, base - length * 0.5, bx + lean * length * 0.8,
                     base - length * 0.9, bx + lean * length, base - length);
      cairo_line_to(cr, bx + 0.8, base + 2);
      cairo_close_path(cr);
      SetColor(cr, Mix(Hex(0x1a1812), Hex(0x2c2a1a), random.Uniform()));
      cairo_fill(cr);
    }
  }
  // Stones half sunk in the ground.
  for (int stone = 0; stone < 16; ++stone) {
    const double x = random.Uniform(10, w - 10);
    const double rx = random.Uniform(4, 9);
    const double ry = rx * random.Uniform(0.5, 0.8);
    const double y = 13 + random.Uniform(0, 6);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(x - rx, y - ry, x + rx, y);
    AddStop(g, 0, Hex(0x2a2428));
    AddStop(g, 0.7, Hex(0x4a3c3a));
    AddStop(g, 1, Hex(0x8a6048));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  return image;
}

}  // namespace

void AddLandscapePainters(PainterTable& table) {
  table["3-1"] = PaintFarRange;
  table["2-1"] = PaintMiddleRange;
  table["1-1"] = PaintNearGround;
  table["fon2"] = PaintVolcanicRange;
}

}  // namespace assets
