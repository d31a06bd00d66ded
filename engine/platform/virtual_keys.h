// Virtual-key numbers, the key codes of the game's key tables and key events.
#pragma once

#include <cstdint>

namespace vk {

constexpr uint16_t Back = 0x08;
constexpr uint16_t Tab = 0x09;
constexpr uint16_t Return = 0x0D;
constexpr uint16_t Shift = 0x10;
constexpr uint16_t Control = 0x11;
constexpr uint16_t Menu = 0x12;  // Alt
constexpr uint16_t Pause = 0x13;
constexpr uint16_t Capital = 0x14;
constexpr uint16_t Escape = 0x1B;
constexpr uint16_t Space = 0x20;
constexpr uint16_t Prior = 0x21;  // Page Up
constexpr uint16_t Next = 0x22;   // Page Down
constexpr uint16_t End = 0x23;
constexpr uint16_t Home = 0x24;
constexpr uint16_t Left = 0x25;
constexpr uint16_t Up = 0x26;
constexpr uint16_t Right = 0x27;
constexpr uint16_t Down = 0x28;
constexpr uint16_t Snapshot = 0x2C;
constexpr uint16_t Insert = 0x2D;
constexpr uint16_t Delete = 0x2E;
constexpr uint16_t Digit0 = 0x30;  // '0'..'9' are 0x30..0x39
constexpr uint16_t KeyA = 0x41;    // 'A'..'Z' are 0x41..0x5A
constexpr uint16_t LWin = 0x5B;
constexpr uint16_t RWin = 0x5C;
constexpr uint16_t Apps = 0x5D;
constexpr uint16_t Numpad0 = 0x60;  // numeric keypad 0..9 are 0x60..0x69
constexpr uint16_t Multiply = 0x6A;
constexpr uint16_t Add = 0x6B;
constexpr uint16_t Subtract = 0x6D;
constexpr uint16_t Decimal = 0x6E;
constexpr uint16_t Divide = 0x6F;
constexpr uint16_t F1 = 0x70;  // F1..F24 are 0x70..0x87
constexpr uint16_t F2 = 0x71;
constexpr uint16_t F12 = 0x7B;
constexpr uint16_t NumLock = 0x90;
constexpr uint16_t Scroll = 0x91;
constexpr uint16_t LShift = 0xA0;
constexpr uint16_t RShift = 0xA1;
constexpr uint16_t LControl = 0xA2;
constexpr uint16_t RControl = 0xA3;
constexpr uint16_t LMenu = 0xA4;
constexpr uint16_t RMenu = 0xA5;
constexpr uint16_t Oem1 = 0xBA;  // ;:
constexpr uint16_t OemPlus = 0xBB;
constexpr uint16_t OemComma = 0xBC;
constexpr uint16_t OemMinus = 0xBD;
constexpr uint16_t OemPeriod = 0xBE;
constexpr uint16_t Oem2 = 0xBF;  // /?
constexpr uint16_t Oem3 = 0xC0;  // `~
constexpr uint16_t Oem4 = 0xDB;  // [{
constexpr uint16_t Oem5 = 0xDC;  // backslash
constexpr uint16_t Oem6 = 0xDD;  // ]}
constexpr uint16_t Oem7 = 0xDE;  // '"

constexpr uint16_t Letter(char c) {
  return static_cast<uint16_t>(KeyA + (c - 'A'));
}
constexpr uint16_t Digit(int d) {
  return static_cast<uint16_t>(Digit0 + d);
}
constexpr uint16_t Numpad(int d) {
  return static_cast<uint16_t>(Numpad0 + d);
}
constexpr uint16_t Function(int n) {
  return static_cast<uint16_t>(F1 + (n - 1));
}

}  // namespace vk
