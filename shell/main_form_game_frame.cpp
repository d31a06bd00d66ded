// One frame of the game loop: the input, the game's tick (game/game_tick.h), then the picture
// with its heads-up texts and the caption of the state, drawn from what the tick left.
#include <array>
#include <optional>
#include <span>

#include "game/bonus_sprites.h"
#include "game/game_tick.h"
#include "game/level_loop.h"
#include "game/scenery.h"
#include "shell/main_form.h"
#include "sim/game_session.h"

namespace {
constexpr int32_t CaptionFontSize = 38;
constexpr int32_t CaptionX = 320;
constexpr int32_t CaptionY = 280;
constexpr int32_t QuestionFontSize = 16;

}  // namespace

void TmainForm::FrameTimer2Timer(int32_t LagCount) {
  if (Screen.GameState == gsSending) {
    // Collected even while nothing can be drawn (the window minimised, say).
    CollectSubmission();
    // Sent: the game has left for the menu, whose own timer draws from now on.
    if (!FrameTimer2.Enabled()) return;
  }
  if (!DrawSurface.ReadyToDraw()) return;
  if (Playback) {
    PlaybackFrame();
    return;
  }
  GameInput1.Update();
  // The recording takes what the tick reads; a tick that fails leaves a game it cannot prove.
  const bool recording = Recording.Recording();
  if (recording) CollectStartTicket();
  if (recording) Recording.BeginTick(ReplayKeysOf(GameInput1), Input, LagCount);
  try {
    AdvanceGameTick(World, LagCount, StateBeneath(Screen));
  } catch (...) {
    Recording.Abandon();
    throw;
  }
  if (recording && Screen.GameState == gsGameOver) {
    FinishRecording();
  } else if (recording) {
    Recording.EndTick(World, Screen.MenuScreen == msExitDialog);
  }
  AdvanceShellTick();
  // A game over without a place in the table has just left for the menu, whose sprites now fill
  // the field: this frame shows the game's last picture once more, and the menu's timer draws from
  // the next one.
  if (FrameTimer2.Enabled()) DrawGameFrame(DrawSurface.BeginFrame());
  DrawSurface.Flip();
}

void TmainForm::DrawGameFrame(TSurface& back) {
  TCanvas& canvas = TextCanvas(back);
  // The sky and the status bar cover most of the field with opaque pictures drawn before anything
  // that shows through: what they cover need not be cleared first.
  const std::array<const TImageSprite*, 2> opaque = {World.Back.Get(), World.StatusBar.Get()};
  std::array<TRect, 2> covered;
  size_t coveredCount = 0;
  for (const TImageSprite* sprite : opaque) {
    if (sprite == nullptr) continue;
    if (const std::optional<TRect> rect = sprite->SolidDrawnRect()) covered[coveredCount++] = *rect;
  }
  back.FillExcept(0, std::span(covered.data(), coveredCount));
  SpriteEngine1.DrawAll();
  DrawHud(World, canvas);
  GameCaptions(canvas);
  canvas.Release();
}

void TmainForm::GameCaptions(TCanvas& canvas) {
  switch (Screen.GameState) {
    case gsLevelBanner:
      canvas.Font.Size = CaptionFontSize;
      canvas.Font.Color = clRed;
      canvas.TextOut(CaptionX, CaptionY, "LEVEL " + std::to_string(Play.Level));
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
