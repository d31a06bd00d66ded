// The safe reference to a sprite: the only way to keep a sprite beyond the call that got it (the
// hero, the scenery strips, the menu's item slots). It reads as empty once the sprite is freed by
// RemoveDead, RemoveAll or its parent's end, so a stale reference can never reach freed memory.
#pragma once

#include <memory>
#include <type_traits>

#include "engine/base/exception.h"
#include "engine/sprites/sprite.h"

template <typename T>
class TSpriteRef {
 public:
  TSpriteRef() = default;
  // NOLINTNEXTLINE(google-explicit-constructor): `Hero = &NewSprite<THeroSprite>(engine)` reads
  // well.
  TSpriteRef(T* sprite) : cell_(sprite ? sprite->Cell() : nullptr) {}
  TSpriteRef(T& sprite) : cell_(sprite.Cell()) {}
  template <typename U>
  requires std::is_base_of_v<T, U> TSpriteRef(const TSpriteRef<U>& other) : cell_(other.cell_) {}

  // The sprite, or null once it has been freed (or when nothing was referenced).
  T* Get() const { return cell_ ? static_cast<T*>(cell_->sprite) : nullptr; }
  explicit operator bool() const { return Get() != nullptr; }
  // ESpriteError "Sprite reference is empty" instead of a crash when the sprite is gone.
  T* operator->() const { return &operator*(); }
  T& operator*() const {
    T* sprite = Get();
    if (!sprite) throw ESpriteError("Sprite reference is empty");
    return *sprite;
  }
  void Reset() { cell_.reset(); }
  bool operator==(const TSprite* sprite) const { return Get() == sprite; }

 private:
  template <typename U>
  friend class TSpriteRef;
  std::shared_ptr<SpriteCell> cell_;
};
