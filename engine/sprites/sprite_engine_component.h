// The sprite engine component of the main window (SpriteEngine1): owns the engine and with it the
// whole tree, and follows the drawing surface so that the engine draws onto the back buffer
// whenever the surface is up, across display-mode switches.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/drawing/draw_surface.h"
#include "engine/sprites/sprite_engine.h"

class TSpriteEngineComponent : public DrawSurfaceListener {
 public:
  TSpriteEngineComponent() : engine_(std::make_unique<TSpriteEngine>()) {}
  ~TSpriteEngineComponent() override;
  TSpriteEngineComponent(const TSpriteEngineComponent&) = delete;
  TSpriteEngineComponent& operator=(const TSpriteEngineComponent&) = delete;

  // The engine: the parent of every sprite of the program.
  TSpriteEngine& Root() { return *engine_; }

  TDrawSurface* DrawSurface() const { return drawSurface_; }
  // Registers for the surface's notifications; a surface already up is drawn on at once.
  void SetDrawSurface(TDrawSurface* surface);

  void MoveAll(int32_t moveCount) { engine_->MoveAll(moveCount); }
  // Nothing unless the drawing surface is set and initialised.
  void DrawAll();
  void RemoveDead() { engine_->RemoveDead(); }

  void DrawSurfaceNotify(TDrawSurfaceNotify type) override;

 private:
  std::unique_ptr<TSpriteEngine> engine_;
  TDrawSurface* drawSurface_ = nullptr;
};
