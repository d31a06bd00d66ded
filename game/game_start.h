// Everything a game depends on when New game is chosen, beyond its per-tick input and the game's
// pictures: the generator's state and the play variables as they stand, for the spawn countdowns,
// day and night, the bonus clocks and the dragon's drift run on from the game before. Restored
// before New game, it makes the same input play the same game again.
#pragma once

#include <cstdint>
#include <string>

#include "game/play_state.h"

struct TGameWorld;

struct TGameStart {
  uint32_t RandSeed = 0;
  PlayState Play;
};

// What the next New game will start from; taken before New game builds the field.
TGameStart CaptureGameStart(const TGameWorld& world);
// Puts the generator and the play variables back as they were captured.
void RestoreGameStart(TGameWorld& world, const TGameStart& start);

// Why no game could have left these values for the next one (a clock or countdown beyond its
// longest, a drift beyond the dragon's), or empty when one could. What New game sets afresh
// (level, score, lives, the level clock) is not looked at.
std::string GameStartFault(const TGameStart& start);
