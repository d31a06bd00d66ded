#include "game/state_hash.h"

#include <bit>
#include <type_traits>

#include "engine/sprites/image_sprite.h"
#include "engine/sprites/sprite_engine.h"
#include "game/enemy_sprite.h"
#include "game/game_world.h"
#include "game/hero_sprite.h"

namespace {

// FNV-1a over the values' bytes, each value widened to 64 bits so that the digest is the same
// whatever a field's width in memory.
class Digest {
 public:
  template <typename T>
  void Add(T value) {
    uint64_t bits = 0;
    if constexpr (std::is_floating_point_v<T>) {
      bits = std::bit_cast<uint64_t>(static_cast<double>(value));
    } else {
      bits = static_cast<uint64_t>(value);
    }
    for (int i = 0; i < 8; ++i) {
      hash_ = (hash_ ^ ((bits >> (8 * i)) & 0xFFu)) * 0x100000001B3u;
    }
  }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 0xCBF29CE484222325u;
};

void AddPlay(Digest& d, const PlayState& p) {
  d.Add(p.Level);
  d.Add(p.Score);
  d.Add(p.Lives);
  d.Add(p.LevelElapsed);
  d.Add(p.LevelLength);
  d.Add(p.BannerTimer);
  d.Add(p.DeathDelay);
  d.Add(p.WeaponTime);
  d.Add(p.ShieldTime);
  d.Add(p.NoticeTime);
  d.Add(p.ScrollFactor);
  d.Add(p.EnemyDelay);
  d.Add(p.BonusDelay);
  d.Add(p.TreeDelay);
  d.Add(p.DayNightDelay);
  d.Add(p.DriftX);
  d.Add(p.DriftY);
}

void AddSprite(Digest& d, const TSprite& sprite) {
  d.Add(sprite.X);
  d.Add(sprite.Y);
  d.Add(sprite.Z());
  d.Add(sprite.Width);
  d.Add(sprite.Height);
  d.Add(sprite.Visible);
  d.Add(sprite.Moves);
  d.Add(sprite.Collides);
  d.Add(sprite.Killed());
  if (const auto* image = dynamic_cast<const TImageSprite*>(&sprite)) {
    d.Add(image->FrameIndex);
    d.Add(image->FrameSpeed);
  }
  if (const auto* hero = dynamic_cast<const THeroSprite*>(&sprite)) {
    d.Add(hero->HitPoints);
    d.Add(hero->WeaponKind);
    d.Add(hero->FireCooldown);
  }
  if (const auto* enemy = dynamic_cast<const TFlyingEnemySprite*>(&sprite)) {
    d.Add(enemy->HitPoints);
    d.Add(enemy->EnemyKind);
    d.Add(enemy->FireDelay);
    d.Add(enemy->Phase);
  }
  d.Add(sprite.ChildCount());
  for (int32_t i = 0; i < sprite.ChildCount(); ++i) AddSprite(d, *sprite.Child(i));
}

}  // namespace

uint64_t GameStateHash(const TGameWorld& world) {
  Digest d;
  AddPlay(d, world.Play);
  d.Add(world.GameState);
  d.Add(world.Rng.RandSeed);
  AddSprite(d, world.Engine);
  return d.Value();
}
