// The pictures of the image list: named items, each a picture cut into equally sized patterns
// (animation frames or variants) with a transparent colour, kept in archive order and found by
// name through the 256-bucket name index. Items are drawn onto the drawing surface's back buffer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/colors.h"
#include "engine/base/name_index.h"
#include "engine/drawing/rect.h"
#include "engine/pictures/packed_picture.h"
#include "engine/pictures/picture.h"

class TSurface;
class TDrawSurface;
class TPictureCollection;
class TPictureSource;

class TPictureCollectionItem {
 public:
  explicit TPictureCollectionItem(TPictureCollection& collection) : collection_(&collection) {}
  TPictureCollectionItem(const TPictureCollectionItem&) = delete;
  TPictureCollectionItem& operator=(const TPictureCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // Puts the item at the head of its name's chain: of two items with one name, the one named
  // last is found.
  void SetName(std::string name);

  // The source image; none when the archive named a picture format this game does not read. A
  // picture loaded to be decoded when first needed (SetPendingPicture) appears here then: drawing,
  // Opaque and Pixels decode it, which changes nothing the item shows, hence mutable. Decoded so,
  // a picture mostly of its transparent colour is kept packed instead and is empty here until
  // Pixels() or a draw with another transparent colour unpacks it.
  mutable std::optional<TPicture> Picture;
  // Pattern size as stored; 0 or less means the picture's size.
  int32_t PatternHeight = 0;
  int32_t PatternWidth = 0;
  // Gaps between pattern rows and columns.
  int32_t SkipHeight = 0;
  int32_t SkipWidth = 0;
  // Keeps the whole picture on one surface (here every picture is on one surface anyway).
  bool SystemMemory = false;
  // Draws with the pixels of TransparentColor left out; read at every Draw, so a change applies
  // to the surfaces at once.
  bool Transparent = true;
  TColor TransparentColor = 0;

  // The effective pattern size: the stored one when above 0, else the picture's.
  int32_t Width() const;
  int32_t Height() const;

  bool Initialized() const { return initialized_; }
  // Patterns cut by the last Upload; before the item is initialised, the count the current
  // pattern size would give.
  int32_t PatternTotal() const;
  // Pattern i's rectangle within its surface (the whole picture); empty outside the patterns.
  TRect PatternBox(int32_t i) const;
  // Copies pattern i with its top-left corner at (x, y), clipped to the destination; nothing
  // when the item is not initialised or i is not one of its patterns.
  void Draw(TSurface& destination, int32_t x, int32_t y, int32_t i) const;
  // True when pattern i is drawn at (px, py) of the pattern (not transparent, inside it).
  bool Opaque(int32_t i, int32_t px, int32_t py) const;
  // True when Draw of pattern i writes every pixel of its rectangle (none is transparent, and the
  // picture has been decoded); a frame's clear may then leave out what the pattern covers.
  bool PatternSolid(int32_t i) const;

  // The picture's data lies in `source` (checked already, so it decodes without failing) and is
  // decoded when first needed; until then the item knows the picture's size only.
  void SetPendingPicture(std::shared_ptr<TPictureSource> source, uint64_t offset, uint64_t size,
                         TPictureShape shape);
  // The picture, decoded now if it was pending (and unpacked if it was packed); none without a
  // picture, or when the source no longer holds what was checked at the load (the item then draws
  // nothing).
  const TPicture* Pixels() const;
  bool Decoded() const { return !pending_; }
  // Decodes a pending picture now, as its first draw would: for a caller that draws it next and
  // needs to know of its pixels before (PatternSolid).
  void DecodeNow() const { Decode(); }
  // True while the decoded picture is held packed for its transparent colour.
  bool Packed() const { return packed_.has_value() && !Picture; }

  // Cuts the picture into patterns; nothing for an item without a picture, or one not yet
  // initialised while its collection cannot initialise it.
  void Upload();
  // Releases the patterns and marks the item not initialised.
  void Finalize();

 private:
  friend class TPictureCollection;
  // How the picture was cut: pattern (column, row) covers (column x pitchX, row x pitchY, w, h).
  struct Cut {
    int32_t w = 0;
    int32_t h = 0;
    int64_t pitchX = 0;
    int64_t pitchY = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t Total() const { return columns * rows; }
  };
  // Where a picture row's drawn pixels lie for one transparent colour: every pixel outside
  // [first, last) is transparent, and with `solid` none inside is. Drawing copies only that span,
  // and solid spans without testing each pixel.
  struct RowSpan {
    int32_t first = 0;
    int32_t last = 0;
    bool solid = false;
  };
  const std::vector<RowSpan>& SpansFor(uint32_t key) const;

  struct Pending {
    std::shared_ptr<TPictureSource> source;
    uint64_t offset = 0;
    uint64_t size = 0;
    TPictureShape shape;
  };
  // Present (decoded, packed or pending) with its size.
  bool HasPicture() const { return pending_ || Picture || packed_; }
  // Decodes a pending picture, into the packed form when that pays for the current key.
  void Decode() const;
  // The packed picture when it draws for `key` (none: no colour left out); otherwise none, and a
  // packed picture is unpacked into Picture.
  const TPackedPicture* PackedFor(std::optional<uint32_t> key) const;
  TPictureShape PictureSize() const;

  Cut CutNow() const;
  static TRect Box(const Cut& cut, int32_t i);
  // The pixel value left out when drawing, or none.
  std::optional<uint32_t> Key() const;

  // The collection that holds the item; it changes when collections exchange their items.
  TPictureCollection* collection_;
  std::string name_;
  bool initialized_ = false;
  Cut cut_;
  mutable std::optional<Pending> pending_;
  // The decoded picture when packed; Picture then is empty (a picture set there since wins).
  mutable std::optional<TPackedPicture> packed_;
  mutable std::vector<RowSpan> spans_;
  mutable std::optional<uint32_t> spansKey_;
  mutable int32_t spansWidth_ = 0;
};

class TPictureCollection {
 public:
  TPictureCollection() = default;
  TPictureCollection(const TPictureCollection&) = delete;
  TPictureCollection& operator=(const TPictureCollection&) = delete;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // The i-th item in archive order; EListError "List index out of bounds (%d)" outside them.
  TPictureCollectionItem& operator[](int32_t i) const;
  // The item of that name, ignoring case; EPictureCollectionError "Image '%s' not found".
  TPictureCollectionItem& Find(std::string_view name) const;
  TPictureCollectionItem& Add();
  void Clear();
  // Exchanges the items, their name index and the colour table with `other`. Both end unbound
  // and not initialised: the pictures are cut again for the surface they are drawn on next.
  void SwapItems(TPictureCollection& other);

  // 256 palette entries (blue, green, red, reserved) as stored; unused at 32 bits per pixel.
  std::array<uint32_t, 256> ColorTable{};

  // Binds to the surface and marks every item initialised; EPictureCollectionError
  // "TPictureCollection cannot be initialized" when the surface is not initialised.
  void StartUp(TDrawSurface& surface);
  // Releases every item's patterns and unbinds.
  void ShutDown();
  // Cuts every item (Upload of each).
  void Upload();
  // Bound to a surface that is initialised, or cut for hit tests alone: items may be initialised.
  bool CanInitialize() const;
  // Cuts every item without a surface to draw on, for a game run without a picture (a recording
  // re-simulated): the pixel-exact hit tests read the patterns as a drawn game does.
  void CutForHitTests();

 private:
  friend class TPictureCollectionItem;
  std::vector<std::unique_ptr<TPictureCollectionItem>> items_;
  TNameIndex<TPictureCollectionItem> index_;
  TDrawSurface* surface_ = nullptr;
  bool cutForHitTests_ = false;
};
