// The parchment panels of the menu's sub-screens (at (317, 170)), the dialog frame "console" (at
// (220, 190), in both archives), the boss-key prompt's frame "keyprompt" and their items. A panel
// carries every item's word in quiet ink; the item's picture is the same patch of the panel with
// the word lit up in fire, so it lies over the panel exactly and its edges are smooth.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/panels.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

constexpr double kPanelX = 317, kPanelY = 170;
constexpr double kConsoleX = 220, kConsoleY = 190;

struct ItemWord {
  const char* picture;
  const char* panel;
  double x, y;  // where the game places the item picture, on the screen
  const char* text;
  double pixels;
  // The top of the line the word is centred on, on the screen, when it is not the picture's top:
  // the game places "window" 4 pixels above "full", yet both words sit on one line.
  double lineY = -1;
};

// Size of each item picture comes from the manifest; the word is centred in it.
const std::vector<ItemWord> kItems = {
    {"window", "optionsback", 460, 183, "Window", 22, 187},
    {"full", "optionsback", 584, 187, "Full screen", 22},
    {"muson", "optionsback", 465, 244, "On", 22},
    {"musoff", "optionsback", 529, 245, "Off", 22},
    {"soundon", "optionsback", 468, 299, "On", 22},
    {"soundoff", "optionsback", 531, 300, "Off", 22},
    {"backactive", "optionsback", 318, 504, "Back", 22},
    {"backactive", "scoreback", 318, 504, "Back", 22},
    {"backactive", "helpback", 318, 504, "Back", 22},
    {"clearscore", "scoreback", 317, 470, "Clear scores", 21},
    {"viewscore", "scoreback", 547, 471, "World scores", 21},
    {"prev", "helpback", 320, 473, "Previous", 21},
    {"next", "helpback", 711, 474, "Next", 21},
    {"ok", "console", 301, 386, "OK", 22},
    {"cancel", "console", 420, 386, "Cancel", 22},
};

// The dialog frames, placed at (220, 190).
bool IsConsole(const std::string& panel) {
  return panel == "console" || panel == "keyprompt";
}

const Rgb kInk = Hex(0x4a3020);

void WordPlacement(cairo_t* cr, const ItemWord& item, const PictureEntry& picture, double originX,
                   double originY, double* x, double* baseline) {
  SetFont(cr, Face::Bold, item.pixels);
  const double width = TextWidth(cr, item.text);
  *x = item.x - originX + (picture.Width() - width) / 2;
  const double lineY = item.lineY >= 0 ? item.lineY : item.y;
  *baseline = lineY - originY + picture.Height() * 0.5 + item.pixels * 0.33;
}

void DrawQuietWord(cairo_t* cr, const ItemWord& item, const PictureEntry& picture, double ox,
                   double oy) {
  double x = 0, baseline = 0;
  WordPlacement(cr, item, picture, ox, oy, &x, &baseline);
  Lettering style;
  style.pixels = item.pixels;
  style.outlineWidth = 0;
  style.shadow = 0;
  // A pale highlight under the ink, as if pressed into the parchment.
  DrawLettering(cr, style, x + 0.8, baseline + 0.8, item.text, Hex(0xfff4dc));
  DrawLettering(cr, style, x, baseline, item.text, kInk);
}

}  // namespace

void PaintParchment(Image& image, double x, double y, double w, double h, uint32_t seed) {
  cairo_t* cr = image.cr();
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(x + w * 0.45, y + h * 0.4, 10, x + w / 2,
                                                   y + h / 2, std::max(w, h) * 0.75);
  AddStop(g, 0, Hex(0xf6ead0));
  AddStop(g, 0.7, Hex(0xe8d4a8));
  AddStop(g, 1, Hex(0xc8a874));
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
  image.Flush();
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  for (int py = y0; py < y0 + static_cast<int>(h); ++py) {
    for (int px = x0; px < x0 + static_cast<int>(w); ++px) {
      const double n = Fractal(px / 30.0, py / 30.0, 4, seed);
      const double fibre = Noise(px / 2.0, py / 14.0, seed + 5);
      const Rgb c = GetPixel(image, px, py);
      PutPixel(image, px, py, Scale(c, 0.9 + n * 0.16 + (fibre - 0.5) * 0.04));
    }
  }
  image.MarkDirty();
}

