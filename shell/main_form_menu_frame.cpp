// One frame of the menu loop.
#include <optional>
#include <span>

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
  // The menu's background is an opaque picture over the whole field: what it covers need not be
  // cleared first. It is decoded now, where its draw would decode it a moment later, so that the
  // first frame knows that too.
  std::optional<TRect> covered;
  if (const TMenuBackground* background = Menu.Background.Get(); background && background->Image) {
    background->Image->DecodeNow();
    covered = background->SolidDrawnRect();
  }
  back.FillExcept(0, covered ? std::span<const TRect>(&*covered, 1) : std::span<const TRect>());
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
