// The settings and the local score table as "config.dat" keeps them: one 158-byte record, its
// flags and texts lightly disguised in the file by EncodeConfig, which is its own inverse.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t ConfigRecordSize = 158;
using ConfigBytes = std::array<uint8_t, ConfigRecordSize>;

// Names and the country hold at most this many single-byte characters.
constexpr size_t MaxTextLength = 10;

// A short text as the record stores it: a length byte and ten character bytes, of which those
// beyond the length carry no meaning but are kept as they were read.
struct ShortText {
  uint8_t Length = 0;
  std::array<uint8_t, MaxTextLength> Chars{};

  std::string Text() const;
  void SetText(std::string_view text);  // cut to ten characters
  bool operator==(const ShortText&) const = default;
};

struct ScoreEntry {
  ShortText Name;
  uint8_t Reserved = 0;
  uint16_t Score = 0;
  bool operator==(const ScoreEntry&) const = default;
};

constexpr size_t ScoreTableSize = 10;
// The place FindScorePlace gives a score that enters no place.
constexpr uint8_t NoScorePlace = 11;

struct ConfigRecord {
  uint8_t WindowedMode = 0;
  uint8_t MusicOn = 0;
  uint8_t SoundOn = 0;
  uint8_t Reserved0 = 0;
  uint16_t BossKey = 0;
  ShortText PlayerCountry;
  uint8_t Reserved1 = 0;
  std::array<ScoreEntry, ScoreTableSize> ScoreTable{};
  bool operator==(const ConfigRecord&) const = default;
};

// The record's bytes in plain form, and back. Reading cuts a length above ten to ten and reads any
// non-zero flag as on (1), so nothing reads past a text and the switches are plain booleans.
ConfigBytes PackConfig(const ConfigRecord& record);
ConfigRecord UnpackConfig(const ConfigBytes& bytes);

// Plain form <-> file form, in place.
void EncodeConfig(ConfigBytes& bytes);

// The default settings (window, music and sounds on, boss key F12, no country) and table;
// bytes the defaults do not set keep what the record held.
void SetDefaultConfig(ConfigRecord& record);
// Ten times "Anonymous", 1000 down to 100.
void ResetScoreTable(ConfigRecord& record);
// The place 1..10 a score would take, 11 for none: the first entry scoring strictly less.
uint8_t FindScorePlace(const ConfigRecord& record, uint16_t score);
// Puts the entry into the table below every equal score; the lowest of eleven drops out.
void InsertScore(ConfigRecord& record, const ScoreEntry& entry);
// The Options screen's text for a boss key: every key has its own name, and a code that no key
// sends shows its number.
std::string BossKeyName(uint16_t bossKey);
