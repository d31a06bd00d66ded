#include "engine/pictures/dib_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <vector>

#include "engine/base/exception.h"

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;

constexpr size_t kCoreHeader = 12;
constexpr size_t kInfoHeader = 40;
constexpr size_t kFileHeader = 14;

const char* const kDibInvalid = "DIB is invalid";

// What DecodeInParts reads at a time: rows enough to fill this, at least one.
constexpr uint64_t kBytesPerRead = 64 * 1024;
const char* const kBitmapInvalid = "Bitmap image is not valid";

uint16_t U16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// One colour channel of a bit-field pixel, widened or narrowed to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;  // largest value of the field; 0 for an empty mask

  uint32_t Of(uint32_t pixel) const {
    if (max == 0) return 0;
    const uint64_t v = (pixel & mask) >> shift;
    if (max == 0xFF) return static_cast<uint32_t>(v);
    return static_cast<uint32_t>((v * 255 + max / 2) / max);
  }
};

class Decoder {
 public:
  Decoder(std::span<const uint8_t> dib, std::optional<size_t> pixelOffset, const char* error,
          PixelBudget& budget)
      : dib_(dib), size_(dib.size()), pixelOffset_(pixelOffset), error_(error), budget_(budget) {}
  // A DIB of `size` bytes of which `head` holds the first (its header and colour table at least):
  // for DecodeInParts.
  Decoder(std::span<const uint8_t> head, uint64_t size, PixelBudget& budget)
      : dib_(head), size_(size), error_(kDibInvalid), budget_(budget) {}

  // Every check Decode makes, without the pixels: a DIB that passes decodes without failing.
  TPictureShape Check() {
    ReadHeader();
    ReadMasksAndPalette();
    if (compression_ != kRle8 && compression_ != kRle4) CheckRows(dib_.subspan(dataStart_));
    return {width_, height_};
  }

  TPicture Decode() {
    ReadHeader();
    ReadMasksAndPalette();
    const std::span<const uint8_t> data = dib_.subspan(dataStart_);
    switch (compression_) {
      case kRle8:
        return DecodeRle(data, false);
      case kRle4:
        return DecodeRle(data, true);
      default:
        return DecodeRows(data);
    }
  }

  // Decode, with the rows read through `read` a few at a time into a buffer used again and again;
  // none for run-length data, which is decoded whole.
  std::optional<TPicture> DecodeInParts(const DibByteReader& read) {
    ReadHeader();
    ReadMasksAndPalette();
    if (compression_ == kRle8 || compression_ == kRle4) return std::nullopt;
    const uint64_t stride = Stride();
    if (stride * static_cast<uint64_t>(height_) > size_ - dataStart_) Fail();
    TPicture picture(width_, height_);
    const int rowsPerRead = static_cast<int>(std::clamp<uint64_t>(kBytesPerRead / stride, 1, 1024));
    std::vector<uint8_t> rows(static_cast<size_t>(static_cast<uint64_t>(rowsPerRead) * stride));
    for (int row = 0; row < height_;) {
      const int count = std::min(rowsPerRead, height_ - row);
      const std::span<uint8_t> into(rows.data(), static_cast<size_t>(count * stride));
      if (!read(dataStart_ + static_cast<uint64_t>(row) * stride, into)) Fail();
      for (int k = 0; k < count; ++k) {
        DecodeRow(rows.data() + static_cast<size_t>(k * stride),
                  picture.Row(topDown_ ? row + k : height_ - 1 - row - k));
      }
      row += count;
    }
    return picture;
  }

 private:
  [[noreturn]] void Fail() const { throw EInvalidGraphic(error_); }