void PaintFrame(Image& image, double x, double y, double w, double h, double border) {
  cairo_t* cr = image.cr();
  // Dark wood round the parchment, with a gold bead inside and corner studs.
  cairo_rectangle(cr, x, y, w, h);
  cairo_rectangle(cr, x + border, y + border, w - 2 * border, h - 2 * border);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_pattern_t* wood = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
  AddStop(wood, 0, Hex(0x6a4028));
  AddStop(wood, 0.5, Hex(0x3a2214));
  AddStop(wood, 1, Hex(0x24140c));
  cairo_set_source(cr, wood);
  cairo_fill(cr);
  cairo_pattern_destroy(wood);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_rectangle(cr, x + border - 1.5, y + border - 1.5, w - 2 * border + 3, h - 2 * border + 3);
  cairo_set_line_width(cr, 1.6);
  SetColor(cr, Hex(0xd0a850));
  cairo_stroke(cr);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  cairo_set_line_width(cr, 1);
  SetColor(cr, Hex(0x0a0604));
  cairo_stroke(cr);
  for (double cx : {x + border / 2, x + w - border / 2}) {
    for (double cy : {y + border / 2, y + h - border / 2}) {
      cairo_arc(cr, cx, cy, border * 0.32, 0, 2 * M_PI);
      cairo_pattern_t* stud =
          cairo_pattern_create_radial(cx - 1, cy - 1, 0.5, cx, cy, border * 0.4);
      AddStop(stud, 0, Hex(0xfff0b0));
      AddStop(stud, 1, Hex(0x8a6020));
      cairo_set_source(cr, stud);
      cairo_fill(cr);
      cairo_pattern_destroy(stud);
    }
  }
}

void DrawTitle(cairo_t* cr, const std::string& text, double centreX, double baseline,
               double pixels) {
  Lettering style;
  style.pixels = pixels;
  style.outlineWidth = 1.2;
  style.outline = Hex(0x2a0a06);
  style.shadow = 1.5;
  SetFont(cr, style.face, style.pixels);
  const double w = TextWidth(cr, text);
  cairo_pattern_t* fill = LetterGradient(baseline, pixels, Hex(0xc83a20), Hex(0x6a1008));
  DrawLettering(cr, style, centreX - w / 2, baseline, text, fill);
  cairo_pattern_destroy(fill);
}

void DrawLabel(cairo_t* cr, const std::string& text, double x, double baseline, double pixels) {
  Lettering style;
  style.pixels = pixels;
  style.outlineWidth = 0;
  style.shadow = 0;
  DrawLettering(cr, style, x + 0.8, baseline + 0.8, text, Hex(0xfff4dc));
  DrawLettering(cr, style, x, baseline, text, Hex(0x7a2414));
}

void DrawLitWord(Image& image, const std::string& text, double x, double baseline, double pixels) {
  // A warm glow behind, then the word in fire colours.
  Image shape(image.width(), image.height());
  Lettering style;
  style.pixels = pixels;
  style.outlineWidth = 3;
  style.shadow = 0;
  DrawLettering(shape.cr(), style, x, baseline, text, Hex(0xffffff));
  Tint(shape, Hex(0xff9a30));
  Blur(shape, 6);
  cairo_t* cr = image.cr();
  cairo_save(cr);
  cairo_set_source_surface(cr, shape.surface(), 0, 0);
  cairo_paint_with_alpha(cr, 0.85);
  cairo_restore(cr);
  style.outlineWidth = 1.2;
  style.outline = Hex(0x3a0a04);
  style.shadow = 0;
  cairo_pattern_t* fire = LetterGradient(baseline, pixels, Hex(0xfff0a0), Hex(0xe83a10));
  DrawLettering(cr, style, x, baseline, text, fire);
  cairo_pattern_destroy(fire);
}

// Every sub-screen panel shares one background, so that the "backactive" patch fits on each.
Image PanelBase(Studio& studio, const std::string& panel) {
  const PictureEntry& entry = studio.Entry(panel);
  Image image(entry.Width(), entry.Height());
  const double w = entry.Width(), h = entry.Height();
  const double border = IsConsole(panel) ? 7 : 10;
  PaintParchment(image, 0, 0, w, h, IsConsole(panel) ? 1703 : 1701);
  PaintFrame(image, 0, 0, w, h, border);
  cairo_t* cr = image.cr();
  const double ox = IsConsole(panel) ? kConsoleX : kPanelX;
  const double oy = IsConsole(panel) ? kConsoleY : kPanelY;
  for (const ItemWord& item : kItems) {
    if (panel != item.panel) continue;
    DrawQuietWord(cr, item, studio.Entry(item.picture), ox, oy);
  }
  return image;
}

