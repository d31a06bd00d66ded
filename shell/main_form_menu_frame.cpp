// One frame of the menu loop.
#include "shell/main_form.h"

void TmainForm::FrameTimer1Timer(int32_t LagCount) {
  if (!DrawSurface.ReadyToDraw()) return;
  GameInput1.Update();
  SpriteEngine1.MoveAll(LagCount);
  SpriteEngine1.RemoveDead();
  DrawMenuFrame();
}

void TmainForm::DrawMenuFrame() {
  TSurface& back = DrawSurface.BeginFrame();
  back.Fill(0);
  SpriteEngine1.DrawAll();
  TCanvas& canvas = TextCanvas(back);
  DrawMenuTexts(canvas);
  canvas.Release();
  DrawSurface.Flip();
}

TCanvas& TmainForm::TextCanvas(TSurface& back) {
  TCanvas& canvas = back.Canvas();
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font.Style = 0;
  canvas.Pen.Style = TPenStyle::psSolid;
  canvas.Font.Color = clBlack;
  canvas.Font.Name = "Carolingia";
  canvas.Font.Size = 16;
  return canvas;
}
