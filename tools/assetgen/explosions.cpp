// The one-shot bursts, one 64 x 64 pattern per frame, played once: fire bursts, the dragon's and
// the enemies' deaths, the ice and lightning hits, and the small burst of a wound. Each grows from
// a hot core to ragged flame and ends in thinning smoke, drawn opaque with hard ragged edges so
// the transparent colour keys cleanly over any sky.
#include <cmath>
#include <vector>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

struct BurstStyle {
  uint32_t seed;
  double maxRadius;  // of the fire ball at its largest
  Rgb core, hot, flame, ember, smoke;
  double smokeFrom;  // when (0..1 of the burst) flame turns to smoke
  int debris;        // chips flung out
  Rgb debrisColor;
  int sparks;  // bright streaks
  Rgb sparkColor;
};

Image PaintBurst(const PictureEntry& entry, const BurstStyle& style) {
  Image image(entry.Width(), entry.Height());
  const int n = entry.patterns;
  const int s = entry.patternWidth;
  const double c = s / 2.0;
  for (int frame = 0; frame < n; ++frame) {
    const double t = n > 1 ? frame / static_cast<double>(n - 1) : 1.0;
    const double grow = 1 - std::pow(1 - std::min(1.0, t * 1.6), 3);
    const double radius = 5 + (style.maxRadius - 5) * grow;
    // How much of the ball is still there: it thins into holes at the end.
    const double thin = SmoothStep(0.55, 1.0, t);
    Image f(s, s);
    f.Flush();
    for (int y = 0; y < s; ++y) {
      for (int x = 0; x < s; ++x) {
        const double dx = x - c, dy = y - c - t * 6;  // smoke rises as it cools
        const double d = std::hypot(dx, dy) / radius;
        const double n1 = Fractal(x / 9.0 + t * 2, y / 9.0 - t * 3, 3, style.seed);
        const double edge = d + (n1 - 0.5) * 0.7;
        if (edge > 1.0) continue;
        if (n1 < thin * 0.85) continue;
        const double heat = Clamp01((1 - edge) * (1.3 - t * 1.1) + (n1 - 0.5) * 0.4);
        Rgb colour;
        if (heat > 0.75) {
          colour = Mix(style.hot, style.core, (heat - 0.75) / 0.25);
        } else if (heat > 0.4) {
          colour = Mix(style.flame, style.hot, (heat - 0.4) / 0.35);
        } else {
          colour = Mix(style.ember, style.flame, heat / 0.4);
        }
        const double smoke = SmoothStep(style.smokeFrom, 1.0, t) * (1 - heat * 0.8);
        colour = Mix(colour, Scale(style.smoke, 0.7 + 0.6 * n1), Clamp01(smoke * 1.3));
        // A dark rim keeps the ragged edge readable.
        if (edge > 0.9) colour = Scale(colour, 0.55);
        PutPixel(f, x, y, colour);
      }
    }
    f.MarkDirty();
    cairo_t* cr = f.cr();
    Random random(style.seed * 7 + 3);
    for (int k = 0; k < style.sparks; ++k) {
      const double a = random.Uniform(0, 2 * M_PI);
      const double speed = random.Uniform(0.6, 1.0);
      const double r0 = radius * 0.6 + t * 22 * speed, r1 = r0 + 5 * (1 - t) + 1;
      if (t > 0.85) break;
      cairo_move_to(cr, c + std::cos(a) * r0, c + std::sin(a) * r0);
      cairo_line_to(cr, c + std::cos(a) * r1, c + std::sin(a) * r1);
      cairo_set_line_width(cr, 1.6);
      SetColor(cr, style.sparkColor);
      cairo_stroke(cr);
    }
    for (int k = 0; k < style.debris; ++k) {
      const double a = random.Uniform(0, 2 * M_PI);
      const double speed = random.Uniform(0.5, 1.0);
      const double r = 6 + t * 28 * speed;
      const double x = c + std::cos(a) * r, y = c + std::sin(a) * r + t * t * 10;
      if (x < 2 || y < 2 || x > s - 2 || y > s - 2) continue;
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, a + t * 6);
      cairo_rectangle(cr, -1.8, -1.2, 3.6, 2.4);
      cairo_restore(cr);
      SetColor(cr, style.debrisColor);
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, 0.7);
      SetColor(cr, Hex(0x100806));
      cairo_stroke(cr);
    }
    image.Draw(f, frame * s, 0);
  }
  return image;
}

