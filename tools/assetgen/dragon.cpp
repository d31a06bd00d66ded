// The player's dragon: a green body with red wings in four wing-beat patterns ("hero"), its tail
// (drawn apart, 49 pixels left of and 78 below the dragon's corner), the shield bubble that
// covers both, and the small dragon of the lives indicator. Shots leave from the open jaws at the
// right edge, 44 pixels below the top.
#include <array>
#include <cmath>

#include "tools/assetgen/dragon.h"
#include "tools/assetgen/paint.h"
#include "tools/assetgen/studio.h"

namespace assets {
namespace {

struct Point {
  double x, y;
};

const Rgb kOutline = Hex(0x140a06);

struct WingPose {
  Point wrist;
  std::array<Point, 4> tips;
  Point root;  // where the trailing edge meets the body
};

// Up, half way down, down, half way up.
const std::array<WingPose, 4> kPoses = {{
    {{62, 5}, {{{40, 0}, {19, 2}, {5, 14}, {10, 36}}}, {30, 60}},
    {{36, 26}, {{{8, 12}, {0, 28}, {2, 46}, {18, 58}}}, {32, 64}},
    {{56, 90}, {{{44, 96}, {26, 95}, {10, 88}, {8, 74}}}, {28, 72}},
    {{46, 22}, {{{24, 3}, {6, 13}, {0, 30}, {12, 48}}}, {32, 62}},
}};

constexpr Point kShoulder{52, 57};

// The arm bends at the elbow, forward of the straight line from shoulder to wrist.
Point Elbow(const WingPose& pose, Point shoulder) {
  const double dx = pose.wrist.x - shoulder.x, dy = pose.wrist.y - shoulder.y;
  const double length = std::hypot(dx, dy);
  const double side = dy < 0 ? 1.0 : -1.0;
  return {shoulder.x + dx * 0.45 - dy / length * 9 * side,
          shoulder.y + dy * 0.45 + dx / length * 9 * side};
}

void WingPath(cairo_t* cr, const WingPose& pose, Point shoulder) {
  const Point elbow = Elbow(pose, shoulder);
  cairo_move_to(cr, shoulder.x, shoulder.y);
  cairo_curve_to(cr, elbow.x, elbow.y, elbow.x, elbow.y, pose.wrist.x, pose.wrist.y);
  Point previous = pose.wrist;
  for (size_t i = 0; i < pose.tips.size(); ++i) {
    const Point tip = pose.tips[i];
    if (i == 0) {
      cairo_line_to(cr, tip.x, tip.y);
    } else {
      // Scalloped trailing edge: each panel bows in towards the wrist.
      const double mx = (previous.x + tip.x) / 2, my = (previous.y + tip.y) / 2;
      const double cx = mx + (pose.wrist.x - mx) * 0.28, cy = my + (pose.wrist.y - my) * 0.28;
      cairo_curve_to(cr, cx, cy, cx, cy, tip.x, tip.y);
    }
    previous = tip;
  }
  const double mx = (previous.x + pose.root.x) / 2, my = (previous.y + pose.root.y) / 2;
  const double cx = mx + (pose.wrist.x - mx) * 0.25, cy = my + (pose.wrist.y - my) * 0.25;
  cairo_curve_to(cr, cx, cy, cx, cy, pose.root.x, pose.root.y);
  cairo_close_path(cr);
}

void PaintWing(cairo_t* cr, const WingPose& pose, Point shoulder, double shade) {
  WingPath(cr, pose, shoulder);
  cairo_pattern_t* membrane =
      cairo_pattern_create_radial(shoulder.x, shoulder.y, 4, shoulder.x, shoulder.y, 60);
  AddStop(membrane, 0, Scale(Hex(0x8a1014), shade));
  AddStop(membrane, 0.55, Scale(Hex(0xd2262a), shade));
  AddStop(membrane, 1, Scale(Hex(0xff6a48), shade));
  cairo_set_source(cr, membrane);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(membrane);
  cairo_set_line_width(cr, 1.4);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetColor(cr, kOutline);
  cairo_stroke(cr);
  // Arm and finger bones.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetColor(cr, Scale(Hex(0x4a0c0c), shade));
  cairo_set_line_width(cr, 3.2);
  const Point elbow = Elbow(pose, shoulder);
  cairo_move_to(cr, shoulder.x, shoulder.y);
  cairo_curve_to(cr, elbow.x, elbow.y, elbow.x, elbow.y, pose.wrist.x, pose.wrist.y);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1.5);
  for (const Point& tip : pose.tips) {
    cairo_move_to(cr, pose.wrist.x, pose.wrist.y);
    cairo_line_to(cr, tip.x, tip.y);
    cairo_stroke(cr);
  }
  // A claw at the wrist.
  SetColor(cr, Hex(0xe8dcc0));
  cairo_arc(cr, pose.wrist.x, pose.wrist.y, 1.8, 0, 2 * M_PI);
  cairo_fill(cr);
}

void BodyPath(cairo_t* cr) {
  // Hindquarters (where the tail joins) along the back, up the neck to the skull, round the jaws
  // and back along the throat and belly.
  cairo_move_to(cr, 10, 80);
  cairo_curve_to(cr, 12, 66, 26, 56, 44, 54);
  cairo_curve_to(cr, 58, 52, 64, 46, 72, 38);
  cairo_curve_to(cr, 77, 32, 82, 28, 90, 27);
  cairo_curve_to(cr, 97, 26, 103, 31, 109, 37);
  cairo_line_to(cr, 111.5, 41);
  cairo_line_to(cr, 104, 43);
  cairo_line_to(cr, 111, 45.5);
  cairo_curve_to(cr, 108, 51, 100, 54, 92, 53);
  cairo_curve_to(cr, 84, 53, 80, 56, 76, 62);
  cairo_curve_to(cr, 70, 70, 62, 79, 46, 83);
  cairo_curve_to(cr, 32, 87, 18, 90, 10, 88);
  cairo_close_path(cr);
}

void PaintBody(cairo_t* cr) {
  // Back spines, drawn first so the body overlaps their roots.
  const std::array<Point, 9> ridge = {
      {{16, 66}, {24, 60}, {33, 56}, {43, 54}, {54, 51}, {63, 45}, {70, 39}, {77, 32}, {84, 28}}};
  for (size_t i = 0; i < ridge.size(); ++i) {
    const Point p = ridge[i];
    const double size = 3.5 + (i > 2 && i < 7 ? 1.5 : 0);
    cairo_move_to(cr, p.x - size, p.y + 2);
    cairo_line_to(cr, p.x - size * 0.6, p.y - size * 1.3);
    cairo_line_to(cr, p.x + size * 0.7, p.y + 1);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xc83a1c));
    cairo_fill_preserve(cr);
    SetColor(cr, kOutline);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
  }
  BodyPath(cr);
  cairo_pattern_t* skin = cairo_pattern_create_linear(0, 28, 10, 92);
  AddStop(skin, 0, Hex(0x2e7a34));
  AddStop(skin, 0.45, Hex(0x3f9a3c));
  AddStop(skin, 0.8, Hex(0x2c6a2c));
  AddStop(skin, 1, Hex(0x1a4a22));
  cairo_set_source(cr, skin);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(skin);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  // Pale belly plates along the underside and throat.
  cairo_new_path(cr);
  cairo_move_to(cr, 14, 90);
  cairo_curve_to(cr, 30, 88, 48, 84, 60, 76);
  cairo_curve_to(cr, 70, 68, 76, 58, 86, 53);
  cairo_curve_to(cr, 96, 50, 104, 50, 110, 47);
  cairo_line_to(cr, 110, 60);
  cairo_line_to(cr, 14, 100);
  cairo_close_path(cr);
  cairo_pattern_t* belly = cairo_pattern_create_linear(0, 50, 0, 92);
  AddStop(belly, 0, Hex(0xd8e08a));
  AddStop(belly, 1, Hex(0x9aae52));
  cairo_set_source(cr, belly);
  cairo_fill(cr);
  cairo_pattern_destroy(belly);
  SetColor(cr, Hex(0x6a7a36), 0.8);
  cairo_set_line_width(cr, 0.9);
  for (int i = 0; i < 9; ++i) {
    const double t = i / 8.0;
    const double x = 18 + t * 70;
    const double y = 90 - t * 38 - std::sin(t * M_PI) * 4;
    cairo_move_to(cr, x - 3, y - 4);
    cairo_line_to(cr, x + 3, y + 4);
    cairo_stroke(cr);
  }
  // Scales: rows of small arcs, lighter on top where the light falls.
  Random random(811);
  for (int i = 0; i < 70; ++i) {
    const double x = random.Uniform(12, 96);
    const double y = random.Uniform(30, 80);
    SetColor(cr, Hex(0x8ad06a), 0.35);
    cairo_set_line_width(cr, 0.9);
    cairo_arc(cr, x, y, 2.2, M_PI * 0.15, M_PI * 0.85);
    cairo_stroke(cr);
  }
  // Light along the back, shade under the belly line.
  cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 26, 0, 60);
  AddStop(sheen, 0, Hex(0xc8f0a0), 0.35);
  AddStop(sheen, 1, Hex(0xc8f0a0), 0);
  cairo_set_source(cr, sheen);
  cairo_paint(cr);
  cairo_pattern_destroy(sheen);
  cairo_restore(cr);
  cairo_new_path(cr);
  BodyPath(cr);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetColor(cr, kOutline);
  cairo_stroke(cr);

  // Legs tucked under in flight, with pale claws.
  const auto leg = [&](Point hip, Point knee, Point foot) {
    cairo_move_to(cr, hip.x, hip.y);
    cairo_curve_to(cr, knee.x, knee.y, knee.x, knee.y, foot.x, foot.y);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 7);
    SetColor(cr, kOutline);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 4.6);
    SetColor(cr, Hex(0x2f7a30));
    cairo_stroke(cr);
    for (int c = 0; c < 3; ++c) {
      cairo_move_to(cr, foot.x - 1 + c * 2.2, foot.y + 1);
      cairo_line_to(cr, foot.x + 1 + c * 2.2, foot.y + 4.5);
      cairo_set_line_width(cr, 1.3);
      SetColor(cr, Hex(0xeee4c8));
      cairo_stroke(cr);
    }
  };
  leg({28, 82}, {30, 93}, {20, 92});
  leg({62, 74}, {66, 84}, {74, 86});

  // Horns sweeping back from the skull.
  const auto horn = [&](Point base, Point tip, double thick) {
    cairo_move_to(cr, base.x - thick, base.y);
    cairo_curve_to(cr, base.x - 4, base.y - 6, tip.x + 6, tip.y + 2, tip.x, tip.y);
    cairo_curve_to(cr, tip.x + 7, tip.y + 4, base.x + 2, base.y - 3, base.x + thick, base.y);
    cairo_close_path(cr);
    cairo_pattern_t* bone = cairo_pattern_create_linear(base.x, base.y, tip.x, tip.y);
    AddStop(bone, 0, Hex(0xd8c8a0));
    AddStop(bone, 1, Hex(0x6a5a40));
    cairo_set_source(cr, bone);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(bone);
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, kOutline);
    cairo_stroke(cr);
  };
  horn({88, 29}, {72, 16}, 3.0);
  horn({94, 28}, {84, 13}, 2.4);
  // Red fin behind the jaw, echoing the wings.
  cairo_move_to(cr, 86, 45);
  cairo_line_to(cr, 77, 49);
  cairo_line_to(cr, 82, 40);
  cairo_close_path(cr);
  SetColor(cr, Hex(0xd02a22));
  cairo_fill_preserve(cr);
  SetColor(cr, kOutline);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // The eye: a burning yellow with a slit, under a heavy brow.
  cairo_save(cr);
  cairo_translate(cr, 98, 34.5);
  cairo_scale(cr, 3.6, 2.5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  SetColor(cr, Hex(0xffe040));
  cairo_fill_preserve(cr);
  SetColor(cr, kOutline);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  SetColor(cr, Hex(0x1a0a00));
  cairo_rectangle(cr, 98.3, 32.4, 1.3, 4.4);
  cairo_fill(cr);
  cairo_move_to(cr, 93, 31.5);
  cairo_line_to(cr, 102, 31);
  cairo_set_line_width(cr, 1.4);
  SetColor(cr, kOutline);
  cairo_stroke(cr);
  // Nostril and a glow of fire inside the jaws.
  SetColor(cr, kOutline);
  cairo_arc(cr, 107, 37.5, 0.9, 0, 2 * M_PI);
  cairo_fill(cr);
  SetColor(cr, Hex(0xff8a20));
  cairo_move_to(cr, 105.5, 43);
  cairo_line_to(cr, 110.5, 42);
  cairo_line_to(cr, 110, 44.6);
  cairo_close_path(cr);
  cairo_fill(cr);
  // Teeth.
  SetColor(cr, Hex(0xfff8e0));
  for (double x : {102.0, 105.0, 108.0}) {
    cairo_move_to(cr, x, 41.6);
    cairo_line_to(cr, x + 1, 43.6);
    cairo_line_to(cr, x + 2, 41.4);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
}

}  // namespace

