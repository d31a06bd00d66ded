// The menu backdrop (position 0 of the menu archive): a moonlit mountain night with a glowing
// volcano, the dragon in flight and the title, and the six main items lettered down the left under
// the item rectangles at (50, 190) ... (50, 451). Positions 1 to 6 are the same patches with the
// word lit in fire, the look of the focused item.
#include <array>
#include <cmath>
#include <string>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/panels.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

struct MainItem {
  const char* picture;
  const char* text;
  double top;
};
constexpr std::array<MainItem, 6> kMainItems = {{{"newgame", "New game", 190},
                                                 {"options", "Options", 241},
                                                 {"scores", "Scores", 295},
                                                 {"help", "Help", 348},
                                                 {"homepage", "Home page", 399},
                                                 {"exit", "Exit", 451}}};
constexpr double kItemX = 50;
constexpr double kWordPixels = 31;

double WordBaseline(const MainItem& item, double height) {
  return item.top + height * 0.5 + kWordPixels * 0.3;
}

void DrawScaled(cairo_t* cr, const Image& picture, double x, double y, double scale) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, picture.surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
  cairo_paint(cr);
  cairo_restore(cr);
}

Image PaintBackdrop(Studio& studio, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  // The night sky, stretched to the whole screen.
  const Image& sky = studio.Picture("nightback");
  cairo_save(cr);
  cairo_scale(cr, 1.0, entry.Height() / static_cast<double>(sky.height()));
  cairo_set_source_surface(cr, sky.surface(), 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  // Three depths of mountains, a volcano, the ground and its trees, as in the game.
  image.Draw(studio.Picture("3-1"), -200, 470);
  image.Draw(studio.Picture("3-1"), 600, 470);
  image.Draw(studio.Picture("2-1"), -420, 430);
  image.Draw(studio.Picture("2-1"), 380, 430);
  image.Draw(studio.Pattern("lava", 1), 560 + 69, 430 - 13);
  image.Draw(studio.Pattern("volcano", 1), 560, 430);
  image.Draw(studio.Picture("1-1"), 0, 568);
  image.Draw(studio.Picture("tree1"), 700, 437);
  image.Draw(studio.Picture("tree2"), 340, 512);
  image.Draw(studio.Picture("tree2"), 780, 512);
  // The dragon, large, crossing the moonlit sky.
  DrawScaled(cr, studio.Pattern("hero", 3), 470, 200, 2.3);
  DrawScaled(cr, studio.Picture("tail"), 470 - 49 * 2.3, 200 + 78 * 2.3, 2.3);

  // A dark banner behind the main items, so the words read over the landscape.
  cairo_pattern_t* banner = cairo_pattern_create_linear(30, 0, 312, 0);
  AddStop(banner, 0, Hex(0x0a0608), 0.78);
  AddStop(banner, 0.8, Hex(0x140a10), 0.7);
  AddStop(banner, 1, Hex(0x140a10), 0.0);
  RoundedRect(cr, 30, 172, 282, 340, 10);
  cairo_set_source(cr, banner);
  cairo_fill(cr);
  cairo_pattern_destroy(banner);
  for (double y : {176.0, 508.0}) {
    cairo_pattern_t* line = cairo_pattern_create_linear(36, 0, 300, 0);
    AddStop(line, 0, Hex(0xd0a050), 0.9);
    AddStop(line, 1, Hex(0xd0a050), 0);
    cairo_move_to(cr, 36, y);
    cairo_line_to(cr, 300, y);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source(cr, line);
    cairo_stroke(cr);
    cairo_pattern_destroy(line);
  }
  const PictureEntry& item = studio.Entry("newgame");
  for (const MainItem& main : kMainItems) {
    Lettering style;
    style.pixels = kWordPixels;
    style.outlineWidth = 1.5;
    style.outline = Hex(0x0a0604);
    style.shadow = 2;
    const double baseline = WordBaseline(main, item.Height());
    cairo_pattern_t* fill = LetterGradient(baseline, kWordPixels, Hex(0xf4e8c8), Hex(0xb89868));
    DrawLettering(cr, style, kItemX + 34, baseline, main.text, fill);
    cairo_pattern_destroy(fill);
  }

  // The title, in gold with a fiery glow.
  const std::string title = "Skarvel";
  Lettering big;
  big.pixels = 128;
  big.outlineWidth = 3;
  big.outline = Hex(0x1a0804);
  big.shadow = 4;
  SetFont(cr, big.face, big.pixels);
  const double tw = TextWidth(cr, title);
  const double tx = 400 - tw / 2, baseline = 132;
  Image glow(entry.Width(), entry.Height());
  DrawLettering(glow.cr(), big, tx, baseline, title, Hex(0xffffff));
  Tint(glow, Hex(0xff6a1a));
  Blur(glow, 16);
  cairo_save(cr);
  cairo_set_source_surface(cr, glow.surface(), 0, 0);
  cairo_paint_with_alpha(cr, 0.9);
  cairo_restore(cr);
  cairo_pattern_t* gold = cairo_pattern_create_linear(0, baseline - 95, 0, baseline + 5);
  AddStop(gold, 0, Hex(0xfff6c8));
  AddStop(gold, 0.45, Hex(0xf0c050));
  AddStop(gold, 0.55, Hex(0xc07a20));
  AddStop(gold, 1, Hex(0xffd070));
  DrawLettering(cr, big, tx, baseline, title, gold);
  cairo_pattern_destroy(gold);
  Lettering small;
  small.face = Face::Regular;
  small.pixels = 22;
  small.outlineWidth = 1.2;
  small.shadow = 1.5;
  const std::string subtitle = "Fire over the mountains";
  SetFont(cr, small.face, small.pixels);
  DrawLettering(cr, small, 400 - TextWidth(cr, subtitle) / 2, baseline + 30, subtitle,
                Hex(0xe8d0a0));
  return image;
}

// A main item in focus: its patch of the backdrop with the word afire and a flame before it.
Image PaintMainItem(Studio& studio, const PictureEntry& entry) {
  for (const MainItem& main : kMainItems) {
    if (entry.name != main.picture) continue;
    Image lit = studio.Picture("menu").Crop(static_cast<int>(kItemX), static_cast<int>(main.top),
                                            entry.Width(), entry.Height());
    const double baseline = WordBaseline(main, entry.Height()) - main.top;
    DrawLitWord(lit, main.text, 34, baseline, kWordPixels);
    cairo_t* cr = lit.cr();
    const double cy = entry.Height() / 2.0;
    cairo_move_to(cr, 10, cy);
    cairo_curve_to(cr, 12, cy - 7, 18, cy - 9, 24, cy);
    cairo_curve_to(cr, 18, cy + 6, 12, cy + 5, 10, cy);
    cairo_close_path(cr);
    cairo_pattern_t* flame = cairo_pattern_create_linear(10, 0, 24, 0);
    AddStop(flame, 0, Hex(0xc02a0a));
    AddStop(flame, 1, Hex(0xfff0a0));
    cairo_set_source(cr, flame);
    cairo_fill(cr);
    cairo_pattern_destroy(flame);
    return lit;
  }
  throw std::logic_error("no main item " + entry.name);
}

}  // namespace

void AddMenuPainters(PainterTable& table) {
  table["menu"] = PaintBackdrop;
  for (const MainItem& main : kMainItems) table[main.picture] = PaintMainItem;
}

}  // namespace assets