Image PaintFireBurst(Studio&, const PictureEntry& entry) {
  return PaintBurst(entry, {1501, 22, Hex(0xfffbe0), Hex(0xffd040), Hex(0xf06014), Hex(0x7a1808),
                            Hex(0x3a3034), 0.5, 0, Hex(0), 10, Hex(0xffe080)});
}

Image PaintDragonDeath(Studio&, const PictureEntry& entry) {
  return PaintBurst(entry, {1511, 29, Hex(0xffffff), Hex(0xffe060), Hex(0xe84818), Hex(0x6a0c0c),
                            Hex(0x2a2428), 0.45, 10, Hex(0x3f8a3c), 16, Hex(0xffd070)});
}

Image PaintEnemyDeath(Studio&, const PictureEntry& entry) {
  return PaintBurst(entry, {1523, 25, Hex(0xfff4c0), Hex(0xffb030), Hex(0xd04010), Hex(0x5a1408),
                            Hex(0x302a2a), 0.35, 12, Hex(0x6a4a30), 8, Hex(0xffc060)});
}

Image PaintIceBurst(Studio&, const PictureEntry& entry) {
  Image image = PaintBurst(entry, {1531, 20, Hex(0xffffff), Hex(0xd0f4ff), Hex(0x6ac0f0),
                                   Hex(0x1a4a8a), Hex(0x8aa8c8), 0.6, 0, Hex(0), 0, Hex(0)});
  // Shards of ice flying out.
  cairo_t* cr = image.cr();
  const int s = entry.patternWidth;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    const double t = frame / static_cast<double>(entry.patterns - 1);
    if (t > 0.8) break;
    Random random(1537);
    for (int k = 0; k < 8; ++k) {
      const double a = k * M_PI / 4 + random.Uniform(-0.3, 0.3);
      const double r = 8 + t * 22;
      cairo_save(cr);
      cairo_translate(cr, frame * s + s / 2.0 + std::cos(a) * r, s / 2.0 + std::sin(a) * r);
      cairo_rotate(cr, a);
      cairo_move_to(cr, 6, 0);
      cairo_line_to(cr, -3, -2.2);
      cairo_line_to(cr, -3, 2.2);
      cairo_close_path(cr);
      cairo_restore(cr);
      SetColor(cr, Hex(0xe8faff));
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, 0.8);
      SetColor(cr, Hex(0x1a4a8a));
      cairo_stroke(cr);
    }
  }
  return image;
}

Image PaintLightningBurst(Studio&, const PictureEntry& entry) {
  Image image = PaintBurst(entry, {1541, 19, Hex(0xffffff), Hex(0xd8d0ff), Hex(0x8a6aff),
                                   Hex(0x2a1a7a), Hex(0x4a4a6a), 0.65, 0, Hex(0), 0, Hex(0)});
  // Arcs crackling out of the ball.
  cairo_t* cr = image.cr();
  const int s = entry.patternWidth;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    const double t = frame / static_cast<double>(entry.patterns - 1);
    if (t > 0.75) break;
    Random random(1549 + static_cast<uint32_t>(frame));
    for (int k = 0; k < 4; ++k) {
      double a = random.Uniform(0, 2 * M_PI);
      double x = frame * s + s / 2.0, y = s / 2.0;
      cairo_move_to(cr, x, y);
      for (int step = 0; step < 5; ++step) {
        a += random.Uniform(-0.7, 0.7);
        x += std::cos(a) * 5.5;
        y += std::sin(a) * 5.5;
        cairo_line_to(cr, x, y);
      }
      cairo_set_line_width(cr, 3);
      SetColor(cr, Hex(0x5a3ad0));
      cairo_stroke_preserve(cr);
      cairo_set_line_width(cr, 1.2);
      SetColor(cr, Hex(0xffffff));
      cairo_stroke(cr);
    }
  }
  return image;
}

Image PaintWound(Studio&, const PictureEntry& entry) {
  return PaintBurst(entry, {1553, 13, Hex(0xffffff), Hex(0xffb060), Hex(0xd02010), Hex(0x5a0808),
                            Hex(0x3a1a1a), 0.7, 0, Hex(0), 12, Hex(0xff6040)});
}

}  // namespace

void AddExplosionPainters(PainterTable& table) {
  table["fireballexplosion"] = PaintFireBurst;
  table["herokill"] = PaintDragonDeath;
  table["enemykill"] = PaintEnemyDeath;
  table["iceexplosion"] = PaintIceBurst;
  table["electroexplosion"] = PaintLightningBurst;
  table["dragondamage"] = PaintWound;
}

}  // namespace assets
