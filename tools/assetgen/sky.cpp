// The two skies behind the game field: "dayback", a sunset with lit clouds, and "nightback", a
// moonlit night with stars and the red breath of the volcanoes on the horizon. Both start at the
// screen's y 68, so the horizon the mountains stand on lies near the bottom of the picture.
#include <cmath>
#include <vector>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

struct SkyStop {
  double at;
  Rgb color;
};

Rgb Gradient(const std::vector<SkyStop>& stops, double t) {
  if (t <= stops.front().at) return stops.front().color;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      const double u = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
      return Mix(stops[i - 1].color, stops[i].color, SmoothStep(0, 1, u));
    }
  }
  return stops.back().color;
}

// Cloud cover in 0..1: long streaks, thicker towards the middle height of the sky.
double CloudDensity(double x, double y, uint32_t seed, double cover) {
  const double n = Fractal(x / 260.0, y / 46.0, 5, seed);
  const double band = std::exp(-std::pow((y - 300.0) / 170.0, 2));
  return SmoothStep(0.55 - cover * band, 0.75 - cover * band, n);
}

void PaintStars(Image& image, uint32_t seed, int count, double fadeFrom, double fadeTo,
                double brightness) {
  Random random(seed);
  cairo_t* cr = image.cr();
  for (int i = 0; i < count; ++i) {
    const double x = random.Uniform(0, image.width());
    const double y = random.Uniform(0, fadeTo);
    const double fade = 1.0 - SmoothStep(fadeFrom, fadeTo, y);
    const double size = std::pow(random.Uniform(), 6.0);
    const double alpha = brightness * fade * (0.25 + 0.75 * random.Uniform()) * (0.4 + size);
    const Rgb tint = Mix(Hex(0xcfe0ff), Hex(0xfff0d0), random.Uniform());
    SetColor(cr, tint, Clamp01(alpha));
    cairo_arc(cr, x, y, 0.55 + size * 1.3, 0, 2 * M_PI);
    cairo_fill(cr);
    if (size > 0.45 && fade > 0.5) {
      // A few bright stars twinkle with a small cross.
      cairo_set_line_width(cr, 0.8);
      SetColor(cr, tint, alpha * 0.5);
      cairo_move_to(cr, x - 5, y);
      cairo_line_to(cr, x + 5, y);
      cairo_move_to(cr, x, y - 5);
      cairo_line_to(cr, x, y + 5);
      cairo_stroke(cr);
    }
  }
}

void PaintDisc(Image& image, double cx, double cy, double radius, Rgb color, Rgb glow,
               double glowRadius, double glowStrength) {
  Image disc(image.width(), image.height());
  cairo_t* cr = disc.cr();
  SetColor(cr, color);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_fill(cr);
  // The halo: a radial fade over the sky.
  cairo_t* sky = image.cr();
  cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, radius * 0.8, cx, cy, glowRadius);
  AddStop(halo, 0, glow, glowStrength);
  AddStop(halo, 0.35, glow, glowStrength * 0.35);
  AddStop(halo, 1, glow, 0);
  cairo_set_source(sky, halo);
  cairo_paint(sky);
  cairo_pattern_destroy(halo);
  image.Draw(disc, 0, 0);
}

Image PaintDusk(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const int w = image.width();
  const int h = image.height();
  const std::vector<SkyStop> stops = {
      {0.00, Hex(0x141433)}, {0.30, Hex(0x2d2657)}, {0.52, Hex(0x5d3670)}, {0.68, Hex(0xa2466a)},
      {0.80, Hex(0xe07451)}, {0.90, Hex(0xf6a85a)}, {1.00, Hex(0xffd98a)}};
  image.Flush();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // The glow of the setting sun bends the bands up around it.
      const double dx = (x - 560.0) / 420.0;  // the sun stands at x 560
      const double lift = 0.06 * std::exp(-dx * dx);
      PutPixel(image, x, y, Gradient(stops, y / static_cast<double>(h) + lift));
    }
  }
  image.MarkDirty();
  PaintStars(image, 7, 90, 40, 190, 0.8);
  PaintDisc(image, 560, 410, 34, Hex(0xfff1c4), Hex(0xffb060), 300, 0.75);

  // Clouds: dark violet bodies whose undersides catch the sun.
  Image clouds(w, h);
  clouds.Flush();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double d = CloudDensity(x, y, 11, 0.12);
      if (d <= 0.01) continue;
      const double below = CloudDensity(x, y + 5, 11, 0.12);
      const double lit = Clamp01((d - below) * 2.5 + 0.15);
      const double sunward = std::exp(-std::pow((x - 560.0) / 300.0, 2));
      const double height = y / static_cast<double>(h);
      Rgb body = Mix(Hex(0x3a2850), Hex(0x7a3a5a), SmoothStep(0.3, 0.8, height));
      Rgb edge = Mix(Hex(0xf08a60), Hex(0xffd090), sunward);
      PutPixel(clouds, x, y, Mix(body, edge, lit * (0.5 + 0.5 * sunward)), d * 0.8);
    }
  }
  clouds.MarkDirty();
  image.Draw(clouds, 0, 0);
  return image;
}

