// The ten help pages, shown at (317, 170) over the help panel above its Previous / Next / Back
// row: each is the top of the panel with a heading, a short text and the game's own pictures of
// what it explains.
#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/assetgen/help.h"
#include "tools/assetgen/paint.h"
#include "tools/assetgen/panels.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

struct Illustration {
  const char* picture;
  int pattern;
  double x, y;  // page coordinates
  double scale;
  const char* caption;  // under the picture, or empty
};

struct Page {
  const char* title;
  double textLeft, textRight;
  const char* text;  // paragraphs separated by '\n'
  std::vector<Illustration> pictures;
};

const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = {
      {"Controls",
       30,
       434,
       "Steer the dragon with the arrow keys, W, A, S and D, 8, 4, 6 and 2 on the keypad, or "
       "the joystick, and breathe fire with Space or Ctrl.\nThe mouse steers as well: move "
       "it, and hold the left button to fire.\nP pauses the game and Esc asks whether to leave "
       "it. Alt+Enter switches between a window and the full screen.",
       {}},
      {"The menu and options",
       30,
       434,
       "Choose with the arrow keys and Enter, or point and click. Esc goes back.\nIn Options "
       "you switch between window and full screen, turn the music and the sound effects on or "
       "off, type your country for the world's high-score table, and set the boss key, which "
       "hides the game at once: pick it, then press the key you want.",
       {}},
      {"The dragon",
       170,
       434,
       "Your dragon has 50 hit points and three lives.\nArrows cost 2 hit points, burning "
       "stones 10, and lava 10 for every moment you touch it. Ramming a foe costs what it has "
       "left, but destroys it.\nThe wind always pushes you back towards the grate.",
       {{"hero", 0, 40, 70, 1.0, ""}, {"tail", 0, -9, 148, 1.0, ""}}},
      {"Weapons",
       30,
       434,
       "You breathe fire. A weapon bonus gives a stronger shot for 15 seconds:",
       {{"firepistol", 0, 40, 118, 1.0, "Fire: 2"},
        {"fireballbonus", 0, 140, 114, 1.0, "Fireball: 4"},
        {"icepistol", 0, 240, 118, 1.0, "Ice: 4"},
        {"flashpistol", 0, 340, 117, 1.0, "Lightning: 8"},
        {"fireballexplosion", 5, 40, 190, 0.8, ""},
        {"iceexplosion", 3, 240, 190, 0.8, ""},
        {"electroexplosion", 3, 340, 190, 0.8, ""}}},
      {"Bonuses",
       150,
       434,
       "Orbs float in from the right: touch one to take it.\nAn orb with a picture gives that "
       "weapon. A plain orb brings one of: a shield for 15 seconds, an extra life (three at "
       "most), 100 points, ten seconds off the level clock, or the end of every foe in "
       "sight.",
       {{"bonus", 0, 40, 70, 1.4, ""},
        {"fireballicon", 0, 40, 70, 1.4, ""},
        {"bonusindicator", 0, 40, 70, 1.4, ""},
        {"bonus", 1, 40, 150, 1.4, ""},
        {"bonusindicator", 0, 40, 150, 1.4, ""}}},
      {"Flying foes",
       30,
       434,
       "Imps fly straight at you, shooting arrows. War balloons sink towards the ground. The "
       "carrion roc weaves up and down and drops burning stones.",
       {{"enemy1", 0, 40, 150, 1.0, "Imp: 10"},
        {"enemy2", 0, 180, 118, 1.0, "Balloon: 10"},
        {"enemy3", 0, 310, 140, 1.0, "Roc: 20"}}},
      {"Archers and the catapult",
       30,
       434,
       "Archers walk along the ground and shoot up at you. The catapult hurls burning stones "
       "high into the sky.",
       {{"enemy4", 1, 30, 140, 1.0, "5"},
        {"enemy5", 1, 100, 140, 1.0, "5"},
        {"enemy6", 1, 170, 140, 1.0, "5"},
        {"enemy7", 1, 240, 142, 1.0, "5"},
        {"enemy8", 1, 330, 142, 1.0, "Catapult: 15"}}},
      {"Lava, volcanoes and the grate",
       200,
       434,
       "A volcano itself does no harm, but the lava that spurts from its crater burns 10 hit "
       "points for every moment you touch it.\nThe iron grate on the left edge kills at once. "
       "A shield protects you from both.",
       {{"lava", 1, 30 + 69, 100 - 13, 1.0, ""},
        {"volcano", 1, 30, 100, 1.0, ""},
        {"reshetka", 0, 196, 200, 0.7, ""}}},
      {"Levels and scoring",
       30,
       434,
       "The first level lasts a minute; each next one ten seconds longer, up to two minutes. "
       "The bar at the top shows how far you are.\nEvery fifth level leads over a volcanic "
       "range crowded with volcanoes.\nA foe is worth as many points as it had hit points. Day "
       "turns to night and back as you fly.",
       {}},
      {"Scores",
       30,
       434,
       "The ten best scores are kept on this computer. With a place in the table, type your "
       "name and country after the game; then you may send the result to the world's "
       "high-score table.\nIn Scores, Clear scores empties the table and World scores opens "
       "the online table in your browser.",
       {}},
  };
  return pages;
}

