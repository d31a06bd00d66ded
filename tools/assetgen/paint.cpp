#include "tools/assetgen/paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace assets {

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, double factor) {
  return {c.r * factor, c.g * factor, c.b * factor};
}

void SetColor(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void AddStop(cairo_pattern_t* pattern, double offset, Rgb c, double alpha) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, alpha);
}

uint32_t Random::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Random::Uniform(double low, double high) {
  return low + (high - low) * (Next() / 4294967296.0);
}

int Random::Below(int n) {
  return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n));
}

namespace {

double Lattice(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / static_cast<double>(0xFFFFFF);
}

double Smooth(double t) {
  return t * t * t * (t * (t * 6 - 15) + 10);
}

int Wrap(int value, int period) {
  if (period <= 0) return value;
  const int r = value % period;
  return r < 0 ? r + period : r;
}

}  // namespace

double Noise(double x, double y, uint32_t seed, int period) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int x0 = static_cast<int>(fx);
  const int y0 = static_cast<int>(fy);
  const double tx = Smooth(x - fx);
  const double ty = Smooth(y - fy);
  const int xa = Wrap(x0, period);
  const int xb = Wrap(x0 + 1, period);
  const double a = Lattice(xa, y0, seed);
  const double b = Lattice(xb, y0, seed);
  const double c = Lattice(xa, y0 + 1, seed);
  const double d = Lattice(xb, y0 + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fractal(double x, double y, int octaves, uint32_t seed, int period) {
  double sum = 0;
  double weight = 0.5;
  double total = 0;
  double frequency = 1;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += weight * Noise(x * frequency, y * frequency, seed + static_cast<uint32_t>(octave) * 101u,
                          period > 0 ? period * static_cast<int>(frequency) : 0);
    total += weight;
    weight *= 0.5;
    frequency *= 2;
  }
  return sum / total;
}

namespace {

// One box pass along rows (horizontal) or columns, over the four premultiplied channels.
void BoxPass(std::vector<float>& data, int width, int height, int radius, bool horizontal) {
  const int length = horizontal ? width : height;
  const int lines = horizontal ? height : width;
  std::vector<float> line(static_cast<size_t>(length) * 4);
  for (int l = 0; l < lines; ++l) {
    auto index = [&](int i) {
      return horizontal ? (static_cast<size_t>(l) * width + i) * 4
                        : (static_cast<size_t>(i) * width + l) * 4;
    };
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int i = -radius; i <= radius; ++i) {
        if (i >= 0 && i < length) sum += data[index(i) + c];
      }
      for (int i = 0; i < length; ++i) {
        line[static_cast<size_t>(i) * 4 + c] = static_cast<float>(sum / (2 * radius + 1));
        const int out = i - radius;
        const int in = i + radius + 1;
        if (out >= 0) sum -= data[index(out) + c];
        if (in < length) sum += data[index(in) + c];
      }
    }
    for (int i = 0; i < length; ++i) {
      for (int c = 0; c < 4; ++c) data[index(i) + c] = line[static_cast<size_t>(i) * 4 + c];
    }
  }
}

}  // namespace

void Blur(Image& image, double radius) {
  const int r = std::max(1, static_cast<int>(std::lround(radius / 1.7)));
  const int w = image.width();
  const int h = image.height();
  image.Flush();
  std::vector<float> data(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = image.Row(y);
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < 4; ++c) {
        data[(static_cast<size_t>(y) * w + x) * 4 + c] =
            static_cast<float>((row[x] >> (8 * c)) & 0xFF);
      }
    }
  }
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(data, w, h, r, true);
    BoxPass(data, w, h, r, false);
  }
  for (int y = 0; y < h; ++y) {
    uint32_t* row = image.Row(y);
    for (int x = 0; x < w; ++x) {
      uint32_t pixel = 0;
      const float* p = &data[(static_cast<size_t>(y) * w + x) * 4];
      const float alpha = std::clamp(p[3], 0.0f, 255.0f);
      for (int c = 0; c < 4; ++c) {
        const float v = std::clamp(p[c], 0.0f, c == 3 ? 255.0f : alpha);
        pixel |= static_cast<uint32_t>(std::lround(v)) << (8 * c);
      }
      row[x] = pixel;
    }
  }
  image.MarkDirty();
}

