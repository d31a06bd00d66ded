// The heads-up pictures of the game: the status bar the level, score and clock are printed on
// (black text at y 35: the level at x 65, the score centred on x 221, the clock at x 525 over the
// level scale), the scale that grows one column per pattern, the bonus orb and the gold ring of
// the bonus indicator drawn over orbs and in the status bar's socket at (715, 28).
#include <cmath>
#include <string>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

// Where the status bar's plaques lie: the game's texts and indicators fall inside them.
struct Plaque {
  double left, right;
  const char* label;
  double top = 30;  // the bonus plaque starts higher: the bonus clock is printed at y 27
};
constexpr Plaque kPlaques[] = {{8, 122, "Level"},
                               {140, 290, "Score"},
                               {300, 430, "Lives"},
                               {448, 664, "Time"},
                               {700, 796, "Bonus", 25}};
constexpr double kPlaqueBottom = 65;

void Parchment(cairo_t* cr, double x, double y, double w, double h, uint32_t seed) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(g, 0, Hex(0xf4e6c0));
  AddStop(g, 0.6, Hex(0xe8d4a4));
  AddStop(g, 1, Hex(0xcdb07c));
  cairo_rectangle(cr, x, y, w, h);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Faint mottling of old paper.
  Random random(seed);
  for (int i = 0; i < static_cast<int>(w * h / 90); ++i) {
    SetColor(cr, Hex(0x8a6a3a), random.Uniform(0.02, 0.07));
    cairo_arc(cr, x + random.Uniform(0, w), y + random.Uniform(0, h), random.Uniform(1, 4), 0,
              2 * M_PI);
    cairo_fill(cr);
  }
}

Image PaintStatusBar(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  const double w = entry.Width(), h = entry.Height();
  // Dark carved wood, lit from above.
  cairo_pattern_t* wood = cairo_pattern_create_linear(0, 0, 0, h);
  AddStop(wood, 0, Hex(0x5a3620));
  AddStop(wood, 0.45, Hex(0x3a2214));
  AddStop(wood, 1, Hex(0x22140c));
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, wood);
  cairo_fill(cr);
  cairo_pattern_destroy(wood);
  image.Flush();
  for (int y = 0; y < entry.Height(); ++y) {
    for (int x = 0; x < entry.Width(); ++x) {
      const double grain = Fractal(x / 60.0, y / 3.0, 4, 1601);
      const Rgb c = GetPixel(image, x, y);
      PutPixel(image, x, y, Scale(c, 0.8 + grain * 0.4));
    }
  }
  image.MarkDirty();
  // Gold trim along the top and bottom.
  for (double y : {1.5, h - 2.5}) {
    cairo_move_to(cr, 0, y);
    cairo_line_to(cr, w, y);
    cairo_set_line_width(cr, 2);
    SetColor(cr, Hex(0xc8a050));
    cairo_stroke(cr);
  }
  cairo_move_to(cr, 0, h - 0.5);
  cairo_line_to(cr, w, h - 0.5);
  cairo_set_line_width(cr, 1);
  SetColor(cr, Hex(0x0a0604));
  cairo_stroke(cr);
  // The plaques, inset with a dark bevel, each labelled in gold above.
  uint32_t seed = 1611;
  for (const Plaque& p : kPlaques) {
    const double pw = p.right - p.left;
    const double top = p.top;
    RoundedRect(cr, p.left - 2, top - 2, pw + 4, kPlaqueBottom - top + 4, 5);
    SetColor(cr, Hex(0x120a06));
    cairo_fill(cr);
    cairo_save(cr);
    RoundedRect(cr, p.left, top, pw, kPlaqueBottom - top, 4);
    cairo_clip(cr);
    Parchment(cr, p.left, top, pw, kPlaqueBottom - top, seed++);
    // Inner shadow along the top edge.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, top, 0, top + 6);
    AddStop(shade, 0, Hex(0x000000), 0.45);
    AddStop(shade, 1, Hex(0x000000), 0);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
    Lettering style;
    style.face = Face::Bold;
    style.pixels = 17;
    style.outlineWidth = 1.2;
    style.shadow = 1;
    SetFont(cr, style.face, style.pixels);
    const double tw = TextWidth(cr, p.label);
    cairo_pattern_t* gold =
        LetterGradient(p.top < 30 ? 20 : 22, style.pixels, Hex(0xffe8a0), Hex(0xc08a30));
    const double centre = p.top < 30 ? 735 : (p.left + p.right) / 2;
    DrawLettering(cr, style, centre - tw / 2, p.top < 30 ? 20 : 22, p.label, gold);
    cairo_pattern_destroy(gold);
  }
  // The trough the level scale grows in, under the clock.
  RoundedRect(cr, 452, 39, 204, 22, 3);
  SetColor(cr, Hex(0x6a4a2a));
  cairo_fill(cr);
  RoundedRect(cr, 453, 40, 202, 20, 3);
  SetColor(cr, Hex(0xb89868));
  cairo_fill(cr);
  // The socket of the bonus indicator.
  cairo_arc(cr, 735, 48, 17, 0, 2 * M_PI);
  SetColor(cr, Hex(0x3a2a1a));
  cairo_fill(cr);
  cairo_arc(cr, 735, 48, 15.5, 0, 2 * M_PI);
  SetColor(cr, Hex(0x1e140c));
  cairo_fill(cr);
  return image;
}