// The gamepad's controls: a paragraph of their own under the text of the page they belong to.
struct GamepadNote {
  int page;
  const char* text;
};

constexpr GamepadNote GamepadNotes[] = {
    {1, "Gamepad: the left stick or the D-pad steers, A fires, Start pauses, Back asks to leave."},
    {2, "With a gamepad, the D-pad or the left stick moves, A chooses, and B or Back goes back."},
};

const char* GamepadNoteOf(int page) {
  for (const GamepadNote& note : GamepadNotes) {
    if (note.page == page) return note.text;
  }
  return nullptr;
}

// Lines of text follow each other at this many times the font's size; paragraphs leave this much
// more between them.
constexpr double LineAdvance = 1.22;
constexpr double ParagraphGap = 0.35;
// The page number sits at the foot of the page: no line of text comes this close to the bottom.
constexpr double FootRoom = 30;

// Writes `text` in lines no wider than right - left, starting at baseline y; returns the
// baseline after the last line.
double WrapText(cairo_t* cr, const std::string& text, double left, double right, double y,
                double pixels) {
  SetFont(cr, Face::Regular, pixels);
  SetColor(cr, Hex(0x24140a));
  std::istringstream paragraphs(text);
  std::string paragraph;
  while (std::getline(paragraphs, paragraph)) {
    std::istringstream words(paragraph);
    std::string word, line;
    const auto flush = [&]() {
      cairo_move_to(cr, left, y);
      ShowText(cr, line);
      y += pixels * LineAdvance;
      line.clear();
    };
    while (words >> word) {
      const std::string candidate = line.empty() ? word : line + " " + word;
      if (!line.empty() && TextWidth(cr, candidate) > right - left) flush();
      line = line.empty() ? word : line + " " + word;
    }
    if (!line.empty()) flush();
    y += pixels * ParagraphGap;
  }
  return y;
}

// A page that says too much stops the build rather than being cut off at the foot.
void CheckTextFits(int number, double nextBaseline, double pixels, double pageHeight) {
  const double lastBaseline = nextBaseline - pixels * (LineAdvance + ParagraphGap);
  if (lastBaseline > pageHeight - FootRoom) {
    throw std::runtime_error("help page " + std::to_string(number) +
                             ": the text runs into the foot of the page; say it shorter");
  }
}

Image PaintHelpPage(Studio& studio, const PictureEntry& entry) {
  const int number = std::stoi(entry.name.substr(4));  // "help1" .. "help10"
  const Page& page = Pages().at(static_cast<size_t>(number - 1));
  Image image = studio.Picture("helpback").Crop(0, 0, entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  DrawTitle(cr, page.title, entry.Width() / 2.0, 38, 27);
  // Page number in the corner.
  SetFont(cr, Face::Regular, 14);
  SetColor(cr, Hex(0x7a5a3a));
  const std::string folio = std::to_string(number) + " / 10";
  cairo_move_to(cr, entry.Width() - 22 - TextWidth(cr, folio), entry.Height() - 8);
  ShowText(cr, folio);
  const bool textFirst = page.textLeft < 60;
  double y = 70;
  if (textFirst || page.pictures.empty()) {
    y = WrapText(cr, page.text, page.textLeft, page.textRight, y, 17);
    if (const char* note = GamepadNoteOf(number)) {
      y = WrapText(cr, note, page.textLeft, page.textRight, y, 17);
    }
    CheckTextFits(number, y, 17, entry.Height());
  }
  // Pictures drawn after text pages start below the text when the text spans the page.
  const double shift = textFirst && !page.pictures.empty() ? std::max(0.0, y - 100) : 0;
  for (const Illustration& ill : page.pictures) {
    const Image picture = studio.Pattern(ill.picture, ill.pattern);
    cairo_save(cr);
    cairo_rectangle(cr, 11, 11, entry.Width() - 22, entry.Height() - 11);
    cairo_clip(cr);
    cairo_translate(cr, ill.x, ill.y + shift);
    cairo_scale(cr, ill.scale, ill.scale);
    cairo_set_source_surface(cr, picture.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_paint(cr);
    cairo_restore(cr);
    if (ill.caption[0] != '\0') {
      SetFont(cr, Face::Bold, 15);
      SetColor(cr, Hex(0x7a2414));
      const double w = TextWidth(cr, ill.caption);
      cairo_move_to(cr, ill.x + picture.width() * ill.scale / 2 - w / 2,
                    ill.y + shift + picture.height() * ill.scale + 17);
      ShowText(cr, ill.caption);
    }
  }
  if (!textFirst && !page.pictures.empty()) {
    CheckTextFits(number, WrapText(cr, page.text, page.textLeft, page.textRight, y, 17), 17,
                  entry.Height());
  }
  return image;
}

}  // namespace

std::string HelpPageText(int page) {
  return Pages().at(static_cast<size_t>(page - 1)).text;
}

void AddHelpPainters(PainterTable& table) {
  for (int page = 1; page <= 10; ++page) table["help" + std::to_string(page)] = PaintHelpPage;
}

}  // namespace assets
