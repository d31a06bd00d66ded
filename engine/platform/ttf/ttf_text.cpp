#include "engine/platform/ttf/ttf_text.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/base/exception.h"
#include "engine/platform/ttf/ttf_library.h"

namespace platform {
namespace {

// The canvas's Font.Size is in points on a 96 pixel-per-inch screen.
constexpr unsigned ScreenDpi = 96;

int TtfStyle(uint8_t style) {
  int result = TTF_STYLE_NORMAL;
  if (style & fsBold) result |= TTF_STYLE_BOLD;
  if (style & fsItalic) result |= TTF_STYLE_ITALIC;
  if (style & fsUnderline) result |= TTF_STYLE_UNDERLINE;
  if (style & fsStrikeOut) result |= TTF_STYLE_STRIKETHROUGH;
  return result;
}

uint32_t Blend(uint32_t under, uint32_t rgb, uint32_t alpha) {
  const auto channel = [&](int shift) {
    const uint32_t a = (under >> shift) & 0xFF;
    const uint32_t b = (rgb >> shift) & 0xFF;
    return ((b * alpha + a * (255 - alpha) + 127) / 255) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

bool IsFigure(char c) {
  return c >= '0' && c <= '9';
}

// Calls each(run, figures) for the runs of `text` one after another: the runs of figures and the
// runs of everything else. Figures are ASCII, so a run never splits a UTF-8 sequence.
template <typename Each>
void ForEachRun(std::string_view text, Each each) {
  size_t start = 0;
  while (start < text.size()) {
    const bool figures = IsFigure(text[start]);
    size_t end = start;
    while (end < text.size() && IsFigure(text[end]) == figures) ++end;
    each(std::string(text.substr(start, end - start)), figures);
    start = end;
  }
}

TTF_Font* OpenFont(const TtfLibrary& ttf, const std::filesystem::path& file, int points) {
  TTF_Font* font = ttf.OpenFontDPI(file.c_str(), std::max(points, 1), ScreenDpi, ScreenDpi);
  if (font == nullptr) {
    throw EPlatformError("Font '" + file.string() + "' cannot be opened: " + SDL_GetError());
  }
  return font;
}

// The height of the zero's ink, in pixels.
int ZeroHeight(const TtfLibrary& ttf, TTF_Font* font) {
  int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
  ttf.GlyphMetrics32(font, '0', &minX, &maxX, &minY, &maxY, &advance);
  return maxY - minY;
}

class TtfTextRasterizer : public TextRasterizer {
 public:
  TtfTextRasterizer(std::filesystem::path fontFile, std::filesystem::path figureFontFile)
      : fontFile_(std::move(fontFile)), figureFontFile_(std::move(figureFontFile)) {}

  ~TtfTextRasterizer() override {
    if (ttf_ == nullptr) return;
    for (auto& entry : fonts_) {
      ttf_->CloseFont(entry.second.text);
      ttf_->CloseFont(entry.second.figures);
    }
    fonts_.clear();
    ttf_->Quit();
  }

  void Prepare() override { Started(); }

  int TextWidth(const FontSpec& font, std::string_view text) override {
    const Faces& faces = Font(font);
    int total = 0;
    ForEachRun(text, [&](const std::string& run, bool figures) {
      int width = 0;
      int height = 0;
      ttf_->SizeUTF8(figures ? faces.figures : faces.text, run.c_str(), &width, &height);
      total += width;
    });
    return total;
  }

  int TextHeight(const FontSpec& font) override {
    const Faces& faces = Font(font);
    return ttf_->FontHeight(faces.text);
  }

  void DrawText(const FontSpec& font, uint32_t rgb, std::string_view text, PixelView target, int x,
                int y) override {
    const Faces& faces = Font(font);
    // The figures stand on the text's baseline.
    const int figureTop = y + ttf_->FontAscent(faces.text) - ttf_->FontAscent(faces.figures);
    int penX = x;
    ForEachRun(text, [&](const std::string& run, bool figures) {
      const Coverage& glyphs = Rendered(figures ? faces.figures : faces.text, run);
      DrawCoverage(glyphs, rgb, target, penX, figures ? figureTop : y);
      penX += glyphs.advance;
    });
  }

 private:
  struct Faces {
    TTF_Font* text;
    TTF_Font* figures;
  };

  // A run of text as the face renders it: the ink's coverage (0..255 a pixel, row by row) and the
  // pen's advance.
  struct Coverage {
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<uint8_t> alpha;
  };

  // The heads-up texts are drawn anew every frame and change a few times a second: a run is
  // rendered once and its coverage kept, up to a bound past which the kept runs start over (a
  // long game shows many scores: the bound keeps them to a few hundred kilobytes).
  const Coverage& Rendered(TTF_Font* font, const std::string& run) {
    constexpr size_t MaxKeptRuns = 128;
    auto key = std::make_pair(font, run);
    if (auto found = rendered_.find(key); found != rendered_.end()) return found->second;
    if (rendered_.size() >= MaxKeptRuns) rendered_.clear();
    return rendered_.emplace(std::move(key), Render(*ttf_, font, run)).first->second;
  }

  static Coverage Render(const TtfLibrary& ttf, TTF_Font* font, const std::string& run) {
    Coverage coverage;
    int height = 0;
    ttf.SizeUTF8(font, run.c_str(), &coverage.advance, &height);
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* rendered = ttf.RenderUTF8_Blended(font, run.c_str(), white);
    if (rendered == nullptr) return coverage;
    // Coverage is the alpha channel of an ARGB8888 copy.
    SDL_Surface* glyphs = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (glyphs == nullptr) return coverage;
    SDL_LockSurface(glyphs);
    coverage.width = glyphs->w;
    coverage.height = glyphs->h;
    coverage.alpha.resize(static_cast<size_t>(glyphs->w) * static_cast<size_t>(glyphs->h));
    for (int row = 0; row < glyphs->h; ++row) {
      const auto* source = reinterpret_cast<const uint32_t*>(
          static_cast<const uint8_t*>(glyphs->pixels) + row * glyphs->pitch);
      uint8_t* dest = coverage.alpha.data() + static_cast<size_t>(row) * coverage.width;
      for (int col = 0; col < glyphs->w; ++col) dest[col] = static_cast<uint8_t>(source[col] >> 24);
    }
    SDL_UnlockSurface(glyphs);
    SDL_FreeSurface(glyphs);
    return coverage;
  }

  static void DrawCoverage(const Coverage& glyphs, uint32_t rgb, PixelView target, int x, int y) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + glyphs.width, target.width);
    const int bottom = std::min(y + glyphs.height, target.height);
    for (int row = top; row < bottom; ++row) {
      const uint8_t* source = glyphs.alpha.data() + static_cast<size_t>(row - y) * glyphs.width;
      uint32_t* dest = target.pixels + static_cast<ptrdiff_t>(row) * target.pitch;
      for (int col = left; col < right; ++col) {
        const uint32_t alpha = source[col - x];
        if (alpha != 0) dest[col] = Blend(dest[col], rgb, alpha);
      }
    }
  }

  // The library, started and both faces checked on the first call: a missing library or font
  // fails here, at Prepare (the game's start) rather than in the middle of a frame.
  const TtfLibrary& Started() {
    if (ttf_ != nullptr) return *ttf_;
    const TtfLibrary& ttf = Ttf();
    // SDL_ttf counts its users: each rasterizer takes one and gives it back in its destructor.
    if (ttf.Init() != 0) {
      throw EPlatformError(std::string("Text cannot be drawn: ") + SDL_GetError());
    }
    try {
      // Both faces at a large size tell how much the figures must grow to stand as tall as the
      // text face's own.
      constexpr int MeasureSize = 200;
      TTF_Font* text = OpenFont(ttf, fontFile_, MeasureSize);
      TTF_Font* figures = nullptr;
      try {
        figures = OpenFont(ttf, figureFontFile_, MeasureSize);
      } catch (...) {
        ttf.CloseFont(text);
        throw;
      }
      const int textZero = ZeroHeight(ttf, text);
      const int figureZero = ZeroHeight(ttf, figures);
      if (textZero > 0 && figureZero > 0) figureScale_ = static_cast<double>(textZero) / figureZero;
      ttf.CloseFont(text);
      ttf.CloseFont(figures);
    } catch (...) {
      ttf.Quit();
      throw;
    }
    ttf_ = &ttf;
    return ttf;
  }

  const Faces& Font(const FontSpec& face) {
    const TtfLibrary& ttf = Started();
    const auto key = std::make_tuple(face.size, face.style);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    const int points = std::max(face.size, 1);
    Faces faces{OpenFont(ttf, fontFile_, points), nullptr};
    try {
      faces.figures =
          OpenFont(ttf, figureFontFile_, static_cast<int>(std::lround(points * figureScale_)));
    } catch (...) {
      ttf.CloseFont(faces.text);
      throw;
    }
    ttf.SetFontStyle(faces.text, TtfStyle(face.style));
    ttf.SetFontStyle(faces.figures, TtfStyle(face.style));
    return fonts_.emplace(key, faces).first->second;
  }

  std::filesystem::path fontFile_;
  std::filesystem::path figureFontFile_;
  // Set once the library is started.
  const TtfLibrary* ttf_ = nullptr;
  double figureScale_ = 1.0;
  std::map<std::tuple<int, uint8_t>, Faces> fonts_;
  std::map<std::pair<TTF_Font*, std::string>, Coverage> rendered_;
};

}  // namespace

std::unique_ptr<TextRasterizer> CreateTtfTextRasterizer(const std::filesystem::path& fontDir) {
  return std::make_unique<TtfTextRasterizer>(fontDir / GameFontFile, fontDir / FigureFontFile);
}

}  // namespace platform
