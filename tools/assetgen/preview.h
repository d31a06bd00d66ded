// Pictures for people to look at: the contact sheet of every picture with all its patterns,
// labelled, and a single picture shown as the game would key it.
#pragma once

#include <filesystem>
#include <vector>

#include "tools/assetgen/image.h"
#include "tools/assetgen/keyed_picture.h"

namespace assets {

// A keyed picture as a painted picture again: the transparent colour becomes see-through.
Image Unkey(const KeyedPicture& picture);

// Every picture of every archive in manifest order, each with its patterns apart and its
// position, name and pattern size written under it, over a checkerboard that shows what is
// transparent. `titles` name the archives.
Image ContactSheet(const std::vector<std::vector<KeyedPicture>>& archives,
                   const std::vector<std::string>& titles);

// Writes a PNG; throws std::runtime_error when cairo cannot.
void WritePng(const Image& image, const std::filesystem::path& path);

}  // namespace assets
