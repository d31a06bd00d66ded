// The image archive: the container with a root object whose "List.ColorTable" holds 256 palette
// entries and whose "List" collection holds the picture items with their pattern sizes, gaps,
// transparency and "Picture.Data". Read into a picture collection; written by the asset tool.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/base/colors.h"
#include "engine/pictures/picture.h"

class TPictureCollection;
class TPictureSource;

// The pixels one archive's pictures may decode to together: 8 million (32 MB), several times what
// this game's largest archive holds.
constexpr int64_t kMaxArchivePixels = int64_t{1} << 23;

// Adds the archive's items to the collection in stream order, each as soon as its entry begins,
// so a load that fails keeps the items read so far. Errors: EInvalidImage/EReadError "Invalid
// stream format", EReadError for malformed values ("Stream read error", "Invalid property
// value") and unknown properties ("Property %s does not exist"), EInvalidGraphic for pictures,
// also once the pictures together would pass kMaxArchivePixels.
void ReadImageArchive(std::span<const uint8_t> bytes, TPictureCollection& items);
// The same items and the same errors, but each picture is only checked, not decoded: it is decoded
// from `source` (which holds `bytes` at the same offsets) when first drawn, so pictures never shown
// cost no memory and the load costs little time.
void ReadImageArchive(std::span<const uint8_t> bytes, std::shared_ptr<TPictureSource> source,
                      TPictureCollection& items);
// The archive file read so, kept open as its pictures' source; EFOpenError when it cannot be
// opened.
void ReadImageArchiveFile(const std::filesystem::path& path, TPictureCollection& items);
// Reads the archive as ReadImageArchive does and throws what it would throw, but decodes and keeps
// no picture, so that a check before a switch of archives costs little.
void CheckImageArchive(std::span<const uint8_t> bytes);

// One picture as the asset tool describes it.
struct ImageArchiveItem {
  enum class Format : uint8_t { Dib, Bitmap };
  std::string Name;
  int32_t PatternWidth = 0;
  int32_t PatternHeight = 0;
  int32_t SkipWidth = 0;
  int32_t SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  TColor TransparentColor = 0;
  TPicture Picture;
  Format PictureFormat = Format::Dib;
};

std::vector<uint8_t> WriteImageArchive(const std::vector<ImageArchiveItem>& items,
                                       const std::array<uint32_t, 256>& colorTable = {});
