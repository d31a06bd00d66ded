// Re-simulation speed: a long recorded game played again without drawing, as the score server's
// proof does, in ticks per CPU-second. The recording is made first by a scripted player on the
// game's generated pictures (run it in the game's folder, build/release/game): the dragon kept at
// the left, steered to the nearest enemy ahead with fire held, the game left through the exit
// question after `--ticks` ticks (default 37,500: ten minutes) unless its lives run out first.
//   replay_bench [--ticks N] [--write FILE.skr] [benchmark options]
// --write keeps the recording (to watch it: skarvel --replay FILE.skr).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/enemy_sprite.h"
#include "game/hero_sprite.h"
#include "sim/replay_check.h"
#include "sim/replay_recorder.h"

namespace {

std::vector<uint8_t> ReadArchive() {
  std::ifstream in("data/gamegraphic.dxg", std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "replay_bench: run it in the game's folder (data/gamegraphic.dxg)\n");
    std::exit(1);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where a shot of each kind goes each frame.
struct Velocity {
  int32_t dx;
  int32_t dy;
};
Velocity ShotVelocity(uint8_t kind) {
  switch (kind) {
    case 1:
      return {-12, 0};
    case 2:
      return {-9, -6};
    case 3:
      return {-3, 5};
    case 4:
      return {-7, -5};
    default:
      return {-4, 0};
  }
}

// Whether a sprite moving by `v` meets the dragon's box, put at height `heroY` and widened by a
// margin, within `horizon` frames.
bool Meets(const TSprite& sprite, Velocity v, const THeroSprite& hero, int32_t heroY, int horizon) {
  constexpr int32_t Margin = 16;
  for (int t = 0; t <= horizon; ++t) {
    const int32_t x = sprite.X + v.dx * t;
    const int32_t y = sprite.Y + v.dy * t;
    const int32_t heroX = hero.X - t;  // the world slides the dragon left
    if (x + sprite.Width > heroX - Margin && x < heroX + hero.Width + Margin &&
        y + sprite.Height > heroY - Margin && y < heroY + hero.Height + Margin) {
      return true;
    }
  }
  return false;
}

// The key that brings the dragon `error` pixels along an axis without overshooting: its drift
// (built by a held key, 0.2 a frame) carries it on after the key is let go, easing by 0.2 a frame.
uint8_t Toward(int32_t error, double drift, uint8_t lowerKey, uint8_t higherKey) {
  if (std::abs(error) < 6) return 0;
  const double toward = error > 0 ? drift : -drift;
  const double coasting = toward > 0 ? 2.5 * toward * toward : 0;
  if (toward < 0 || coasting + 8 < std::abs(error)) return error > 0 ? higherKey : lowerKey;
  return 0;
}

// The scripted player's keys for the coming tick, from what the field shows: the height with the
// fewest shots and enemies coming at it (clear of the grate at the left and the lava below), the
// nearer to a bonus or the nearest enemy ahead the better.
uint8_t ScriptedKeys(const TGameSession& session) {
  uint8_t keys = replay::KeyFire;
  const THeroSprite* hero = session.World.Hero.Get();
  if (!hero) return keys;
  const TSprite* target = nullptr;
  std::vector<std::pair<const TSprite*, Velocity>> threats;
  const TSpriteEngine& engine = session.World.Engine;
  for (int32_t i = 0; i < engine.ChildCount(); ++i) {
    const TSprite* sprite = engine.Child(i);
    if (sprite->Killed() || !sprite->Visible) continue;
    const auto* enemy = dynamic_cast<const TFlyingEnemySprite*>(sprite);
    const auto* shot = dynamic_cast<const TWeaponSprite*>(sprite);
    const bool bonus = dynamic_cast<const TBonusSprite*>(sprite) != nullptr;
    if (shot) threats.emplace_back(sprite, ShotVelocity(shot->ShotKind));
    if (enemy) threats.emplace_back(sprite, Velocity{-5, 0});
    if ((enemy || bonus) && sprite->X > hero->X + 40) {
      // A bonus comes first; then the nearest enemy.
      const bool targetIsBonus = target && dynamic_cast<const TBonusSprite*>(target);
      const bool better =
          !target || (bonus && !targetIsBonus) || (bonus == targetIsBonus && sprite->X < target->X);
      if (better) target = sprite;
    }
  }
  const int32_t wanted = target ? target->Y + target->Height / 2 - hero->Height / 2 : 200;
  int32_t aimY = hero->Y;
  int best = 1 << 30;
  for (int32_t y = 75; y <= 310; y += 10) {
    int cost = std::abs(y - wanted) + std::abs(y - hero->Y) / 2;
    // Getting there takes time: the farther, the longer a threat has to meet the dragon.
    const int horizon = 12 + std::abs(y - hero->Y) / 8;
    for (const auto& [sprite, velocity] : threats) {
      if (Meets(*sprite, velocity, *hero, y, horizon)) cost += 1000;
    }
    if (cost < best) {
      best = cost;
      aimY = y;
    }
  }
  const PlayState& play = session.Play;
  keys |= Toward(aimY - hero->Y, play.DriftY, replay::KeyUp, replay::KeyDown);
  keys |= Toward(250 - hero->X, play.DriftX, replay::KeyLeft, replay::KeyRight);
  return keys;
}

// The level each scripted game reached.
std::vector<uint8_t> levels;

replay::Replay MakeRecording(const TGamePictures& pictures, uint32_t seed, uint32_t ticks) {
  TGameSession session(pictures);
  TGameStart start;
  start.RandSeed = seed;
  session.Start(start);
  TReplayRecorder recorder;
  recorder.Begin(start, pictures.ArchiveHash());
  for (uint32_t i = 0; !session.GameOver(); ++i) {
    replay::ReplayTick tick;
    tick.Keys = ScriptedKeys(session);
    if (i >= ticks && session.Screen.GameState != gsDying) {
      tick.Controls = {replay::ReplayControl::ExitQuestionOpened,
                       replay::ReplayControl::ExitConfirmed};
      for (const replay::ReplayControl control : tick.Controls) recorder.NoteControl(control);
    }
    recorder.BeginTick(tick.Keys, session.Pointer, tick.LagCount);
    session.Advance(tick);
    if (!session.GameOver()) recorder.EndTick(session.World, session.ExitQuestionOpen());
  }
  recorder.Finish(session.World, session.Play.Score);
  levels.push_back(session.Play.Level);
  return *recorder.LastGame();
}

// The scripted games, of seeds 1, 2, ..., until they hold the ticks asked for.
std::vector<replay::Replay> recordings;
uint64_t recordedTicks = 0;
std::optional<TGamePictures> pictures;

void BM_VerifyReplay(benchmark::State& state) {
  uint64_t ticks = 0;
  for (auto _ : state) {
    for (const replay::Replay& recording : recordings) {
      const ReplayVerdict verdict = VerifyReplay(recording, *pictures);
      if (!verdict.Proven) state.SkipWithError(verdict.Reason.c_str());
      ticks += verdict.Ticks;
    }
  }
  // Ticks per CPU-second: the benchmark's time is the process's CPU time.
  state.counters["ticks_per_cpu_s"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
  state.counters["ticks"] = static_cast<double>(recordedTicks);
}
BENCHMARK(BM_VerifyReplay)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_DecodeReplay(benchmark::State& state) {
  const std::vector<uint8_t> bytes = replay::EncodeReplay(recordings.front());
  for (auto _ : state) benchmark::DoNotOptimize(replay::DecodeReplay(bytes));
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_DecodeReplay)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  uint32_t ticks = 37500;
  const char* write = nullptr;
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc) {
      ticks = static_cast<uint32_t>(std::stoul(argv[++i]));
    } else if (std::strcmp(argv[i], "--write") == 0 && i + 1 < argc) {
      write = argv[++i];
    } else {
      rest.push_back(argv[i]);
    }
  }
  const std::vector<uint8_t> archive = ReadArchive();
  pictures.emplace(archive);
  for (uint32_t seed = 1; recordedTicks < ticks; ++seed) {
    recordings.push_back(MakeRecording(*pictures, seed, ticks));
    const replay::Replay& recording = recordings.back();
    recordedTicks += recording.Ticks.size();
    const std::vector<uint8_t> bytes = replay::EncodeReplay(recording);
    std::printf("game %u: %zu ticks (%.1f min of game time), level %u, score %u, %zu bytes\n", seed,
                recording.Ticks.size(),
                static_cast<double>(replay::RecordedGameMilliseconds(recording)) / 60000.0,
                unsigned{levels.back()}, recording.Header.ClaimedScore, bytes.size());
    if (write && seed == 1) {
      std::ofstream(write, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    }
  }
  std::printf("%zu games, %llu ticks\n", recordings.size(),
              static_cast<unsigned long long>(recordedTicks));
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
