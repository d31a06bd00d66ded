// The end of a game: "GAME OVER", then the local table's question or back to the menu.
#include "shell/main_form.h"

void TmainForm::EndOfGameFrame(TCanvas& canvas) {
  if (Screen.GameState != gsGameOver) return;
  Play.BannerTimer -= FrameInterval;
  canvas.Font.Size = 38;
  canvas.Font.Color = clRed;
  canvas.TextOut(250, 280, "GAME OVER");
  if (Play.BannerTimer > 0) return;
  SetCursorVisible(true);
  // A score that places in the table opens the result dialog, which comes with the end-of-game
  // screens; until then a game ends in the menu.
  Play.ScorePlace = FindScorePlace(Config, Play.Score);
  if (Play.ScorePlace == NoScorePlace) BackToMenu();
}

void TmainForm::BackToMenu() {
  Screen.GameState = gsMenu;
  SpriteEngine1.Root().RemoveAll();
  FrameTimer2.SetEnabled(false);
  CreateMenuField();
  FrameTimer1.SetEnabled(true);
}
