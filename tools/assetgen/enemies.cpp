// The dragon's foes, all facing left towards it: the bat-winged imp archer ("enemy1"), the war
// balloon with a bowman in its basket ("enemy2"), the carrion roc that carries a burning stone
// ("enemy3"), four kinds of archers on the ground ("enemy4" to "enemy7") and the catapult
// ("enemy8"). Their shots leave where the game starts them: the imp's bow 13 pixels below its
// top, the basket 103 below the balloon's top, the roc's claws at (21, 80), up-left of each
// archer, and from the catapult's bucket at (64, 16).
#include <array>
#include <cmath>

#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

const Rgb kInk = Hex(0x120a0c);

void Outline(cairo_t* cr, double width = 1.3) {
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetColor(cr, kInk);
  cairo_stroke(cr);
}

void FillShaded(cairo_t* cr, Rgb light, Rgb dark, double x0, double y0, double x1, double y1) {
  cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
  AddStop(g, 0, light);
  AddStop(g, 1, dark);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

// A bat wing from `shoulder`, its tip at angle `angle` (radians, screen coordinates) and length
// `span`, with a scalloped trailing edge falling back to `root`.
void BatWing(cairo_t* cr, double sx, double sy, double angle, double span, double rootX,
             double rootY, Rgb light, Rgb dark) {
  const double wx = sx + std::cos(angle) * span * 0.5;
  const double wy = sy + std::sin(angle) * span * 0.5;
  std::array<std::pair<double, double>, 3> tips;
  for (size_t i = 0; i < tips.size(); ++i) {
    const double a = angle + 0.55 * (static_cast<double>(i) + 0.3);
    const double l = span * (0.62 - 0.08 * static_cast<double>(i));
    tips[i] = {wx + std::cos(a) * l, wy + std::sin(a) * l};
  }
  cairo_move_to(cr, sx, sy);
  cairo_line_to(cr, wx, wy);
  cairo_line_to(cr, tips[0].first, tips[0].second);
  double px = tips[0].first, py = tips[0].second;
  for (size_t i = 1; i <= tips.size(); ++i) {
    const double tx = i < tips.size() ? tips[i].first : rootX;
    const double ty = i < tips.size() ? tips[i].second : rootY;
    const double mx = (px + tx) / 2 + (wx - (px + tx) / 2) * 0.3;
    const double my = (py + ty) / 2 + (wy - (py + ty) / 2) * 0.3;
    cairo_curve_to(cr, mx, my, mx, my, tx, ty);
    px = tx;
    py = ty;
  }
  cairo_close_path(cr);
  FillShaded(cr, light, dark, wx, wy, sx, sy);
  Outline(cr);
  SetColor(cr, Scale(dark, 0.6));
  cairo_set_line_width(cr, 1.1);
  for (const auto& tip : tips) {
    cairo_move_to(cr, wx, wy);
    cairo_line_to(cr, tip.first, tip.second);
  }
  cairo_stroke(cr);
}

void Bow(cairo_t* cr, double x, double y, double height, double tilt, double draw) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, tilt);
  cairo_move_to(cr, 0, -height / 2);
  cairo_curve_to(cr, -height * 0.32, -height * 0.25, -height * 0.32, height * 0.25, 0, height / 2);
  cairo_set_line_width(cr, 3.2);
  SetColor(cr, kInk);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 1.8);
  SetColor(cr, Hex(0x8a5a2a));
  cairo_stroke(cr);
  // The string, pulled back by `draw`.
  cairo_move_to(cr, 0, -height / 2);
  cairo_line_to(cr, draw, 0);
  cairo_line_to(cr, 0, height / 2);
  cairo_set_line_width(cr, 0.8);
  SetColor(cr, Hex(0xe8e0c8));
  cairo_stroke(cr);
  if (draw > 1) {
    // The nocked arrow.
    cairo_move_to(cr, draw, 0);
    cairo_line_to(cr, -height * 0.45, 0);
    cairo_set_line_width(cr, 1.2);
    SetColor(cr, Hex(0x4a3018));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

// enemy1: a grey-violet imp on leathery wings with a short bow held out in front.
Image PaintImp(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const std::array<double, 3> angles = {-2.0, -2.7, 2.55};
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const double a = angles[static_cast<size_t>(frame)];
    BatWing(cr, 42, 24, a + 0.35, 40, 50, 32, Hex(0x6a4a7a), Hex(0x2a1a34));
    // Body, tail and head.
    cairo_move_to(cr, 50, 36);
    cairo_curve_to(cr, 60, 44, 68, 44, 70, 36);
    cairo_curve_to(cr, 66, 42, 60, 40, 54, 32);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x4a3a5a));
    cairo_fill_preserve(cr);
    Outline(cr, 1.0);
    Ellipse(cr, 40, 28, 12, 9);
    FillShaded(cr, Hex(0x8a7aa0), Hex(0x3a2a4a), 30, 20, 46, 38);
    Outline(cr);
    Ellipse(cr, 26, 18, 8, 7);
    FillShaded(cr, Hex(0x9a88b0), Hex(0x4a3a5a), 20, 12, 30, 26);
    Outline(cr);
    // Horns, glowing eye, pointed ear.
    cairo_move_to(cr, 26, 12);
    cairo_line_to(cr, 31, 3);
    cairo_line_to(cr, 30, 12);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xd0c0a0));
    cairo_fill_preserve(cr);
    Outline(cr, 0.8);
    SetColor(cr, Hex(0xffe040));
    Ellipse(cr, 22, 17, 2, 1.5);
    cairo_fill(cr);
    // Legs dangling.
    cairo_move_to(cr, 42, 36);
    cairo_line_to(cr, 44, 48);
    cairo_move_to(cr, 36, 35);
    cairo_line_to(cr, 34, 47);
    cairo_set_line_width(cr, 3);
    SetColor(cr, kInk);
    cairo_stroke(cr);
    BatWing(cr, 36, 24, a, 42, 44, 34, Hex(0x8a6a9a), Hex(0x3a2446));
    // Arms holding the bow out in front, at the height the arrow leaves.
    cairo_move_to(cr, 34, 27);
    cairo_line_to(cr, 14, 13);
    cairo_set_line_width(cr, 3.4);
    SetColor(cr, kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2);
    SetColor(cr, Hex(0x7a6a90));
    cairo_stroke(cr);
    Bow(cr, 10, 13, 20, 0, frame == 0 ? 6 : 3);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