// Pattern i is drawn at column i of the bar: its first column is the bar's colour at that point
// and a short flame follows it, which only the last pattern drawn leaves showing.
Image PaintScale(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const int n = entry.patterns;
  const int h = entry.patternHeight;
  image.Flush();
  for (int i = 0; i < n; ++i) {
    const double t = i / static_cast<double>(n - 1);
    const Rgb along = Mix(Mix(Hex(0xe05a1a), Hex(0xf59a2a), SmoothStep(0, 0.5, t)), Hex(0xffd858),
                          SmoothStep(0.5, 1, t));
    const int x0 = i * entry.patternWidth;
    for (int y = 0; y < h; ++y) {
      const double v = y / static_cast<double>(h - 1);
      // Rounded like a rod of molten metal: bright above the middle, dark at the edges.
      const double shade = 0.55 + 0.6 * std::sin(M_PI * (0.15 + 0.85 * v)) - 0.25 * v;
      Rgb c = Scale(along, shade);
      if (v < 0.25) c = Mix(c, Hex(0xfff4c8), (0.25 - v) * 1.6);
      PutPixel(image, x0, y, c);
      // The flame at the tip.
      for (int k = 1; k <= 6; ++k) {
        const double reach = (6.5 - k) / 6.0;
        const double dy = std::abs(v - 0.5) * 2;
        if (dy < reach * 0.95) {
          PutPixel(image, x0 + k, y, Mix(Hex(0xffffe0), Hex(0xff8a20), 1 - reach + dy * 0.4));
        }
      }
    }
  }
  image.MarkDirty();
  return image;
}

// A ring of gold with four small garnets, open in the middle.
Image PaintBonusIndicator(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  const double c = entry.Width() / 2.0;
  cairo_arc(cr, c, c, 17.5, 0, 2 * M_PI);
  cairo_set_line_width(cr, 5);
  SetColor(cr, Hex(0x3a2408));
  cairo_stroke(cr);
  cairo_pattern_t* gold = cairo_pattern_create_linear(0, c - 18, 0, c + 18);
  AddStop(gold, 0, Hex(0xfff0a8));
  AddStop(gold, 0.5, Hex(0xd8a038));
  AddStop(gold, 1, Hex(0x8a5a18));
  cairo_arc(cr, c, c, 17.5, 0, 2 * M_PI);
  cairo_set_line_width(cr, 3);
  cairo_set_source(cr, gold);
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);
  for (int k = 0; k < 4; ++k) {
    const double a = k * M_PI / 2 + M_PI / 4;
    const double x = c + std::cos(a) * 17.5, y = c + std::sin(a) * 17.5;
    cairo_arc(cr, x, y, 3, 0, 2 * M_PI);
    SetColor(cr, Hex(0x3a0808));
    cairo_fill(cr);
    cairo_arc(cr, x, y, 2, 0, 2 * M_PI);
    SetColor(cr, Hex(0xe83a3a));
    cairo_fill(cr);
    cairo_arc(cr, x - 0.6, y - 0.6, 0.7, 0, 2 * M_PI);
    SetColor(cr, Hex(0xffd0d0));
    cairo_fill(cr);
  }
  return image;
}

// The bonus: an orb of violet glass with light swirling inside, turning over four patterns.
Image PaintBonus(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double c = entry.patternWidth / 2.0;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    cairo_pattern_t* glass = cairo_pattern_create_radial(c - 5, c - 6, 1, c, c, 17);
    AddStop(glass, 0, Hex(0xc8b0ff));
    AddStop(glass, 0.5, Hex(0x6a3ab0));
    AddStop(glass, 1, Hex(0x24104a));
    cairo_arc(cr, c, c, 16.5, 0, 2 * M_PI);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    // Swirl of light.
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, frame * M_PI / 2);
    for (int arm = 0; arm < 2; ++arm) {
      cairo_rotate(cr, M_PI);
      cairo_move_to(cr, 0, 0);
      cairo_curve_to(cr, 6, -2, 10, 4, 8, 10);
      cairo_set_line_width(cr, 2.2);
      SetColor(cr, Hex(0xf0d8ff));
      cairo_stroke(cr);
    }
    cairo_restore(cr);
    // Highlight and a little sparkle.
    cairo_save(cr);
    cairo_translate(cr, c - 6, c - 8);
    cairo_scale(cr, 5, 3);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColor(cr, Hex(0xffffff));
    cairo_fill(cr);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

}  // namespace

void AddHudPainters(PainterTable& table) {
  table["statusbar"] = PaintStatusBar;
  table["scale"] = PaintScale;
  table["bonusindicator"] = PaintBonusIndicator;
  table["bonus"] = PaintBonus;
}

}  // namespace assets