void PaintDragon(cairo_t* cr, int pose) {
  const WingPose& wing = kPoses[static_cast<size_t>(pose)];
  // The far wing shows behind the body, a little higher and darker.
  // It is smaller (further away) and a little ahead of the near one.
  WingPose far = wing;
  const Point farShoulder{kShoulder.x + 10, kShoulder.y - 3};
  const auto place = [&](Point p) {
    return Point{farShoulder.x + (p.x - kShoulder.x) * 0.78 + 6,
                 farShoulder.y + (p.y - kShoulder.y) * 0.78};
  };
  far.wrist = place(wing.wrist);
  for (auto& tip : far.tips) tip = place(tip);
  far.root = place(wing.root);
  PaintWing(cr, far, farShoulder, 0.55);
  PaintBody(cr);
  PaintWing(cr, wing, kShoulder, 1.0);
}

namespace {

Image PaintHero(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  for (int pose = 0; pose < entry.patterns; ++pose) {
    Image frame(entry.patternWidth, entry.patternHeight);
    PaintDragon(frame.cr(), pose % 4);
    image.Draw(frame, pose * entry.patternWidth, 0);
  }
  return image;
}

// The tail: it joins the body at its right end and ends in a red spade.
Image PaintTail(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  cairo_t* cr = image.cr();
  const double w = entry.Width();
  // Spines along the top.
  for (int i = 0; i < 5; ++i) {
    const double x = 18 + i * 9.5;
    const double y = 13 - i * 1.8 + (i > 2 ? 1 : 0);
    cairo_move_to(cr, x - 3, y + 2);
    cairo_line_to(cr, x - 1.5, y - 3.5);
    cairo_line_to(cr, x + 2.5, y + 2);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xc83a1c));
    cairo_fill_preserve(cr);
    SetColor(cr, kOutline);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
  }
  cairo_move_to(cr, w, 2);
  cairo_curve_to(cr, 44, 4, 30, 10, 12, 19);
  cairo_line_to(cr, 12, 22);
  cairo_curve_to(cr, 30, 16, 46, 16, w, 14);
  cairo_close_path(cr);
  cairo_pattern_t* skin = cairo_pattern_create_linear(0, 2, 0, 22);
  AddStop(skin, 0, Hex(0x3f9a3c));
  AddStop(skin, 0.7, Hex(0x2c6a2c));
  AddStop(skin, 1, Hex(0xa8b860));
  cairo_set_source(cr, skin);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(skin);
  SetColor(cr, kOutline);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  // The spade.
  cairo_move_to(cr, 14, 18);
  cairo_line_to(cr, 8, 10);
  cairo_line_to(cr, 1, 23);
  cairo_line_to(cr, 12, 28);
  cairo_line_to(cr, 16, 22);
  cairo_close_path(cr);
  cairo_pattern_t* spade = cairo_pattern_create_linear(1, 0, 16, 0);
  AddStop(spade, 0, Hex(0xff5a3a));
  AddStop(spade, 1, Hex(0x8a1014));
  cairo_set_source(cr, spade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(spade);
  SetColor(cr, kOutline);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  return image;
}

