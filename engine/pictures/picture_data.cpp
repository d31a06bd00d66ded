#include "engine/pictures/picture_data.h"

#include <algorithm>
#include <string>

#include "engine/archive/archive_value.h"
#include "engine/base/exception.h"
#include "engine/pictures/dib_reader.h"
#include "engine/pictures/dib_writer.h"

namespace {

const char* const kBitmapInvalid = "Bitmap image is not valid";

std::vector<uint8_t> Named(const std::string& format, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(1 + format.size() + data.size());
  out[0] = static_cast<uint8_t>(format.size());
  std::copy(format.begin(), format.end(), out.begin() + 1);
  std::copy(data.begin(), data.end(), out.begin() + 1 + static_cast<ptrdiff_t>(format.size()));
  return out;
}

}  // namespace

namespace {

// Where the picture format's own data lies in a "Picture.Data" block.
struct Located {
  enum class Kind : uint8_t { Unknown, Empty, Dib, Bitmap };
  Kind kind = Kind::Unknown;
  std::span<const uint8_t> bytes;
};

Located Locate(std::span<const uint8_t> data) {
  if (data.empty()) return {};
  const size_t nameLength = data[0];
  if (nameLength > data.size() - 1) throw EReadError("Stream read error");
  const std::string format(data.begin() + 1, data.begin() + 1 + static_cast<ptrdiff_t>(nameLength));
  const std::span<const uint8_t> rest = data.subspan(1 + nameLength);
  if (archive::SameName(format, "TDIB")) {
    if (rest.empty()) return {Located::Kind::Empty, {}};
    return {Located::Kind::Dib, rest};
  }
  if (archive::SameName(format, "TBitmap")) {
    if (rest.empty()) return {Located::Kind::Empty, {}};
    if (rest.size() < 4) throw EInvalidGraphic(kBitmapInvalid);
    const uint32_t length = static_cast<uint32_t>(rest[0]) | (static_cast<uint32_t>(rest[1]) << 8) |
                            (static_cast<uint32_t>(rest[2]) << 16) |
                            (static_cast<uint32_t>(rest[3]) << 24);
    if (length == 0) return {Located::Kind::Empty, {}};
    if (length > rest.size() - 4) throw EInvalidGraphic(kBitmapInvalid);
    return {Located::Kind::Bitmap, rest.subspan(4, length)};
  }
  return {};
}

}  // namespace

std::optional<TPicture> ReadPictureData(std::span<const uint8_t> data, PixelBudget& budget) {
  const Located located = Locate(data);
  switch (located.kind) {
    case Located::Kind::Empty:
      return TPicture();
    case Located::Kind::Dib:
      return DecodeDib(located.bytes, budget);
    case Located::Kind::Bitmap:
      return DecodeBitmapFile(located.bytes, budget);
    default:
      return std::nullopt;
  }
}

std::optional<TPictureShape> CheckPictureData(std::span<const uint8_t> data, PixelBudget& budget) {
  const Located located = Locate(data);
  switch (located.kind) {
    case Located::Kind::Empty:
      return TPictureShape();
    case Located::Kind::Dib:
      return CheckDib(located.bytes, budget);
    case Located::Kind::Bitmap:
      return CheckBitmapFile(located.bytes, budget);
    default:
      return std::nullopt;
  }
}

std::optional<TPicture> ReadPictureData(std::span<const uint8_t> data) {
  PixelBudget budget(kMaxDibPixels);
  return ReadPictureData(data, budget);
}

std::optional<TPicture> ReadPictureDataFrom(TPictureSource& source, uint64_t offset, uint64_t size,
                                            PixelBudget& budget) {
  // Read whole: pictures that fit in the head anyway, and every other format.
  const auto whole = [&] { return ReadPictureData(source.Read(offset, size), budget); };
  constexpr uint64_t kHeadBytes = 1 + 4 + kDibHeadBytes;  // the format's name "TDIB", then the DIB
  if (size <= kHeadBytes) return whole();
  std::vector<uint8_t> head = source.Read(offset, kHeadBytes);
  if (head.size() != kHeadBytes || head[0] != 4 ||
      !archive::SameName(std::string(head.begin() + 1, head.begin() + 5), "TDIB")) {
    return whole();
  }
  // Tried on a copy of the budget: a run-length DIB, decoded whole after all, takes its share once.
  PixelBudget inParts = budget;
  std::optional<TPicture> picture = DecodeDibInParts(
      std::span(head).subspan(5), size - 5,
      [&](uint64_t at, std::span<uint8_t> into) {
        return source.ReadInto(offset + 5 + at, into) == into.size();
      },
      inParts);
  if (!picture) return whole();
  budget = inParts;
  return picture;
}

std::vector<uint8_t> WriteDibPictureData(const TPicture& picture) {
  return Named("TDIB", picture.Empty() ? std::vector<uint8_t>() : EncodeDib(picture));
}

std::vector<uint8_t> WriteBitmapPictureData(const TPicture& picture) {
  std::vector<uint8_t> file;
  if (!picture.Empty()) file = EncodeBitmapFile(picture);
  std::vector<uint8_t> data;
  for (int shift = 0; shift < 32; shift += 8) {
    data.push_back(static_cast<uint8_t>(file.size() >> shift));
  }
  data.insert(data.end(), file.begin(), file.end());
  return Named("TBitmap", data);
}
