// Shows the game's pictures in the window through an SDL_Renderer: a streaming 32-bit texture drawn
// at the logical size of the picture, so full screen is scaled and letterboxed. Where OpenGL would
// only be emulated on the processor, SDL's software renderer drawing straight to the window
// surface is cheaper (about a third of the time and a sixth of the memory), so it is chosen there;
// in a window, where nothing is scaled, frames are drawn on the window surface itself and only the
// rows that changed are sent.
#pragma once

#include <SDL_render.h>
#include <SDL_video.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform/platform.h"

namespace platform::sdl {

// True when the GL_RENDERER name tells of OpenGL done on the processor (Mesa's llvmpipe or
// softpipe, a "Software Rasterizer"), or when there is no OpenGL at all (an empty name).
bool OpenGlIsEmulated(std::string_view glRenderer);

// The GL_RENDERER of the machine's OpenGL, asked through a hidden window; empty without OpenGL.
std::string ProbeGlRenderer();

enum class RendererChoice : uint8_t {
  Accelerated,  // a GPU renderer (OpenGL or OpenGL ES), waiting for the vertical blank
  Software,     // the software renderer on the window surface
  AsHinted,     // the renderer named by SDL_RENDER_DRIVER, for measuring each path
};

// True when the machine has a GPU driver (a render node in /dev/dri).
bool MachineHasGpu();

// The renderer for this machine: as hinted if SDL_RENDER_DRIVER is set; else the software one
// without a GPU; else what the probe finds.
RendererChoice ChooseRenderer();

class SdlPresenter {
 public:
  // Throws EPlatformError when no renderer can draw in the window.
  SdlPresenter(SDL_Window* window, RendererChoice choice);
  ~SdlPresenter();
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  // Shows a picture of width x height pixels (0xAARRGGBB, alpha ignored). A picture equal to the
  // one on screen is not sent again: a still menu costs the desktop nothing.
  void Present(const uint32_t* pixels, int width, int height);
  // In a window, the window surface's own memory to draw a picture of width x height in, which
  // Present then shows without a copy; null pixels where the picture goes through the texture (full
  // screen, a GPU) or the surface's layout is not the picture's (0x00RRGGBB, rows of `width`
  // pixels). SDL frees that memory with any change of the window's size or mode: ask again for
  // every frame.
  PixelView FrameMemory(int width, int height);
  // The window's content changed shape (full screen and back): the next picture is sent whatever
  // it holds.
  void Invalidate() { stale_ = true; }
  // The window's content was lost (exposed, shown, restored, resized): the picture last shown is
  // sent again now where it is still held, else the next picture is sent whatever it holds.
  void Repaint();
  // After SDL_RENDER_TARGETS_RESET or SDL_RENDER_DEVICE_RESET the texture's content is gone.
  void RecreateTexture();
  // The renderer that runs: "opengl", "opengles2", "software", ...
  std::string_view Path() const { return path_; }

  // Between surface pixels and window coordinates, in both window and full screen.
  void SurfaceToWindow(int x, int y, int& windowX, int& windowY) const;
  void WindowToSurface(int windowX, int windowY, int& x, int& y) const;

 private:
  bool CreateTexture(int width, int height);
  // Both bring the picture into the texture; false when it equals the one on screen. The software
  // renderer's streaming texture is plain memory that keeps what was written into it, so the
  // picture on screen is compared there, row by row, with no copy of its own; a GPU's texture
  // cannot be read back cheaply, so a copy is kept beside it.
  bool UpdateTexture(const uint32_t* pixels, int width, int height);
  bool CopyIntoTexture(const uint32_t* pixels, int width, int height);
  // Draws the texture over the whole window (letterboxed in full screen) and shows it.
  void ShowTexture();
  // The window's own surface when the software renderer shows the picture unscaled on it in the
  // game's pixel layout (a window, not full screen); else null.
  SDL_Surface* UnscaledWindowSurface(int width, int height) const;
  // Sends only the rows that differ from the picture sent last, after copying them onto the window
  // surface unless the picture was drawn there.
  void PresentOnWindowSurface(SDL_Surface* surface, const uint32_t* pixels, int width, int height);
  // True when the window surface still holds the picture sent last (a frame drawn on it that was
  // never presented, or a surface made anew, does not).
  bool WindowSurfaceHoldsShown();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  bool smoothScaling_ = false;
  std::string path_;
  bool textureHoldsShown_ = false;
  Uint32 textureFormat_ = SDL_PIXELFORMAT_ARGB8888;
  std::vector<uint32_t> shown_;  // the picture on screen, beside a GPU's texture
  // One per row of the picture sent last to the window surface, and where that surface was.
  std::vector<uint64_t> rowFingerprints_;
  const void* fingerprintedPixels_ = nullptr;
  int fingerprintedWidth_ = 0;
  // The window surface whose pages were last taken in one go.
  const void* populatedPixels_ = nullptr;
  bool stale_ = true;
};

}  // namespace platform::sdl
