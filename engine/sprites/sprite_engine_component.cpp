#include "engine/sprites/sprite_engine_component.h"

TSpriteEngineComponent::~TSpriteEngineComponent() {
  SetDrawSurface(nullptr);
}

void TSpriteEngineComponent::SetDrawSurface(TDrawSurface* surface) {
  if (surface == drawSurface_) return;
  if (drawSurface_) drawSurface_->UnregisterListener(this);
  engine_->SetTargetSurface(nullptr);
  drawSurface_ = surface;
  if (!drawSurface_) return;
  drawSurface_->RegisterListener(this);
  if (drawSurface_->Initialized()) engine_->SetTargetSurface(drawSurface_->BackBuffer());
}

void TSpriteEngineComponent::DrawAll() {
  if (drawSurface_ && drawSurface_->Initialized()) engine_->DrawAll();
}

void TSpriteEngineComponent::DrawSurfaceNotify(TDrawSurfaceNotify type) {
  switch (type) {
    case TDrawSurfaceNotify::dsnInitializeSurface:
      engine_->SetTargetSurface(drawSurface_->BackBuffer());
      break;
    case TDrawSurfaceNotify::dsnFinalizeSurface:
      engine_->SetTargetSurface(nullptr);
      break;
    case TDrawSurfaceNotify::dsnDestroying:
      SetDrawSurface(nullptr);
      break;
    default:
      break;
  }
}
