// Text drawn with SDL2_ttf, shared by the game's and the tests' platforms (it needs no display).
#pragma once

#include <filesystem>
#include <memory>

#include "engine/platform/platform.h"

namespace platform {

// The game's face ("Carolingia" in its texts) is the calligraphic Oldania ADF, kept in fontDir;
// any other name falls back to it. Throws EPlatformError when the font cannot be opened.
std::unique_ptr<TextRasterizer> CreateTtfTextRasterizer(const std::filesystem::path& fontDir);

// The file name of the game's face inside fontDir.
inline constexpr const char* GameFontFile = "OldaniaADFStd-Regular.otf";

}  // namespace platform
