// Everything that flies: the dragon's fire, fireball, ice shard and lightning (they fly right),
// the enemies' arrows (one level, one rising up-left) and the burning stones, and the weapon icons
// shown on a bonus and on the status bar.
#include <cmath>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

const Rgb kInk = Hex(0x140a08);

// A teardrop of fire with its round head at (hx, cy) and its tail trailing left to tailX.
void Flame(cairo_t* cr, double hx, double cy, double radius, double tailX, double wobble, Rgb outer,
           Rgb middle, Rgb core) {
  const auto drop = [&](double r, double tail, double shift) {
    cairo_move_to(cr, tail, cy + shift);
    cairo_curve_to(cr, hx - r * 2, cy - r * 1.1 + wobble, hx - r * 0.2, cy - r, hx, cy - r);
    cairo_arc(cr, hx, cy, r, -M_PI / 2, M_PI / 2);
    cairo_curve_to(cr, hx - r * 0.2, cy + r, hx - r * 2, cy + r * 1.1 - wobble, tail, cy + shift);
    cairo_close_path(cr);
  };
  drop(radius, tailX, wobble * 0.5);
  SetColor(cr, outer);
  cairo_fill(cr);
  drop(radius * 0.72, tailX + (hx - tailX) * 0.3, -wobble * 0.3);
  SetColor(cr, middle);
  cairo_fill(cr);
  drop(radius * 0.42, tailX + (hx - tailX) * 0.6, 0);
  SetColor(cr, core);
  cairo_fill(cr);
}