namespace {

Image PaintOptionsPanel(Studio& studio, const PictureEntry&) {
  Image image = PanelBase(studio, "optionsback");
  cairo_t* cr = image.cr();
  struct Row {
    const char* label;
    double top, height;
  };
  // The rows of the Options screen's item rectangles.
  const Row rows[] = {{"Display", 185, 40},
                      {"Music", 240, 40},
                      {"Sound", 295, 40},
                      {"Country", 350, 30},
                      {"Boss key", 405, 30}};
  for (const Row& row : rows) {
    DrawLabel(cr, row.label, 26, row.top - kPanelY + row.height * 0.5 + 8, 24);
  }
  // Writing lines under the country and the boss key, which the game prints in.
  for (const auto& [x0, x1, y] :
       {std::tuple{535.0, 745.0, 378.0}, std::tuple{470.0, 600.0, 433.0}}) {
    cairo_move_to(cr, x0 - kPanelX, y - kPanelY);
    cairo_line_to(cr, x1 - kPanelX, y - kPanelY);
    cairo_set_line_width(cr, 1);
    SetColor(cr, Hex(0x8a6a44));
    cairo_stroke(cr);
  }
  // A flourish between the settings and the Back item.
  cairo_move_to(cr, 60, 305);
  cairo_curve_to(cr, 160, 295, 300, 315, 400, 305);
  cairo_set_line_width(cr, 1.2);
  SetColor(cr, Hex(0xa07a4a));
  cairo_stroke(cr);
  return image;
}

Image PaintScoresPanel(Studio& studio, const PictureEntry&) {
  Image image = PanelBase(studio, "scoreback");
  cairo_t* cr = image.cr();
  DrawTitle(cr, "Hall of Fame", image.width() / 2.0, 36, 28);
  // Faint rules under the ten rows the game prints (place at 340, name at 420, score at 600).
  for (int p = 1; p <= 10; ++p) {
    const double y = 190 + 23 * p + 22 - kPanelY;
    cairo_move_to(cr, 330 - kPanelX, y);
    cairo_line_to(cr, 700 - kPanelX, y);
    cairo_set_line_width(cr, 0.8);
    SetColor(cr, Hex(0xa08058), 0.6);
    cairo_stroke(cr);
  }
  return image;
}

Image PaintHelpPanel(Studio& studio, const PictureEntry&) {
  return PanelBase(studio, "helpback");
}

// The dialog frame with its title band; `panel` is "console", which carries the quiet words of
// the OK and Cancel answers, or "keyprompt", which has no answers to show.
Image PaintDialogFrame(Studio& studio, const std::string& panel) {
  Image image = PanelBase(studio, panel);
  cairo_t* cr = image.cr();
  // A darker band behind the dialog's title line at the top.
  cairo_rectangle(cr, 7, 7, image.width() - 14, 28);
  SetColor(cr, Hex(0xb08850), 0.35);
  cairo_fill(cr);
  cairo_move_to(cr, 7, 35.5);
  cairo_line_to(cr, image.width() - 7, 35.5);
  cairo_set_line_width(cr, 1);
  SetColor(cr, Hex(0x8a6a44));
  cairo_stroke(cr);
  return image;
}

Image PaintConsole(Studio& studio, const PictureEntry&) {
  return PaintDialogFrame(studio, "console");
}

// The boss-key prompt waits for a key, not for an answer: the frame without OK and Cancel. The
// game titles the other dialogs in their band ("EXIT" at (230, 195), in its 16-point text); this
// one carries its title in the same place and letters.
Image PaintKeyPrompt(Studio& studio, const PictureEntry&) {
  Image image = PaintDialogFrame(studio, "keyprompt");
  cairo_t* cr = image.cr();
  SetFont(cr, Face::Regular, PointsToPixels(16));
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  SetColor(cr, Hex(0x000000));
  cairo_move_to(cr, 230 - kConsoleX, 195 - kConsoleY + extents.ascent);
  ShowText(cr, "BOSS KEY");
  return image;
}

Image PaintLitItem(Studio& studio, const PictureEntry& entry) {
  for (const ItemWord& item : kItems) {
    if (entry.name != item.picture) continue;
    const bool console = IsConsole(item.panel);
    const double ox = console ? kConsoleX : kPanelX;
    const double oy = console ? kConsoleY : kPanelY;
    const Image& panel = studio.Picture(item.panel);
    Image lit = panel.Crop(static_cast<int>(item.x - ox), static_cast<int>(item.y - oy),
                           entry.Width(), entry.Height());
    double x = 0, baseline = 0;
    WordPlacement(lit.cr(), item, entry, item.x, item.y, &x, &baseline);
    DrawLitWord(lit, item.text, x, baseline, item.pixels);
    return lit;
  }
  throw std::logic_error("no item word for " + entry.name);
}

}  // namespace

void AddPanelPainters(PainterTable& table) {
  table["optionsback"] = PaintOptionsPanel;
  table["scoreback"] = PaintScoresPanel;
  table["helpback"] = PaintHelpPanel;
  table["console"] = PaintConsole;
  table["keyprompt"] = PaintKeyPrompt;
  for (const ItemWord& item : kItems) table[item.picture] = PaintLitItem;
}

}  // namespace assets
