// The game's icon: the dragon, wings up, on a dusk-sky tile. One painting gives the desktop
// theme's PNGs (the menu, the launcher, the software centre) and the window's own icon.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "tools/assetgen/image.h"

namespace assets {

// The sizes of the hicolor theme the desktop asks for, in pixels.
constexpr std::array<int, 6> IconSizes = {16, 32, 48, 64, 128, 256};
// The size of the window's icon.
constexpr int WindowIconSize = 64;

// The icon painted at `size` x `size` pixels.
Image PaintIcon(int size);

// A 32-bit bitmap file with its alpha channel (a version 4 header with bit masks), as SDL reads
// it for a window icon.
std::vector<uint8_t> EncodeIconBitmap(const Image& image);

// Writes hicolorDir/NxN/apps/<iconName>.png for each theme size.
void WriteIconTheme(const std::filesystem::path& hicolorDir, std::string_view iconName);
// Writes the window's icon as a bitmap file.
void WriteWindowIcon(const std::filesystem::path& file);

}  // namespace assets
