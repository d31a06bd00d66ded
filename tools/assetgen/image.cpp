#include "tools/assetgen/image.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace assets {

Image::Image(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
    throw std::invalid_argument("picture size " + std::to_string(width) + "x" +
                                std::to_string(height) + " cannot be painted");
  }
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cr_ = cairo_create(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    Release();
    throw std::runtime_error("cairo cannot make a picture of " + std::to_string(width) + "x" +
                             std::to_string(height));
  }
}

Image::~Image() {
  Release();
}

void Image::Release() {
  if (cr_ != nullptr) cairo_destroy(cr_);
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
  cr_ = nullptr;
  surface_ = nullptr;
}

Image::Image(const Image& other) : Image(other.width_, other.height_) {
  Draw(other, 0, 0);
}

Image& Image::operator=(const Image& other) {
  if (this != &other) *this = Image(other);
  return *this;
}

Image::Image(Image&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      surface_(std::exchange(other.surface_, nullptr)),
      cr_(std::exchange(other.cr_, nullptr)) {}

Image& Image::operator=(Image&& other) noexcept {
  if (this != &other) {
    Release();
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    surface_ = std::exchange(other.surface_, nullptr);
    cr_ = std::exchange(other.cr_, nullptr);
  }
  return *this;
}

uint32_t* Image::Row(int y) {
  auto* data = cairo_image_surface_get_data(surface_);
  return reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) *
                                                cairo_image_surface_get_stride(surface_));
}

const uint32_t* Image::Row(int y) const {
  const auto* data = cairo_image_surface_get_data(surface_);
  return reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) *
                                                      cairo_image_surface_get_stride(surface_));
}

void Image::Draw(const Image& other, double x, double y) {
  cairo_save(cr_);
  cairo_identity_matrix(cr_);
  cairo_set_source_surface(cr_, other.surface_, x, y);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

Image Image::Crop(int x, int y, int w, int h) const {
  Image part(w, h);
  part.Draw(*this, -x, -y);
  return part;
}

}  // namespace assets
