#include "engine/pictures/image_list.h"

#include "engine/archive/stream_bytes.h"
#include "engine/pictures/image_archive.h"

TImageList::~TImageList() {
  SetDrawSurface(nullptr);
}

void TImageList::SetDrawSurface(TDrawSurface* surface) {
  if (surface == drawSurface_) return;
  if (drawSurface_) {
    drawSurface_->UnregisterListener(this);
    Items.ShutDown();
  }
  drawSurface_ = surface;
  if (!drawSurface_) return;
  drawSurface_->RegisterListener(this);
  if (drawSurface_->Initialized()) {
    Items.StartUp(*drawSurface_);
    Items.Upload();
  }
}

void TImageList::LoadFromFile(const std::filesystem::path& path) {
  Items.Clear();
  ReadImageArchiveFile(path, Items);
  if (drawSurface_ && drawSurface_->Initialized()) {
    Items.StartUp(*drawSurface_);
    Items.Upload();
  }
}

void TImageList::LoadFromStream(std::istream& stream) {
  LoadFromBytes(archive::ReadStreamBytes(stream));
}

void TImageList::LoadFromBytes(std::span<const uint8_t> bytes) {
  Items.Clear();
  ReadImageArchive(bytes, Items);
  if (drawSurface_ && drawSurface_->Initialized()) {
    Items.StartUp(*drawSurface_);
    Items.Upload();
  }
}

void TImageList::Exchange(TPictureCollection& pictures) {
  Items.SwapItems(pictures);
  if (drawSurface_ && drawSurface_->Initialized()) {
    Items.StartUp(*drawSurface_);
    Items.Upload();
  }
}

void TImageList::DrawSurfaceNotify(TDrawSurfaceNotify type) {
  switch (type) {
    case TDrawSurfaceNotify::dsnInitialize:
      Items.StartUp(*drawSurface_);
      break;
    case TDrawSurfaceNotify::dsnFinalize:
      Items.ShutDown();
      break;
    case TDrawSurfaceNotify::dsnRestore:
      Items.Upload();
      break;
    case TDrawSurfaceNotify::dsnDestroying:
      Items.ShutDown();
      drawSurface_ = nullptr;
      break;
    default:
      break;
  }
}