  void ReadHeader() {
    if (size_ < 4 || dib_.size() < 4) Fail();
    const uint32_t headerSize = U32(dib_, 0);
    if (headerSize > size_) Fail();
    int64_t width = 0;
    int64_t height = 0;
    uint16_t planes = 0;
    if (headerSize == kCoreHeader) {
      core_ = true;
      width = U16(dib_, 4);
      height = U16(dib_, 6);
      planes = U16(dib_, 8);
      bitCount_ = U16(dib_, 10);
      if (bitCount_ != 1 && bitCount_ != 4 && bitCount_ != 8 && bitCount_ != 24) Fail();
    } else if (headerSize == kInfoHeader || headerSize == 52 || headerSize == 56 ||
               headerSize == 108 || headerSize == 124) {
      width = static_cast<int32_t>(U32(dib_, 4));
      height = static_cast<int32_t>(U32(dib_, 8));
      planes = U16(dib_, 12);
      bitCount_ = U16(dib_, 14);
      compression_ = U32(dib_, 16);
      colorsUsed_ = U32(dib_, 32);
    } else {
      Fail();
    }
    headerSize_ = headerSize;
    if (planes != 1) Fail();
    topDown_ = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide ||
        width * height > kMaxDibPixels) {
      Fail();
    }
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    const bool fits = [&] {
      switch (compression_) {
        case kRgb:
          return bitCount_ == 1 || bitCount_ == 4 || bitCount_ == 8 || bitCount_ == 16 ||
                 bitCount_ == 24 || bitCount_ == 32;
        case kRle8:
          return bitCount_ == 8 && !topDown_;
        case kRle4:
          return bitCount_ == 4 && !topDown_;
        case kBitFields:
          return bitCount_ == 16 || bitCount_ == 32;
        default:
          return false;
      }
    }();
    if (!fits) Fail();
    // Taken last, so that a header failing any other check leaves the budget as it was.
    if (!budget_.Take(width * height)) Fail();
  }

  void ReadMasksAndPalette() {
    size_t at = headerSize_;
    std::array<uint32_t, 3> masks{};
    if (compression_ == kBitFields) {
      if (headerSize_ >= 52) {
        masks = {U32(dib_, 40), U32(dib_, 44), U32(dib_, 48)};
      } else {
        if (size_ - at < 12) Fail();
        masks = {U32(dib_, at), U32(dib_, at + 4), U32(dib_, at + 8)};
        at += 12;
      }
    } else if (bitCount_ == 16) {
      masks = {0x7C00, 0x03E0, 0x001F};
    } else {
      masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
    for (size_t i = 0; i < 3; ++i) {
      Channel& c = channels_[i];
      c.mask = masks[i];
      if (c.mask == 0) continue;
      c.shift = std::countr_zero(c.mask);
      const uint32_t field = c.mask >> c.shift;
      if ((field & (field + 1)) != 0) Fail();  // the bits of a field must be contiguous
      c.max = field;
    }

    const size_t entrySize = core_ ? 3 : 4;
    uint64_t entries = colorsUsed_;
    if (bitCount_ <= 8 && (core_ || entries == 0)) entries = uint64_t{1} << bitCount_;
    if (core_ && bitCount_ > 8) entries = 0;
    const uint64_t tableBytes = entries * entrySize;
    uint64_t available = tableBytes;
    if (pixelOffset_) {
      // A bitmap file says where its pixels start; a table that claims more stops there.
      if (*pixelOffset_ < at || *pixelOffset_ > size_) Fail();
      available = std::min<uint64_t>(tableBytes, *pixelOffset_ - at);
      dataStart_ = *pixelOffset_;
    } else {
      if (tableBytes > size_ - at) Fail();
      dataStart_ = at + static_cast<size_t>(tableBytes);
    }
    if (bitCount_ <= 8) {
      const size_t count = std::min<uint64_t>({entries, 256, available / entrySize});
      for (size_t i = 0; i < count; ++i) {
        const size_t e = at + i * entrySize;
        palette_[i] = (static_cast<uint32_t>(dib_[e + 2]) << 16) |
                      (static_cast<uint32_t>(dib_[e + 1]) << 8) | dib_[e];
      }
    }
  }

  uint32_t Fields(uint32_t pixel) const {
    return (channels_[0].Of(pixel) << 16) | (channels_[1].Of(pixel) << 8) | channels_[2].Of(pixel);
  }

  uint64_t Stride() const { return ((static_cast<uint64_t>(width_) * bitCount_ + 31) / 32) * 4; }

  void CheckRows(std::span<const uint8_t> data) const {
    if (Stride() * static_cast<uint64_t>(height_) > data.size()) Fail();
  }

  TPicture DecodeRows(std::span<const uint8_t> data) const {
    const uint64_t stride = Stride();
    CheckRows(data);
    TPicture picture(width_, height_);
    for (int row = 0; row < height_; ++row) {
      DecodeRow(data.data() + static_cast<size_t>(row) * stride,
                picture.Row(topDown_ ? row : height_ - 1 - row));
    }
    return picture;
  }

  // One row of Stride() bytes at `src` into the `width_` pixels at `dst`.
  void DecodeRow(const uint8_t* src, uint32_t* dst) const {
    switch (bitCount_) {
      case 1:
        for (int x = 0; x < width_; ++x) dst[x] = palette_[(src[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (int x = 0; x < width_; ++x) {
          dst[x] = palette_[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
        }
        break;
      case 8:
        for (int x = 0; x < width_; ++x) dst[x] = palette_[src[x]];
        break;
      case 16:
        for (int x = 0; x < width_; ++x) dst[x] = Fields(src[2 * x] | (src[2 * x + 1] << 8));
        break;
      case 24:
        for (int x = 0; x < width_; ++x) {
          const uint8_t* p = src + 3 * x;
          dst[x] = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
        }
        break;
      default: {
        const bool plain32 = bitCount_ == 32 && channels_[0].mask == 0xFF0000 &&
                             channels_[1].mask == 0xFF00 && channels_[2].mask == 0xFF;
        for (int x = 0; x < width_; ++x) {
          const uint32_t v = static_cast<uint32_t>(src[4 * x]) |
                             (static_cast<uint32_t>(src[4 * x + 1]) << 8) |
                             (static_cast<uint32_t>(src[4 * x + 2]) << 16) |
                             (static_cast<uint32_t>(src[4 * x + 3]) << 24);
          dst[x] = plain32 ? (v & 0xFFFFFF) : Fields(v);
        }
        break;
      }
    }
  }

  // Run-length data, bottom row first. Pixels the stream skips (by a move, an early end of line
  // or an early end) show palette entry 0; runs past the right edge are cut off; a stream that
  // ends without its end-of-bitmap mark ends the picture there.
  TPicture DecodeRle(std::span<const uint8_t> data, bool fourBit) const {
    TPicture picture(width_, height_);
    std::fill(picture.Pixels.begin(), picture.Pixels.end(), palette_[0]);
    int64_t x = 0;
    int64_t y = 0;
    size_t at = 0;
    const auto put = [&](uint8_t index) {
      if (x < width_ && y < height_) {
        picture.Row(height_ - 1 - static_cast<int>(y))[x] = palette_[index];
      }
      ++x;
    };
    while (y < height_ && data.size() - at >= 2) {
      const uint8_t count = data[at];
      const uint8_t value = data[at + 1];
      at += 2;
      if (count > 0) {
        if (x >= width_) {
          x += count;  // wholly past the right edge
        } else if (fourBit) {
          for (int k = 0; k < count; ++k) put((k & 1) ? (value & 0x0F) : (value >> 4));
        } else if (x < width_) {
          const int64_t n = std::min<int64_t>(count, width_ - x);
          std::fill_n(picture.Row(height_ - 1 - static_cast<int>(y)) + x, n, palette_[value]);
          x += count;
        }
        continue;
      }
      if (value == 0) {  // end of line
        x = 0;
        ++y;
      } else if (value == 1) {  // end of bitmap
        break;
      } else if (value == 2) {  // move right and up
        if (data.size() - at < 2) break;
        x += data[at];
        y += data[at + 1];
        at += 2;
      } else {  // `value` pixels stored as they are, padded to a 16-bit boundary
        const size_t bytes = fourBit ? (value + 1u) / 2u : value;
        const size_t padded = bytes + (bytes & 1u);
        if (data.size() - at < bytes) break;
        for (int k = 0; k < value; ++k) {
          if (fourBit) {
            const uint8_t b = data[at + static_cast<size_t>(k / 2)];
            put((k & 1) ? (b & 0x0F) : (b >> 4));
          } else {
            put(data[at + static_cast<size_t>(k)]);
          }
        }
        at += std::min(padded, data.size() - at);
      }
    }
    return picture;
  }

  std::span<const uint8_t> dib_;
  uint64_t size_;  // of the whole DIB; dib_ may hold only its first bytes (DecodeInParts)
  std::optional<size_t> pixelOffset_;
  const char* error_;
  PixelBudget& budget_;
  size_t headerSize_ = 0;
  bool core_ = false;
  int width_ = 0;
  int height_ = 0;
  bool topDown_ = false;
  uint16_t bitCount_ = 0;
  uint32_t compression_ = kRgb;
  uint32_t colorsUsed_ = 0;
  std::array<Channel, 3> channels_{};
  std::array<uint32_t, 256> palette_{};
  size_t dataStart_ = 0;
};

}  // namespace

TPicture DecodeDib(std::span<const uint8_t> bytes, PixelBudget& budget) {
  return Decoder(bytes, std::nullopt, kDibInvalid, budget).Decode();
}

TPicture DecodeDib(std::span<const uint8_t> bytes) {
  PixelBudget budget(kMaxDibPixels);
  return DecodeDib(bytes, budget);
}

std::optional<TPicture> DecodeDibInParts(std::span<const uint8_t> head, uint64_t size,
                                         const DibByteReader& read, PixelBudget& budget) {
  if (head.size() > size || (head.size() < kDibHeadBytes && head.size() != size)) {
    throw EInvalidGraphic(kDibInvalid);
  }
  return Decoder(head, size, budget).DecodeInParts(read);
}

namespace {

Decoder BitmapFileDecoder(std::span<const uint8_t> bytes, PixelBudget& budget) {
  if (bytes.size() < kFileHeader || bytes[0] != 'B' || bytes[1] != 'M') {
    throw EInvalidGraphic(kBitmapInvalid);
  }
  const uint32_t pixelOffset = U32(bytes, 10);
  if (pixelOffset < kFileHeader) throw EInvalidGraphic(kBitmapInvalid);
  return Decoder(bytes.subspan(kFileHeader), pixelOffset - kFileHeader, kBitmapInvalid, budget);
}

}  // namespace

TPicture DecodeBitmapFile(std::span<const uint8_t> bytes, PixelBudget& budget) {
  return BitmapFileDecoder(bytes, budget).Decode();
}

TPictureShape CheckDib(std::span<const uint8_t> bytes, PixelBudget& budget) {
  return Decoder(bytes, std::nullopt, kDibInvalid, budget).Check();
}

TPictureShape CheckBitmapFile(std::span<const uint8_t> bytes, PixelBudget& budget) {
  return BitmapFileDecoder(bytes, budget).Check();
}

TPicture DecodeBitmapFile(std::span<const uint8_t> bytes) {
  PixelBudget budget(kMaxDibPixels);
  return DecodeBitmapFile(bytes, budget);
}