// enemy2: a patched war balloon, its burner flaring, a bowman in the basket.
Image PaintBalloon(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double w = entry.patternWidth;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const double cx = w / 2 + 2;
    // Envelope with gores in two colours.
    cairo_move_to(cr, cx, 2);
    cairo_curve_to(cr, cx + 40, 2, cx + 38, 52, cx + 10, 74);
    cairo_line_to(cr, cx - 10, 74);
    cairo_curve_to(cr, cx - 38, 52, cx - 40, 2, cx, 2);
    cairo_close_path(cr);
    FillShaded(cr, Hex(0xa03a2a), Hex(0x4a1418), cx - 30, 10, cx + 34, 60);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_new_path(cr);
    for (int gore = -2; gore <= 2; gore += 2) {
      cairo_move_to(cr, cx, 2);
      cairo_curve_to(cr, cx + gore * 9 - 4, 20, cx + gore * 9 - 4, 50, cx + gore * 3 - 2, 74);
      cairo_line_to(cr, cx + gore * 3 + 3, 74);
      cairo_curve_to(cr, cx + gore * 9 + 5, 50, cx + gore * 9 + 5, 20, cx, 2);
      cairo_close_path(cr);
    }
    SetColor(cr, Hex(0xd8a040), 0.85);
    cairo_fill(cr);
    // Shading: the left side catches the light.
    cairo_pattern_t* shade = cairo_pattern_create_linear(cx - 36, 0, cx + 36, 0);
    AddStop(shade, 0, Hex(0xffe0a0), 0.25);
    AddStop(shade, 0.5, Hex(0x000000), 0);
    AddStop(shade, 1, Hex(0x000000), 0.45);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
    Outline(cr, 1.5);
    // Ropes and the basket.
    SetColor(cr, Hex(0x3a2a1a));
    cairo_set_line_width(cr, 1.0);
    for (double x : {-9.0, -3.0, 3.0, 9.0}) {
      cairo_move_to(cr, cx + x, 73);
      cairo_line_to(cr, cx + x * 1.4, 96);
    }
    cairo_stroke(cr);
    // The burner's flame flickers.
    const double flame = 6 + frame * 3;
    cairo_move_to(cr, cx - 3, 80);
    cairo_curve_to(cr, cx - 4, 80 - flame * 0.5, cx - 1, 80 - flame, cx, 80 - flame);
    cairo_curve_to(cr, cx + 1, 80 - flame * 0.6, cx + 4, 80 - flame * 0.3, cx + 3, 80);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xffc040));
    cairo_fill(cr);
    // The bowman, his head and bow above the rim.
    Ellipse(cr, cx - 8, 92, 5, 5);
    FillShaded(cr, Hex(0xa08a70), Hex(0x5a4030), cx - 12, 88, cx - 4, 96);
    Outline(cr, 1);
    cairo_move_to(cr, cx - 13, 89);
    cairo_line_to(cr, cx - 8, 84);
    cairo_line_to(cr, cx - 2, 89);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x5a5a66));
    cairo_fill_preserve(cr);
    Outline(cr, 0.8);
    Bow(cr, cx - 24, 103, 22, -0.25, frame == 1 ? 7 : 4);
    cairo_rectangle(cr, cx - 17, 97, 34, 18);
    FillShaded(cr, Hex(0x9a6a38), Hex(0x4a2e16), 0, 97, 0, 115);
    Outline(cr, 1.4);
    SetColor(cr, Hex(0x3a2410));
    cairo_set_line_width(cr, 0.8);
    for (double y = 101; y < 115; y += 4) {
      cairo_move_to(cr, cx - 16, y);
      cairo_line_to(cr, cx + 16, y);
    }
    cairo_stroke(cr);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

