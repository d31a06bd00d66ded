// The machine of the tests: a clock the test advances, a queue of scripted events, an in-memory
// screen whose last presented picture a test can read, and records of what the program asked of
// the window, the music player, the sound output and the desktop. Text is drawn with the real
// rasteriser.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/headless/headless_sound.h"
#include "engine/platform/platform.h"

namespace platform::headless {

class HeadlessClock : public Clock {
 public:
  uint32_t Milliseconds() override { return now; }
  uint32_t now = 1000;
};

class HeadlessEvents : public EventQueue {
 public:
  bool Poll(Event& event) override;
  // Waiting moves the clock on to the timeout unless an event is already queued.
  void Wait(uint32_t timeoutMs) override;

  std::deque<Event> queue;
  std::vector<uint32_t> waits;  // every Wait's timeout, in order
  HeadlessClock* clock = nullptr;
};

class HeadlessWindow : public Window {
 public:
  bool SetFullScreen(bool fullScreen) override;
  WindowPlacement GetPlacement() override { return placement; }
  void SetPlacement(const WindowPlacement& value) override;
  void Minimise() override;
  bool IsForeground() override { return foreground; }
  void Present(const uint32_t* pixels, int width, int height) override;
  // `lent` when a frame of its size is asked for (none unless a test fills it), else nothing.
  PixelView FrameMemory(int width, int height) override;
  int ShowCursor(bool show) override;
  void SetCursorPos(int x, int y) override;
  void GetCursorPos(int& x, int& y) override;
  void MessageBox(std::string_view text) override { messages.emplace_back(text); }

  uint32_t Pixel(int x, int y) const;

  bool fullScreen = false;
  bool refuseFullScreen = false;
  bool foreground = true;
  int cursorCounter = 0;
  int cursorX = 0;
  int cursorY = 0;
  WindowPlacement placement{112, 84, 800, 600, false, false};
  std::vector<WindowPlacement> placementsSet;
  std::vector<bool> modeChanges;  // every SetFullScreen argument
  std::vector<std::pair<int, int>> warps;
  std::vector<std::string> messages;
  int minimiseCount = 0;
  int presentCount = 0;
  int frameWidth = 0;
  int frameHeight = 0;
  std::vector<uint32_t> frame;  // the picture presented last
  std::vector<uint32_t> lent;   // the memory offered to frames, as a window's own picture
};

class HeadlessKeyboard : public Keyboard {
 public:
  bool ReadState(KeyTable& table) override;
  void Press(VirtualKey key) { keys[key & 0xFF] = 0x80; }
  void Release(VirtualKey key) { keys[key & 0xFF] = 0; }
  KeyTable keys{};
  bool available = true;
};

class HeadlessJoystick : public Joystick {
 public:
  bool Read(JoystickReading& value) override;
  bool attached = false;
  JoystickReading reading;
};

// Loads modules for real (so a broken file gives 0) and records every call.
class HeadlessMusic : public MusicPlayer {
 public:
  struct Call {
    enum Kind { Load, Play, Stop } kind;
    uint32_t song;
    std::string path;
  };
  uint32_t SongLoadFromFile(const std::string& path) override;
  void SongPlay(uint32_t song) override;
  void SongStop(uint32_t song) override;

  std::vector<Call> calls;
  uint32_t playing = 0;  // the song heard now, 0 for silence
 private:
  uint32_t nextHandle_ = 1;
  uint32_t loaded_ = 0;
};

class HeadlessShell : public Shell {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  std::vector<std::string> opened;
};

class HeadlessPlatform : public Platform {
 public:
  // Fonts are looked up in fontDir (the game folder's data/fonts).
  explicit HeadlessPlatform(const std::filesystem::path& fontDir);
  ~HeadlessPlatform() override;

  Clock& clock() override { return clockImpl; }
  EventQueue& events() override { return eventsImpl; }
  Window& window() override { return windowImpl; }
  Keyboard& keyboard() override { return keyboardImpl; }
  Joystick& joystick() override { return joystickImpl; }
  MusicPlayer& music() override { return musicImpl; }
  AudioOutput& sound() override { return soundImpl; }
  Shell& shell() override { return shellImpl; }
  TextRasterizer& text() override { return *textImpl; }

  // Script helpers.
  void Push(const Event& event) { eventsImpl.queue.push_back(event); }
  // A key event; the key also reads as held (or let go) in the keyboard's state table.
  void KeyDown(VirtualKey key, ShiftState shift = 0, bool repeat = false);
  void KeyUp(VirtualKey key, ShiftState shift = 0);
  void Type(uint32_t character);
  // A gamepad control pressed or let go, as the SDL backend reports the D-pad, the left stick
  // pushed past its dead zone, A, B, Back and Start.
  void PadDown(PadButton button);
  void PadUp(PadButton button);
  void Advance(uint32_t ms) { clockImpl.now += ms; }

  HeadlessClock clockImpl;
  HeadlessEvents eventsImpl;
  HeadlessWindow windowImpl;
  HeadlessKeyboard keyboardImpl;
  HeadlessJoystick joystickImpl;
  HeadlessMusic musicImpl;
  HeadlessSound soundImpl;
  HeadlessShell shellImpl;
  std::unique_ptr<TextRasterizer> textImpl;
};

}  // namespace platform::headless
