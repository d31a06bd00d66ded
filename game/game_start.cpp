#include "game/game_start.h"

#include "game/game_world.h"

TGameStart CaptureGameStart(const TGameWorld& world) {
  return {world.Rng.RandSeed, world.Play};
}

void RestoreGameStart(TGameWorld& world, const TGameStart& start) {
  world.Rng.Randomize(start.RandSeed);
  world.Play = start.Play;
}
