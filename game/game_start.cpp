#include "game/game_start.h"

#include <cmath>

#include "game/game_world.h"
#include "game/hero_sprite.h"
#include "game/level_loop.h"

TGameStart CaptureGameStart(const TGameWorld& world) {
  return {world.Rng.RandSeed, world.Play};
}

void RestoreGameStart(TGameWorld& world, const TGameStart& start) {
  world.Rng.Randomize(start.RandSeed);
  world.Play = start.Play;
}

std::string GameStartFault(const TGameStart& start) {
  const PlayState& p = start.Play;
  const auto within = [](auto value, auto most) { return value >= 0 && value <= most; };
  // A drift grows by steps of at most 1 beyond MaxDrift before it is held.
  const auto driftOk = [](double drift) {
    return std::isfinite(drift) && std::fabs(drift) <= MaxDrift + 1;
  };
  if (!within(p.WeaponTime, BonusTime)) return "the weapon bonus's time";
  if (!within(p.ShieldTime, BonusTime)) return "the shield's time";
  if (!within(p.NoticeTime, NoticeTime)) return "the bonus notice's time";
  if (!within(p.DeathDelay, DyingFrames)) return "the dying phase's frames";
  if (!within(int32_t{p.EnemyDelay}, EnemySpawnBase + EnemySpawnMinimum))
    return "the enemies' countdown";
  if (!within(int32_t{p.BonusDelay}, BonusSpawnBase)) return "the bonuses' countdown";
  if (!within(int32_t{p.TreeDelay}, TreeSpawnSpan)) return "the trees' countdown";
  if (!within(int32_t{p.DayNightDelay}, int32_t{DayNightFrames})) return "the day's countdown";
  if (!driftOk(p.DriftX) || !driftOk(p.DriftY)) return "the dragon's drift";
  return {};
}
