#include "engine/drawing/draw_surface.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "tests/support/headless.h"

namespace {

class RecordingListener : public DrawSurfaceListener {
 public:
  RecordingListener(std::vector<std::pair<char, TDrawSurfaceNotify>>& log, char name)
      : log_(log), name_(name) {}
  void DrawSurfaceNotify(TDrawSurfaceNotify type) override { log_.emplace_back(name_, type); }

 private:
  std::vector<std::pair<char, TDrawSurfaceNotify>>& log_;
  char name_;
};

class DrawSurfaceTest : public ::testing::Test {
 protected:
  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TDrawSurface surface{machine.windowImpl, machine.text()};
};

TEST_F(DrawSurfaceTest, FillExceptLeavesEveryKeptPixelAndFillsAllOthers) {
  surface.StartUp();
  TSurface& back = *surface.BackBuffer();
  const std::vector<std::vector<TRect>> cases = {
      {},
      {{0, 68, 800, 600}, {0, 0, 800, 68}},         // the whole surface kept
      {{100, 50, 300, 60}, {250, 55, 400, 70}},     // overlapping
      {{-20, -5, 30, 10}, {790, 590, 900, 700}},    // reaching beyond the edges
      {{300, 10, 200, 20}, {10, 10, 20, 10}},       // empty rectangles keep nothing
      {{0, 0, 800, 1}, {5, 3, 6, 4}, {5, 3, 7, 4}}  // touching and nested
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    SCOPED_TRACE("case " + std::to_string(c));
    back.Fill(0x112233);
    back.FillExcept(0x445566, cases[c]);
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) {
        bool kept = false;
        for (const TRect& rect : cases[c]) {
          kept = kept || (x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom);
        }
        ASSERT_EQ(back.Pixel(x, y), kept ? 0x112233u : 0x445566u) << x << "," << y;
      }
    }
  }
  // Black, the frame's clear, takes the same way.
  back.Fill(0x112233);
  const TRect kept{10, 10, 20, 20};
  back.FillExcept(0, std::span(&kept, 1));
  EXPECT_EQ(back.Pixel(9, 10), 0u);
  EXPECT_EQ(back.Pixel(10, 10), 0x112233u);
  EXPECT_EQ(back.Pixel(20, 19), 0u);
}

TEST_F(DrawSurfaceTest, ListenersHearStartUpAndShutDownNewestFirst) {
  using T = TDrawSurfaceNotify;
  std::vector<std::pair<char, T>> log;
  RecordingListener engine(log, 'e'), images(log, 'i');
  surface.RegisterListener(&engine);
  surface.RegisterListener(&images);
  surface.StartUp();
  EXPECT_TRUE(surface.ReadyToDraw());
  surface.ShutDown();
  EXPECT_FALSE(surface.ReadyToDraw());
  // One line per notice, the image list's before the engine's.
  // clang-format off
  const std::vector<std::pair<char, T>> expected = {
      {'i', T::dsnInitializing},      {'e', T::dsnInitializing},
      {'i', T::dsnSetSurfaceSize},    {'e', T::dsnSetSurfaceSize},
      {'i', T::dsnInitialize},        {'e', T::dsnInitialize},
      {'i', T::dsnInitializeSurface}, {'e', T::dsnInitializeSurface},
      {'i', T::dsnRestore},           {'e', T::dsnRestore},
      {'i', T::dsnFinalizeSurface},   {'e', T::dsnFinalizeSurface},
      {'i', T::dsnFinalize},          {'e', T::dsnFinalize},
  };
  // clang-format on
  EXPECT_EQ(log, expected);
  surface.UnregisterListener(&engine);
  surface.UnregisterListener(&images);
}

TEST_F(DrawSurfaceTest, ARefusedFullScreenFailsWithTheModeAndLeavesTheSurfaceDown) {
  machine.windowImpl.refuseFullScreen = true;
  surface.Options |= doFullScreen;
  try {
    surface.StartUp();
    FAIL() << "no error";
  } catch (const EDrawSurfaceError& error) {
    EXPECT_STREQ(error.what(), "Display mode cannot be changed (800x600 32bit)");
  }
  EXPECT_FALSE(surface.Initialized());
  EXPECT_EQ(surface.BackBuffer(), nullptr);
  surface.Flip();  // harmless while down
  EXPECT_EQ(machine.windowImpl.presentCount, 0);
}

TEST_F(DrawSurfaceTest, FlipPresentsTheBackBuffer) {
  surface.StartUp();
  TSurface& back = *surface.BackBuffer();
  EXPECT_EQ(back.Width(), 800);
  EXPECT_EQ(back.Height(), 600);
  back.Fill(0x123456);
  surface.Flip();
  EXPECT_EQ(machine.windowImpl.presentCount, 1);
  EXPECT_EQ(machine.windowImpl.frameWidth, 800);
  EXPECT_EQ(machine.windowImpl.Pixel(799, 599), 0x123456u);
}

