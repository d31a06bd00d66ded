// The drawing surface: the window's 800 x 600, 32-bit back buffer that the frame loops clear, draw
// on and present, brought up and down with the display mode, with listeners (the sprite engine,
// the image list) told of every change.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "engine/drawing/canvas.h"
#include "engine/drawing/rect.h"
#include "engine/platform/platform.h"

// A 32-bit picture (0x00RRGGBB pixels, rows of Width() pixels) with its canvas, drawn either in a
// buffer of its own or in memory lent to it for one frame (the window's own picture).
class TSurface {
 public:
  // With ownBuffer false the surface has no memory until DrawOn or DrawOnOwnBuffer gives it some.
  TSurface(int width, int height, platform::TextRasterizer& text, bool ownBuffer = true);

  // Draws from now on in `memory`, which the caller keeps alive until the next rebind, and frees
  // the own buffer. False (nothing changed) unless the memory is exactly Width() x Height() with
  // rows of Width() pixels.
  bool DrawOn(platform::PixelView memory);
  // Draws from now on in a buffer of its own, made (black) if there is none.
  void DrawOnOwnBuffer();
  // Forgets lent memory: the surface has none until the next DrawOn or DrawOnOwnBuffer.
  void ReleaseLentMemory();
  bool DrawsOnLentMemory() const { return pixels_ != nullptr && own_.empty(); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  void Fill(uint32_t pixel);
  // Fill, but for the pixels inside any of `kept`: a frame that draws opaque pictures over those
  // next clears only the rest.
  void FillExcept(uint32_t pixel, std::span<const TRect> kept);
  // Valid until the next rebind; null while the surface has no memory.
  uint32_t* Pixels() { return pixels_; }
  const uint32_t* Pixels() const { return pixels_; }
  uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
  platform::PixelView View() { return {pixels_, width_, height_, width_}; }
  // Created on first use and kept; every rebind moves it to the new memory.
  TCanvas& Canvas();

 private:
  size_t PixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }
  void Bind(uint32_t* pixels);

  int width_;
  int height_;
  std::vector<uint32_t> own_;
  uint32_t* pixels_ = nullptr;
  platform::TextRasterizer& text_;
  std::unique_ptr<TCanvas> canvas_;
};

enum class TDrawSurfaceNotify : uint8_t {
  dsnDestroying,
  dsnInitializing,
  dsnInitialize,
  dsnInitializeSurface,
  dsnFinalize,
  dsnFinalizeSurface,
  dsnRestore,
  dsnSetSurfaceSize,
};

class DrawSurfaceListener {
 public:
  virtual ~DrawSurfaceListener() = default;
  virtual void DrawSurfaceNotify(TDrawSurfaceNotify type) = 0;
};

// The surface's settings; only doFullScreen changes what the surface does (ChangeMode sets and
// clears it), the others are kept as the window's fixed settings name them.
enum TDrawSurfaceOption : uint32_t {
  doFullScreen = 1u << 0,
  doAllowReboot = 1u << 2,
  doWaitVBlank = 1u << 3,
  doCenter = 1u << 7,
  doFlip = 1u << 8,
  doNewDriverMode = 1u << 10,
  doHardware = 1u << 11,
  doSelectDriver = 1u << 12,
};
using TDrawSurfaceOptions = uint32_t;

class TDrawSurface {
 public:
  static constexpr int DisplayWidth = 800;
  static constexpr int DisplayHeight = 600;
  static constexpr int DisplayBitCount = 32;

  TDrawSurface(platform::Window& window, platform::TextRasterizer& text);
  ~TDrawSurface();
  TDrawSurface(const TDrawSurface&) = delete;
  TDrawSurface& operator=(const TDrawSurface&) = delete;

  TDrawSurfaceOptions Options = doAllowReboot | doWaitVBlank | doCenter | doFlip | doNewDriverMode |
                                doHardware | doSelectDriver;

  // Brings the surface up in the mode the options ask for; throws EDrawSurfaceError "Display mode
  // cannot be changed (800x600 32bit)" when full screen is refused, leaving it finalised.
  void StartUp();
  void ShutDown();
  bool Initialized() const { return initialized_; }
  bool ReadyToDraw() const { return initialized_ && !changing_ && backBuffer_ != nullptr; }
  // Lays the back buffer on the memory this frame is drawn in and returns it: the window's own
  // picture where the window offers it (nothing is copied then), else the back buffer's own
  // buffer. Every frame calls it before drawing, with no events handled between it and Flip, for
  // the window may drop its picture's memory with any change of size or mode. Only when
  // ReadyToDraw.
  TSurface& BeginFrame();
  // Presents the back buffer; nothing unless ReadyToDraw. The window's memory is given back.
  void Flip();

  // Exists while initialised; has memory between BeginFrame and Flip, and all the time where the
  // window offers none.
  TSurface* BackBuffer() { return backBuffer_.get(); }

  // The listener registered last is told first.
  void RegisterListener(DrawSurfaceListener* listener);
  void UnregisterListener(DrawSurfaceListener* listener);

 private:
  void Notify(TDrawSurfaceNotify type);
  // False when the back buffer lies on lent memory that the window no longer offers.
  bool HoldsFrameMemory();

  platform::Window& window_;
  platform::TextRasterizer& text_;
  std::unique_ptr<TSurface> backBuffer_;
  std::vector<DrawSurfaceListener*> listeners_;
  bool initialized_ = false;
  bool changing_ = false;
  bool frameBegun_ = false;
};
