// A game started from the menu with the generator seeded, and the scenes the game tests build in
// the running field with the game's own sprite classes.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/pictures/picture_collection.h"
#include "engine/sprites/sprite_engine.h"
#include "engine/sprites/sprite_ref.h"
#include "game/bonus_sprites.h"
#include "game/enemy_sprite.h"
#include "game/explosion_sprite.h"
#include "game/hero_sprite.h"
#include "game/hero_weapon_sprite.h"
#include "game/level_loop.h"
#include "game/scenery.h"
#include "tests/support/menu_fixture.h"

class GameplayTest : public MenuTest {
 protected:
  static constexpr uint32_t Seed = 20240611;
  static constexpr uint16_t Never = std::numeric_limits<uint16_t>::max();

  void SetUp() override {
    MenuTest::SetUp();
    form->Rng.Randomize(Seed);
  }

  TSpriteEngine& Engine() { return form->SpriteEngine1.Root(); }
  TGameWorld& World() { return form->World; }
  PlayState& Play() { return form->Play; }
  THeroSprite& Hero() { return *form->World.Hero; }
  TTailSprite& Tail() {
    TTailSprite* tail = Hero().Tail();
    if (!tail) throw std::logic_error("the dragon has lost its tail");
    return *tail;
  }
  TGameState State() { return form->Screen.GameState; }

  // A game in play in which nothing spawns on its own: the field holds the fixed sprites and what
  // the test puts there.
  void StartQuietGame() {
    StartPlaying();
    Play().EnemyDelay = Never;
    Play().BonusDelay = Never;
    Play().TreeDelay = Never;
  }
  // Takes the dragon off the field for scenes that are not about it: left alone it would drift
  // into the grate, and enemies and shots would meet it.
  void ParkDragon() { Hero().SetBodyVisible(false); }

  void Frames(int n) {
    for (int i = 0; i < n; ++i) Step(16);
  }
  // Runs the level clock out; the next frame ends the level.
  void EndLevel() {
    Play().LevelElapsed = Play().LevelLength;
    Step(16);
  }

  // The sprites of a class on the field that have not been killed, in creation order.
  template <typename T>
  std::vector<T*> Live() {
    std::vector<T*> found;
    for (int32_t i = 0; i < Engine().ChildCount(); ++i) {
      auto* sprite = dynamic_cast<T*>(Engine().Child(i));
      if (sprite && !sprite->Killed()) found.push_back(sprite);
    }
    return found;
  }
  template <typename T>
  int CountLive() {
    return static_cast<int>(Live<T>().size());
  }
  // The live explosions showing a picture.
  int Bursts(std::string_view picture) {
    int count = 0;
    for (TExplosionSprite* burst : Live<TExplosionSprite>()) {
      count += burst->Image->Name() == picture ? 1 : 0;
    }
    return count;
  }

  // A bonus of `kind` (and `weapon`) placed on the dragon, taken in the next frame.
  TBonusSprite& BonusOnDragon(uint8_t kind, uint8_t weapon = 2) {
    TBonusSprite& bonus = NewSprite<TBonusSprite>(Engine(), World());
    bonus.BonusKind = kind;
    bonus.BonusWeapon = weapon;
    bonus.X = Hero().X + 40;
    bonus.Y = Hero().Y + 20;
    return bonus;
  }
  // An enemy of `kind` standing where the dragon will touch it in the next frame.
  TFlyingEnemySprite& EnemyOnDragon(uint16_t kind) {
    TFlyingEnemySprite& enemy = NewSprite<TFlyingEnemySprite>(Engine(), World(), kind);
    enemy.X = Hero().X + 20;
    enemy.Y = Hero().Y + 10;
    return enemy;
  }
};

// Picks out the sprites of one class that appear for the first time on the field.
template <typename T>
class NewcomerWatch {
 public:
  // The live sprites of the class not seen by an earlier call.
  std::vector<T*> Newcomers(TSpriteEngine& engine) {
    std::erase_if(seen_, [](const TSpriteRef<T>& ref) { return !ref; });
    std::vector<T*> fresh;
    for (int32_t i = 0; i < engine.ChildCount(); ++i) {
      auto* sprite = dynamic_cast<T*>(engine.Child(i));
      if (!sprite || Seen(sprite)) continue;
      fresh.push_back(sprite);
      seen_.emplace_back(sprite);
    }
    return fresh;
  }

 private:
  // A freed sprite's reference reads empty, so a new sprite at a freed one's address is new.
  bool Seen(const T* sprite) const {
    for (const TSpriteRef<T>& ref : seen_) {
      if (ref.Get() == sprite) return true;
    }
    return false;
  }
  std::vector<TSpriteRef<T>> seen_;
};