void Tint(Image& image, Rgb color) {
  cairo_t* cr = image.cr();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_IN);
  SetColor(cr, color);
  cairo_paint(cr);
  cairo_restore(cr);
}

void AddGlow(Image& target, const Image& shape, Rgb color, double radius, double strength,
             double dx, double dy) {
  Image glow(target.width(), target.height());
  glow.Draw(shape, dx, dy);
  Tint(glow, color);
  Blur(glow, radius);
  cairo_t* cr = target.cr();
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
  cairo_set_source_surface(cr, glow.surface(), 0, 0);
  cairo_paint_with_alpha(cr, std::min(1.0, strength));
  cairo_restore(cr);
}

namespace {

constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/adf/OldaniaADFStd-Regular.otf",
    "/usr/share/fonts/truetype/adf/OldaniaADFStd-Bold.otf",
};
// Oldania's zero is slashed and reads as the letter "Ø", so figures are set in Jessen, an uncial
// from the Gotico-Antiqua family that matches its pen; the game draws its texts the same way.
constexpr const char* kFigureFontFile =
    "/usr/share/fonts/opentype/gotico-antiqua/Jessen-Mittel14.otf";

cairo_font_face_t* OpenFace(const char* file, const char* package, bool emboldened) {
  static FT_Library library = nullptr;
  if (library == nullptr && FT_Init_FreeType(&library) != 0) {
    throw std::runtime_error("FreeType cannot start");
  }
  FT_Face ftFace = nullptr;
  if (FT_New_Face(library, file, 0, &ftFace) != 0) {
    throw std::runtime_error(std::string("cannot open the game's font ") + file +
                             " (Debian package " + package + ")");
  }
  cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
  if (emboldened) cairo_ft_font_face_set_synthesize(face, CAIRO_FT_SYNTHESIZE_BOLD);
  return face;
}

cairo_font_face_t* FontFace(Face face) {
  static std::array<cairo_font_face_t*, 2> faces{};
  const auto index = static_cast<size_t>(face);
  if (faces[index] == nullptr)
    faces[index] = OpenFace(kFontFiles[index], "fonts-adf-oldania", false);
  return faces[index];
}

// The figures for a face: Jessen has no bold, so the bold figures are emboldened.
cairo_font_face_t* FigureFace(Face face) {
  static std::array<cairo_font_face_t*, 2> faces{};
  const auto index = static_cast<size_t>(face);
  if (faces[index] == nullptr) {
    faces[index] = OpenFace(kFigureFontFile, "fonts-gotico-antiqua", face == Face::Bold);
  }
  return faces[index];
}

double InkHeight(cairo_font_face_t* face, const char* text) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(surface);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, 1000);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return extents.height;
}

// Jessen's figures are drawn smaller on their body than Oldania's: scaled so that they stand as
// tall as Oldania's own.
double FigureScale() {
  static const double scale = InkHeight(FontFace(Face::Regular), "0123456789") /
                              InkHeight(FigureFace(Face::Regular), "0123456789");
  return scale;
}

bool IsFigure(char c) {
  return c >= '0' && c <= '9';
}

