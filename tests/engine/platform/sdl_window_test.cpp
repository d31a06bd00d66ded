#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/engine/platform/sdl_fixture.h"

namespace {

using platform::EventKind;
using platform::WindowPlacement;

using SdlWindowTest = SdlPlatformTest;

TEST_F(SdlWindowTest, OpensAnEightHundredBySixHundredWindowWithAMaximiseBox) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  EXPECT_NE(SDL_GetWindowFlags(window_) & SDL_WINDOW_RESIZABLE, 0u);
  // Centred on the dummy driver's 1024 x 768 screen.
  const WindowPlacement placement = platform_->window().GetPlacement();
  EXPECT_EQ(placement, (WindowPlacement{112, 84, 800, 600, false, false}));
}

TEST_F(SdlWindowTest, AnyOtherSizeIsUndone) {
  SDL_SetWindowSize(window_, 1000, 700);
  PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
  Drain();
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
}

TEST_F(SdlWindowTest, PlacementRoundTripsThroughFullScreen) {
  platform::Window& window = platform_->window();
  const WindowPlacement moved{30, 40, 800, 600, false, false};
  window.SetPlacement(moved);
  EXPECT_EQ(window.GetPlacement(), moved);

  // In full screen the placement is still the bordered window's, as the game saves it then.
  ASSERT_TRUE(window.SetFullScreen(true));
  EXPECT_EQ(window.GetPlacement(), moved);
  const WindowPlacement elsewhere{60, 70, 800, 600, false, false};
  window.SetPlacement(elsewhere);
  ASSERT_TRUE(window.SetFullScreen(false));
  EXPECT_EQ(window.GetPlacement(), elsewhere);
}

TEST_F(SdlWindowTest, FullScreenFillsTheScreenAndComesBackToTheWindow) {
  platform::Window& window = platform_->window();
  ASSERT_TRUE(window.SetFullScreen(true));
  EXPECT_NE(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  EXPECT_EQ(width, 1024);
  EXPECT_EQ(height, 768);
  EXPECT_TRUE(window.SetFullScreen(true));  // asking again changes nothing
  Drain();                                  // the size change must not be undone in full screen
  SDL_GetWindowSize(window_, &width, &height);
  EXPECT_EQ(width, 1024);

  ASSERT_TRUE(window.SetFullScreen(false));
  Drain();
  EXPECT_EQ(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  SDL_GetWindowSize(window_, &width, &height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
}

TEST_F(SdlWindowTest, PointerIsInSurfacePixelsInBothModes) {
  platform::Window& window = platform_->window();
  for (const bool fullScreen : {false, true}) {
    SCOPED_TRACE(fullScreen ? "full screen" : "window");
    ASSERT_TRUE(window.SetFullScreen(fullScreen));
    Drain();
    window.SetCursorPos(400, 300);
    Drain();
    int x = 0;
    int y = 0;
    window.GetCursorPos(x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    window.SetCursorPos(799, 0);
    Drain();
    window.GetCursorPos(x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 0);
  }
  // On the 1024 x 768 screen the picture is enlarged 1.28 times: the screen's centre is the
  // surface's centre.
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.windowID = SDL_GetWindowID(window_);
  move.motion.x = 512;
  move.motion.y = 384;
  Push(move);
  const std::vector<platform::Event> events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, EventKind::PointerMove);
  EXPECT_EQ(events[0].x, 400);
  EXPECT_EQ(events[0].y, 300);
}

TEST_F(SdlWindowTest, PointerIsShownWhileTheDisplayCounterIsZeroOrMore) {
  platform::Window& window = platform_->window();
  struct Step {
    bool show;
    int counter;
    bool visible;
  };
  const Step steps[] = {{false, -1, false}, {false, -2, false}, {true, -1, false}, {true, 0, true},
                        {true, 1, true},    {false, 0, true},   {false, -1, false}};
  for (const Step& step : steps) {
    EXPECT_EQ(window.ShowCursor(step.show), step.counter);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE, step.visible) << "counter " << step.counter;
  }
}

// The game's surface: 0x00RRGGBB, no alpha. Four quarters of different colours.
std::vector<uint32_t> QuarteredPicture() {
  std::vector<uint32_t> picture(800 * 600);
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const bool right = x >= 400;
      const bool bottom = y >= 300;
      picture[static_cast<size_t>(y * 800 + x)] =
          bottom ? (right ? 0xFFFF00u : 0x0000FFu) : (right ? 0x00FF00u : 0xFF0000u);
    }
  }
  return picture;
}

// What the window shows at a point of its own (window) pixels.
uint32_t Shown(SDL_Window* window, int x, int y) {
  uint32_t pixel = 0;
  const SDL_Rect point{x, y, 1, 1};
  EXPECT_EQ(SDL_RenderReadPixels(SDL_GetRenderer(window), &point, SDL_PIXELFORMAT_ARGB8888, &pixel,
                                 sizeof pixel),
            0)
      << SDL_GetError();
  return pixel & 0xFFFFFF;
}

