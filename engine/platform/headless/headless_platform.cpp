#include "engine/platform/headless/headless_platform.h"

#include <xmp.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/platform/pad_directions.h"
#include "engine/platform/ttf/ttf_text.h"

namespace platform::headless {

bool HeadlessEvents::Poll(Event& event) {
  if (queue.empty()) return false;
  event = queue.front();
  queue.pop_front();
  return true;
}

void HeadlessEvents::Wait(uint32_t timeoutMs) {
  waits.push_back(timeoutMs);
  if (queue.empty() && clock != nullptr) clock->now += timeoutMs;
}

bool HeadlessWindow::SetFullScreen(bool value) {
  modeChanges.push_back(value);
  if (value && refuseFullScreen) return false;
  fullScreen = value;
  return true;
}

void HeadlessWindow::SetPlacement(const WindowPlacement& value) {
  placement = value;
  placementsSet.push_back(value);
}

void HeadlessWindow::Minimise() {
  ++minimiseCount;
  placement.minimised = true;
}

void HeadlessWindow::Present(const uint32_t* pixels, int width, int height) {
  ++presentCount;
  frameWidth = width;
  frameHeight = height;
  // memcpy rather than assign's memmove: under AddressSanitizer memmove copies a byte at a time,
  // and the tests present hundreds of thousands of frames.
  frame.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (!frame.empty()) std::memcpy(frame.data(), pixels, frame.size() * sizeof(uint32_t));
}

PixelView HeadlessWindow::FrameMemory(int width, int height) {
  if (width <= 0 || height <= 0 || lent.size() != static_cast<size_t>(width) * height) return {};
  return {lent.data(), width, height, width};
}

uint32_t HeadlessWindow::Pixel(int x, int y) const {
  return frame.at(static_cast<size_t>(y) * static_cast<size_t>(frameWidth) +
                  static_cast<size_t>(x)) &
         0xFFFFFF;
}

int HeadlessWindow::ShowCursor(bool show) {
  cursorCounter += show ? 1 : -1;
  return cursorCounter;
}

void HeadlessWindow::SetCursorPos(int x, int y) {
  cursorX = x;
  cursorY = y;
  warps.emplace_back(x, y);
}

void HeadlessWindow::GetCursorPos(int& x, int& y) {
  x = cursorX;
  y = cursorY;
}

bool HeadlessKeyboard::ReadState(KeyTable& table) {
  if (!available) return false;
  table = keys;
  return true;
}

bool HeadlessJoystick::Read(JoystickReading& value) {
  if (!attached) return false;
  value = reading;
  return true;
}

uint32_t HeadlessMusic::SongLoadFromFile(const std::string& path) {
  xmp_test_info info;
  const bool valid = xmp_test_module(const_cast<char*>(path.c_str()), &info) == 0;
  const uint32_t song = valid ? nextHandle_++ : 0;
  calls.push_back({Call::Load, song, path});
  if (valid) {
    // As the real player: loading frees the song loaded before, and with it its sound.
    if (playing == loaded_) playing = 0;
    loaded_ = song;
  }
  return song;
}

void HeadlessMusic::SongPlay(uint32_t song) {
  calls.push_back({Call::Play, song, {}});
  if (song != 0 && song == loaded_) playing = song;
}

void HeadlessMusic::SongStop(uint32_t song) {
  calls.push_back({Call::Stop, song, {}});
  if (song != 0 && song == playing) playing = 0;
}

HeadlessPlatform::HeadlessPlatform(const std::filesystem::path& fontDir)
    : textImpl(CreateTtfTextRasterizer(fontDir)) {
  eventsImpl.clock = &clockImpl;
}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::KeyDown(VirtualKey key, ShiftState shift, bool repeat) {
  Event event;
  event.kind = EventKind::KeyDown;
  event.key = key;
  event.shift = shift;
  event.repeat = repeat;
  Push(event);
  // As on a real keyboard, the key reads as held from now on.
  keyboardImpl.Press(key);
}

void HeadlessPlatform::KeyUp(VirtualKey key, ShiftState shift) {
  Event event;
  event.kind = EventKind::KeyUp;
  event.key = key;
  event.shift = shift;
  Push(event);
  keyboardImpl.Release(key);
}

void HeadlessPlatform::PadDown(PadButton button) {
  Push(PadEvent(button, true));
}

void HeadlessPlatform::PadUp(PadButton button) {
  Push(PadEvent(button, false));
}

void HeadlessPlatform::Type(uint32_t character) {
  Event event;
  event.kind = EventKind::Character;
  event.character = character;
  Push(event);
}

}  // namespace platform::headless
