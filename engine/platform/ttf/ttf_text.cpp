#include "engine/platform/ttf/ttf_text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <tuple>

#include "engine/exception.h"

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

class TtfTextRasterizer : public TextRasterizer {
 public:
  explicit TtfTextRasterizer(std::filesystem::path fontFile) : fontFile_(std::move(fontFile)) {
    if (TTF_WasInit() == 0 && TTF_Init() != 0) {
      throw EPlatformError(std::string("Text cannot be drawn: ") + TTF_GetError());
    }
    Font({"Carolingia", 16, 0});  // fail now, not in the middle of a frame
  }

  ~TtfTextRasterizer() override {
    for (auto& entry : fonts_) TTF_CloseFont(entry.second);
    fonts_.clear();
    TTF_Quit();
  }

  int TextWidth(const FontSpec& font, std::string_view text) override {
    if (text.empty()) return 0;
    int width = 0;
    int height = 0;
    TTF_SizeUTF8(Font(font), std::string(text).c_str(), &width, &height);
    return width;
  }

  int TextHeight(const FontSpec& font) override { return TTF_FontHeight(Font(font)); }

  void DrawText(const FontSpec& font, uint32_t rgb, std::string_view text, PixelView target, int x,
                int y) override {
    if (text.empty()) return;
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(Font(font), std::string(text).c_str(), white);
    if (rendered == nullptr) return;
    // Coverage is the alpha channel of an ARGB8888 copy.
    SDL_Surface* glyphs = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (glyphs == nullptr) return;
    SDL_LockSurface(glyphs);
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + glyphs->w, target.width);
    const int bottom = std::min(y + glyphs->h, target.height);
    for (int row = top; row < bottom; ++row) {
      const auto* source = reinterpret_cast<const uint32_t*>(
          static_cast<const uint8_t*>(glyphs->pixels) + (row - y) * glyphs->pitch);
      uint32_t* dest = target.pixels + static_cast<ptrdiff_t>(row) * target.pitch;
      for (int col = left; col < right; ++col) {
        const uint32_t alpha = source[col - x] >> 24;
        if (alpha != 0) dest[col] = Blend(dest[col], rgb, alpha);
      }
    }
    SDL_UnlockSurface(glyphs);
    SDL_FreeSurface(glyphs);
  }

 private:
  TTF_Font* Font(const FontSpec& face) {
    const auto key = std::make_tuple(face.size, face.style);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    TTF_Font* font =
        TTF_OpenFontDPI(fontFile_.c_str(), std::max(face.size, 1), ScreenDpi, ScreenDpi);
    if (font == nullptr) {
      throw EPlatformError("Font '" + fontFile_.string() + "' cannot be opened: " + TTF_GetError());
    }
    TTF_SetFontStyle(font, TtfStyle(face.style));
    fonts_.emplace(key, font);
    return font;
  }

  std::filesystem::path fontFile_;
  std::map<std::tuple<int, uint8_t>, TTF_Font*> fonts_;
};

}  // namespace

std::unique_ptr<TextRasterizer> CreateTtfTextRasterizer(const std::filesystem::path& fontDir) {
  return std::make_unique<TtfTextRasterizer>(fontDir / GameFontFile);
}

}  // namespace platform
