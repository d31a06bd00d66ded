#include "settings/config_record.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/platform/virtual_keys.h"

namespace {

constexpr size_t CountryOffset = 6;
constexpr size_t TableOffset = 18;
constexpr size_t EntrySize = 14;

ShortText ReadText(const ConfigBytes& bytes, size_t offset) {
  ShortText text;
  text.Length = std::min<uint8_t>(bytes[offset], MaxTextLength);
  std::copy_n(bytes.begin() + static_cast<ptrdiff_t>(offset + 1), MaxTextLength,
              text.Chars.begin());
  return text;
}

void WriteText(ConfigBytes& bytes, size_t offset, const ShortText& text) {
  bytes[offset] = text.Length;
  std::copy(text.Chars.begin(), text.Chars.end(),
            bytes.begin() + static_cast<ptrdiff_t>(offset + 1));
}

uint16_t ReadWord(const ConfigBytes& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void WriteWord(ConfigBytes& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

uint8_t Flag(uint8_t value) {
  return value != 0 ? 1 : 0;
}

}  // namespace

std::string ShortText::Text() const {
  return std::string(Chars.begin(), Chars.begin() + std::min<size_t>(Length, MaxTextLength));
}

void ShortText::SetText(std::string_view text) {
  Length = static_cast<uint8_t>(std::min(text.size(), MaxTextLength));
  std::copy_n(text.begin(), Length, Chars.begin());
}

ConfigBytes PackConfig(const ConfigRecord& record) {
  ConfigBytes bytes{};
  bytes[0] = record.WindowedMode;
  bytes[1] = record.MusicOn;
  bytes[2] = record.SoundOn;
  bytes[3] = record.Reserved0;
  WriteWord(bytes, 4, record.BossKey);
  WriteText(bytes, CountryOffset, record.PlayerCountry);
  bytes[17] = record.Reserved1;
  for (size_t k = 0; k < ScoreTableSize; ++k) {
    const size_t at = TableOffset + EntrySize * k;
    const ScoreEntry& entry = record.ScoreTable[k];
    WriteText(bytes, at, entry.Name);
    bytes[at + 11] = entry.Reserved;
    WriteWord(bytes, at + 12, entry.Score);
  }
  return bytes;
}

ConfigRecord UnpackConfig(const ConfigBytes& bytes) {
  ConfigRecord record;
  record.WindowedMode = Flag(bytes[0]);
  record.MusicOn = Flag(bytes[1]);
  record.SoundOn = Flag(bytes[2]);
  record.Reserved0 = bytes[3];
  record.BossKey = ReadWord(bytes, 4);
  record.PlayerCountry = ReadText(bytes, CountryOffset);
  record.Reserved1 = bytes[17];
  for (size_t k = 0; k < ScoreTableSize; ++k) {
    const size_t at = TableOffset + EntrySize * k;
    ScoreEntry& entry = record.ScoreTable[k];
    entry.Name = ReadText(bytes, at);
    entry.Reserved = bytes[at + 11];
    entry.Score = ReadWord(bytes, at + 12);
  }
  return record;
}

void EncodeConfig(ConfigBytes& bytes) {
  for (size_t i = 0; i < 3; ++i) bytes[i] ^= 1;
  const auto invert = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
  };
  invert(CountryOffset + 1, MaxTextLength);
  for (size_t k = 0; k < ScoreTableSize; ++k) {
    const size_t at = TableOffset + EntrySize * k;
    invert(at + 1, MaxTextLength);
    invert(at + 12, 2);
  }
}

void SetDefaultConfig(ConfigRecord& record) {
  ResetScoreTable(record);
  record.WindowedMode = 1;
  record.MusicOn = 1;
  record.SoundOn = 1;
  record.BossKey = 0x7B;  // F12
  record.PlayerCountry.Length = 0;
}

void ResetScoreTable(ConfigRecord& record) {
  constexpr std::string_view Anonymous = "Anonymous";
  for (size_t k = 0; k < ScoreTableSize; ++k) {
    ScoreEntry& entry = record.ScoreTable[k];
    // Only the length and the nine letters are set; the tenth byte keeps what it held.
    entry.Name.Length = static_cast<uint8_t>(Anonymous.size());
    std::copy(Anonymous.begin(), Anonymous.end(), entry.Name.Chars.begin());
    entry.Score = static_cast<uint16_t>(1000 - 100 * k);
  }
}

uint8_t FindScorePlace(const ConfigRecord& record, uint16_t score) {
  for (size_t i = 0; i < ScoreTableSize; ++i) {
    if (record.ScoreTable[i].Score < score) return static_cast<uint8_t>(i + 1);
  }
  return NoScorePlace;
}

void InsertScore(ConfigRecord& record, const ScoreEntry& entry) {
  std::array<ScoreEntry, ScoreTableSize + 1> work;
  std::copy(record.ScoreTable.begin(), record.ScoreTable.end(), work.begin());
  work[ScoreTableSize] = entry;
  for (size_t i = ScoreTableSize; i > 0 && work[i].Score > work[i - 1].Score; --i) {
    std::swap(work[i], work[i - 1]);
  }
  std::copy_n(work.begin(), ScoreTableSize, record.ScoreTable.begin());
}

std::string BossKeyName(uint16_t bossKey) {
  if ((bossKey >= vk::Digit0 && bossKey <= vk::Digit(9)) ||
      (bossKey >= vk::KeyA && bossKey <= vk::Letter('Z'))) {
    return std::string(1, static_cast<char>(bossKey));
  }
  if (bossKey >= vk::Numpad0 && bossKey <= vk::Numpad(9)) {
    return "Num " + std::to_string(bossKey - vk::Numpad0);
  }
  if (bossKey >= vk::F1 && bossKey <= vk::Function(24)) {
    return "F" + std::to_string(bossKey - vk::F1 + 1);
  }
  static constexpr std::array<std::pair<uint16_t, const char*>, 48> Named = {{
      {vk::Back, "Backspace"},
      {vk::Tab, "Tab"},
      {vk::Return, "Enter"},
      {vk::Shift, "Shift"},
      {vk::Control, "Ctrl"},
      {vk::Menu, "Alt"},
      {vk::Pause, "Pause"},
      {vk::Capital, "Caps Lock"},
      {vk::Escape, "Esc"},
      {vk::Space, "Space"},
      {vk::Prior, "Page Up"},
      {vk::Next, "Page Down"},
      {vk::End, "End"},
      {vk::Home, "Home"},
      {vk::Left, "Left"},
      {vk::Up, "Up"},
      {vk::Right, "Right"},
      {vk::Down, "Down"},
      {vk::Snapshot, "Print Screen"},
      {vk::Insert, "Insert"},
      {vk::Delete, "Delete"},
      {vk::LWin, "Window Key"},
      {vk::RWin, "Right Window Key"},
      {vk::Apps, "Menu Key"},
      {vk::Multiply, "Num *"},
      {vk::Add, "Num +"},
      {vk::Subtract, "Num -"},
      {vk::Decimal, "Num ."},
      {vk::Divide, "Num /"},
      {vk::NumLock, "Num Lock"},
      {vk::Scroll, "Scroll Lock"},
      {vk::LShift, "Left Shift"},
      {vk::RShift, "Right Shift"},
      {vk::LControl, "Left Ctrl"},
      {vk::RControl, "Right Ctrl"},
      {vk::LMenu, "Left Alt"},
      {vk::RMenu, "Right Alt"},
      {vk::Oem1, ";"},
      {vk::OemPlus, "="},
      {vk::OemComma, ","},
      {vk::OemMinus, "-"},
      {vk::OemPeriod, "."},
      {vk::Oem2, "/"},
      {vk::Oem3, "`"},
      {vk::Oem4, "["},
      {vk::Oem5, "\\"},
      {vk::Oem6, "]"},
      {vk::Oem7, "'"},
  }};
  for (const auto& [key, name] : Named) {
    if (key == bossKey) return name;
  }
  // A code no keyboard of ours sends (from a hand-edited file): its number, never another key's
  // name.
  return "Key " + std::to_string(bossKey);
}