Image PaintNight(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const int w = image.width();
  const int h = image.height();
  const std::vector<SkyStop> stops = {{0.00, Hex(0x03040c)}, {0.40, Hex(0x0a1230)},
                                      {0.70, Hex(0x14244a)}, {0.86, Hex(0x233458)},
                                      {0.95, Hex(0x3a2c4a)}, {1.00, Hex(0x5a2c3a)}};
  image.Flush();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double n = Fractal(x / 300.0, y / 120.0, 3, 29) - 0.5;
      PutPixel(image, x, y, Gradient(stops, y / static_cast<double>(h) + n * 0.05));
    }
  }
  image.MarkDirty();
  PaintStars(image, 3, 520, 250, 470, 1.0);
  // A faint band of the galaxy across the upper sky.
  Image band(w, h);
  band.Flush();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double centre = 60 + x * 0.32;
      const double across = std::exp(-std::pow((y - centre) / 55.0, 2));
      const double n = Fractal(x / 60.0, y / 30.0, 4, 41);
      const double a = across * SmoothStep(0.35, 0.8, n) * 0.22;
      if (a > 0.005) PutPixel(band, x, y, Hex(0xb8c4ff), a);
    }
  }
  band.MarkDirty();
  image.Draw(band, 0, 0);
  PaintStars(image, 5, 260, 0, 260, 0.6);

  // The moon with its seas.
  const double mx = 610, my = 120, mr = 40;
  PaintDisc(image, mx, my, mr, Hex(0xf4f0dc), Hex(0x9fb4ff), 220, 0.45);
  image.Flush();
  for (int y = static_cast<int>(my - mr); y <= static_cast<int>(my + mr); ++y) {
    for (int x = static_cast<int>(mx - mr); x <= static_cast<int>(mx + mr); ++x) {
      const double dx = x - mx, dy = y - my;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r > mr - 0.8) continue;
      const double sea = SmoothStep(0.5, 0.7, Fractal(x / 22.0, y / 22.0, 4, 53));
      const double limb = 1 - 0.25 * std::pow(r / mr, 3);
      const Rgb c = Scale(Mix(Hex(0xf6f2e0), Hex(0xb9b8b0), sea * 0.8), limb);
      PutPixel(image, x, y, c);
    }
  }
  image.MarkDirty();

  // Thin clouds, their edges silvered by the moon.
  Image clouds(w, h);
  clouds.Flush();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double d = CloudDensity(x + 300, y, 17, 0.12);
      if (d <= 0.01) continue;
      const double above = CloudDensity(x + 300, y - 4, 17, 0.12);
      const double lit = Clamp01((d - above) * 2.0);
      const double moonward = std::exp(-std::pow(std::hypot(x - mx, y - my) / 260.0, 2));
      Rgb body = Mix(Hex(0x0d1430), Hex(0x1c2548), y / static_cast<double>(h));
      Rgb edge = Mix(Hex(0x4a5a88), Hex(0xc0ccf0), moonward);
      PutPixel(clouds, x, y, Mix(body, edge, lit * 0.8), d * 0.85);
    }
  }
  clouds.MarkDirty();
  image.Draw(clouds, 0, 0);
  return image;
}

}  // namespace

void AddSkyPainters(PainterTable& table) {
  table["dayback"] = PaintDusk;
  table["nightback"] = PaintNight;
}

}  // namespace assets