// enemy3: a carrion roc, dark-feathered, a burning stone in its talons.
Image PaintRoc(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const std::array<double, 4> angles = {-1.9, -2.6, 2.6, -2.9};
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const double a = angles[static_cast<size_t>(frame)];
    // Feathered wings: the far one behind the body.
    const auto wing = [&](double sx, double sy, double angle, double span, Rgb light, Rgb dark) {
      const double ex = sx + std::cos(angle) * span, ey = sy + std::sin(angle) * span;
      cairo_move_to(cr, sx - 8, sy + 4);
      cairo_curve_to(cr, sx + (ex - sx) * 0.3 - 6, sy + (ey - sy) * 0.3 - 6, ex - 6, ey - 2, ex,
                     ey);
      for (int k = 0; k < 5; ++k) {
        const double t = (k + 1) / 5.0;
        const double fx = ex + (sx + 14 - ex) * t, fy = ey + (sy + 6 - ey) * t;
        cairo_line_to(cr, fx + 5 * std::cos(angle + 1.4), fy + 8 * std::sin(angle + 1.4) + 5);
        cairo_line_to(cr, fx, fy);
      }
      cairo_close_path(cr);
      FillShaded(cr, light, dark, ex, ey, sx, sy);
      Outline(cr);
    };
    wing(52, 36, a + 0.3, 44, Hex(0x4a3a34), Hex(0x1e1612));
    // Body and tail feathers.
    Ellipse(cr, 52, 46, 22, 13);
    FillShaded(cr, Hex(0x6a5448), Hex(0x241a16), 40, 34, 60, 60);
    Outline(cr);
    cairo_move_to(cr, 70, 42);
    cairo_line_to(cr, 94, 36);
    cairo_line_to(cr, 92, 48);
    cairo_line_to(cr, 72, 52);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x2e221c));
    cairo_fill_preserve(cr);
    Outline(cr);
    // Bare red neck and vulture head with a hooked beak.
    cairo_move_to(cr, 36, 40);
    cairo_curve_to(cr, 30, 36, 26, 30, 22, 30);
    cairo_line_to(cr, 24, 38);
    cairo_curve_to(cr, 28, 40, 32, 46, 36, 48);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xa0483a));
    cairo_fill_preserve(cr);
    Outline(cr, 1);
    Ellipse(cr, 20, 31, 7, 6);
    FillShaded(cr, Hex(0xc06050), Hex(0x6a2a22), 14, 26, 26, 37);
    Outline(cr);
    cairo_move_to(cr, 14, 28);
    cairo_curve_to(cr, 6, 28, 3, 33, 5, 38);
    cairo_curve_to(cr, 8, 35, 11, 34, 14, 34);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xe0c890));
    cairo_fill_preserve(cr);
    Outline(cr, 1);
    SetColor(cr, Hex(0xffd020));
    cairo_arc(cr, 18, 29.5, 1.6, 0, 2 * M_PI);
    cairo_fill(cr);
    // A ruff of pale feathers at the neck.
    Ellipse(cr, 36, 42, 6, 7);
    SetColor(cr, Hex(0xb8a890));
    cairo_fill_preserve(cr);
    Outline(cr, 1);
    // Legs down to the stone in the talons at (21..43, 70..92).
    SetColor(cr, Hex(0xc0a060));
    cairo_set_line_width(cr, 2.4);
    cairo_move_to(cr, 46, 56);
    cairo_line_to(cr, 36, 72);
    cairo_move_to(cr, 54, 56);
    cairo_line_to(cr, 42, 74);
    cairo_stroke(cr);
    cairo_pattern_t* hot = cairo_pattern_create_radial(30, 80, 1, 32, 82, 10);
    AddStop(hot, 0, Hex(0xffe080));
    AddStop(hot, 0.45, Hex(0xf06018));
    AddStop(hot, 1, Hex(0x3a1a10));
    Ellipse(cr, 32, 81, 9, 8);
    cairo_set_source(cr, hot);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(hot);
    Outline(cr, 1.2);
    // Flames licking up from the stone as it is carried.
    SetColor(cr, Hex(0xffa030));
    for (int k = 0; k < 3; ++k) {
      const double x = 27 + k * 5;
      const double height = 5 + ((frame + k) % 3) * 2;
      cairo_move_to(cr, x - 2, 76);
      cairo_line_to(cr, x + 2 + (k - 1), 76 - height);
      cairo_line_to(cr, x + 3, 76);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
    wing(48, 38, a, 48, Hex(0x6a544a), Hex(0x2a1e18));
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

struct ArcherLook {
  Rgb skin, cloth, clothDark, trim;
  int headgear;  // 0 hood, 1 horned helm, 2 skull, 3 wide-brimmed iron hat
};

// An archer on foot facing left, bow raised to shoot up and to the left. The three patterns draw
// the string back further.
Image PaintArcher(const PictureEntry& entry, const ArcherLook& look) {
  Image image(entry.Width(), entry.Height());
  const double h = entry.patternHeight;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const double ground = h - 2;
    // Legs apart, braced.
    cairo_move_to(cr, 22, ground - 30);
    cairo_line_to(cr, 14, ground);
    cairo_move_to(cr, 28, ground - 30);
    cairo_line_to(cr, 36, ground);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 7);
    SetColor(cr, kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 4.6);
    SetColor(cr, look.clothDark);
    cairo_stroke(cr);
    // Boots.
    for (double x : {12.0, 34.0}) {
      Ellipse(cr, x, ground - 1.5, 5, 2.6);
      SetColor(cr, Hex(0x2a1a10));
      cairo_fill_preserve(cr);
      Outline(cr, 0.8);
    }
    // Tunic.
    cairo_move_to(cr, 16, ground - 50);
    cairo_line_to(cr, 34, ground - 50);
    cairo_line_to(cr, 37, ground - 26);
    cairo_line_to(cr, 13, ground - 26);
    cairo_close_path(cr);
    FillShaded(cr, look.cloth, look.clothDark, 13, 0, 37, 0);
    Outline(cr);
    cairo_rectangle(cr, 14, ground - 33, 22, 3.5);
    SetColor(cr, look.trim);
    cairo_fill(cr);
    // Quiver on the back.
    cairo_move_to(cr, 33, ground - 54);
    cairo_line_to(cr, 40, ground - 56);
    cairo_line_to(cr, 42, ground - 34);
    cairo_line_to(cr, 36, ground - 33);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x6a4020));
    cairo_fill_preserve(cr);
    Outline(cr, 1);
    for (int k = 0; k < 3; ++k) {
      cairo_move_to(cr, 35 + k * 2, ground - 55);
      cairo_line_to(cr, 33 + k * 2.5, ground - 61);
    }
    cairo_set_line_width(cr, 1.2);
    SetColor(cr, Hex(0xe0d8c0));
    cairo_stroke(cr);
    // Head.
    const double hx = 24, hy = ground - 58;
    Ellipse(cr, hx, hy, 7, 7.5);
    FillShaded(cr, look.skin, Scale(look.skin, 0.5), hx - 6, hy - 6, hx + 6, hy + 6);
    Outline(cr);
    SetColor(cr, look.headgear == 2 ? Hex(0xff4020) : Hex(0x1a0a06));
    cairo_arc(cr, hx - 3.5, hy - 1, 1.1, 0, 2 * M_PI);
    cairo_fill(cr);
    switch (look.headgear) {
      case 0:  // hood
        cairo_move_to(cr, hx - 8, hy + 2);
        cairo_curve_to(cr, hx - 10, hy - 12, hx + 8, hy - 14, hx + 10, hy + 6);
        cairo_line_to(cr, hx + 4, hy + 6);
        cairo_curve_to(cr, hx + 4, hy - 4, hx - 2, hy - 7, hx - 5, hy - 3);
        cairo_close_path(cr);
        SetColor(cr, look.clothDark);
        cairo_fill_preserve(cr);
        Outline(cr, 1);
        break;
      case 1:  // horned helm
        cairo_move_to(cr, hx - 8, hy - 1);
        cairo_curve_to(cr, hx - 8, hy - 11, hx + 8, hy - 11, hx + 8, hy - 1);
        cairo_close_path(cr);
        FillShaded(cr, Hex(0xa0a0aa), Hex(0x4a4a52), hx - 8, hy - 10, hx + 8, hy);
        Outline(cr, 1);
        for (double side : {-1.0, 1.0}) {
          cairo_move_to(cr, hx + side * 6, hy - 5);
          cairo_curve_to(cr, hx + side * 12, hy - 8, hx + side * 12, hy - 14, hx + side * 9,
                         hy - 17);
          cairo_line_to(cr, hx + side * 8, hy - 7);
          cairo_close_path(cr);
          SetColor(cr, Hex(0xe0d4b0));
          cairo_fill_preserve(cr);
          Outline(cr, 0.8);
        }
        break;
      case 2:  // bare skull: jaw line and dark sockets
        SetColor(cr, Hex(0x1a0a06));
        cairo_arc(cr, hx + 1, hy - 1, 1.6, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_move_to(cr, hx - 5, hy + 4);
        cairo_line_to(cr, hx + 2, hy + 4);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        break;
      default:  // wide iron hat
        cairo_move_to(cr, hx - 12, hy - 2);
        cairo_line_to(cr, hx, hy - 12);
        cairo_line_to(cr, hx + 12, hy - 2);
        cairo_close_path(cr);
        FillShaded(cr, Hex(0x8a8a96), Hex(0x3a3a44), hx - 12, hy - 12, hx + 12, hy);
        Outline(cr, 1);
        break;
    }
    // Arms and bow, raised towards the upper left.
    const double draw = 3 + frame * 4;
    const double bx = 8, by = ground - 58;
    cairo_move_to(cr, 20, ground - 48);
    cairo_line_to(cr, bx + 2, by + 2);
    cairo_move_to(cr, 26, ground - 48);
    cairo_line_to(cr, bx + 8 + draw * 0.8, by + 8 + draw * 0.5);
    cairo_set_line_width(cr, 4.4);
    SetColor(cr, kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2.8);
    SetColor(cr, look.skin);
    cairo_stroke(cr);
    Bow(cr, bx, by, 30, 0.6, draw);
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

Image PaintGoblinArcher(Studio&, const PictureEntry& entry) {
  return PaintArcher(entry, {Hex(0x7aa04a), Hex(0x7a5a32), Hex(0x4a3420), Hex(0xc0a040), 0});
}
Image PaintOrcArcher(Studio&, const PictureEntry& entry) {
  return PaintArcher(entry, {Hex(0x8a9078), Hex(0x9a2a22), Hex(0x4a1410), Hex(0x2a2a2a), 1});
}
Image PaintSkeletonArcher(Studio&, const PictureEntry& entry) {
  return PaintArcher(entry, {Hex(0xe0d8c0), Hex(0x4a4a5a), Hex(0x24242e), Hex(0x8a7a40), 2});
}
Image PaintIronArcher(Studio&, const PictureEntry& entry) {
  return PaintArcher(entry, {Hex(0xc09a7a), Hex(0x2a4a7a), Hex(0x14243e), Hex(0xd0b060), 3});
}

// enemy8: the catapult, its arm swinging up from loaded to thrown; the stone leaves the bucket at
// (64, 16).
Image PaintCatapult(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double h = entry.patternHeight;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const auto beam = [&](double x0, double y0, double x1, double y1, double width) {
      cairo_move_to(cr, x0, y0);
      cairo_line_to(cr, x1, y1);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_set_line_width(cr, width + 2.4);
      SetColor(cr, kInk);
      cairo_stroke_preserve(cr);
      cairo_set_line_width(cr, width);
      SetColor(cr, Hex(0x8a5a30));
      cairo_stroke(cr);
    };
    // The frame: a base on two wheels and an A-frame holding the axle.
    beam(10, h - 14, 88, h - 14, 6);
    beam(42, h - 14, 52, h - 28, 5);
    beam(64, h - 14, 52, h - 28, 5);
    // The arm pivots on the frame; its bucket is at (64, 16) when the stone flies.
    const std::array<std::pair<double, double>, 3> tips = {{{90, 40}, {84, 22}, {64, 16}}};
    const double pivotX = 52, pivotY = h - 28;
    const double tipX = tips[static_cast<size_t>(frame)].first;
    const double tipY = tips[static_cast<size_t>(frame)].second;
    const double backX = pivotX - (tipX - pivotX) * 0.3, backY = pivotY - (tipY - pivotY) * 0.3;
    beam(backX, backY, tipX, tipY, 4.5);
    // Counterweight on the short end.
    Ellipse(cr, backX, backY + 3, 6.5, 6);
    SetColor(cr, Hex(0x4a4a52));
    cairo_fill_preserve(cr);
    Outline(cr, 1);
    // The bucket with its burning stone, until the stone is thrown.
    Ellipse(cr, tipX, tipY, 6, 4);
    SetColor(cr, Hex(0x5a3a1a));
    cairo_fill_preserve(cr);
    Outline(cr, 1);
    if (frame < 2) {
      cairo_pattern_t* hot = cairo_pattern_create_radial(tipX, tipY - 4, 1, tipX, tipY - 4, 7);
      AddStop(hot, 0, Hex(0xffe080));
      AddStop(hot, 0.5, Hex(0xf06018));
      AddStop(hot, 1, Hex(0x5a1a0a));
      Ellipse(cr, tipX, tipY - 4, 5, 5);
      cairo_set_source(cr, hot);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(hot);
      Outline(cr, 1);
    }
    // Axle bolt and wheels.
    SetColor(cr, Hex(0x2a2a30));
    cairo_arc(cr, pivotX, pivotY, 3, 0, 2 * M_PI);
    cairo_fill(cr);
    for (double x : {22.0, 76.0}) {
      Ellipse(cr, x, h - 11, 10, 10);
      SetColor(cr, Hex(0x6a4220));
      cairo_fill_preserve(cr);
      Outline(cr, 1.6);
      for (int spoke = 0; spoke < 4; ++spoke) {
        const double sa = spoke * M_PI / 4 + frame * 0.2;
        cairo_move_to(cr, x - std::cos(sa) * 9, h - 11 - std::sin(sa) * 9);
        cairo_line_to(cr, x + std::cos(sa) * 9, h - 11 + std::sin(sa) * 9);
      }
      cairo_set_line_width(cr, 1.4);
      SetColor(cr, kInk);
      cairo_stroke(cr);
      SetColor(cr, Hex(0x3a3a40));
      cairo_arc(cr, x, h - 11, 2.5, 0, 2 * M_PI);
      cairo_fill(cr);
    }
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

}  // namespace

void AddEnemyPainters(PainterTable& table) {
  table["enemy1"] = PaintImp;
  table["enemy2"] = PaintBalloon;
  table["enemy3"] = PaintRoc;
  table["enemy4"] = PaintGoblinArcher;
  table["enemy5"] = PaintOrcArcher;
  table["enemy6"] = PaintSkeletonArcher;
  table["enemy7"] = PaintIronArcher;
  table["enemy8"] = PaintCatapult;
}

}  // namespace assets
