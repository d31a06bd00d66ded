#include "engine/platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/base/exception.h"
#include "engine/platform/sdl/sdl_audio.h"
#include "engine/platform/sdl/sdl_end_signals.h"
#include "engine/platform/sdl/sdl_events.h"
#include "engine/platform/sdl/sdl_gamepads.h"
#include "engine/platform/sdl/sdl_joystick.h"
#include "engine/platform/sdl/sdl_keys.h"
#include "engine/platform/sdl/sdl_music.h"
#include "engine/platform/sdl/sdl_pad_layer.h"
#include "engine/platform/sdl/sdl_shell.h"
#include "engine/platform/sdl/sdl_sound.h"
#include "engine/platform/sdl/sdl_window.h"
#include "engine/platform/ttf/ttf_text.h"

namespace platform::sdl {
namespace {

EPlatformError NoDisplay(const std::string& reason) {
  return EPlatformError("The game needs a display and cannot find one: " + reason);
}

// Why no desktop could be reached, in the terms of the desktop's own settings.
std::string MissingDisplayReason() {
  const char* x11 = std::getenv("DISPLAY");
  if (x11 != nullptr && *x11 != 0)
    return std::string("the X display \"") + x11 + "\" cannot be opened";
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland != nullptr && *wayland != 0) {
    return std::string("the Wayland display \"") + wayland + "\" cannot be opened";
  }
  return "neither DISPLAY nor WAYLAND_DISPLAY is set";
}

// SDL's video subsystem for the platform's lifetime; SDL is shut down completely when nothing else
// in the process still uses it.
class SdlSession {
 public:
  SdlSession() {
    // SIGTERM and SIGINT are the game's own (SdlEndSignals): SDL would turn them into quit
    // events, which cannot be told from other close requests.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window is the game's close request (its exit question); SDL must not add a
    // quit event of its own, which would ask twice.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      const std::string reason = SDL_GetError();
      Quit();
      throw NoDisplay(reason);
    }
    // Without any display SDL settles for windows that nobody can see; only someone who asked
    // for that by name gets it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver != nullptr && std::string_view(driver) == "offscreen" &&
        (asked == nullptr || *asked == 0)) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      Quit();
      throw NoDisplay(MissingDisplayReason());
    }
  }
  ~SdlSession() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    Quit();
  }
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;

 private:
  static void Quit() {
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }
};

class SdlClock : public Clock {
 public:
  uint32_t Milliseconds() override { return SDL_GetTicks(); }
};

class SdlPlatformImpl : public SdlPlatform {
 public:
  explicit SdlPlatformImpl(const std::filesystem::path& fontDir)
      : events_(window_, padLayer_, joystick_, gamepads_),
        sound_(CreateMixerAudioOutput([this] { return audio_.Open(); })),
        text_(CreateTtfTextRasterizer(fontDir)) {}

  Clock& clock() override { return clock_; }
  EventQueue& events() override { return events_; }
  Window& window() override { return window_; }
  Keyboard& keyboard() override { return keyboard_; }
  Joystick& joystick() override { return joystick_; }
  MusicPlayer& music() override {
    if (!music_) music_ = CreateXmpMusicPlayer(audio_.Open());
    return *music_;
  }
  AudioOutput& sound() override { return *sound_; }
  Shell& shell() override { return shell_; }
  TextRasterizer& text() override { return *text_; }

  std::string_view PresentPath() const override { return window_.PresentPath(); }
  bool AudioOpen() override { return audio_.Open(); }
  bool SetWindowIcon(const std::filesystem::path& bitmap) override {
    return window_.SetIcon(bitmap);
  }

 private:
  // Built in this order and taken down in the reverse: SDL first up and last down, the music
  // player and the sound effects before the sound device they play into closes. The device opens
  // when the sound effects are first readied or the music is first used, after the first frame.
  SdlSession session_;
  // A request to end that comes as a signal is an event like any other from the start.
  SdlEndSignals endSignals_;
  SdlWindow window_;
  SdlKeyboard keyboard_;
  SdlPadLayer padLayer_;
  SdlJoystick joystick_;
  SdlGamepads gamepads_;
  SdlEventQueue events_;
  SdlAudio audio_;
  std::unique_ptr<AudioOutput> sound_;
  std::unique_ptr<MusicPlayer> music_;
  SdlShell shell_;
  SdlClock clock_;
  std::unique_ptr<TextRasterizer> text_;
};

}  // namespace

std::unique_ptr<SdlPlatform> CreateSdlPlatform(const std::filesystem::path& fontDir) {
  return std::make_unique<SdlPlatformImpl>(fontDir);
}

}  // namespace platform::sdl
