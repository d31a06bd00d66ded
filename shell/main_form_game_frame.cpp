// One frame of the game loop: the level's end, the moves, clocks and spawns of play, the dying
// phase, the picture with its heads-up texts, and the caption of the state.
#include "game/hero_sprite.h"
#include "game/level_loop.h"
#include "shell/main_form.h"

namespace {
constexpr int32_t CaptionFontSize = 38;
constexpr int32_t CaptionX = 320;
constexpr int32_t CaptionY = 280;
constexpr int32_t QuestionFontSize = 16;

// A death runs to its end before the level may end: a level that ran out in the frame the dragon
// died would otherwise bring it back after the banner with the hit points it died with (to die
// again at once, a second life lost for one death), or play on after the last life. Once the game
// is over, no level ends any more, whatever stands over it (a pause, the exit question).
bool LevelEndWaitsIn(TGameState state) {
  switch (state) {
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

bool LevelEndWaits(const ScreenState& s) {
  switch (s.GameState) {
    case gsPaused:
      return LevelEndWaitsIn(s.ResumeState);
    case gsExitQuestion:
      return LevelEndWaitsIn(s.ExitReturnState == gsPaused ? s.ResumeState : s.ExitReturnState);
    default:
      return LevelEndWaitsIn(s.GameState);
  }
}

}  // namespace

void TmainForm::FrameTimer2Timer(int32_t LagCount) {
  if (Screen.GameState == gsSending) {
    // Collected even while nothing can be drawn (the window minimised, say).
    CollectSubmission();
    // Sent: the game has left for the menu, whose own timer draws from now on.
    if (!FrameTimer2.Enabled()) return;
  }
  if (!DrawSurface.ReadyToDraw()) return;
  TSurface& back = *DrawSurface.BackBuffer();
  TCanvas& canvas = TextCanvas(back);
  GameInput1.Update();
  SpriteEngine1.RemoveDead();
  if (!LevelEndWaits(Screen)) EndLevelWhenDue(World);
  const TGameState& state = Screen.GameState;
  if (state == gsPlaying) {
    SpriteEngine1.Root().MoveAll(LagCount);
    AdvancePlayedFrame(World);
  }
  if (state == gsDying) DyingFrame(LagCount);
  back.Fill(0);
  SpriteEngine1.DrawAll();
  DrawHud(World, canvas);
  GameCaptions(canvas);
  canvas.Release();
  DrawSurface.Flip();
}

void TmainForm::DyingFrame(int32_t LagCount) {
  SpriteEngine1.Root().MoveAll(LagCount);
  if (Play.DeathDelay > 0) {
    --Play.DeathDelay;
    return;
  }
  EnterState(gsPlaying);
  platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
  ClearGameField();
  THeroSprite* hero = World.Hero.Get();
  if (Play.Lives > 0) {
    if (hero) {
      hero->SetBodyVisible(true);
      hero->HitPoints = FreshHitPoints;
    }
    return;
  }
  Play.BannerTimer = BannerTime;
  EnterState(gsGameOver);
  PlaySound("looser");
}

void TmainForm::GameCaptions(TCanvas& canvas) {
  switch (Screen.GameState) {
    case gsLevelBanner:
      Play.BannerTimer -= FrameInterval;
      canvas.Font.Size = CaptionFontSize;
      canvas.Font.Color = clRed;
      canvas.TextOut(CaptionX, CaptionY, "LEVEL " + std::to_string(Play.Level));
      if (Play.BannerTimer <= 0) {
        EnterState(gsPlaying);
        if (THeroSprite* hero = World.Hero.Get()) hero->SetBodyVisible(true);
        SetCursorVisible(false);
        platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
      }
      break;
    case gsExitQuestion:
      canvas.Font.Size = QuestionFontSize;
      canvas.Font.Color = clBlack;
      DrawExitQuestion(canvas);
      break;
    case gsPaused:
      canvas.Font.Size = CaptionFontSize;
      canvas.Font.Color = clRed;
      canvas.TextOut(CaptionX, CaptionY, "PAUSE");
      break;
    default:
      EndOfGameFrame(canvas);
      break;
  }
}
