// The game's one window on SDL: 800 x 600 client area titled "Skarvel", a maximise box that
// switches to full screen instead of enlarging, desktop full screen with the picture letterboxed,
// the pointer with its display counter, and message boxes.
#pragma once

#include <SDL_video.h>

#include <filesystem>
#include <memory>
#include <string_view>

#include "engine/platform/platform.h"
#include "engine/platform/sdl/sdl_presenter.h"

namespace platform::sdl {

class SdlWindow : public Window {
 public:
  static constexpr int ClientWidth = 800;
  static constexpr int ClientHeight = 600;

  // Opens the window centred on the screen; throws EPlatformError when it cannot.
  SdlWindow();
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool SetFullScreen(bool fullScreen) override;
  WindowPlacement GetPlacement() override;
  void SetPlacement(const WindowPlacement& placement) override;
  void Minimise() override;
  bool IsForeground() override;
  void Present(const uint32_t* pixels, int width, int height) override;
  PixelView FrameMemory(int width, int height) override {
    return presenter_->FrameMemory(width, height);
  }
  int ShowCursor(bool show) override;
  void SetCursorPos(int x, int y) override;
  void GetCursorPos(int& x, int& y) override;
  void MessageBox(std::string_view text) override;

  // Shows the bitmap file's picture as the window's icon; false when it cannot be read.
  bool SetIcon(const std::filesystem::path& bitmap);

  // --- What the event queue hands over.
  Uint32 Id() const { return id_; }
  // The window was maximised: undoes it. True when the game should hear of it as the system
  // command Maximise (not in full screen, where the desktop reports its own changes).
  bool UndoMaximise();
  // The window's size changed: a bordered window goes back to 800 x 600.
  void KeepFixedSize();
  // The renderer lost its texture.
  void RenderingReset() { presenter_->RecreateTexture(); }
  // The desktop lost or reshaped what the window showed: show the last picture again now if it is
  // still held, else with the next frame.
  void Repaint() { presenter_->Repaint(); }

  // The renderer that presents frames ("opengl", "software", ...).
  std::string_view PresentPath() const { return presenter_->Path(); }

 private:
  bool FullScreen() const;

  SDL_Window* window_ = nullptr;
  Uint32 id_ = 0;
  std::unique_ptr<SdlPresenter> presenter_;
  int cursorCounter_ = 0;
  // Position of the bordered window, kept while in full screen (where SDL reports the screen's).
  int normalX_ = 0;
  int normalY_ = 0;
};

}  // namespace platform::sdl
