#include "engine/sprites/sprite.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "engine/base/exception.h"
#include "engine/drawing/draw_surface.h"
#include "engine/sprites/sprite_engine.h"

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t TruncPixels(double value) {
  // Every collision test asks for the bounds of each sprite it visits, so the usual case comes
  // first: within range, the conversion itself truncates toward zero (one instruction, where
  // std::trunc is a library call on the baseline x86-64).
  constexpr double Lowest = std::numeric_limits<int32_t>::min();
  constexpr double Highest = std::numeric_limits<int32_t>::max();
  if (value > Lowest && value < Highest) return static_cast<int32_t>(value);
  if (std::isnan(value)) return 0;
  return value < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

struct TSprite::CollisionSearch {
  TSprite* searcher;
  TRect rect;
  int32_t hits = 0;
  bool done = false;
};

TSprite::TSprite(TSprite* parent) : parent_(parent) {
  if (!parent) return;
  auto* engine = dynamic_cast<TSpriteEngine*>(parent);
  root_ = engine ? engine : parent->root_;
  parent->children_.emplace_back(this);
  parent->InsertByZ(this);
  linked_ = true;
  if (root_) ++root_->spriteTotal_;
}

TSprite::~TSprite() {
  if (cell_) cell_->sprite = nullptr;
  RemoveAll();
  // Only a sprite whose constructor failed part-way is still in its parent's lists here: take it
  // out without the parent deleting it a second time.
  if (linked_) static_cast<void>(parent_->TakeChild(this).release());
}

void TSprite::Free() {
  if (cell_) cell_->sprite = nullptr;
  std::unique_ptr<TSprite> self = parent_->TakeChild(this);
  self.reset();
}

std::unique_ptr<TSprite> TSprite::TakeChild(TSprite* child) {
  const auto owned =
      std::find_if(children_.begin(), children_.end(),
                   [&](const std::unique_ptr<TSprite>& c) { return c.get() == child; });
  std::unique_ptr<TSprite> taken = std::move(*owned);
  children_.erase(owned);
  zList_.erase(std::find(zList_.begin(), zList_.end(), child));
  child->linked_ = false;
  if (TSpriteEngine* engine = child->root_) {
    --engine->spriteTotal_;
    if (child->killed_) std::erase(engine->killQueue_, child);
  }
  return taken;
}

void TSprite::InsertByZ(TSprite* child) {
  // Binary search that places the sprite before every sibling of equal Z.
  int64_t low = 0;
  int64_t high = static_cast<int64_t>(zList_.size()) - 1;
  while (low <= high) {
    const int64_t mid = (low + high) / 2;
    if (zList_[static_cast<size_t>(mid)]->z_ < child->z_) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  zList_.insert(zList_.begin() + low, child);
}

void TSprite::SetZ(int32_t value) {
  if (value == z_) return;
  z_ = value;
  if (!parent_) return;
  std::vector<TSprite*>& siblings = parent_->zList_;
  siblings.erase(std::find(siblings.begin(), siblings.end(), this));
  parent_->InsertByZ(this);
}

TSprite* TSprite::Child(int32_t i) const {
  if (children_.empty()) {
    throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(i) + ")");
  }
  if (i < 0 || i >= ChildCount()) {
    throw EListError("List index out of bounds (" + std::to_string(i) + ")");
  }
  return children_[static_cast<size_t>(i)].get();
}

double TSprite::AbsX() const {
  return X + (parent_ ? parent_->AbsX() : 0.0);
}
double TSprite::AbsY() const {
  return Y + (parent_ ? parent_->AbsY() : 0.0);
}

void TSprite::HandleCollision(TSprite&, bool&) {}
void TSprite::Render() {}
void TSprite::Advance(int32_t) {}

TRect TSprite::Bounds() const {
  const int64_t x = TruncPixels(AbsX());
  const int64_t y = TruncPixels(AbsY());
  return {static_cast<int32_t>(x), static_cast<int32_t>(y), ClampToInt32(x + Width),
          ClampToInt32(y + Height)};
}

bool TSprite::Overlaps(const TSprite&) const {
  return true;
}

void TSprite::MoveAll(int32_t moveCount) {
  if (!Moves) return;
  Advance(moveCount);
  const size_t count = children_.size();
  for (size_t i = 0; i < count && i < children_.size(); ++i) children_[i]->MoveAll(moveCount);
}

void TSprite::DrawWalk() {
  if (!Visible) return;
  if (root_ && OverlapRect(Bounds(), root_->ScreenRect)) {
    Render();
    ++root_->drawnCount_;
  }
  for (size_t i = 0; i < zList_.size(); ++i) zList_[i]->DrawWalk();
}

void TSprite::Kill() {
  if (!root_ || killed_) return;
  killed_ = true;
  root_->killQueue_.push_back(this);
}

int32_t TSprite::Collide() {
  if (!root_ || killed_ || !Collides) return 0;
  // The search state lives here rather than in the engine, so that a handler may itself call
  // Collide without spoiling the search that called it.
  CollisionSearch search{this, Bounds()};
  const std::vector<std::unique_ptr<TSprite>>& targets = root_->children_;
  const size_t count = targets.size();
  for (size_t i = 0; i < count && i < targets.size() && !search.done; ++i) {
    Visit(*targets[i], search);
  }
  return search.hits;
}

void TSprite::Visit(TSprite& target, CollisionSearch& search) {
  if (!target.Collides) return;
  TSprite& searcher = *search.searcher;
  if (&target != &searcher && OverlapRect(target.Bounds(), search.rect) &&
      searcher.Overlaps(target) && target.Overlaps(searcher)) {
    ++search.hits;
    searcher.HandleCollision(target, search.done);
    if (!searcher.Collides || searcher.killed_) search.done = true;
  }
  if (search.done) return;
  const size_t count = target.children_.size();
  for (size_t i = 0; i < count && i < target.children_.size() && !search.done; ++i) {
    Visit(*target.children_[i], search);
  }
}

void TSprite::RemoveAll() {
  while (!children_.empty()) children_.back()->Free();
}

const std::shared_ptr<SpriteCell>& TSprite::Cell() {
  if (!cell_) cell_ = std::make_shared<SpriteCell>(SpriteCell{this});
  return cell_;
}

std::optional<TRect> TSprite::DrawnPart(const TRect& placed) const {
  TSpriteEngine* engine = Root();
  if (!engine || !engine->TargetSurface()) return std::nullopt;
  // DrawAll reaches a sprite when it and every sprite above it are visible.
  for (const TSprite* sprite = this; sprite != nullptr; sprite = sprite->Parent()) {
    if (!sprite->Visible) return std::nullopt;
  }
  if (!OverlapRect(Bounds(), engine->ScreenRect)) return std::nullopt;
  const TSurface& surface = *engine->TargetSurface();
  const TRect drawn = IntersectRect(placed, {0, 0, surface.Width(), surface.Height()});
  if (drawn.Width() <= 0 || drawn.Height() <= 0) return std::nullopt;
  return drawn;
}
