// The base of every sprite: a node in the tree whose root is the sprite engine. A sprite is owned
// by its parent (children kept in creation order, plus a drawing order by Z), is moved, drawn and
// hit through the virtual operations its subclass overrides, and is removed by Kill (marked) and
// the engine's RemoveDead (freed) so that no walk ever sees a list change under it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/drawing/rect.h"

class TSpriteEngine;
class TSprite;

// What a safe reference holds: the sprite, cleared when the sprite is freed.
struct SpriteCell {
  TSprite* sprite = nullptr;
};

class TSprite {
 public:
  // Joins the parent's children (last) and its drawing order (by Z); the parent then owns the
  // sprite, which lives until RemoveDead (after Kill), RemoveAll or its parent's end frees it.
  // Create sprites with NewSprite<T>(parent, ...) (or `new T(&parent, ...)`), never on the stack
  // or in a member; keep one beyond the current call only through a TSpriteRef.
  explicit TSprite(TSprite* parent);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // --- Virtual operations, in slot order.
  // Called on the searching sprite for each sprite its Collide hits; set `done` to end the
  // search. The target learns nothing.
  virtual void HandleCollision(TSprite& other, bool& done);
  // Draws the sprite onto the engine's target surface; called by DrawAll when visible on screen.
  virtual void Render();
  // One move of MoveAll: moveCount is the frame's LagCount (whole timer intervals elapsed).
  virtual void Advance(int32_t moveCount);
  // Where the sprite is, in surface pixels: at (trunc AbsX, trunc AbsY), Width x Height.
  virtual TRect Bounds() const;
  // The finer test after the rectangles overlap; true here.
  virtual bool Overlaps(const TSprite& other) const;

  // --- Tree.
  // The engine at the root; none for the engine itself and for a sprite without a parent.
  TSpriteEngine* Root() const { return root_; }
  TSprite* Parent() const { return parent_; }
  int32_t ChildCount() const { return static_cast<int32_t>(children_.size()); }
  // The i-th child in creation order, valid for the current call only. ESpriteError "Index of
  // the list exceeds the range. (%d)" without children, EListError "List index out of bounds
  // (%d)" outside them.
  TSprite* Child(int32_t i) const;

  // --- Fields.
  bool Collides = true;  // takes part in collision searches
  bool Moves = true;     // takes part in MoveAll, with all its descendants
  bool Visible = true;   // takes part in DrawAll, with all its descendants
  int32_t X = 0;         // top-left corner relative to the parent, in pixels
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Killed() const { return killed_; }
  // Drawing order among siblings: ascending Z; among equal Z the sprite created (or re-ordered)
  // last is drawn first, underneath the others.
  int32_t Z() const { return z_; }
  void SetZ(int32_t value);
  // Position on the surface: X (Y) plus the parent's, up to and including the engine.
  double AbsX() const;
  double AbsY() const;

  // --- Operations.
  // Advance, then MoveAll of each child in creation order (children created during the walk wait
  // for the next one); nothing at all when Moves is false.
  void MoveAll(int32_t moveCount);
  // Marks the sprite for RemoveDead; it keeps moving, drawing and being hit until then. Nothing
  // without an engine or when already killed.
  void Kill();
  // Looks for sprites overlapping this one among the engine's tree and calls HandleCollision for
  // each; returns the number of hits. 0 at once without an engine, when killed or not Collides.
  int32_t Collide();
  // Frees all children, the last created first.
  void RemoveAll();

  // The cell a TSpriteRef shares; made on first use.
  const std::shared_ptr<SpriteCell>& Cell();

 protected:
  // What of `placed` this frame's DrawAll draws on the engine's surface: `placed` cut to the
  // surface, when DrawAll reaches this sprite (it and every sprite above it visible) and its
  // bounds meet the engine's screen; none otherwise, or when nothing of it is left.
  std::optional<TRect> DrawnPart(const TRect& placed) const;

 private:
  friend class TSpriteEngine;
  struct CollisionSearch;

  void Free();
  std::unique_ptr<TSprite> TakeChild(TSprite* child);
  void InsertByZ(TSprite* child);
  void DrawWalk();
  void Visit(TSprite& target, CollisionSearch& search);

  TSpriteEngine* root_ = nullptr;
  TSprite* parent_ = nullptr;
  std::vector<std::unique_ptr<TSprite>> children_;
  std::vector<TSprite*> zList_;
  bool killed_ = false;
  bool linked_ = false;  // in the parent's lists
  int32_t z_ = 0;
  std::shared_ptr<SpriteCell> cell_;
};

// Creates a sprite owned by `parent` and returns it for the current call.
template <typename T, typename... Args>
T& NewSprite(TSprite& parent, Args&&... args) {
  return *new T(&parent, std::forward<Args>(args)...);
}

// Whole pixels of a position held as a real: truncated toward zero, kept within 32 bits.
int32_t TruncPixels(double value);
// A 64-bit result brought back into 32 bits.
int32_t ClampToInt32(int64_t value);
