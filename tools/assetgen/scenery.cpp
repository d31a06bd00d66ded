// The things that stand in the landscape: the volcano with its glowing flows, the lava fountain
// that spurts from its crater (the fountain's left edge sits 69 pixels right of the volcano's and
// 13 pixels higher, right over the crater), the dark trees, and the iron grate at the left edge.
#include <cmath>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

// Where the crater lies in the volcano picture: the lava fountain is centred on it.
constexpr double kCraterX = 87;
constexpr double kCraterY = 11;

void VolcanoPath(cairo_t* cr, double w, double h) {
  cairo_move_to(cr, 0, h);
  cairo_curve_to(cr, 30, h - 18, 52, h - 60, 64, kCraterY + 12);
  cairo_curve_to(cr, 67, kCraterY + 2, 70, kCraterY - 3, 74, kCraterY - 4);
  cairo_line_to(cr, 80, kCraterY + 2);
  cairo_line_to(cr, 94, kCraterY + 3);
  cairo_line_to(cr, 100, kCraterY - 5);
  cairo_curve_to(cr, 104, kCraterY - 4, 107, kCraterY + 2, 110, kCraterY + 12);
  cairo_curve_to(cr, 122, h - 60, 136, h - 20, w, h);
  cairo_close_path(cr);
}

Image PaintVolcano(Studio&, const PictureEntry& entry) {
  const int pw = entry.patternWidth;
  const int ph = entry.patternHeight;
  Image image(entry.Width(), entry.Height());
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image cone(pw, ph);
    cairo_t* cr = cone.cr();
    VolcanoPath(cr, pw, ph);
    SetColor(cr, Hex(0x241a20));
    cairo_fill(cr);
    // Rock shading: lit from the right, darker low down, with ash streaks down the flanks.
    cone.Flush();
    for (int y = 0; y < ph; ++y) {
      for (int x = 0; x < pw; ++x) {
        double alpha = 0;
        GetPixel(cone, x, y, &alpha);
        if (alpha <= 0) continue;
        const double side = (x - kCraterX) / (pw * 0.5);
        const double streak = Fractal(x / 5.0 + y * 0.04 * side, y / 30.0, 4, 503);
        double light = 0.35 + 0.35 * std::tanh(side * 2.0) + (streak - 0.5) * 0.7;
        light -= SmoothStep(20, ph, y) * 0.25;
        Rgb c = Mix(Hex(0x1c1418), Hex(0x6a4a50), Clamp01(light));
        // Warm light from the crater on the upper slopes.
        const double nearCrater =
            std::exp(-std::pow(std::hypot(x - kCraterX, y - kCraterY) / 34.0, 2));
        c = Mix(c, Hex(0xd86030), nearCrater * 0.55);
        PutPixel(cone, x, y, c, alpha);
      }
    }
    cone.MarkDirty();
    // Lava flows: glowing rivulets that wander down from the crater; the glow pulses frame by
    // frame and bright blobs creep down them.
    Random random(517);
    cairo_save(cr);
    VolcanoPath(cr, pw, ph);
    cairo_clip(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int flow = 0; flow < 4; ++flow) {
      // Each flow spills over the rim on its own side and runs down the flank.
      const double dir = flow % 2 == 0 ? -1 : 1;
      const double startX = kCraterX + dir * random.Uniform(4, 11);
      const double endY = random.Uniform(ph * 0.45, ph * 0.9);
      const double flank =
          dir < 0 ? (kCraterX - 14) * (endY / ph) : (pw - kCraterX - 14) * (endY / ph);
      const double endX = startX + dir * flank * random.Uniform(0.45, 0.8);
      const double c1x = startX + dir * random.Uniform(3, 8), c1y = endY * 0.35;
      const double c2x = endX - dir * random.Uniform(2, 8), c2y = endY * 0.7;
      for (int pass = 0; pass < 3; ++pass) {
        const double width = (3 - pass) * 2.2 * (flow < 2 ? 1.0 : 0.7);
        const Rgb color = pass == 0 ? Hex(0x8a1c0a) : (pass == 1 ? Hex(0xf05a14) : Hex(0xffd26a));
        const double pulse = 0.75 + 0.25 * std::sin((frame + flow) * 2.1);
        cairo_move_to(cr, startX, kCraterY + 4);
        cairo_curve_to(cr, c1x, c1y, c2x, c2y, endX, endY);
        cairo_set_line_width(cr, width);
        SetColor(cr, Scale(color, pass == 0 ? 1.0 : pulse));
        cairo_stroke(cr);
      }
      // A brighter blob creeping down the flow.
      const double t = std::fmod(0.2 + frame / 3.0 + flow * 0.27, 1.0);
      const double mt = 1 - t;
      const double bx =
          mt * mt * mt * startX + 3 * mt * mt * t * c1x + 3 * mt * t * t * c2x + t * t * t * endX;
      const double by = mt * mt * mt * (kCraterY + 4) + 3 * mt * mt * t * c1y +
                        3 * mt * t * t * c2y + t * t * t * endY;
      SetColor(cr, Hex(0xfff0b0));
      cairo_arc(cr, bx, by, 1.8, 0, 2 * M_PI);
      cairo_fill(cr);
    }
    // The crater's mouth glows.
    cairo_pattern_t* mouth =
        cairo_pattern_create_radial(kCraterX, kCraterY + 2, 1, kCraterX, kCraterY + 2, 16);
    AddStop(mouth, 0, Hex(0xffe08a));
    AddStop(mouth, 0.4, Hex(0xff7a20), 0.9);
    AddStop(mouth, 1, Hex(0xff4010), 0);
    cairo_set_source(cr, mouth);
    cairo_paint(cr);
    cairo_pattern_destroy(mouth);
    cairo_restore(cr);
    // A dark rim keeps the silhouette crisp against the sky.
    VolcanoPath(cr, pw, ph);
    cairo_set_line_width(cr, 1.4);
    SetColor(cr, Hex(0x140c10));
    cairo_stroke(cr);
    image.Draw(cone, frame * pw, 0);
  }
  return image;
}

