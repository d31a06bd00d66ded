// One frame of the game loop.
#include "shell/main_form.h"

void TmainForm::FrameTimer2Timer(int32_t /*LagCount*/) {
  if (!DrawSurface.ReadyToDraw()) return;
  GameInput1.Update();
  SpriteEngine1.RemoveDead();
  TDirectDrawSurface& back = *DrawSurface.BackBuffer();
  back.Fill(0);
  SpriteEngine1.DrawAll();
  TCanvas& canvas = TextCanvas(back);
  if (Screen.GameState == gsExitQuestion) DrawExitQuestion(canvas);
  if (Screen.GameState == gsGameOver) GameOverFrame(canvas);
  canvas.Release();
  DrawSurface.Flip();
}

void TmainForm::GameOverFrame(TCanvas& canvas) {
  Play.BannerTimer -= FrameInterval;
  canvas.Font.Size = 38;
  canvas.Font.Color = clRed;
  canvas.TextOut(250, 280, "GAME OVER");
  if (Play.BannerTimer > 0) return;
  SetCursorVisible(true);
  // A score that places in the table opens the result dialog, which comes with the end-of-game
  // screens; a game that scored nothing, the only kind there is so far, never places.
  if (FindScorePlace(Config, Play.Score) == NoScorePlace) BackToMenu();
}

void TmainForm::BackToMenu() {
  Screen.GameState = gsMenu;
  SpriteEngine1.Root().RemoveAll();
  FrameTimer2.SetEnabled(false);
  CreateMenuField();
  FrameTimer1.SetEnabled(true);
}
