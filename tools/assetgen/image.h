// A picture being painted: a cairo ARGB32 surface (premultiplied alpha) with its drawing context,
// owned and released together.
#pragma once

#include <cairo.h>

#include <cstdint>

namespace assets {

class Image {
 public:
  Image(int width, int height);
  ~Image();
  Image(const Image& other);
  Image& operator=(const Image& other);
  Image(Image&& other) noexcept;
  Image& operator=(Image&& other) noexcept;

  int width() const { return width_; }
  int height() const { return height_; }
  // The drawing context; its state (source, transform) persists between calls, so painters save
  // and restore around what they change.
  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }

  // Direct pixel access: 0xAARRGGBB premultiplied. Call Flush before reading and MarkDirty after
  // writing, so that cairo and the pixels agree.
  uint32_t* Row(int y);
  const uint32_t* Row(int y) const;
  void Flush() const { cairo_surface_flush(surface_); }
  void MarkDirty() { cairo_surface_mark_dirty(surface_); }

  // Draws `other` with its top-left corner at (x, y), over what is there.
  void Draw(const Image& other, double x, double y);
  // A copy of the rectangle (x, y, w, h); parts outside this picture stay transparent.
  Image Crop(int x, int y, int w, int h) const;

 private:
  void Release();

  int width_ = 0;
  int height_ = 0;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

}  // namespace assets