// The fountain: molten rock thrown up from the crater in three moments of one spurt.
Image PaintLava(Studio&, const PictureEntry& entry) {
  const int pw = entry.patternWidth;
  const int ph = entry.patternHeight;
  Image image(entry.Width(), entry.Height());
  const double cx = pw / 2.0;
  // The crater rim lies 13 + kCraterY pixels below the fountain's top.
  const double rim = 13 + kCraterY;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(pw, ph);
    cairo_t* cr = f.cr();
    const double height = rim - (frame == 1 ? 0 : (frame == 0 ? 6 : 3));
    // The column: a tongue of fire from the crater up to its crest.
    cairo_move_to(cr, cx - 9, ph);
    cairo_curve_to(cr, cx - 10, rim, cx - 7, rim - height * 0.6, cx - 2 + frame, rim - height);
    cairo_curve_to(cr, cx + 4, rim - height * 0.7, cx + 9, rim - 2, cx + 10, ph);
    cairo_close_path(cr);
    cairo_pattern_t* fire = cairo_pattern_create_linear(0, rim - height, 0, ph);
    AddStop(fire, 0, Hex(0xffe890));
    AddStop(fire, 0.35, Hex(0xffa030));
    AddStop(fire, 1, Hex(0xd03010));
    cairo_set_source(cr, fire);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fire);
    cairo_set_line_width(cr, 1.2);
    SetColor(cr, Hex(0x7a1808));
    cairo_stroke(cr);
    // The bright core.
    cairo_move_to(cr, cx - 3, ph);
    cairo_curve_to(cr, cx - 4, rim, cx - 2, rim - height * 0.5, cx, rim - height * 0.75);
    cairo_curve_to(cr, cx + 2, rim - height * 0.4, cx + 4, rim, cx + 4, ph);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xfff6d0));
    cairo_fill(cr);
    // Droplets flung out, cooling to red and dark crust as they fly.
    Random random(601 + static_cast<uint32_t>(frame) * 13);
    for (int drop = 0; drop < 9; ++drop) {
      const double angle = random.Uniform(-2.6, -0.5);
      const double distance = random.Uniform(6, 17) * (0.6 + 0.25 * frame);
      const double x = cx + std::cos(angle) * distance * 1.1;
      const double y = rim - height * 0.55 + std::sin(angle) * distance;
      if (y < 1.5 || x < 1.5 || x > pw - 1.5) continue;
      const double r = random.Uniform(1.0, 2.3);
      SetColor(cr, Hex(0x5a1006));
      cairo_arc(cr, x, y, r + 0.8, 0, 2 * M_PI);
      cairo_fill(cr);
      SetColor(cr, Mix(Hex(0xffd060), Hex(0xe04010), distance / 20.0));
      cairo_arc(cr, x, y, r, 0, 2 * M_PI);
      cairo_fill(cr);
    }
    image.Draw(f, frame * pw, 0);
  }
  return image;
}

// A dark fir: tiers of drooping boughs around a slim trunk, a cool rim of sky light on the right.
void PaintFir(cairo_t* cr, double w, double h, uint32_t seed, int tiers) {
  Random random(seed);
  const double cx = w / 2;
  SetColor(cr, Hex(0x1a1210));
  cairo_rectangle(cr, cx - 2.5, h * 0.7, 5, h * 0.3);
  cairo_fill(cr);
  for (int tier = 0; tier < tiers; ++tier) {
    const double t = tier / static_cast<double>(tiers - 1);
    const double top = h * 0.02 + t * h * 0.62;
    const double width = (0.18 + 0.82 * t) * (w / 2 - 2) * random.Uniform(0.85, 1.0);
    const double bottom = top + h * 0.2 + t * h * 0.08;
    const double sway = random.Uniform(-3, 3);
    // Each tier: a drooping skirt with a ragged, needled hem.
    cairo_move_to(cr, cx, top);
    cairo_curve_to(cr, cx - width * 0.3, top + (bottom - top) * 0.3, cx - width * 0.8 + sway,
                   bottom - 6, cx - width + sway, bottom);
    const int teeth = 5 + tier;
    for (int k = 1; k <= teeth; ++k) {
      const double u = k / static_cast<double>(teeth);
      const double x = cx - width + sway + u * 2 * width;
      const double y = bottom - (k % 2 == 0 ? 0 : random.Uniform(3, 6)) - std::sin(u * M_PI) * 3;
      cairo_line_to(cr, x, y);
    }
    cairo_curve_to(cr, cx + width * 0.8 + sway, bottom - 6, cx + width * 0.3,
                   top + (bottom - top) * 0.3, cx, top);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(cx - width, 0, cx + width, 0);
    AddStop(g, 0, Hex(0x0a100e));
    AddStop(g, 0.55, Hex(0x132019));
    AddStop(g, 0.85, Hex(0x22372c));
    AddStop(g, 1, Hex(0x4a6a5a));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, Hex(0x060a08));
    cairo_stroke(cr);
  }
}

