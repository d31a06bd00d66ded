// The narrow interface between the game and the machine it runs on: one small interface per
// service. The SDL backend (sdl/) serves the real game; the headless backend (headless/) serves
// tests with a clock they advance, scripted events and an in-memory screen. No SDL type crosses
// this interface.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class AudioOutput;  // audio_output.h

// Keys arrive as virtual-key numbers (VK_*; see virtual_keys.h).
using VirtualKey = uint16_t;

// Which of Shift, Alt and Ctrl were held when an event happened.
enum ShiftFlag : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16 };
using ShiftState = uint8_t;

enum class PointerButton : uint8_t { Left, Right, Middle };

// A gamepad's controls for the menus and the game's own commands, by their place on the pad: the
// four directions come from the D-pad and the left stick alike, A is the south face button and B
// the east one.
enum class PadButton : uint8_t { Up, Down, Left, Right, A, B, Back, Start };
constexpr int PadButtonCount = 8;

enum class EventKind : uint8_t {
  KeyDown,             // key, repeat, shift
  KeyUp,               // key, shift
  Character,           // character: a typed character (Latin-1 code point)
  PointerMove,         // x, y in surface pixels; shift
  PointerDown,         // button, x, y, shift
  PointerUp,           // button, x, y, shift
  Activate,            // the application got the focus
  Deactivate,          // the application lost the focus (another window, minimised)
  CloseRequest,        // the close box, Alt+F4, the window menu's Close
  SysCommandMaximise,  // the system command Maximise (the maximise box)
  CaptionDoubleClick,  // a double-click of the left button on the caption
  PadDown,             // pad: a gamepad's control went down (a stick direction: pushed past its
                       // dead zone)
  PadUp,               // pad: that control was let go (or its gamepad was unplugged)
  EndRequest,          // the session is ending or the terminal asks the program to end (SIGTERM,
                       // SIGINT): it ends without a question
};

struct Event {
  EventKind kind = EventKind::KeyDown;
  VirtualKey key = 0;
  bool repeat = false;
  ShiftState shift = 0;
  uint32_t character = 0;
  PointerButton button = PointerButton::Left;
  PadButton pad = PadButton::Up;
  int x = 0;
  int y = 0;
};

// The millisecond clock (timeGetTime): wraps at 2^32.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t Milliseconds() = 0;
};

// The window's message queue.
class EventQueue {
 public:
  virtual ~EventQueue() = default;
  // Takes the next pending event; false when there is none.
  virtual bool Poll(Event& event) = 0;
  // Sleeps until an event is pending or timeoutMs has passed, whichever is first.
  virtual void Wait(uint32_t timeoutMs) = 0;
};

// A 32-bit picture in memory, rows top to bottom (pitch in pixels).
struct PixelView {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// Position, size and show state of the window, saved before full screen and restored after.
struct WindowPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool maximised = false;
  bool minimised = false;
  bool operator==(const WindowPlacement&) const = default;
};

// The one top-level window with its client area of 800 x 600 surface pixels.
class Window {
 public:
  virtual ~Window() = default;
  // Switches between the bordered window and borderless full screen (the 800 x 600 picture scaled
  // and letterboxed). False when the desktop refused the change.
  virtual bool SetFullScreen(bool fullScreen) = 0;
  virtual WindowPlacement GetPlacement() = 0;
  virtual void SetPlacement(const WindowPlacement& placement) = 0;
  virtual void Minimise() = 0;
  // True while the window has the keyboard focus.
  virtual bool IsForeground() = 0;
  // Shows a picture of surface pixels (0xAARRGGBB, alpha ignored) in the client area.
  virtual void Present(const uint32_t* pixels, int width, int height) = 0;
  // Memory for one frame of width x height pixels (0x00RRGGBB, rows of `width` pixels) that
  // Present shows without a copy: the window's own picture, holding the picture shown last. Valid
  // until the next event is handled or the mode changes; empty (null pixels) where the window
  // cannot offer it, and the frame is then drawn elsewhere and handed to Present.
  virtual PixelView FrameMemory(int width, int height) = 0;
  // The system's pointer display counter (ShowCursor): adds 1 or subtracts 1 and returns the new
  // value; the pointer is visible while the counter is 0 or more.
  virtual int ShowCursor(bool show) = 0;
  // Pointer position in surface pixels (the steering centre is (400, 300) in both modes).
  virtual void SetCursorPos(int x, int y) = 0;
  virtual void GetCursorPos(int& x, int& y) = 0;
  // A modal message box with one OK button; returns when the user has closed it.
  virtual void MessageBox(std::string_view text) = 0;
};

// The keyboard as a 256-entry table in virtual-key numbering; bit 7 set means down.
using KeyTable = std::array<uint8_t, 256>;

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Fills the table; false when the keyboard cannot be read (every key then reads as released).
  virtual bool ReadState(KeyTable& table) = 0;
};

// Joystick 0 read without the input device: raw axis positions with their travel. A stick that is
// a known gamepad is read through its mapping: the left stick (or the D-pad) as X and Y, and its
// buttons in the pad's own order, A first.
struct JoystickReading {
  struct Axis {
    int position = 0;
    int min = 0;
    int max = 0;
  };
  Axis x, y, z;
  uint32_t buttons = 0;  // bit n: button n + 1 held
};

class Joystick {
 public:
  virtual ~Joystick() = default;
  // False when no joystick 0 is attached. A stick plugged in while the game runs is taken up.
  virtual bool Read(JoystickReading& reading) = 0;
};

// The music player library: plays XM modules by handle. Handle 0 means none.
class MusicPlayer {
 public:
  virtual ~MusicPlayer() = default;
  // Loads a module from a real file system path; 0 when it cannot be loaded.
  virtual uint32_t SongLoadFromFile(const std::string& path) = 0;
  // Starts the song from its beginning; it replaces whatever was heard before.
  virtual void SongPlay(uint32_t song) = 0;
  // Stops the song; 0 and stale or stopped handles are harmless.
  virtual void SongStop(uint32_t song) = 0;
};

// The desktop's "open" action (xdg-open) for web pages and link files; its answer is ignored.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void Open(const std::string& target) = 0;
};

// Text drawing: font name, size in points, style, colour onto a 32-bit picture.
enum FontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct FontSpec {
  std::string name;
  int size = 16;  // points at 96 pixels per inch, as the canvas's Font.Size
  uint8_t style = 0;
  bool operator==(const FontSpec&) const = default;
};

class TextRasterizer {
 public:
  virtual ~TextRasterizer() = default;
  // Readies what drawing text needs (its library, its faces), so that what is missing is told
  // now and not in the middle of a frame; the first text measured or drawn readies it too.
  // EPlatformError when it cannot be readied.
  virtual void Prepare() = 0;
  // Width in pixels of the text as drawn by DrawText.
  virtual int TextWidth(const FontSpec& font, std::string_view text) = 0;
  // Height in pixels of a line of text in this font.
  virtual int TextHeight(const FontSpec& font) = 0;
  // Draws the text with its top-left corner at (x, y), antialiased over what is there, clipped.
  virtual void DrawText(const FontSpec& font, uint32_t rgb, std::string_view text, PixelView target,
                        int x, int y) = 0;
};

// All services of one machine.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual Clock& clock() = 0;
  virtual EventQueue& events() = 0;
  virtual Window& window() = 0;
  virtual Keyboard& keyboard() = 0;
  virtual Joystick& joystick() = 0;
  virtual MusicPlayer& music() = 0;
  virtual AudioOutput& sound() = 0;
  virtual Shell& shell() = 0;
  virtual TextRasterizer& text() = 0;
};

}  // namespace platform