Image PaintFireShot(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double w = entry.patternWidth, h = entry.patternHeight;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    Flame(f.cr(), w - h / 2 - 1, h / 2, h / 2 - 1.5, 1, frame == 0 ? 1.5 : -1.5, Hex(0xd8380c),
          Hex(0xff9a20), Hex(0xfff2b0));
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

void Fireball(cairo_t* cr, double cx, double cy, double r) {
  Flame(cr, cx, cy, r, cx - r * 2.6, 1.5, Hex(0xc0300c), Hex(0xff8a1c), Hex(0xffe070));
  cairo_pattern_t* g = cairo_pattern_create_radial(cx + r * 0.25, cy - r * 0.25, 0.5, cx, cy, r);
  AddStop(g, 0, Hex(0xffffff));
  AddStop(g, 0.35, Hex(0xfff0a0));
  AddStop(g, 0.8, Hex(0xffa030));
  AddStop(g, 1, Hex(0xe0501a));
  cairo_arc(cr, cx, cy, r * 0.9, 0, 2 * M_PI);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

Image PaintFireball(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double h = entry.patternHeight;
  Fireball(image.cr(), entry.patternWidth - h / 2, h / 2, h / 2 - 1);
  return image;
}

void IceShard(cairo_t* cr, double x0, double x1, double cy, double half, double frost) {
  // Frost trail.
  SetColor(cr, Hex(0x9ad8ff));
  for (int k = 0; k < 4; ++k) {
    const double x = x0 + k * 4 + frost;
    cairo_arc(cr, x, cy + ((k % 2) != 0 ? 2.5 : -2.5), 1.2, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  cairo_move_to(cr, x1, cy);
  cairo_line_to(cr, x1 - half * 2.2, cy - half);
  cairo_line_to(cr, x0 + 14, cy - half * 0.5);
  cairo_line_to(cr, x0 + 10, cy);
  cairo_line_to(cr, x0 + 14, cy + half * 0.5);
  cairo_line_to(cr, x1 - half * 2.2, cy + half);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - half, 0, cy + half);
  AddStop(g, 0, Hex(0xffffff));
  AddStop(g, 0.45, Hex(0xa8e8ff));
  AddStop(g, 1, Hex(0x2a78c0));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.0);
  SetColor(cr, Hex(0x123a66));
  cairo_stroke(cr);
  cairo_move_to(cr, x0 + 12, cy);
  cairo_line_to(cr, x1 - 2, cy);
  SetColor(cr, Hex(0xffffff));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

Image PaintIceShot(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double w = entry.patternWidth, h = entry.patternHeight;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    IceShard(f.cr(), 0, w - 1, h / 2, h / 2 - 2, frame * 2.0);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

void Bolt(cairo_t* cr, double x0, double x1, double cy, double amplitude, uint32_t seed) {
  Random random(seed);
  std::vector<std::pair<double, double>> points;
  const int steps = 7;
  for (int i = 0; i <= steps; ++i) {
    const double x = x0 + (x1 - x0) * i / steps;
    const double y = (i == 0 || i == steps) ? cy : cy + random.Uniform(-amplitude, amplitude);
    points.emplace_back(x, y);
  }
  const auto path = [&]() {
    cairo_move_to(cr, points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].first, points[i].second);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  path();
  cairo_set_line_width(cr, 5);
  SetColor(cr, Hex(0x4a2a9a));
  cairo_stroke(cr);
  path();
  cairo_set_line_width(cr, 3);
  SetColor(cr, Hex(0x9ab0ff));
  cairo_stroke(cr);
  path();
  cairo_set_line_width(cr, 1.3);
  SetColor(cr, Hex(0xffffff));
  cairo_stroke(cr);
}

Image PaintLightningShot(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double w = entry.patternWidth, h = entry.patternHeight;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    Bolt(f.cr(), 3, w - 4, h / 2, h / 2 - 4, 1301 + static_cast<uint32_t>(frame) * 7);
    cairo_t* cr = f.cr();
    cairo_arc(cr, w - 5, h / 2, 3.6, 0, 2 * M_PI);
    SetColor(cr, Hex(0xe8f0ff));
    cairo_fill(cr);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

// An arrow pointing along (dx, dy) from its centre, shaft length `length`.
void Arrow(cairo_t* cr, double cx, double cy, double dx, double dy, double length) {
  const double n = std::hypot(dx, dy);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, std::atan2(dy / n, dx / n));
  const double half = length / 2;
  // Shaft.
  cairo_move_to(cr, -half, 0);
  cairo_line_to(cr, half - 5, 0);
  cairo_set_line_width(cr, 3.2);
  SetColor(cr, kInk);
  cairo_stroke(cr);
  cairo_move_to(cr, -half, 0);
  cairo_line_to(cr, half - 5, 0);
  cairo_set_line_width(cr, 1.6);
  SetColor(cr, Hex(0xb0804a));
  cairo_stroke(cr);
  // Iron head.
  cairo_move_to(cr, half, 0);
  cairo_line_to(cr, half - 7, -3.2);
  cairo_line_to(cr, half - 5.5, 0);
  cairo_line_to(cr, half - 7, 3.2);
  cairo_close_path(cr);
  SetColor(cr, Hex(0xc8ccd8));
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 0.9);
  SetColor(cr, kInk);
  cairo_stroke(cr);
  // Red fletching.
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, -half + 1, 0);
    cairo_line_to(cr, -half - 1, side * 3.5);
    cairo_line_to(cr, -half + 7, side * 3.5);
    cairo_line_to(cr, -half + 8, 0);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xc0302a));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.7);
    SetColor(cr, kInk);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

Image PaintArrow(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  Arrow(image.cr(), entry.Width() / 2.0, entry.Height() / 2.0, -1, 0, entry.Width() - 4);
  return image;
}

Image PaintRisingArrow(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  // It flies 9 left and 6 up each frame.
  Arrow(image.cr(), entry.Width() / 2.0, entry.Height() / 2.0, -9, -6,
        std::hypot(entry.Width(), entry.Height()) - 8);
  return image;
}

