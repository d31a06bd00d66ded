// One game frame (RemoveDead, MoveAll, clear, DrawAll, the heads-up texts, the hand-over of the
// picture) on a heavy field: level 5 with its volcanoes and lava, 15 enemies, 30 shots, 10
// explosions and 3 bonuses, the dragon shielded so that it lives. The field is topped up between
// frames, outside the measured time. Headless backend with the generated pictures: run it in the
// game's folder (build/release/game). Prints the median and 99th percentile of the frame times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/virtual_keys.h"
#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/enemy_sprite.h"
#include "game/explosion_sprite.h"
#include "game/hero_sprite.h"
#include "game/hero_weapon_sprite.h"
#include "game/scenery.h"
#include "shell/main_form.h"

namespace {

template <typename T>
int Count(TSpriteEngine& engine) {
  int count = 0;
  for (int32_t i = 0; i < engine.ChildCount(); ++i) {
    TSprite* sprite = engine.Child(i);
    if (!sprite->Killed() && dynamic_cast<T*>(sprite)) ++count;
  }
  return count;
}

// Brings the field back to its heavy load after a frame has moved, spent and killed sprites.
void TopUp(TmainForm& form, int frame) {
  TGameWorld& world = form.World;
  TSpriteEngine& engine = form.SpriteEngine1.Root();
  form.Play.ShieldTime = 15000;
  if (TShieldSprite* shield = world.Shield.Get()) shield->Visible = true;
  if (TBonusIndicatorSprite* indicator = world.BonusIndicator.Get()) indicator->Visible = true;
  if (THeroSprite* hero = world.Hero.Get()) hero->X = 300;
  for (int n = Count<TVolcano>(engine); n < 12; ++n) {
    NewSprite<TVolcano>(engine, world, n % 2 == 0, 60 + 62 * n);
  }
  for (int n = Count<TFlyingEnemySprite>(engine); n < 15; ++n) {
    NewSprite<TFlyingEnemySprite>(engine, world, static_cast<uint16_t>(1 + (n + frame) % 8));
  }
  const int shots = Count<THeroWeaponSprite>(engine) + Count<TWeaponSprite>(engine);
  for (int n = shots; n < 30; ++n) {
    if (n % 2 == 0) {
      NewSprite<THeroWeaponSprite>(engine, world, static_cast<uint8_t>(1 + n % 4), 420,
                                   80 + 15 * n);
    } else {
      NewSprite<TWeaponSprite>(engine, world, 700, "arrow", 1, 2, 80 + 15 * n);
    }
  }
  for (int n = Count<TExplosionSprite>(engine); n < 10; ++n) {
    NewSprite<TExplosionSprite>(engine, world, "enemykill", 4, 100 + 60 * n, 150 + 30 * n);
  }
  for (int n = Count<TBonusSprite>(engine); n < 3; ++n) {
    NewSprite<TBonusSprite>(engine, world);
  }
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5))];
}

void BM_GameFrame(benchmark::State& state) {
  platform::headless::HeadlessPlatform machine("data/fonts");
  TmainForm form(machine);
  form.Config.SoundOn = 0;
  machine.KeyDown(vk::Return);
  machine.KeyUp(vk::Return);
  form.ProcessMessages();  // New game
  // Level 4 ends at once: level 5 with its own strips.
  form.Play.Level = 4;
  form.Play.LevelElapsed = form.Play.LevelLength;
  form.FrameTimer2Timer(1);
  form.Screen.GameState = gsPlaying;
  if (THeroSprite* hero = form.World.Hero.Get()) hero->SetBodyVisible(true);
  std::vector<double> times;
  int frame = 0;
  for (auto _ : state) {
    TopUp(form, frame++);
    form.Screen.GameState = gsPlaying;
    const auto start = std::chrono::steady_clock::now();
    form.FrameTimer2Timer(1);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    times.push_back(seconds * 1000);
  }
  state.counters["median_ms"] = Percentile(times, 0.5);
  state.counters["p99_ms"] = Percentile(times, 0.99);
  state.counters["sprites"] = form.SpriteEngine1.Root().SpriteTotal();
}

}  // namespace

BENCHMARK(BM_GameFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5.0);

BENCHMARK_MAIN();
