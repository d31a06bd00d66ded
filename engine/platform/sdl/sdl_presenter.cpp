#include "engine/platform/sdl/sdl_presenter.h"

#include <cstring>

#include <SDL_hints.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/base/exception.h"
#include "engine/base/fresh_memory.h"
#include "engine/platform/sdl/row_fingerprints.h"

namespace platform::sdl {
namespace {

// The game's surface; the first picture is expected in this size.
constexpr int SurfaceWidth = 800;
constexpr int SurfaceHeight = 600;
// Larger pictures than this are refused rather than allocated.
constexpr int LargestPicture = 8192;
constexpr unsigned GlRenderer = 0x1F01;  // GL_RENDERER

}  // namespace

bool OpenGlIsEmulated(std::string_view glRenderer) {
  if (glRenderer.empty()) return true;
  for (const std::string_view emulator :
       {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
    if (glRenderer.find(emulator) != std::string_view::npos) return true;
  }
  return false;
}

std::string ProbeGlRenderer() {
  SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (probe == nullptr) return {};
  std::string name;
  if (SDL_GLContext context = SDL_GL_CreateContext(probe); context != nullptr) {
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString != nullptr) {
      if (const unsigned char* text = getString(GlRenderer); text != nullptr) {
        name = reinterpret_cast<const char*>(text);
      }
    }
    SDL_GL_DeleteContext(context);
  }
  SDL_DestroyWindow(probe);
  return name;
}

bool MachineHasGpu() {
  // Every GPU driver of Linux offers a render node; without one OpenGL can only be Mesa's own
  // processor rasteriser, and asking it its name would cost 60 MB that stay loaded.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    if (entry.path().filename().string().starts_with("renderD")) return true;
  }
  return false;
}

RendererChoice ChooseRenderer() {
  if (const char* hinted = SDL_GetHint(SDL_HINT_RENDER_DRIVER); hinted != nullptr && *hinted) {
    return RendererChoice::AsHinted;
  }
  if (!MachineHasGpu()) return RendererChoice::Software;
  return OpenGlIsEmulated(ProbeGlRenderer()) ? RendererChoice::Software
                                             : RendererChoice::Accelerated;
}

SdlPresenter::SdlPresenter(SDL_Window* window, RendererChoice choice) {
  // Only the software renderer uses the window surface; it must be the plain framebuffer, not
  // one that SDL would itself draw through OpenGL.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  Uint32 flags = 0;
  if (choice == RendererChoice::Accelerated) {
    flags = SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC;
  } else if (choice == RendererChoice::Software) {
    flags = SDL_RENDERER_SOFTWARE;
  }
  renderer_ = SDL_CreateRenderer(window, -1, flags);
  if (renderer_ == nullptr && choice != RendererChoice::Software) {
    renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  if (renderer_ == nullptr) {
    throw EPlatformError(std::string("The window cannot be drawn in: ") + SDL_GetError());
  }
  SDL_RendererInfo info;
  path_ = SDL_GetRendererInfo(renderer_, &info) == 0 ? info.name : "unknown";
  textureHoldsShown_ = path_ == "software";
  // The game's pixels are 0x00RRGGBB, which is also the X8R8G8B8 layout of a usual window: a
  // texture in the window's own layout is copied onto it row by row, where a texture with alpha
  // would be converted pixel by pixel.
  if (textureHoldsShown_ && SDL_GetWindowPixelFormat(window) == SDL_PIXELFORMAT_RGB888) {
    textureFormat_ = SDL_PIXELFORMAT_RGB888;
  }
  // A GPU smooths the full-screen enlargement for free; on the processor it would cost more than
  // the whole frame, so the software path enlarges by repeating pixels.
  smoothScaling_ = (info.flags & SDL_RENDERER_ACCELERATED) != 0;
  SDL_RenderSetLogicalSize(renderer_, SurfaceWidth, SurfaceHeight);
  window_ = window;
  // The software path's texture is made when a frame first needs scaling (full screen).
  if (!textureHoldsShown_) CreateTexture(SurfaceWidth, SurfaceHeight);
}

SdlPresenter::~SdlPresenter() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  SDL_DestroyRenderer(renderer_);
}

bool SdlPresenter::CreateTexture(int width, int height) {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ =
      SDL_CreateTexture(renderer_, textureFormat_, SDL_TEXTUREACCESS_STREAMING, width, height);
  textureWidth_ = texture_ != nullptr ? width : 0;
  textureHeight_ = texture_ != nullptr ? height : 0;
  if (texture_ == nullptr) return false;
  // The game's pixels carry no alpha (its surface is 0x00RRGGBB): copy them, never blend.
  SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(texture_, smoothScaling_ ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  return true;
}

void SdlPresenter::RecreateTexture() {
  stale_ = true;
  if (texture_ == nullptr) return;  // made again by the next frame that needs it
  CreateTexture(textureWidth_ > 0 ? textureWidth_ : SurfaceWidth,
                textureHeight_ > 0 ? textureHeight_ : SurfaceHeight);
}

SDL_Surface* SdlPresenter::UnscaledWindowSurface(int width, int height) const {
  if (!textureHoldsShown_) return nullptr;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr || surface->w != width || surface->h != height) return nullptr;
  const Uint32 format = surface->format->format;
  if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) return nullptr;
  return surface;
}