TEST_F(SdlWindowTest, ShowsTheSurfaceInTheWindowAndEnlargedInFullScreen) {
  const std::vector<uint32_t> picture = QuarteredPicture();
  platform::Window& window = platform_->window();
  window.Present(picture.data(), 800, 600);
  EXPECT_EQ(Shown(window_, 10, 10), 0xFF0000u);
  EXPECT_EQ(Shown(window_, 790, 10), 0x00FF00u);
  EXPECT_EQ(Shown(window_, 10, 590), 0x0000FFu);
  EXPECT_EQ(Shown(window_, 790, 590), 0xFFFF00u);

  ASSERT_TRUE(window.SetFullScreen(true));
  Drain();
  window.Present(picture.data(), 800, 600);
  // The 1024 x 768 screen: each quarter is 512 x 384.
  EXPECT_EQ(Shown(window_, 505, 10), 0xFF0000u);
  EXPECT_EQ(Shown(window_, 520, 10), 0x00FF00u);
  EXPECT_EQ(Shown(window_, 10, 760), 0x0000FFu);
  EXPECT_EQ(Shown(window_, 1020, 760), 0xFFFF00u);
  EXPECT_EQ(platform_->PresentPath(), "software");  // no GPU behind the dummy driver
}

TEST_F(SdlWindowTest, AStillPictureIsNotSentAgainButEveryChangeIs) {
  const std::vector<uint32_t> picture = QuarteredPicture();
  std::vector<uint32_t> changed = picture;
  changed[static_cast<size_t>(10 * 800 + 10)] = 0x123456;
  platform::Window& window = platform_->window();
  window.Present(picture.data(), 800, 600);
  window.Present(changed.data(), 800, 600);
  EXPECT_EQ(Shown(window_, 10, 10), 0x123456u);
  window.Present(picture.data(), 800, 600);
  EXPECT_EQ(Shown(window_, 10, 10), 0xFF0000u);
  // What the window shows is gone: the same picture is drawn again.
  SDL_Renderer* renderer = SDL_GetRenderer(window_);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderFlush(renderer);  // lost now, not when the renderer next draws
  SDL_Event exposed{};
  exposed.type = SDL_WINDOWEVENT;
  exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
  exposed.window.windowID = SDL_GetWindowID(window_);
  SDL_PushEvent(&exposed);
  Drain();
  window.Present(picture.data(), 800, 600);
  EXPECT_EQ(Shown(window_, 10, 10), 0xFF0000u);
}

TEST_F(SdlWindowTest, PresentIgnoresNonsenseAndSurvivesALostTexture) {
  std::vector<uint32_t> picture = QuarteredPicture();
  platform::Window& window = platform_->window();
  window.Present(picture.data(), 800, 600);
  window.Present(nullptr, 800, 600);
  window.Present(picture.data(), 0, 600);
  window.Present(picture.data(), -800, 600);
  window.Present(picture.data(), 800, 1 << 30);
  EXPECT_EQ(Shown(window_, 10, 10), 0xFF0000u);  // still the last real picture

  // The renderer lost its texture: the next frame is shown all the same.
  SDL_Event reset{};
  reset.type = SDL_RENDER_TARGETS_RESET;
  Push(reset);
  reset.type = SDL_RENDER_DEVICE_RESET;
  Push(reset);
  EXPECT_TRUE(Drain().empty());
  std::fill(picture.begin(), picture.end(), 0x123456u);
  window.Present(picture.data(), 800, 600);
  EXPECT_EQ(Shown(window_, 400, 300), 0x123456u);
}

// In a window a frame is drawn in the window's own picture, which is shown from there; full screen
// goes through the texture and lends nothing, and back in the window the new picture is lent.
TEST_F(SdlWindowTest, LendsTheWindowsOwnPictureOnlyInAWindow) {
  platform::Window& window = platform_->window();
  EXPECT_EQ(window.FrameMemory(640, 480).pixels, nullptr);  // not the window's size
  platform::PixelView memory = window.FrameMemory(800, 600);
  ASSERT_NE(memory.pixels, nullptr);
  EXPECT_EQ(memory.width, 800);
  EXPECT_EQ(memory.pitch, 800);
  const std::vector<uint32_t> picture = QuarteredPicture();
  std::copy(picture.begin(), picture.end(), memory.pixels);
  window.Present(memory.pixels, 800, 600);
  EXPECT_EQ(Shown(window_, 790, 590), 0xFFFF00u);

  ASSERT_TRUE(window.SetFullScreen(true));
  Drain();
  EXPECT_EQ(window.FrameMemory(800, 600).pixels, nullptr);
  window.Present(picture.data(), 800, 600);
  EXPECT_EQ(Shown(window_, 1020, 760), 0xFFFF00u);

  ASSERT_TRUE(window.SetFullScreen(false));
  Drain();
  memory = window.FrameMemory(800, 600);
  ASSERT_NE(memory.pixels, nullptr);
  std::fill(memory.pixels, memory.pixels + 800 * 600, 0x123456u);
  window.Present(memory.pixels, 800, 600);
  EXPECT_EQ(Shown(window_, 10, 10), 0x123456u);
  EXPECT_EQ(Shown(window_, 790, 590), 0x123456u);
}

}  // namespace
