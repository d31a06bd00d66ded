#include "engine/pictures/picture_collection.h"

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string>
#include <utility>

#include "engine/base/exception.h"
#include "engine/drawing/blit.h"
#include "engine/drawing/draw_surface.h"
#include "engine/pictures/picture_data.h"
#include "engine/pictures/picture_source.h"

void TPictureCollectionItem::SetName(std::string name) {
  collection_->index_.Remove(name_, this);
  name_ = std::move(name);
  collection_->index_.Put(name_, this);
}

void TPictureCollectionItem::SetPendingPicture(std::shared_ptr<TPictureSource> source,
                                               uint64_t offset, uint64_t size,
                                               TPictureShape shape) {
  Picture.reset();
  packed_.reset();
  spans_.clear();
  spansKey_.reset();
  pending_ = Pending{std::move(source), offset, size, shape};
}

void TPictureCollectionItem::Decode() const {
  if (!pending_) return;
  const Pending pending = std::move(*pending_);
  pending_.reset();
  try {
    PixelBudget budget(kMaxDibPixels);
    Picture = ReadPictureDataFrom(*pending.source, pending.offset, pending.size, budget);
  } catch (const Exception&) {
    Picture.reset();
  }
  // The file was changed under the game since it was checked: not the picture it was cut for.
  if (Picture &&
      (Picture->Width != pending.shape.Width || Picture->Height != pending.shape.Height)) {
    Picture.reset();
  }
  const std::optional<uint32_t> key = Key();
  if (!Picture || !key) return;
  packed_ = TPackedPicture::Pack(*Picture, *key);
  if (!packed_) return;
  Picture.reset();
  spans_ = {};
  spansKey_.reset();
#ifdef __GLIBC__
  // The plain pixels lay below the packed ones on the heap, where freeing them alone gives no
  // page back: without this the packing would not lower the memory the game holds.
  malloc_trim(0);
#endif
}

const TPackedPicture* TPictureCollectionItem::PackedFor(std::optional<uint32_t> key) const {
  Decode();
  if (!packed_) return nullptr;
  if (!Picture && key && *key == packed_->Key()) return &*packed_;
  // Packed for another colour, or replaced since: the plain picture draws from here on.
  if (!Picture) Picture = packed_->Unpack();
  packed_.reset();
  return nullptr;
}

const TPicture* TPictureCollectionItem::Pixels() const {
  PackedFor(std::nullopt);
  return Picture ? &*Picture : nullptr;
}

TPictureShape TPictureCollectionItem::PictureSize() const {
  if (pending_) return pending_->shape;
  if (Picture) return {Picture->Width, Picture->Height};
  if (packed_) return {packed_->Width(), packed_->Height()};
  return {};
}

int32_t TPictureCollectionItem::Width() const {
  if (PatternWidth > 0) return PatternWidth;
  return PictureSize().Width;
}

int32_t TPictureCollectionItem::Height() const {
  if (PatternHeight > 0) return PatternHeight;
  return PictureSize().Height;
}

TPictureCollectionItem::Cut TPictureCollectionItem::CutNow() const {
  const TPictureShape size = PictureSize();
  if (size.Width <= 0 || size.Height <= 0) return {};
  const int32_t pictureWidth = size.Width;
  const int32_t pictureHeight = size.Height;
  const int32_t w = Width();
  const int32_t h = Height();
  if (w == pictureWidth && h == pictureHeight) return {w, h, w, h, 1, 1};
  // Sizes and gaps come from the archive: work in 64 bits and refuse pitches that are not
  // positive (a negative gap may overlap patterns, but never reach outside the picture).
  const int64_t pitchX = int64_t{w} + SkipWidth;
  const int64_t pitchY = int64_t{h} + SkipHeight;
  if (pitchX <= 0 || pitchY <= 0) return {};
  const int64_t columns = (int64_t{pictureWidth} + SkipWidth) / pitchX;
  const int64_t rows = (int64_t{pictureHeight} + SkipHeight) / pitchY;
  if (columns <= 0 || rows <= 0) return {};
  return {w, h, pitchX, pitchY, static_cast<int32_t>(columns), static_cast<int32_t>(rows)};
}