PixelView SdlPresenter::FrameMemory(int width, int height) {
  SDL_Surface* surface = UnscaledWindowSurface(width, height);
  if (surface == nullptr || SDL_MUSTLOCK(surface) ||
      surface->pitch != width * static_cast<int>(sizeof(uint32_t))) {
    return {};
  }
  if (surface->pixels != populatedPixels_) {
    // A surface made anew: its pages come in one go rather than one fault at a time in the frame.
    PopulatePages(surface->pixels, static_cast<size_t>(surface->pitch) * surface->h);
    populatedPixels_ = surface->pixels;
  }
  return {static_cast<uint32_t*>(surface->pixels), width, height, width};
}

void SdlPresenter::PresentOnWindowSurface(SDL_Surface* surface, const uint32_t* pixels, int width,
                                          int height) {
  // A texture left from full screen would only hold memory now.
  if (texture_ != nullptr) {
    SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
  }
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
  // The fingerprints tell of this surface only: one made anew (same size, other memory) is sent
  // whole.
  const bool all = stale_ || fingerprintedPixels_ != surface->pixels ||
                   rowFingerprints_.size() != static_cast<size_t>(height);
  rowFingerprints_.resize(static_cast<size_t>(height));
  const RowBand band = UpdateRowFingerprints(
      rowFingerprints_, pixels, width, all, static_cast<uint8_t*>(surface->pixels), surface->pitch);
  fingerprintedPixels_ = surface->pixels;
  fingerprintedWidth_ = width;
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  stale_ = false;
  if (band.Empty()) return;
  // Only the band of rows that changed goes to the desktop.
  const SDL_Rect rect{0, band.first, width, band.last - band.first + 1};
  SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
}

bool SdlPresenter::WindowSurfaceHoldsShown() {
  if (rowFingerprints_.empty()) return false;
  const int height = static_cast<int>(rowFingerprints_.size());
  const PixelView shown = FrameMemory(fingerprintedWidth_, height);
  if (shown.pixels == nullptr || shown.pixels != fingerprintedPixels_) return false;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = shown.pixels + static_cast<ptrdiff_t>(y) * shown.pitch;
    if (RowFingerprint(row, shown.width) != rowFingerprints_[static_cast<size_t>(y)]) return false;
  }
  return true;
}

void SdlPresenter::Present(const uint32_t* pixels, int width, int height) {
  if (pixels == nullptr || width <= 0 || height <= 0 || width > LargestPicture ||
      height > LargestPicture) {
    return;
  }
  // In a window the software renderer would copy the texture onto the window surface; the
  // picture is put there directly instead, which spares that copy and the texture's memory.
  if (SDL_Surface* surface = UnscaledWindowSurface(width, height); surface != nullptr) {
    PresentOnWindowSurface(surface, pixels, width, height);
    return;
  }
  if (texture_ == nullptr || width != textureWidth_ || height != textureHeight_) {
    if (!CreateTexture(width, height)) return;
    SDL_RenderSetLogicalSize(renderer_, width, height);
    stale_ = true;
  }
  if (!(textureHoldsShown_ ? CopyIntoTexture(pixels, width, height)
                           : UpdateTexture(pixels, width, height))) {
    return;
  }
  stale_ = false;
  ShowTexture();
}

void SdlPresenter::ShowTexture() {
  int outputWidth = 0;
  int outputHeight = 0;
  SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
  // The letterbox bars; in a window the software renderer's picture covers every pixel, and what
  // it drew last stays, so there is nothing to clear.
  if (!textureHoldsShown_ || outputWidth != textureWidth_ || outputHeight != textureHeight_) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  }
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void SdlPresenter::Repaint() {
  // The window surface and the texture both still hold the picture last shown: it is sent again
  // at once, for no new frame may come (the menu's frame loop stops while the game is inactive).
  if (texture_ == nullptr) {
    // Frames are drawn on the window surface itself, so it holds the picture last sent only if no
    // frame has been left half drawn there since; a surface made anew (its size changed) starts
    // blank.
    if (textureHoldsShown_ && WindowSurfaceHoldsShown() && SDL_UpdateWindowSurface(window_) == 0) {
      return;
    }
  } else if (!stale_) {
    ShowTexture();
    return;
  }
  stale_ = true;
}

bool SdlPresenter::UpdateTexture(const uint32_t* pixels, int width, int height) {
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (!stale_ && shown_.size() == count &&
      std::memcmp(shown_.data(), pixels, count * sizeof(uint32_t)) == 0) {
    return false;
  }
  shown_.assign(pixels, pixels + count);
  SDL_UpdateTexture(texture_, nullptr, pixels, width * static_cast<int>(sizeof(uint32_t)));
  return true;
}

bool SdlPresenter::CopyIntoTexture(const uint32_t* pixels, int width, int height) {
  void* locked = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, nullptr, &locked, &pitch) != 0) return false;
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint32_t);
  bool changed = stale_;
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<uint8_t*>(locked) + static_cast<ptrdiff_t>(y) * pitch;
    const uint32_t* source = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    if (changed || std::memcmp(row, source, rowBytes) != 0) {
      std::memcpy(row, source, rowBytes);
      changed = true;
    }
  }
  SDL_UnlockTexture(texture_);
  return changed;
}

void SdlPresenter::SurfaceToWindow(int x, int y, int& windowX, int& windowY) const {
  // The centre of the surface pixel, so that the way back lands on the same pixel.
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f,
                            &windowX, &windowY);
}

void SdlPresenter::WindowToSurface(int windowX, int windowY, int& x, int& y) const {
  float logicalX = 0;
  float logicalY = 0;
  SDL_RenderWindowToLogical(renderer_, windowX, windowY, &logicalX, &logicalY);
  x = static_cast<int>(std::floor(logicalX));
  y = static_cast<int>(std::floor(logicalY));
}

}  // namespace platform::sdl