// Calls each(run) for the runs of `text`, one after another, with the figure face set for runs of
// figures and the text face for the others, then sets the text face back.
template <typename Each>
void ForEachRun(cairo_t* cr, std::string_view text, Each each) {
  cairo_font_face_t* textFace = cairo_font_face_reference(cairo_get_font_face(cr));
  cairo_matrix_t textMatrix;
  cairo_get_font_matrix(cr, &textMatrix);
  cairo_matrix_t figureMatrix = textMatrix;
  cairo_matrix_scale(&figureMatrix, FigureScale(), FigureScale());
  const Face face = textFace == FontFace(Face::Bold) ? Face::Bold : Face::Regular;
  size_t start = 0;
  while (start < text.size()) {
    const bool figures = IsFigure(text[start]);
    size_t end = start;
    while (end < text.size() && IsFigure(text[end]) == figures) ++end;
    cairo_set_font_face(cr, figures ? FigureFace(face) : textFace);
    cairo_set_font_matrix(cr, figures ? &figureMatrix : &textMatrix);
    each(std::string(text.substr(start, end - start)));
    start = end;
  }
  cairo_set_font_face(cr, textFace);
  cairo_set_font_matrix(cr, &textMatrix);
  cairo_font_face_destroy(textFace);
}

}  // namespace

void SetFont(cairo_t* cr, Face face, double pixels) {
  cairo_set_font_face(cr, FontFace(face));
  cairo_set_font_size(cr, pixels);
}

double TextWidth(cairo_t* cr, std::string_view text) {
  double width = 0;
  ForEachRun(cr, text, [&](const std::string& run) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, run.c_str(), &extents);
    width += extents.x_advance;
  });
  return width;
}

void TextPath(cairo_t* cr, double x, double baseline, std::string_view text) {
  cairo_move_to(cr, x, baseline);
  ForEachRun(cr, text, [&](const std::string& run) { cairo_text_path(cr, run.c_str()); });
}

void ShowText(cairo_t* cr, std::string_view text) {
  ForEachRun(cr, text, [&](const std::string& run) { cairo_show_text(cr, run.c_str()); });
}

cairo_pattern_t* LetterGradient(double baseline, double pixels, Rgb top, Rgb bottom) {
  cairo_pattern_t* pattern =
      cairo_pattern_create_linear(0, baseline - pixels * 0.72, 0, baseline + pixels * 0.05);
  AddStop(pattern, 0, top);
  AddStop(pattern, 1, bottom);
  return pattern;
}

void DrawLettering(cairo_t* cr, const Lettering& style, double x, double baseline,
                   std::string_view text, cairo_pattern_t* fill) {
  cairo_save(cr);
  SetFont(cr, style.face, style.pixels);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (style.shadow > 0) {
    TextPath(cr, x + style.shadow, baseline + style.shadow, text);
    cairo_set_line_width(cr, style.outlineWidth * 2);
    SetColor(cr, Hex(0x000000), 0.55);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
  }
  TextPath(cr, x, baseline, text);
  if (style.outlineWidth > 0) {
    cairo_set_line_width(cr, style.outlineWidth * 2);
    SetColor(cr, style.outline);
    cairo_stroke_preserve(cr);
  }
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawLettering(cairo_t* cr, const Lettering& style, double x, double baseline,
                   std::string_view text, Rgb fill) {
  cairo_pattern_t* pattern = cairo_pattern_create_rgb(fill.r, fill.g, fill.b);
  DrawLettering(cr, style, x, baseline, text, pattern);
  cairo_pattern_destroy(pattern);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
  const double r = std::min({radius, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

}  // namespace assets

namespace assets {

double Clamp01(double v) {
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double SmoothStep(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

void PutPixel(Image& image, int x, int y, Rgb c, double alpha) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
  const double a = Clamp01(alpha);
  const auto channel = [&](double v) {
    return static_cast<uint32_t>(std::lround(Clamp01(v) * a * 255.0));
  };
  image.Row(y)[x] = (static_cast<uint32_t>(std::lround(a * 255.0)) << 24) | (channel(c.r) << 16) |
                    (channel(c.g) << 8) | channel(c.b);
}

Rgb GetPixel(const Image& image, int x, int y, double* alpha) {
  const uint32_t p = image.Row(y)[x];
  const double a = (p >> 24) / 255.0;
  if (alpha != nullptr) *alpha = a;
  if (a <= 0) return {};
  return {((p >> 16) & 0xFF) / 255.0 / a, ((p >> 8) & 0xFF) / 255.0 / a, (p & 0xFF) / 255.0 / a};
}

}  // namespace assets
