// The image list component (ImageList1): owns the picture collection of the archive loaded last
// and follows its drawing surface, cutting the pictures into patterns while the surface is up.
#pragma once

#include <filesystem>
#include <istream>
#include <span>

#include "engine/drawing/draw_surface.h"
#include "engine/pictures/picture_collection.h"

class TImageList : public DrawSurfaceListener {
 public:
  TImageList() = default;
  ~TImageList() override;
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;

  TPictureCollection Items;

  TDrawSurface* DrawSurface() const { return drawSurface_; }
  // Registers with the surface for its notifications; a surface that is already up is followed
  // at once.
  void SetDrawSurface(TDrawSurface* surface);

  // Opens the file for reading (EFOpenError when it cannot be opened) and loads it; its pictures
  // are checked now and decoded from the file, kept open, when first drawn.
  void LoadFromFile(const std::filesystem::path& path);
  // Removes all items, reads the archive (decoding every picture), and cuts the pictures when the
  // surface is up.
  void LoadFromStream(std::istream& stream);
  void LoadFromBytes(std::span<const uint8_t> bytes);
  // Takes the pictures already read into `pictures` in place of its own, which go to `pictures`
  // (so they can be freed once nothing shows them); cuts them when the surface is up. With the
  // archive read beforehand, a load that fails leaves the list as it was.
  void Exchange(TPictureCollection& pictures);

  void DrawSurfaceNotify(TDrawSurfaceNotify type) override;

 private:
  TDrawSurface* drawSurface_ = nullptr;
};
