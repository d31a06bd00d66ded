// One frame of the game loop.
#include "shell/main_form.h"

void TmainForm::FrameTimer2Timer(int32_t /*LagCount*/) {
  if (!DrawSurface.ReadyToDraw()) return;
  GameInput1.Update();
  SpriteEngine1.RemoveDead();
  TDirectDrawSurface& back = *DrawSurface.BackBuffer();
  back.Fill(0);
  SpriteEngine1.DrawAll();
  TCanvas& canvas = back.Canvas();
  if (Screen.GameState == gsExitQuestion) {
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.Style = 0;
    canvas.Font.Color = clBlack;
    canvas.Font.Name = "Carolingia";
    canvas.Font.Size = 16;
    DrawExitQuestion(canvas);
  }
  canvas.Release();
  DrawSurface.Flip();
}
