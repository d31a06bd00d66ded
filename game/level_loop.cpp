#include "game/level_loop.h"

#include <array>
#include <cstdio>
#include <string>

#include "engine/base/colors.h"
#include "engine/drawing/canvas.h"
#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/enemy_sprite.h"
#include "game/explosion_sprite.h"
#include "game/field_layers.h"
#include "game/game_world.h"
#include "game/hero_sprite.h"
#include "game/hero_weapon_sprite.h"
#include "game/scenery.h"

namespace {

constexpr GameMilliseconds LevelLengthStep = 10 * MillisecondsPerSecond;
// From this level on every level lasts as long as the one before.
constexpr uint8_t LongestLevel = 8;
constexpr int32_t EnemyKinds = 8;

struct StripLayer {
  const char* picture;
  uint16_t speed;
  int32_t z;
  int32_t y;
};
constexpr StripLayer FarStrip{"3-1", 1, ZFarStrip, 501};
constexpr StripLayer MiddleStrip{"2-1", 2, ZMiddleStrip, 448};
constexpr StripLayer FifthLevelStrip{"fon2", 2, ZMiddleStrip, 448};
constexpr StripLayer NearStrip{"1-1", 3, ZNearStrip, 568};
// The copies of the fifth levels' strip stand this far apart.
constexpr int32_t FifthLevelStripPitch = 943;

constexpr int32_t HudFontSize = 20;
constexpr int32_t BonusClockFontSize = 12;
constexpr int32_t HudTop = 35;
constexpr int32_t LevelTextX = 65;
constexpr int32_t ScoreCentreX = 221;
constexpr int32_t ClockX = 525;
constexpr int32_t BonusClockX = 750;
constexpr int32_t BonusClockY = 27;

// The two copies of a layer, side by side.
std::array<TMountain*, 2> CreateLayer(TGameWorld& world, const StripLayer& layer, int32_t pitch) {
  const auto copy = [&](int32_t x) {
    return &NewSprite<TMountain>(world.Engine, world, layer.picture, layer.speed, layer.z, layer.y,
                                 x);
  };
  return {copy(0), copy(pitch)};
}

void CreateMiddleStrips(TGameWorld& world, const StripLayer& layer, int32_t pitch) {
  const std::array<TMountain*, 2> copies = CreateLayer(world, layer, pitch);
  world.MiddleStrips = {copies[0], copies[1]};
}

// Every fifth level flies over other mountains, and the level after goes back: the middle strips
// and the volcanoes on them are replaced at once.
void ReplaceMiddleStrips(TGameWorld& world) {
  const int32_t remainder = world.Play.Level % 5;
  if (remainder > 1) return;
  for (TSpriteRef<TMountain>& strip : world.MiddleStrips) {
    if (TMountain* copy = strip.Get()) copy->Kill();
  }
  TSpriteEngine& engine = world.Engine;
  for (int32_t i = 0; i < engine.ChildCount(); ++i) {
    if (auto* volcano = dynamic_cast<TVolcano*>(engine.Child(i))) volcano->Kill();
  }
  engine.RemoveDead();
  if (remainder == 0) {
    CreateMiddleStrips(world, FifthLevelStrip, FifthLevelStripPitch);
  } else {
    CreateMiddleStrips(world, MiddleStrip, FieldWidth);
  }
}

std::string TwoDigits(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// The remaining time of a weapon or shield bonus while its indicator shows.
void DrawBonusClock(const TGameWorld& world, TCanvas& canvas) {
  const TBonusIndicatorSprite* indicator = world.BonusIndicator.Get();
  if (!indicator || !indicator->Visible) return;
  const PlayState& play = world.Play;
  if (play.WeaponTime <= 0 && play.ShieldTime <= 0) return;
  const int32_t left = play.WeaponTime > play.ShieldTime ? play.WeaponTime : play.ShieldTime;
  canvas.Font.Size = BonusClockFontSize;
  canvas.TextOut(BonusClockX, BonusClockY, "00:" + TwoDigits(left / MillisecondsPerSecond));
  canvas.Font.Size = HudFontSize;
}

}  // namespace

void CreateGameBack(TGameWorld& world) {
  const bool day = world.Rng.Random(2) == 1;
  world.Back = &NewSprite<TGameBack>(world.Engine, world, day);
}

void CreateFieldSprites(TGameWorld& world) {
  TSpriteEngine& engine = world.Engine;
  CreateLayer(world, FarStrip, FieldWidth);
  CreateMiddleStrips(world, MiddleStrip, FieldWidth);
  CreateLayer(world, NearStrip, FieldWidth);
  world.StatusBar = &NewSprite<TStatusSprite>(engine, world);
  world.Scale = &NewSprite<TScaleSprite>(engine, world);
  NewSprite<TLivesIndicator>(engine, world);
  world.Hero = &NewSprite<THeroSprite>(engine, world);
  world.Shield = &NewSprite<TShieldSprite>(engine, world);
  world.BonusIndicator = &NewSprite<TBonusIndicatorSprite>(engine, world);
  NewSprite<TReshetkaSprite>(engine, world);
}

void StartNewGame(TGameWorld& world) {
  PlayState& play = world.Play;
  play.ScrollFactor = 1;
  play.Lives = MaxLives;
  play.Score = 0;
  play.Level = 1;
  world.Report(TGameEvent::NewGameBegins);
  play.BannerTimer = BannerTime;
  if (THeroSprite* hero = world.Hero.Get()) hero->HitPoints = FreshHitPoints;
  play.LevelElapsed = 0;
  play.LevelLength = MillisecondsPerMinute;
}

bool EndLevelWhenDue(TGameWorld& world) {
  PlayState& play = world.Play;
  if (play.LevelElapsed < play.LevelLength) return false;
  if (play.Level < LastLevel) ++play.Level;
  play.LevelElapsed = 0;
  if (play.Level < LongestLevel) play.LevelLength += LevelLengthStep;
  play.BannerTimer = BannerTime;
  world.PlaySound("nextlevel");
  world.Report(TGameEvent::LevelEnded);
  ReplaceMiddleStrips(world);
  ClearGameField(world);
  return true;
}

void AdvancePlayedFrame(TGameWorld& world) {
  PlayState& play = world.Play;
  play.LevelElapsed += FrameInterval;
  if (play.DayNightDelay > 0) {
    --play.DayNightDelay;
  } else {
    play.DayNightDelay = DayNightFrames;
    if (TGameBack* back = world.Back.Get()) back->SetDay(!back->Day());
  }
  if (play.EnemyDelay > 0) {
    --play.EnemyDelay;
  } else {
    CreateEnemy(world);
    play.EnemyDelay =
        static_cast<uint16_t>(world.Rng.Random(EnemySpawnBase / play.Level) + EnemySpawnMinimum);
  }
  if (play.BonusDelay > 0) {
    --play.BonusDelay;
  } else {
    NewSprite<TBonusSprite>(world.Engine, world);
    play.BonusDelay = static_cast<uint16_t>(world.Rng.Random(BonusSpawnBase / play.Level));
  }
  if (play.TreeDelay > 0) {
    --play.TreeDelay;
  } else {
    NewSprite<TGreenTree>(world.Engine, world);
    play.TreeDelay = static_cast<uint16_t>(world.Rng.Random(TreeSpawnSpan));
  }
}

void CreateEnemy(TGameWorld& world) {
  const auto kind = static_cast<uint16_t>(world.Rng.Random(EnemyKinds) + 1);
  NewSprite<TFlyingEnemySprite>(world.Engine, world, kind);
}

void ClearGameField(TGameWorld& world) {
  TSpriteEngine& engine = world.Engine;
  for (int32_t i = engine.ChildCount() - 1; i >= 0; --i) {
    TSprite* sprite = engine.Child(i);
    if (dynamic_cast<TFlyingEnemySprite*>(sprite) || dynamic_cast<TBonusSprite*>(sprite) ||
        dynamic_cast<TWeaponSprite*>(sprite) || dynamic_cast<THeroWeaponSprite*>(sprite) ||
        dynamic_cast<TExplosionSprite*>(sprite)) {
      sprite->Kill();
    }
  }
  if (THeroSprite* hero = world.Hero.Get()) {
    hero->SetBodyVisible(false);
    hero->X = HeroStartX;
    hero->Y = HeroStartY;
    hero->RestoreStandardWeapon();
  }
  if (TShieldSprite* shield = world.Shield.Get()) shield->Visible = false;
  if (TBonusIndicatorSprite* indicator = world.BonusIndicator.Get()) indicator->Visible = false;
  world.Play.DriftX = 0;
  world.Play.DriftY = 0;
}

void DrawHud(const TGameWorld& world, TCanvas& canvas) {
  const PlayState& play = world.Play;
  canvas.Font.Size = HudFontSize;
  canvas.Font.Color = clBlack;
  canvas.TextOut(LevelTextX, HudTop, std::to_string(play.Level));
  DrawBonusClock(world, canvas);
  const std::string score = std::to_string(play.Score);
  canvas.TextOut(ScoreCentreX - canvas.TextWidth(score) / 2, HudTop, score);
  const int32_t seconds = play.LevelElapsed / MillisecondsPerSecond;
  canvas.TextOut(ClockX, HudTop, TwoDigits(seconds / 60) + ":" + TwoDigits(seconds % 60));
}
