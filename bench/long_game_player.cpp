#include "bench/long_game_player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/enemy_sprite.h"
#include "game/hero_sprite.h"
#include "game/scenery.h"
#include "sim/replay_recorder.h"

namespace {

// Frames looked ahead, and the body's margin against a threat's box.
constexpr int Horizon = 36;
constexpr int32_t Margin = 5;
// The dragon's flying box and its tail, as the hero sprite has them.
constexpr int32_t MinY = 70;
constexpr int32_t MaxBottom = 560;
constexpr int32_t MinX = 5;
constexpr int32_t MaxRight = 795;
constexpr int32_t TailOffsetX = -49;
constexpr int32_t TailOffsetY = 78;
// Where the dragon is kept: far to the right. The archers' arrows rise to the upper left in
// slanting walls that sweep down the field as the archer walks on; kept at the left the dragon is
// caught between such a wall and the top (at 190 it lost ten times the hit points it loses here),
// and the grate at the left kills.
constexpr int32_t HomeX = 600;

struct Box {
  int32_t x = 0;
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;
};

bool Overlap(const Box& a, const Box& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// A box on the field over the frames ahead (index 0: now); empty boxes before it appears or after
// it is gone.
struct Threat {
  std::vector<Box> path;
  int weight = 0;
};

struct Sizes {
  Box arrow, arrow2, burnstone, burnstone2, hero, tail;
};

Box SizeOf(const TGameSession& session, const char* name) {
  const TPictureCollectionItem& picture = session.World.Images.Items.Find(name);
  return {0, 0, picture.Width(), picture.Height()};
}

void AddShot(std::vector<Threat>& threats, Box box, uint8_t kind, int32_t damage, int from) {
  Threat threat;
  threat.weight = damage * 4 + 4;
  threat.path.assign(Horizon + 1, Box{});
  const EnemyShotStep motion = EnemyShotStepOf(kind);
  for (int t = from; t <= Horizon; ++t) {
    if (box.x < -box.w || box.y < 0 || box.y > 600 || (kind == 3 && box.y > 550)) break;
    threat.path[static_cast<size_t>(t)] = box;
    box.x += motion.dx;
    box.y += motion.dy;
  }
  threats.push_back(std::move(threat));
}

// An enemy's path and the shots it will loose within the horizon, by its own rules of motion and
// rhythm.
void AddEnemy(std::vector<Threat>& threats, const TFlyingEnemySprite& enemy, const Sizes& sizes) {
  Threat threat;
  threat.weight = enemy.HitPoints * 4 + 8;
  threat.path.assign(Horizon + 1, Box{});
  Box box{enemy.X, enemy.Y, enemy.Width, enemy.Height};
  uint8_t wave = enemy.WaveStep;
  uint16_t phase = enemy.Phase;
  uint16_t delay = enemy.FireDelay;
  threat.path[0] = box;
  for (int t = 1; t <= Horizon; ++t) {
    switch (enemy.EnemyKind) {
      case 1:
        box.x -= EnemyFlySpeed;
        break;
      case 2:
        box.x -= 3;
        box.y += 2;
        break;
      case 3:
        box.x -= 3;
        ++wave;
        box.y = enemy.BaseY + static_cast<int32_t>(std::lround(50 * WaveSine(wave)));
        break;
      default:
        box.x -= 3;
        break;
    }
    threat.path[static_cast<size_t>(t)] = box;
    phase = phase == 0 ? 100 : phase - 1;
    if (delay > 0) {
      --delay;
      continue;
    }
    if (phase < 50) {
      switch (enemy.EnemyKind) {
        case 1:
          AddShot(threats, {box.x, box.y + 13, sizes.arrow.w, sizes.arrow.h}, 1, 2, t);
          break;
        case 2:
          AddShot(threats, {box.x, box.y + 103, sizes.arrow.w, sizes.arrow.h}, 1, 2, t);
          break;
        case 3:
          AddShot(threats, {box.x + 21, box.y + 80, sizes.burnstone.w, sizes.burnstone.h}, 3, 10,
                  t);
          break;
        case 8:
          AddShot(threats, {box.x + 64, box.y + 16, sizes.burnstone2.w, sizes.burnstone2.h}, 4, 10,
                  t);
          break;
        default:
          AddShot(threats, {box.x - 40, box.y - 20, sizes.arrow2.w, sizes.arrow2.h}, 2, 2, t);
          break;
      }
    }
    delay = static_cast<uint16_t>(200 / enemy.FireDivisor);
  }
  threats.push_back(std::move(threat));
}

// What the field will hold over the frames ahead, as far as the dragon can tell now.
std::vector<Threat> Foresee(const TGameSession& session, const Sizes& sizes) {
  std::vector<Threat> threats;
  const TSpriteEngine& engine = session.World.Engine;
  for (int32_t i = 0; i < engine.ChildCount(); ++i) {
    const TSprite* sprite = engine.Child(i);
    if (sprite->Killed()) continue;
    if (const auto* enemy = dynamic_cast<const TFlyingEnemySprite*>(sprite)) {
      AddEnemy(threats, *enemy, sizes);
    } else if (const auto* shot = dynamic_cast<const TWeaponSprite*>(sprite)) {
      AddShot(threats, {shot->X, shot->Y, shot->Width, shot->Height}, shot->ShotKind,
              shot->ShotDamage, 0);
    } else if (const auto* volcano = dynamic_cast<const TVolcano*>(sprite);
               volcano && volcano->Lava) {
      Threat lava;
      lava.weight = 60;
      for (int t = 0; t <= Horizon; ++t) {
        lava.path.push_back({volcano->X - 2 * t, volcano->Y, volcano->Width, volcano->Height});
      }
      threats.push_back(std::move(lava));
    } else if (dynamic_cast<const TReshetkaSprite*>(sprite)) {
      Threat grate;
      grate.weight = 400;
      grate.path.assign(Horizon + 1, Box{-40, sprite->Y, 110, sprite->Height});
      threats.push_back(std::move(grate));
    }
  }
  return threats;
}

// One way of steering over the horizon: a vertical key held for some frames, then let go, with the
// horizontal keys bringing the dragon home.
struct Plan {
  uint8_t vertical = 0;
  int hold = 0;
};

uint8_t TowardKey(int32_t error, double drift, uint8_t lowerKey, uint8_t higherKey) {
  if (std::abs(error) < 6) return 0;
  const double toward = error > 0 ? drift : -drift;
  const double coasting = toward > 0 ? 2.5 * toward * toward : 0;
  if (toward < 0 || coasting + 8 < std::abs(error)) return error > 0 ? higherKey : lowerKey;
  return 0;
}

// The dragon's move in one frame under `keys`, as the hero sprite makes it.
void MoveDragon(int32_t& x, int32_t& y, double& driftX, double& driftY, uint8_t keys,
                const Sizes& sizes) {
  const auto axis = [](int32_t& position, bool lower, bool higher, int32_t low, int32_t high,
                       double& drift) {
    if (position > low && lower) {
      position -= HeroStep;
      if (drift > -MaxDrift) drift -= 0.2;
    } else if (position < high && higher) {
      position += HeroStep;
      if (drift < MaxDrift) drift += 0.2;
    } else if (drift > 0) {
      drift -= 0.2;
    } else if (drift < 0) {
      drift += 0.2;
    }
  };
  x -= 1;
  axis(x, keys & replay::KeyLeft, keys & replay::KeyRight, MinX, MaxRight - sizes.hero.w, driftX);
  axis(y, keys & replay::KeyUp, keys & replay::KeyDown, MinY, MaxBottom - sizes.hero.h, driftY);
  x += static_cast<int32_t>(std::nearbyint(driftX));
  y += static_cast<int32_t>(std::nearbyint(driftY));
  x = std::clamp(x, MinX, MaxRight - sizes.hero.w);
  y = std::clamp(y, MinY, MaxBottom - sizes.hero.h);
}

// The height the dragon would like to fly at: a bonus ahead first, else level with the nearest
// flying enemy ahead (so its shots meet it), else the middle of the sky.
int32_t WantedY(const TGameSession& session, const THeroSprite& hero) {
  const TSprite* target = nullptr;
  bool targetIsBonus = false;
  const TSpriteEngine& engine = session.World.Engine;
  for (int32_t i = 0; i < engine.ChildCount(); ++i) {
    const TSprite* sprite = engine.Child(i);
    if (sprite->Killed() || sprite->X < hero.X + 20) continue;
    const bool bonus = dynamic_cast<const TBonusSprite*>(sprite) != nullptr;
    const auto* enemy = dynamic_cast<const TFlyingEnemySprite*>(sprite);
    const bool flyer = enemy && (enemy->EnemyKind == 1 || enemy->EnemyKind == 3);
    if (!bonus && !flyer) continue;
    if (!target || (bonus && !targetIsBonus) || (bonus == targetIsBonus && sprite->X < target->X)) {
      target = sprite;
      targetIsBonus = bonus;
    }
  }
  if (!target) return 190;
  const int32_t centre = target->Y + target->Height / 2;
  return targetIsBonus ? centre - hero.Height / 2 : centre - 52;
}

class Pilot {
 public:
  Pilot(const TGameSession& session, uint32_t seed)
      : sizes_{SizeOf(session, "arrow"),     SizeOf(session, "arrow2"),
               SizeOf(session, "burnstone"), SizeOf(session, "burnstone2"),
               SizeOf(session, "hero"),      SizeOf(session, "tail")},
        noise_(seed) {}

  // Another way of playing the same moments: a new leaning of the choices.
  void Vary(uint32_t seed) {
    noise_.seed(seed);
    std::uniform_int_distribution<int32_t> lean(-60, 60);
    leanY_ = lean(noise_);
    jitter_ = 30;
  }
  void Steady() { leanY_ = 0, jitter_ = 0; }

  uint8_t Keys(const TGameSession& session) {
    uint8_t keys = replay::KeyFire;
    const THeroSprite* hero = session.World.Hero.Get();
    if (!hero || !hero->Visible) return keys;
    const std::vector<Threat> threats = Foresee(session, sizes_);
    const int32_t wanted = std::clamp(WantedY(session, *hero) + leanY_, MinY, 330);
    static constexpr int Holds[] = {1, 2, 4, 7, 11, 16, 24, Horizon};
    std::vector<Plan> plans = {{0, 0}};
    for (const uint8_t key : {replay::KeyUp, replay::KeyDown}) {
      for (const int hold : Holds) plans.push_back({key, hold});
    }
    double best = 1e18;
    uint8_t bestKeys = 0;
    std::uniform_real_distribution<double> jitter(0, jitter_);
    for (const Plan& plan : plans) {
      int32_t x = hero->X;
      int32_t y = hero->Y;
      double driftX = session.Play.DriftX;
      double driftY = session.Play.DriftY;
      double cost = jitter_ > 0 ? jitter(noise_) : 0;
      uint8_t first = 0;
      for (int t = 1; t <= Horizon; ++t) {
        uint8_t step = TowardKey(HomeX - x, driftX, replay::KeyLeft, replay::KeyRight);
        if (t <= plan.hold) step |= plan.vertical;
        if (t == 1) first = step;
        MoveDragon(x, y, driftX, driftY, step, sizes_);
        const Box body{x - Margin, y - Margin, sizes_.hero.w + 2 * Margin,
                       sizes_.hero.h + 2 * Margin};
        const Box tail{x + TailOffsetX - Margin, y + TailOffsetY - Margin,
                       sizes_.tail.w + 2 * Margin, sizes_.tail.h + 2 * Margin};
        const double urgency = static_cast<double>(2 * Horizon - t) / Horizon;
        // The dragon moves before the sprites made after it: it meets them where they were
        // at the end of the last frame, or where they are now when they came before it.
        for (const Threat& threat : threats) {
          for (const Box& at :
               {threat.path[static_cast<size_t>(t - 1)], threat.path[static_cast<size_t>(t)]}) {
            if (at.w != 0 && (Overlap(body, at) || Overlap(tail, at))) {
              cost += threat.weight * urgency * 10;
              break;
            }
          }
        }
      }
      cost += std::abs(y - wanted) * 0.5 + std::abs(y - hero->Y) * 0.05;
      if (cost < best) {
        best = cost;
        bestKeys = first;
      }
    }
    return keys | bestKeys;
  }

 private:
  Sizes sizes_;
  std::mt19937 noise_;
  int32_t leanY_ = 0;
  double jitter_ = 0;
};

replay::ReplayTick TickOf(uint8_t keys) {
  replay::ReplayTick tick;
  tick.Keys = keys;
  return tick;
}

// A game played from its start through `keys`.
std::unique_ptr<TGameSession> Replayed(const TGamePictures& pictures, const TGameStart& start,
                                       const std::vector<uint8_t>& keys) {
  auto session = std::make_unique<TGameSession>(pictures);
  session->Start(start);
  for (const uint8_t k : keys) session->Advance(TickOf(k));
  return session;
}

// How far back a lost life takes the game, by the number of times that stretch was played.
constexpr size_t RewindTicks(uint32_t attempt) {
  return 120 + 90 * static_cast<size_t>(attempt % 8);
}
constexpr uint32_t AttemptsPerLife = 24;

}  // namespace

LongGame PlayLongGame(const TGamePictures& pictures, uint32_t seed, uint32_t ticks) {
  TGameStart start;
  start.RandSeed = seed;
  LongGame game;
  std::vector<uint8_t> keys;
  auto session = Replayed(pictures, start, keys);
  Pilot pilot(*session, seed);
  // Ticks before `settled` are not played again: a life lost after too many tries stays lost.
  size_t settled = 0;
  size_t steadyFrom = 0;
  size_t lastDeath = 0;
  uint32_t attempts = 0;
  while (!session->GameOver() && !(keys.size() >= ticks && session->Screen.GameState != gsDying)) {
    if (keys.size() >= steadyFrom) pilot.Steady();
    const int32_t lives = session->Play.Lives;
    const uint8_t k = pilot.Keys(*session);
    session->Advance(TickOf(k));
    keys.push_back(k);
    if (session->Play.Lives >= lives) continue;
    const size_t death = keys.size();
    if (attempts >= AttemptsPerLife && death <= lastDeath + 300) {
      settled = death;
      attempts = 0;
      continue;
    }
    // A death well past the last one is a new trouble, with tries of its own.
    if (death > lastDeath + 300) attempts = 0;
    lastDeath = std::max(lastDeath, death);
    const size_t back = std::max(
        settled, death > RewindTicks(attempts) ? death - RewindTicks(attempts) : size_t{0});
    ++attempts;
    ++game.Retries;
    keys.resize(back);
    session = Replayed(pictures, start, keys);
    pilot.Vary(seed * 7919U + game.Retries);
    steadyFrom = death + 60;
  }

  // The game as finally played, recorded as the game records it.
  TGameSession played(pictures);
  played.Start(start);
  TReplayRecorder recorder;
  recorder.Begin(start, pictures.ArchiveHash());
  int32_t lives = played.Play.Lives;
  for (size_t i = 0; !played.GameOver(); ++i) {
    replay::ReplayTick tick = TickOf(i < keys.size() ? keys[i] : uint8_t{replay::KeyFire});
    if (i >= keys.size()) {
      tick.Controls = {replay::ReplayControl::ExitQuestionOpened,
                       replay::ReplayControl::ExitConfirmed};
      for (const replay::ReplayControl control : tick.Controls) recorder.NoteControl(control);
    }
    recorder.BeginTick(tick.Keys, played.Pointer, tick.LagCount);
    played.Advance(tick);
    if (played.Play.Lives < lives) ++game.LivesLost;
    lives = played.Play.Lives;
    if (!played.GameOver()) recorder.EndTick(played.World, played.ExitQuestionOpen());
  }
  recorder.Finish(played.World, played.Play.Score);
  game.Recording = *recorder.LastGame();
  game.Level = played.Play.Level;
  return game;
}
