// The window's icon: the bitmap the build paints beside the game's pictures keeps its alpha
// channel through SDL's reader (a black square on the task bar otherwise), and the window takes it.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/platform/sdl_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using WindowIconTest = SdlPlatformTest;

const std::filesystem::path IconFile =
    std::filesystem::path(SKARVEL_GAME_DIR) / "data" / "icon.bmp";

// The pixel at (x, y) as 8-bit red, green, blue and alpha.
SDL_Color PixelAt(SDL_Surface* surface, int x, int y) {
  const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
  Uint32 value = 0;
  std::memcpy(&value, row + x * surface->format->BytesPerPixel, sizeof value);
  SDL_Color color{};
  SDL_GetRGBA(value, surface->format, &color.r, &color.g, &color.b, &color.a);
  return color;
}

TEST_F(WindowIconTest, TheIconIsTheDragonOnAnOpaqueTileWithTransparentCorners) {
  SDL_Surface* icon = SDL_LoadBMP(IconFile.c_str());
  ASSERT_NE(icon, nullptr) << SDL_GetError();
  EXPECT_EQ(icon->w, 64);
  EXPECT_EQ(icon->h, 64);
  ASSERT_NE(icon->format->Amask, 0u) << "the alpha channel was lost";
  // Rounded corners show the panel behind; the tile is opaque.
  EXPECT_EQ(PixelAt(icon, 0, 0).a, 0);
  EXPECT_EQ(PixelAt(icon, 63, 63).a, 0);
  EXPECT_EQ(PixelAt(icon, 32, 4).a, 255);
  // The dragon's green body crosses the middle row.
  int green = 0;
  for (int x = 0; x < 64; ++x) {
    const SDL_Color c = PixelAt(icon, x, 38);
    if (c.g > c.r + 20 && c.g > c.b + 20) ++green;
  }
  EXPECT_GT(green, 5);
  SDL_FreeSurface(icon);
}

TEST_F(WindowIconTest, TheWindowTakesTheIconAndKeepsTheDefaultWhenItIsMissing) {
  EXPECT_TRUE(platform_->SetWindowIcon(IconFile));
  TempDir empty;
  EXPECT_FALSE(platform_->SetWindowIcon(empty.path() / "icon.bmp"));
}

}  // namespace
