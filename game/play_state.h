// The game-wide play variables: level, score, lives, the level clock, the bonus clocks and the
// spawn countdowns, owned by the main window and shared with the game's sprites.
#pragma once

#include <cstdint>

// Game time in milliseconds: the level clock advances by one game-timer interval per played frame.
using GameMilliseconds = int32_t;

constexpr GameMilliseconds MillisecondsPerSecond = 1000;
constexpr GameMilliseconds MillisecondsPerMinute = 60 * MillisecondsPerSecond;

constexpr int32_t MaxLives = 3;

struct PlayState {
  uint8_t Level = 1;
  uint16_t Score = 0;  // wraps at 65536
  int32_t Lives = 3;   // never above MaxLives
  // Game time spent in the current level, and the time after which it ends.
  GameMilliseconds LevelElapsed = 0;
  GameMilliseconds LevelLength = MillisecondsPerMinute;
  // Countdown of the level banner, the game-over banner and the connect-failure notice.
  int32_t BannerTimer = 0;
  // Frames left of the dying phase.
  int32_t DeathDelay = 0;
  // Remaining time of a weapon bonus, of the shield and of a one-shot bonus notice.
  int32_t WeaponTime = 0;
  int32_t ShieldTime = 0;
  int32_t NoticeTime = 0;
  // Multiplier of the scenery strips' speed.
  uint16_t ScrollFactor = 1;
  // Spawn countdowns in frames; they run on across levels and games.
  uint16_t EnemyDelay = 0;
  uint16_t BonusDelay = 0;
  uint16_t TreeDelay = 0;
  // Frames to the next switch between day and night; runs on across levels and games.
  uint16_t DayNightDelay = 5000;
  // The dragon's inertia, in pixels per frame.
  double DriftX = 0;
  double DriftY = 0;
  // The place of the final score in the local table, 1..10, or 11 for none.
  uint8_t ScorePlace = 11;
};

// What pointer motion and the left button ask of the dragon while playing: a step in pixels in
// each direction (spent by the dragon's next move that way) and whether to fire.
struct PointerSteering {
  uint8_t PointerStepLeft = 0;
  uint8_t PointerStepRight = 0;
  uint8_t PointerStepUp = 0;
  uint8_t PointerStepDown = 0;
  bool PointerFire = false;
};
