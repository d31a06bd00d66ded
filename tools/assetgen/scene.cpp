#include "tools/assetgen/scene.h"

#include <cmath>
#include <map>
#include <string>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/preview.h"

namespace assets {
namespace {

class Screen {
 public:
  Screen(Image& target, double top, const std::vector<KeyedPicture>& pictures)
      : target_(target), top_(top) {
    for (const auto& p : pictures) pictures_.emplace(p.name, &p);
  }
  // Draws pattern `pattern` of the named picture with its top-left corner at (x, y).
  void Draw(const std::string& name, double x, double y, int pattern = 0) {
    const KeyedPicture& p = *pictures_.at(name);
    const Image image = Unkey(p);
    cairo_t* cr = target_.cr();
    cairo_save(cr);
    cairo_rectangle(cr, 0, top_, 800, 600);
    cairo_clip(cr);
    cairo_rectangle(cr, x, top_ + y, p.patternWidth, p.patternHeight);
    cairo_clip(cr);
    cairo_set_source_surface(cr, image.surface(), x - pattern * p.patternWidth, top_ + y);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  int Width(const std::string& name) const { return pictures_.at(name)->patternWidth; }
  // Text as the game draws it: the top-left corner of the line at (x, y), size in points.
  void Text(double x, double y, double points, const std::string& text, Rgb color) {
    cairo_t* cr = target_.cr();
    cairo_save(cr);
    SetFont(cr, Face::Regular, PointsToPixels(points));
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    SetColor(cr, color);
    cairo_move_to(cr, x, top_ + y + extents.ascent);
    ShowText(cr, text);
    cairo_restore(cr);
  }
  double TextWidth(double points, const std::string& text) {
    cairo_t* cr = target_.cr();
    cairo_save(cr);
    SetFont(cr, Face::Regular, PointsToPixels(points));
    const double w = assets::TextWidth(cr, text);
    cairo_restore(cr);
    return w;
  }

 private:
  Image& target_;
  double top_;
  std::map<std::string, const KeyedPicture*> pictures_;
};

void GameField(Screen& s, bool day, int frame) {
  s.Draw(day ? "dayback" : "nightback", 0, 68);
  s.Draw("3-1", -130, 501);
  s.Draw("3-1", 670, 501);
  s.Draw("2-1", -260, 448);
  s.Draw("2-1", 540, 448);
  s.Draw("lava", 140 + 69, 427, frame % 3);
  s.Draw("volcano", 140, 440, frame % 3);
  s.Draw("volcano", 560, 440, (frame + 1) % 3);
  s.Draw("1-1", -390, 568);
  s.Draw("1-1", 410, 568);
  s.Draw("tree1", 470, 437);
  s.Draw("tree2", 300, 512);
  s.Draw("tree2", 735, 512);
  s.Draw("enemy4", 620, 495, frame % 3);
  s.Draw("enemy8", 690, 498, frame % 3);
  s.Draw("arrow2", 560, 470);
  s.Draw("reshetka", -12, 86);
  for (int i = 1; i < 6; ++i) s.Draw("reshetka", -12, 86 + 75 * i);
  const int hx = 190, hy = 210;
  s.Draw("tail", hx - 49, hy + 78);
  s.Draw("hero", hx, hy, frame % 4);
  if (!day) s.Draw("shield", hx - s.Width("tail"), hy, frame % 4);
  s.Draw(day ? "firepistol" : "icepistol", hx + 112 + 30, hy + 44, frame % 2);
  s.Draw(day ? "firepistol" : "icepistol", hx + 112 + 110, hy + 44, (frame + 1) % 2);
  s.Draw("enemy1", 520, 120, frame % 3);
  s.Draw("arrow", 470, 133);
  s.Draw("enemy3", 640, 230, frame % 4);
  s.Draw("burnstone", 661, 330, frame % 4);
  s.Draw("enemy2", 420, 270, frame % 3);
  s.Draw(day ? "fireballexplosion" : "electroexplosion", 380, 150, 4);
  s.Draw("bonus", 300, 380, frame % 4);
  s.Draw(day ? "fireballicon" : "lightningicon", 300, 380);
  s.Draw("bonusindicator", 300, 380);
  s.Draw("statusbar", 0, 0);
  for (int i = 0; i <= 97; ++i) s.Draw("scale", 453 + i, 40, i);
  for (int i = 1; i <= 3; ++i) s.Draw("life", 265 + 41 * i, 38);
  s.Draw(day ? "fireballicon" : "lightningicon", 715, 28);
  s.Draw("bonusindicator", 715, 28);
  s.Text(65, 35, 20, "3", Hex(0));
  const std::string score = "1250";
  s.Text(221 - static_cast<int>(s.TextWidth(20, score)) / 2, 35, 20, score, Hex(0));
  s.Text(525, 35, 20, "00:31", Hex(0));
  s.Text(750, 27, 12, "00:12", Hex(0));
}

void Menu(Screen& s) {
  s.Draw("menu", 0, 0);
  s.Draw("options", 50, 241);
  s.Draw("optionsback", 317, 170);
  s.Draw("full", 584, 187);
  s.Draw("muson", 465, 244);
  s.Draw("soundoff", 531, 300);
  s.Text(535, 350, 16, " NORWAY", Hex(0xFF0000));
  s.Text(470, 405, 16, "F12", Hex(0));
}

void MenuHelp(Screen& s) {
  s.Draw("menu", 0, 0);
  s.Draw("help", 50, 348);
  s.Draw("helpback", 317, 170);
  s.Draw("help4", 317, 170);
  s.Draw("next", 711, 474);
}

void MenuScores(Screen& s) {
  s.Draw("menu", 0, 0);
  s.Draw("scores", 50, 295);
  s.Draw("scoreback", 317, 170);
  s.Draw("clearscore", 317, 470);
  const char* names[] = {"Astrid", "Bjorn", "Dragonfly", "Eirik",  "Freya",
                         "Gunnar", "Helga", "Ivar",      "Jorunn", "Knut"};
  for (int p = 1; p <= 10; ++p) {
    s.Text(340, 190 + 23 * p, 18, std::to_string(p), Hex(0));
    s.Text(420, 190 + 23 * p, 18, names[p - 1], Hex(0));
    s.Text(600, 190 + 23 * p, 18, std::to_string(1100 - p * 100), Hex(0));
  }
  s.Draw("console", 220, 190);
  s.Draw("ok", 301, 386);
  s.Text(230, 195, 16, "CLEAR SCORES", Hex(0));
  s.Text(260, 250, 16, "DO YOU WANT TO CLEAR", Hex(0));
  s.Text(260, 290, 16, "THE HIGH SCORE TABLE?", Hex(0));
}

}  // namespace

Image GameScene(const Manifest& manifest, const std::vector<std::vector<KeyedPicture>>& archives) {
  const std::vector<KeyedPicture>* menu = nullptr;
  const std::vector<KeyedPicture>* game = nullptr;
  for (size_t i = 0; i < manifest.images.size(); ++i) {
    if (manifest.images[i].file == "data/menu.dxg") menu = &archives[i];
    if (manifest.images[i].file == "data/gamegraphic.dxg") game = &archives[i];
  }
  Image image(1600, 1200 + 600);
  cairo_t* cr = image.cr();
  SetColor(cr, Hex(0));
  cairo_paint(cr);
  if (game != nullptr) {
    Screen dusk(image, 0, *game);
    GameField(dusk, true, 0);
    Image right(800, 600);
    Screen night(right, 0, *game);
    GameField(night, false, 1);
    image.Draw(right, 800, 0);
  }
  if (menu != nullptr) {
    Image left(800, 600);
    Screen options(left, 0, *menu);
    Menu(options);
    image.Draw(left, 0, 600);
    Image right(800, 600);
    Screen help(right, 0, *menu);
    MenuHelp(help);
    image.Draw(right, 800, 600);
    Image third(800, 600);
    Screen scores(third, 0, *menu);
    MenuScores(scores);
    image.Draw(third, 0, 1200);
  }
  return image;
}

}  // namespace assets
