// One frame of the game loop.
#include "shell/main_form.h"

void TmainForm::FrameTimer2Timer(int32_t /*LagCount*/) {
  if (!DrawSurface.ReadyToDraw()) return;
  GameInput1.Update();
  TDirectDrawSurface& back = *DrawSurface.BackBuffer();
  back.Fill(0);
  back.Canvas().Release();
  DrawSurface.Flip();
}