// The shield: a ring of golden-white light around dragon and tail, runes of light turning on it.
Image PaintShield(Studio&, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const double w = entry.patternWidth;
  const double h = entry.patternHeight;
  for (int frame = 0; frame < entry.patterns; ++frame) {
    Image f(entry.patternWidth, entry.patternHeight);
    cairo_t* cr = f.cr();
    const double cx = w / 2, cy = h / 2;
    const double rx = w / 2 - 4, ry = h / 2 - 4;
    const auto ellipse = [&](double grow) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, rx + grow, ry + grow);
      cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
      cairo_restore(cr);
    };
    ellipse(0);
    cairo_set_line_width(cr, 4.5);
    SetColor(cr, Hex(0x1a5a9a));
    cairo_stroke(cr);
    ellipse(0);
    cairo_set_line_width(cr, 2.4);
    SetColor(cr, Hex(0x7ad0ff));
    cairo_stroke(cr);
    ellipse(0);
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, Hex(0xf0fbff));
    cairo_stroke(cr);
    // Bright arcs chasing round the ring.
    for (int k = 0; k < 3; ++k) {
      const double start = frame * (M_PI / 6) + k * 2 * M_PI / 3;
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, rx - 5, ry - 5);
      cairo_arc(cr, 0, 0, 1, start, start + 0.7);
      cairo_restore(cr);
      cairo_set_line_width(cr, 2.2);
      SetColor(cr, Hex(0xfff2b0));
      cairo_stroke(cr);
    }
    // Sparks on the ring.
    Random random(907 + static_cast<uint32_t>(frame) * 31);
    for (int s = 0; s < 7; ++s) {
      const double a = random.Uniform(0, 2 * M_PI);
      const double x = cx + std::cos(a) * rx, y = cy + std::sin(a) * ry;
      SetColor(cr, Hex(0xffffff));
      cairo_move_to(cr, x - 3, y);
      cairo_line_to(cr, x + 3, y);
      cairo_move_to(cr, x, y - 3);
      cairo_line_to(cr, x, y + 3);
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
    }
    image.Draw(f, frame * entry.patternWidth, 0);
  }
  return image;
}

// The lives indicator: the dragon in small, wings up.
Image PaintLife(Studio& studio, const PictureEntry& entry) {
  Image image(entry.Width(), entry.Height());
  const Image hero = studio.Pattern("hero", 0);
  const double scale = std::min(entry.Width() / static_cast<double>(hero.width()),
                                entry.Height() / static_cast<double>(hero.height()));
  cairo_t* cr = image.cr();
  cairo_save(cr);
  cairo_translate(cr, (entry.Width() - hero.width() * scale) / 2,
                  (entry.Height() - hero.height() * scale) / 2);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, hero.surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
  cairo_paint(cr);
  cairo_restore(cr);
  return image;
}

}  // namespace

void AddDragonPainters(PainterTable& table) {
  table["hero"] = PaintHero;
  table["tail"] = PaintTail;
  table["shield"] = PaintShield;
  table["life"] = PaintLife;
}

}  // namespace assets
