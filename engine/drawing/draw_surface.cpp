#include "engine/drawing/draw_surface.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "engine/base/exception.h"
#include "engine/base/fresh_memory.h"

TSurface::TSurface(int width, int height, platform::TextRasterizer& text, bool ownBuffer)
    : width_(width), height_(height), text_(text) {
  if (ownBuffer) DrawOnOwnBuffer();
}

void TSurface::Bind(uint32_t* pixels) {
  pixels_ = pixels;
  if (canvas_) canvas_->Retarget(View());
}

bool TSurface::DrawOn(platform::PixelView memory) {
  if (memory.pixels == nullptr || memory.width != width_ || memory.height != height_ ||
      memory.pitch != width_) {
    return false;
  }
  Bind(memory.pixels);
  // The lent memory replaces the own buffer's 1.9 MB, which would only be kept for nothing.
  std::vector<uint32_t>().swap(own_);
  return true;
}

void TSurface::DrawOnOwnBuffer() {
  if (own_.empty()) own_ = FreshVector<uint32_t>(PixelCount());
  Bind(own_.data());
}

void TSurface::ReleaseLentMemory() {
  if (DrawsOnLentMemory()) Bind(nullptr);
}

void TSurface::Fill(uint32_t pixel) {
  // Every frame starts with a clear to black: the C library's fill of bytes writes 1.9 MB several
  // times faster than a loop of 32-bit stores.
  if (pixel == 0) {
    std::memset(pixels_, 0, PixelCount() * sizeof(uint32_t));
    return;
  }
  std::fill(pixels_, pixels_ + PixelCount(), pixel);
}

void TSurface::FillExcept(uint32_t pixel, std::span<const TRect> kept) {
  if (kept.empty()) {
    Fill(pixel);
    return;
  }
  // Per row, the kept stretches from left to right; the gaps between them are filled.
  std::vector<std::pair<int32_t, int32_t>> stretches;
  for (int32_t y = 0; y < height_; ++y) {
    stretches.clear();
    for (const TRect& rect : kept) {
      if (y < rect.Top || y >= rect.Bottom) continue;
      const int32_t left = std::clamp(rect.Left, 0, width_);
      const int32_t right = std::clamp(rect.Right, 0, width_);
      if (left < right) stretches.emplace_back(left, right);
    }
    std::sort(stretches.begin(), stretches.end());
    uint32_t* row = pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width_);
    const auto fill = [&](int32_t from, int32_t to) {
      if (pixel == 0) {
        std::memset(row + from, 0, static_cast<size_t>(to - from) * sizeof(uint32_t));
      } else {
        std::fill(row + from, row + to, pixel);
      }
    };
    int32_t x = 0;
    for (const auto& [left, right] : stretches) {
      if (left > x) fill(x, left);
      x = std::max(x, right);
    }
    if (x < width_) fill(x, width_);
  }
}

TCanvas& TSurface::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(View(), text_);
  return *canvas_;
}

TDrawSurface::TDrawSurface(platform::Window& window, platform::TextRasterizer& text)
    : window_(window), text_(text) {}

TDrawSurface::~TDrawSurface() {
  ShutDown();
  Notify(TDrawSurfaceNotify::dsnDestroying);
}

void TDrawSurface::RegisterListener(DrawSurfaceListener* listener) {
  listeners_.push_back(listener);
}

void TDrawSurface::UnregisterListener(DrawSurfaceListener* listener) {
  std::erase(listeners_, listener);
}

void TDrawSurface::Notify(TDrawSurfaceNotify type) {
  const std::vector<DrawSurfaceListener*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->DrawSurfaceNotify(type);
}

void TDrawSurface::StartUp() {
  ShutDown();
  changing_ = true;
  try {
    Notify(TDrawSurfaceNotify::dsnInitializing);
    const bool fullScreen = (Options & doFullScreen) != 0;
    if (!window_.SetFullScreen(fullScreen) && fullScreen) {
      throw EDrawSurfaceError("Display mode cannot be changed (" + std::to_string(DisplayWidth) +
                              "x" + std::to_string(DisplayHeight) + " " +
                              std::to_string(DisplayBitCount) + "bit)");
    }
    // Memory comes with the first frame: in a window that draws on the window's own picture, the
    // back buffer never needs a buffer of its own.
    backBuffer_ = std::make_unique<TSurface>(DisplayWidth, DisplayHeight, text_, false);
    if (window_.FrameMemory(DisplayWidth, DisplayHeight).pixels == nullptr) {
      backBuffer_->DrawOnOwnBuffer();
    }
    initialized_ = true;
    Notify(TDrawSurfaceNotify::dsnSetSurfaceSize);
    Notify(TDrawSurfaceNotify::dsnInitialize);
    Notify(TDrawSurfaceNotify::dsnInitializeSurface);
    Notify(TDrawSurfaceNotify::dsnRestore);
    changing_ = false;
  } catch (...) {
    changing_ = false;
    ShutDown();
    throw;
  }
}

void TDrawSurface::ShutDown() {
  if (!initialized_) return;
  changing_ = true;
  Notify(TDrawSurfaceNotify::dsnFinalizeSurface);
  Notify(TDrawSurfaceNotify::dsnFinalize);
  backBuffer_.reset();
  frameBegun_ = false;
  initialized_ = false;
  changing_ = false;
}

bool TDrawSurface::HoldsFrameMemory() {
  return !backBuffer_->DrawsOnLentMemory() ||
         window_.FrameMemory(DisplayWidth, DisplayHeight).pixels == backBuffer_->Pixels();
}

TSurface& TDrawSurface::BeginFrame() {
  const platform::PixelView memory = window_.FrameMemory(DisplayWidth, DisplayHeight);
  if (!backBuffer_->DrawOn(memory)) backBuffer_->DrawOnOwnBuffer();
  frameBegun_ = true;
  return *backBuffer_;
}

void TDrawSurface::Flip() {
  if (!ReadyToDraw()) return;
  // A frame that drew nothing shows the picture again: the window's memory still holds it. A frame
  // begun on memory the window has dropped since (one left by an exception, with a message box
  // handled before this Flip) is not read from there either: its memory is asked for anew.
  if (!frameBegun_ || !HoldsFrameMemory()) BeginFrame();
  window_.Present(backBuffer_->Pixels(), backBuffer_->Width(), backBuffer_->Height());
  backBuffer_->ReleaseLentMemory();
  frameBegun_ = false;
}