TRect TPictureCollectionItem::Box(const Cut& cut, int32_t i) {
  if (i < 0 || i >= cut.Total()) return {};
  const auto left = static_cast<int32_t>((i % cut.columns) * cut.pitchX);
  const auto top = static_cast<int32_t>((i / cut.columns) * cut.pitchY);
  return Bounds(left, top, cut.w, cut.h);
}

int32_t TPictureCollectionItem::PatternTotal() const {
  return initialized_ ? cut_.Total() : CutNow().Total();
}

TRect TPictureCollectionItem::PatternBox(int32_t i) const {
  return Box(cut_, i);
}

std::optional<uint32_t> TPictureCollectionItem::Key() const {
  // A colour number beyond 24 bits (clNone and the like) names no pixel.
  if (!Transparent || TransparentColor > 0xFFFFFF) return std::nullopt;
  return ColorToPixel(TransparentColor);
}

void TPictureCollectionItem::Draw(TSurface& destination, int32_t x, int32_t y, int32_t i) const {
  if (!initialized_ || i < 0 || i >= cut_.Total()) return;
  const std::optional<uint32_t> key = Key();
  const TPackedPicture* packed = PackedFor(key);
  if (!packed && !Picture) return;
  const TPictureShape size = PictureSize();
  const TRect box = Box(cut_, i);
  // A picture replaced since the cut must not be read past its edges.
  if (box.Right > size.Width || box.Bottom > size.Height) return;
  int64_t dx = x;
  int64_t dy = y;
  int64_t sx = box.Left;
  int64_t sy = box.Top;
  int64_t w = cut_.w;
  int64_t h = cut_.h;
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min<int64_t>(w, destination.Width() - dx);
  h = std::min<int64_t>(h, destination.Height() - dy);
  if (w <= 0 || h <= 0) return;
  const int64_t pitch = destination.Width();
  if (packed) {
    for (int64_t row = 0; row < h; ++row) {
      packed->DrawRow(destination.Pixels() + (dy + row) * pitch + dx, static_cast<int>(sy + row),
                      static_cast<int>(sx), static_cast<int>(sx + w));
    }
    return;
  }
  const TPicture* picture = &*Picture;
  if (!key) {
    for (int64_t row = 0; row < h; ++row) {
      BlitRow(destination.Pixels() + (dy + row) * pitch + dx,
              picture->Row(static_cast<int>(sy + row)) + sx, static_cast<int>(w));
    }
    return;
  }
  const std::vector<RowSpan>& spans = SpansFor(*key);
  for (int64_t row = 0; row < h; ++row) {
    const RowSpan& span = spans[static_cast<size_t>(sy + row)];
    const int64_t from = std::max<int64_t>(sx, span.first);
    const int64_t to = std::min<int64_t>(sx + w, span.last);
    if (from >= to) continue;
    const uint32_t* src = picture->Row(static_cast<int>(sy + row)) + from;
    uint32_t* dst = destination.Pixels() + (dy + row) * pitch + dx + (from - sx);
    if (span.solid) {
      BlitRow(dst, src, static_cast<int>(to - from));
    } else {
      BlitRowKeyed(dst, src, static_cast<int>(to - from), *key);
    }
  }
}

const std::vector<TPictureCollectionItem::RowSpan>& TPictureCollectionItem::SpansFor(
    uint32_t key) const {
  if (spansKey_ == key && spansWidth_ == Picture->Width &&
      spans_.size() == static_cast<size_t>(Picture->Height)) {
    return spans_;
  }
  spans_.assign(static_cast<size_t>(Picture->Height), RowSpan{});
  for (int y = 0; y < Picture->Height; ++y) {
    const uint32_t* row = Picture->Row(y);
    int32_t first = 0;
    int32_t last = Picture->Width;
    while (first < last && row[first] == key) ++first;
    while (last > first && row[last - 1] == key) --last;
    RowSpan& span = spans_[static_cast<size_t>(y)];
    span.first = first;
    span.last = last;
    span.solid = std::find(row + first, row + last, key) == row + last;
  }
  spansKey_ = key;
  spansWidth_ = Picture->Width;
  return spans_;
}

