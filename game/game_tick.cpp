#include "game/game_tick.h"

// fast-math lets each build round differently, and a game must come out the same in every build.
#ifdef __FAST_MATH__
#error "the game's logic is built without fast-math"
#endif

#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/game_world.h"
#include "game/hero_sprite.h"
#include "game/level_loop.h"

namespace {

// A death runs to its end before the level may end: a level that ran out in the frame the dragon
// died would otherwise bring it back after the banner with the hit points it died with (to die
// again at once, a second life lost for one death), or play on after the last life. Once the game
// is over, no level ends any more, whatever stands over it (a pause, the exit question).
bool LevelEndWaits(TGameState beneath) {
  switch (beneath) {
    case gsDying:
    case gsGameOver:
    case gsNameEntry:
    case gsSendQuestion:
    case gsSending:
    case gsSendFailed:
      return true;
    default:
      return false;
  }
}

// The dying phase: the field moves on until the delay is spent, then the next life, or the end.
void DyingTick(TGameWorld& world, int32_t lagCount) {
  PlayState& play = world.Play;
  world.Engine.MoveAll(lagCount);
  if (play.DeathDelay > 0) {
    --play.DeathDelay;
    return;
  }
  world.Report(TGameEvent::DyingEnded);
  ClearGameField(world);
  THeroSprite* hero = world.Hero.Get();
  if (play.Lives > 0) {
    if (hero) {
      hero->SetBodyVisible(true);
      hero->HitPoints = FreshHitPoints;
    }
    return;
  }
  play.BannerTimer = BannerTime;
  world.Report(TGameEvent::LivesSpent);
  world.PlaySound("looser");
}

// Runs the bonus clocks down while the game is played, and ends spent bonuses.
void BonusClocksTick(TGameWorld& world) {
  TBonusIndicatorSprite* indicator = world.BonusIndicator.Get();
  if (!indicator || !indicator->Visible) return;
  PlayState& play = world.Play;
  THeroSprite* hero = world.Hero.Get();
  TShieldSprite* shield = world.Shield.Get();
  if (play.ShieldTime <= 0 && shield) shield->Visible = false;
  if (play.WeaponTime <= 0 && hero) hero->RestoreStandardWeapon();
  if (play.WeaponTime <= 0 && play.ShieldTime <= 0 && play.NoticeTime <= 0) {
    indicator->Visible = false;
    return;
  }
  if (world.GameState != gsPlaying) return;
  if (play.NoticeTime > 0) play.NoticeTime -= FrameInterval;
  if (play.WeaponTime > 0) {
    play.WeaponTime -= FrameInterval;
  } else if (hero) {
    hero->RestoreStandardWeapon();
  }
  if (play.ShieldTime > 0) play.ShieldTime -= FrameInterval;
}

// The level banner's and the game-over banner's countdowns.
void BannerTick(TGameWorld& world) {
  PlayState& play = world.Play;
  if (world.GameState == gsLevelBanner) {
    play.BannerTimer -= FrameInterval;
    if (play.BannerTimer > 0) return;
    world.Report(TGameEvent::BannerEnded);
    if (THeroSprite* hero = world.Hero.Get()) hero->SetBodyVisible(true);
  } else if (world.GameState == gsGameOver) {
    play.BannerTimer -= FrameInterval;
    if (play.BannerTimer <= 0) world.Report(TGameEvent::GameOverEnded);
  }
}

}  // namespace

void AdvanceGameTick(TGameWorld& world, int32_t lagCount, TGameState beneath) {
  world.Engine.RemoveDead();
  if (!LevelEndWaits(beneath)) EndLevelWhenDue(world);
  // The state is read afresh at each step: a death in this tick's moves begins the dying phase
  // at once, and the end of a dying phase may end the game within the same tick.
  if (world.GameState == gsPlaying) {
    world.Engine.MoveAll(lagCount);
    AdvancePlayedFrame(world);
  }
  if (world.GameState == gsDying) DyingTick(world, lagCount);
  BonusClocksTick(world);
  BannerTick(world);
}