Image PaintTallTree(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  PaintFir(image.cr(), entry.Width(), entry.Height(), 701, 7);
  return image;
}

// A low, gnarled bush: clustered leaf masses on a crooked stem.
Image PaintBush(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  const double w = entry.Width();
  const double h = entry.Height();
  SetColor(cr, Hex(0x1a1210));
  cairo_set_line_width(cr, 3.5);
  cairo_move_to(cr, w / 2, h);
  cairo_curve_to(cr, w / 2 - 2, h - 12, w / 2 + 4, h - 20, w / 2, h - 30);
  cairo_stroke(cr);
  Random random(733);
  for (int clump = 0; clump < 18; ++clump) {
    const double t = clump / 17.0;
    const double x = w / 2 + random.Uniform(-1, 1) * (w / 2 - 9) * (0.4 + 0.6 * t);
    const double y = h * 0.16 + random.Uniform(0, h * 0.42) + t * 8;
    const double r = random.Uniform(5.5, 9.5);
    cairo_pattern_t* g = cairo_pattern_create_radial(x + r * 0.5, y - r * 0.5, 1, x, y, r);
    AddStop(g, 0, Hex(0x2a3c32));
    AddStop(g, 0.45, Hex(0x111a14));
    AddStop(g, 1, Hex(0x080c0a));
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    SetColor(cr, Hex(0x070b08));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
  }
  // A few dark berries of fire-thorn.
  for (int b = 0; b < 4; ++b) {
    SetColor(cr, Hex(0xa0301c));
    cairo_arc(cr, random.Uniform(14, w - 14), random.Uniform(16, h * 0.6), 1.4, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  return image;
}

// One tile of the iron grate: two spiked bars and a riveted cross band, glowing at the joints
// with the heat that kills the dragon.
Image PaintGrate(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  const double w = entry.Width();
  const double h = entry.Height();
  const auto bar = [&](double x) {
    cairo_pattern_t* g = cairo_pattern_create_linear(x - 5, 0, x + 5, 0);
    AddStop(g, 0, Hex(0x141418));
    AddStop(g, 0.4, Hex(0x5a5a66));
    AddStop(g, 0.6, Hex(0x8a8a98));
    AddStop(g, 1, Hex(0x1e1e24));
    cairo_rectangle(cr, x - 5, 0, 10, h);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  };
  bar(14);
  bar(w - 18);
  // Cross band with rivets.
  const double band = h * 0.42;
  cairo_pattern_t* g = cairo_pattern_create_linear(0, band - 6, 0, band + 6);
  AddStop(g, 0, Hex(0x6e6a72));
  AddStop(g, 0.5, Hex(0x3a3840));
  AddStop(g, 1, Hex(0x18161c));
  cairo_rectangle(cr, 0, band - 6, w, 12);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  for (double x : {14.0, w - 18}) {
    cairo_pattern_t* hot = cairo_pattern_create_radial(x, band, 0.5, x, band, 7);
    AddStop(hot, 0, Hex(0xffd080));
    AddStop(hot, 0.5, Hex(0xe05010));
    AddStop(hot, 1, Hex(0x601008));
    cairo_arc(cr, x, band, 4.2, 0, 2 * M_PI);
    cairo_set_source(cr, hot);
    cairo_fill(cr);
    cairo_pattern_destroy(hot);
  }
  // Spikes pointing into the field, hot at their tips.
  for (double y : {h * 0.18, h * 0.78}) {
    cairo_move_to(cr, w - 13, y - 4);
    cairo_line_to(cr, w - 1, y);
    cairo_line_to(cr, w - 13, y + 4);
    cairo_close_path(cr);
    cairo_pattern_t* spike = cairo_pattern_create_linear(w - 13, 0, w - 1, 0);
    AddStop(spike, 0, Hex(0x4a4a54));
    AddStop(spike, 0.7, Hex(0xb04018));
    AddStop(spike, 1, Hex(0xffc060));
    cairo_set_source(cr, spike);
    cairo_fill(cr);
    cairo_pattern_destroy(spike);
  }
  return image;
}

}  // namespace

void AddSceneryPainters(PainterTable& table) {
  table["volcano"] = PaintVolcano;
  table["lava"] = PaintLava;
  table["tree1"] = PaintTallTree;
  table["tree2"] = PaintBush;
  table["reshetka"] = PaintGrate;
}

}  // namespace assets