bool TPictureCollectionItem::Opaque(int32_t i, int32_t px, int32_t py) const {
  if (!initialized_ || i < 0 || i >= cut_.Total()) return false;
  if (px < 0 || py < 0 || px >= cut_.w || py >= cut_.h) return false;
  const std::optional<uint32_t> key = Key();
  const TPackedPicture* packed = PackedFor(key);
  if (!packed && !Picture) return false;
  const TPictureShape size = PictureSize();
  const TRect box = Box(cut_, i);
  if (box.Right > size.Width || box.Bottom > size.Height) return false;
  if (packed) return packed->Opaque(box.Left + px, box.Top + py);
  return !key || Picture->Pixel(box.Left + px, box.Top + py) != *key;
}

bool TPictureCollectionItem::PatternSolid(int32_t i) const {
  // A picture not drawn yet is decoded by its first Draw, in drawing order, which keeps the heap's
  // peak at a new game where it was: until then the frame clears all.
  if (pending_ || !initialized_ || i < 0 || i >= cut_.Total()) return false;
  const std::optional<uint32_t> key = Key();
  const TPackedPicture* packed = PackedFor(key);
  if (!packed && !Picture) return false;
  const TPictureShape size = PictureSize();
  const TRect box = Box(cut_, i);
  if (box.Right > size.Width || box.Bottom > size.Height) return false;
  if (!key) return true;
  if (packed) {
    for (int32_t y = box.Top; y < box.Bottom; ++y) {
      if (!packed->Solid(y, box.Left, box.Right)) return false;
    }
    return true;
  }
  const std::vector<RowSpan>& spans = SpansFor(*key);
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    const RowSpan& span = spans[static_cast<size_t>(y)];
    if (!span.solid || span.first > box.Left || span.last < box.Right) return false;
  }
  return true;
}

void TPictureCollectionItem::Upload() {
  if (!HasPicture()) return;
  if (!initialized_) {
    if (!collection_->CanInitialize()) return;
    initialized_ = true;
  }
  cut_ = CutNow();
  // A pending picture gets its spans when it is first drawn.
  if (const std::optional<uint32_t> key = Key(); key && Picture) SpansFor(*key);
}

void TPictureCollectionItem::Finalize() {
  initialized_ = false;
  cut_ = {};
  spans_.clear();
  spansKey_.reset();
  spansWidth_ = 0;
}

TPictureCollectionItem& TPictureCollection::operator[](int32_t i) const {
  if (i < 0 || i >= Count()) {
    throw EListError("List index out of bounds (" + std::to_string(i) + ")");
  }
  return *items_[static_cast<size_t>(i)];
}

TPictureCollectionItem& TPictureCollection::Find(std::string_view name) const {
  TPictureCollectionItem* item = index_.Find(name);
  if (!item) throw EPictureCollectionError("Image '" + std::string(name) + "' not found");
  return *item;
}

TPictureCollectionItem& TPictureCollection::Add() {
  items_.push_back(std::make_unique<TPictureCollectionItem>(*this));
  return *items_.back();
}

void TPictureCollection::Clear() {
  index_.Clear();
  items_.clear();
}

void TPictureCollection::SwapItems(TPictureCollection& other) {
  ShutDown();
  other.ShutDown();
  items_.swap(other.items_);
  std::swap(index_, other.index_);
  std::swap(ColorTable, other.ColorTable);
  for (const auto& item : items_) item->collection_ = this;
  for (const auto& item : other.items_) item->collection_ = &other;
}

bool TPictureCollection::CanInitialize() const {
  return cutForHitTests_ || (surface_ && surface_->Initialized());
}

void TPictureCollection::CutForHitTests() {
  cutForHitTests_ = true;
  Upload();
}

void TPictureCollection::StartUp(TDrawSurface& surface) {
  ShutDown();
  surface_ = &surface;
  if (!surface.Initialized()) {
    throw EPictureCollectionError("TPictureCollection cannot be initialized");
  }
  for (const auto& item : items_) item->initialized_ = true;
}

void TPictureCollection::ShutDown() {
  for (const auto& item : items_) item->Finalize();
  surface_ = nullptr;
}

void TPictureCollection::Upload() {
  for (const auto& item : items_) item->Upload();
}