TEST_F(DrawSurfaceTest, CanvasTextIsDrawnInTheFontColourOnlyWhereTheGlyphsAre) {
  surface.StartUp();
  TSurface& back = *surface.BackBuffer();
  back.Fill(0);
  TCanvas& canvas = back.Canvas();
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font.Name = "Carolingia";
  canvas.Font.Size = 16;
  canvas.Font.Color = clRed;
  const int width = canvas.TextWidth("GAME OVER");
  EXPECT_GT(width, 80);
  EXPECT_LT(width, 200);
  EXPECT_GT(canvas.TextWidth("GAME OVER GAME OVER"), 2 * width);
  canvas.TextOut(100, 50, "GAME OVER");
  int red = 0;
  int other = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const uint32_t p = back.Pixel(x, y);
      if (p == 0) continue;
      const bool inside = x >= 100 && x < 100 + width && y >= 50 && y < 50 + 40;
      EXPECT_TRUE(inside) << x << "," << y;
      if ((p & 0x00FFFF) == 0)
        ++red;  // only the red channel: red over black
      else
        ++other;
    }
  }
  EXPECT_GT(red, 200);
  EXPECT_EQ(other, 0);
  canvas.Release();
  EXPECT_FALSE(canvas.Taken());
}

TEST_F(DrawSurfaceTest, RectangleDrawsAnOutlineOfThePenWidthAroundTheEdges) {
  surface.StartUp();
  TSurface& back = *surface.BackBuffer();
  back.Fill(0);
  TCanvas& canvas = back.Canvas();
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Pen.Color = clRed;
  canvas.Pen.Width = 1;
  canvas.Rectangle(10, 10, 20, 15);  // Right and Bottom exclusive
  EXPECT_EQ(back.Pixel(10, 10), 0xFF0000u);
  EXPECT_EQ(back.Pixel(19, 14), 0xFF0000u);
  EXPECT_EQ(back.Pixel(20, 10), 0u);
  EXPECT_EQ(back.Pixel(15, 12), 0u);  // clear brush: inside untouched
  canvas.Pen.Width = 3;
  canvas.Rectangle(100, 100, 200, 150);
  EXPECT_EQ(back.Pixel(99, 120), 0xFF0000u);
  EXPECT_EQ(back.Pixel(101, 120), 0xFF0000u);
  EXPECT_EQ(back.Pixel(102, 120), 0u);
  EXPECT_EQ(back.Pixel(98, 120), 0u);
  canvas.Rectangle(-50, -50, 900, 700);  // clipped, no write outside the buffer
}

// A frame drawn in the memory the window lends has the very pixels of one drawn in the surface's
// own buffer. The window may move that memory between frames (a new size frees the old): the
// surface and its kept canvas then draw only in the new memory, which ASan checks as well as the
// pixels do, and hold none of it between frames.
TEST_F(DrawSurfaceTest, FramesDrawnInTheWindowsMemoryMatchTheOwnBufferAndFollowItsMoves) {
  const auto drawFrame = [](TSurface& back) {
    back.Fill(0x203040);
    const TRect kept{100, 100, 200, 150};
    back.FillExcept(0x102030, std::span(&kept, 1));
    TCanvas& canvas = back.Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = 3;
    canvas.Rectangle(50, 60, 300, 200);
    canvas.Font.Name = "Carolingia";
    canvas.Font.Size = 16;
    canvas.Font.Color = clWhite;
    canvas.TextOut(120, 80, "GAME OVER");
    canvas.Release();
  };
  platform::headless::HeadlessWindow& window = machine.windowImpl;
  surface.StartUp();
  drawFrame(surface.BeginFrame());
  surface.Flip();
  const std::vector<uint32_t> own = window.frame;
  surface.ShutDown();

  window.lent.assign(800 * 600, 0xFFFFFFFF);
  surface.StartUp();
  EXPECT_EQ(surface.BackBuffer()->Pixels(), nullptr);  // no buffer of its own is made
  for (int frame = 0; frame < 3; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    TSurface& back = surface.BeginFrame();
    ASSERT_EQ(back.Pixels(), window.lent.data());
    drawFrame(back);
    EXPECT_EQ(window.lent, own);
    surface.Flip();
    EXPECT_EQ(window.frame, own);
    EXPECT_EQ(back.Pixels(), nullptr);
    std::vector<uint32_t> moved(800 * 600, 0xFFFFFFFF);
    window.lent.swap(moved);  // the old memory is freed here
  }
  // A frame that draws nothing shows the window's picture as it is.
  window.lent = own;
  surface.Flip();
  EXPECT_EQ(window.frame, own);
  // A frame left half drawn (an exception) and the window's memory moved before the next Flip:
  // that Flip reads the new memory only.
  drawFrame(surface.BeginFrame());
  {
    std::vector<uint32_t> moved = own;
    window.lent.swap(moved);
  }
  surface.Flip();
  EXPECT_EQ(window.frame, own);
  // Full screen lends nothing: the frame is drawn in a buffer of the surface's own again.
  window.lent.clear();
  TSurface& back = surface.BeginFrame();
  ASSERT_NE(back.Pixels(), nullptr);
  drawFrame(back);
  surface.Flip();
  EXPECT_EQ(window.frame, own);
  EXPECT_NE(back.Pixels(), nullptr);  // its own buffer stays for the next frame
}

}  // namespace
