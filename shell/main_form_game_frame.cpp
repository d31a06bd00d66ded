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
  EndOfGameFrame(canvas);
  canvas.Release();
  DrawSurface.Flip();
}
