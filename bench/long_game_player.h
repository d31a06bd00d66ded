// A player that survives long games, for benchmarks that need real recordings of ten minutes and
// more: it steers the dragon by what the field shows (threats' paths a little ahead, lava below,
// bonuses and enemies to aim at) with fire held, and when a life is lost anyway it takes the game
// back a few seconds and plays them again another way. The recording holds the inputs of the one
// game that was finally played; from `ticks` on the game is left through the exit question. The
// same pictures and seed always give the same recording.
#pragma once

#include <cstdint>

#include "protocol/replay_format.h"
#include "sim/game_session.h"

struct LongGame {
  replay::Replay Recording;
  uint32_t Retries = 0;    // stretches played again after a lost life
  uint32_t LivesLost = 0;  // lives lost in the game as recorded
  uint8_t Level = 1;       // the level it reached
};

// The game of generator seed `seed`, played to game over or, from tick `ticks` on, left through
// the exit question.
LongGame PlayLongGame(const TGamePictures& pictures, uint32_t seed, uint32_t ticks);
