#include "engine/platform/sdl/sdl_window.h"

#include <SDL_events.h>
#include <SDL_messagebox.h>
#include <SDL_mouse.h>

#include <cstdio>
#include <string>

#include "engine/base/exception.h"
#include "engine/platform/sdl/utf8.h"

namespace platform::sdl {
namespace {
constexpr const char* Caption = "Skarvel";
}  // namespace

SdlWindow::SdlWindow() {
  const RendererChoice choice = ChooseRenderer();
  // Resizable only so that the desktop gives the window a maximise box: every other size is
  // undone (KeepFixedSize), and maximising means full screen (UndoMaximise).
  Uint32 flags = SDL_WINDOW_RESIZABLE;
  if (choice == RendererChoice::Accelerated) flags |= SDL_WINDOW_OPENGL;
  window_ = SDL_CreateWindow(Caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ClientWidth,
                             ClientHeight, flags);
  if (window_ == nullptr) {
    throw EPlatformError(std::string("The game's window cannot be opened: ") + SDL_GetError());
  }
  id_ = SDL_GetWindowID(window_);
  SDL_GetWindowPosition(window_, &normalX_, &normalY_);
  try {
    presenter_ = std::make_unique<SdlPresenter>(window_, choice);
  } catch (...) {
    SDL_DestroyWindow(window_);
    throw;
  }
}

bool SdlWindow::SetIcon(const std::filesystem::path& bitmap) {
  SDL_Surface* icon = SDL_LoadBMP(bitmap.c_str());
  if (icon == nullptr) return false;
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
  return true;
}

SdlWindow::~SdlWindow() {
  presenter_.reset();
  SDL_DestroyWindow(window_);
}

bool SdlWindow::FullScreen() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

bool SdlWindow::SetFullScreen(bool fullScreen) {
  if (fullScreen == FullScreen()) return true;
  if (fullScreen) SDL_GetWindowPosition(window_, &normalX_, &normalY_);
  if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    return false;
  }
  presenter_->Invalidate();
  if (!fullScreen) {
    SDL_SetWindowPosition(window_, normalX_, normalY_);
    KeepFixedSize();
  }
  return true;
}

WindowPlacement SdlWindow::GetPlacement() {
  WindowPlacement placement;
  if (FullScreen()) {
    placement.x = normalX_;
    placement.y = normalY_;
    placement.width = ClientWidth;
    placement.height = ClientHeight;
  } else {
    SDL_GetWindowPosition(window_, &placement.x, &placement.y);
    SDL_GetWindowSize(window_, &placement.width, &placement.height);
  }
  const Uint32 flags = SDL_GetWindowFlags(window_);
  placement.maximised = (flags & SDL_WINDOW_MAXIMIZED) != 0;
  placement.minimised = (flags & SDL_WINDOW_MINIMIZED) != 0;
  return placement;
}

void SdlWindow::SetPlacement(const WindowPlacement& placement) {
  // The size is the window's fixed 800 x 600 and a maximise is always undone, so of the placement
  // only the position and the minimised state apply. In full screen the position waits for the
  // return to the window.
  normalX_ = placement.x;
  normalY_ = placement.y;
  if (!FullScreen()) SDL_SetWindowPosition(window_, placement.x, placement.y);
  const bool minimised = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
  if (placement.minimised && !minimised) SDL_MinimizeWindow(window_);
  if (!placement.minimised && minimised) SDL_RestoreWindow(window_);
}

void SdlWindow::Minimise() {
  SDL_MinimizeWindow(window_);
}

bool SdlWindow::IsForeground() {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlWindow::Present(const uint32_t* pixels, int width, int height) {
  presenter_->Present(pixels, width, height);
}

int SdlWindow::ShowCursor(bool show) {
  cursorCounter_ += show ? 1 : -1;
  SDL_ShowCursor(cursorCounter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return cursorCounter_;
}

void SdlWindow::SetCursorPos(int x, int y) {
  int windowX = 0;
  int windowY = 0;
  presenter_->SurfaceToWindow(x, y, windowX, windowY);
  SDL_WarpMouseInWindow(window_, windowX, windowY);
}

void SdlWindow::GetCursorPos(int& x, int& y) {
  int windowX = 0;
  int windowY = 0;
  SDL_GetMouseState(&windowX, &windowY);
  presenter_->WindowToSurface(windowX, windowY, x, y);
}

void SdlWindow::MessageBox(std::string_view text) {
  const std::string message = ToDesktopText(text);
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, Caption, message.c_str(), window_) !=
      0) {
    // Without a box the message would be lost; the terminal is the last place to show it.
    std::fprintf(stderr, "skarvel: %s\n", message.c_str());
  }
}

bool SdlWindow::UndoMaximise() {
  if (FullScreen()) return false;
  SDL_RestoreWindow(window_);
  return true;
}

void SdlWindow::KeepFixedSize() {
  // A maximised window is about to be restored to its own size (UndoMaximise).
  if ((SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED)) != 0) {
    return;
  }
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  if (width != ClientWidth || height != ClientHeight) {
    SDL_SetWindowSize(window_, ClientWidth, ClientHeight);
  }
}

}  // namespace platform::sdl