// A tumbling stone wreathed in flames streaming away from where it flies.
Image PaintBurningStone(const PictureEntry& entry, uint32_t seed, double flameAngle) {
  Image image(entry.Width(), entry.Height());
  const double s = entry.patternWidth;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const double cx = s / 2, cy = s / 2;
    Random random(seed + static_cast<uint32_t>(frame));
    // Flames streaming back.
    for (int k = 0; k < 5; ++k) {
      const double a = flameAngle + random.Uniform(-0.6, 0.6);
      const double l = s * random.Uniform(0.38, 0.5);
      cairo_move_to(cr, cx + std::cos(a + 1.4) * 4, cy + std::sin(a + 1.4) * 4);
      cairo_line_to(cr, cx + std::cos(a) * l, cy + std::sin(a) * l);
      cairo_line_to(cr, cx + std::cos(a - 1.4) * 4, cy + std::sin(a - 1.4) * 4);
      cairo_close_path(cr);
      SetColor(cr, k % 2 == 0 ? Hex(0xff7a1a) : Hex(0xffc040));
      cairo_fill(cr);
    }
    // The stone, turning a quarter each pattern.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, frame * M_PI / 2);
    const double r = s * 0.3;
    Random shape(seed + 99);
    for (int i = 0; i < 7; ++i) {
      const double a = i * 2 * M_PI / 7;
      const double rr = r * shape.Uniform(0.8, 1.1);
      if (i == 0) {
        cairo_move_to(cr, std::cos(a) * rr, std::sin(a) * rr);
      } else {
        cairo_line_to(cr, std::cos(a) * rr, std::sin(a) * rr);
      }
    }
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(-r * 0.3, -r * 0.3, 0.5, 0, 0, r * 1.1);
    AddStop(g, 0, Hex(0x8a6a5a));
    AddStop(g, 1, Hex(0x2a1a16));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1.2);
    SetColor(cr, kInk);
    cairo_stroke(cr);
    // Glowing cracks.
    cairo_move_to(cr, -r * 0.5, -r * 0.1);
    cairo_line_to(cr, 0, r * 0.15);
    cairo_line_to(cr, r * 0.35, -r * 0.4);
    cairo_move_to(cr, 0, r * 0.15);
    cairo_line_to(cr, r * 0.1, r * 0.6);
    cairo_set_line_width(cr, 1.3);
    SetColor(cr, Hex(0xffb040));
    cairo_stroke(cr);
    cairo_restore(cr);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

Image PaintFallingStone(Studio&, const PictureEntry& entry) {
  // It falls down and to the left: the flames stream up and right.
  return PaintBurningStone(entry, 1401, std::atan2(-5, 3));
}

Image PaintThrownStone(Studio&, const PictureEntry& entry) {
  // Thrown up and to the left: the flames stream down and right.
  return PaintBurningStone(entry, 1451, std::atan2(5, 7));
}

// The weapon icons: each sits on a bonus orb and in the status bar's bonus socket, so the symbol
// stays within the middle of its 40 x 40 cell.
Image PaintFireballIcon(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  Fireball(image.cr(), entry.Width() * 0.62, entry.Height() * 0.5, 8.5);
  return image;
}

Image PaintIceIcon(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  const double cx = entry.Width() / 2.0, cy = entry.Height() / 2.0;
  // A six-armed ice crystal.
  for (int arm = 0; arm < 6; ++arm) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, arm * M_PI / 3);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 12, 0);
    cairo_move_to(cr, 7, 0);
    cairo_line_to(cr, 10, -3);
    cairo_move_to(cr, 7, 0);
    cairo_line_to(cr, 10, 3);
    cairo_restore(cr);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 4.2);
  SetColor(cr, Hex(0x123a66));
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 2.4);
  SetColor(cr, Hex(0xa8e8ff));
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 0.9);
  SetColor(cr, Hex(0xffffff));
  cairo_stroke(cr);
  return image;
}

Image PaintLightningIcon(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  cairo_move_to(cr, 23, 6);
  cairo_line_to(cr, 13, 21);
  cairo_line_to(cr, 20, 21);
  cairo_line_to(cr, 15, 34);
  cairo_line_to(cr, 28, 17);
  cairo_line_to(cr, 21, 17);
  cairo_line_to(cr, 27, 6);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 6, 0, 34);
  AddStop(g, 0, Hex(0xffffff));
  AddStop(g, 0.5, Hex(0xc0ccff));
  AddStop(g, 1, Hex(0x7a6aff));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetColor(cr, Hex(0x2a1a6a));
  cairo_stroke(cr);
  return image;
}

}  // namespace

void AddShotPainters(PainterTable& table) {
  table["firepistol"] = PaintFireShot;
  table["fireballbonus"] = PaintFireball;
  table["icepistol"] = PaintIceShot;
  table["flashpistol"] = PaintLightningShot;
  table["arrow"] = PaintArrow;
  table["arrow2"] = PaintRisingArrow;
  table["burnstone"] = PaintFallingStone;
  table["burnstone2"] = PaintThrownStone;
  table["fireballicon"] = PaintFireballIcon;
  table["iceicon"] = PaintIceIcon;
  table["lightningicon"] = PaintLightningIcon;
}

}  // namespace assets
