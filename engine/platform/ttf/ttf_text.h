// Text drawn with SDL2_ttf, shared by the game's and the tests' platforms (it needs no display).
#pragma once

#include <filesystem>
#include <memory>

#include "engine/platform/platform.h"

namespace platform {

// The game's face ("Carolingia" in its texts) is the calligraphic Oldania ADF, kept in fontDir;
// any other name falls back to it. Its zero is slashed and reads as the letter "Ø", so figures
// are drawn in a companion face of the same pen, scaled to stand as tall as Oldania's. SDL2_ttf
// and the faces are opened at Prepare or the first text (EPlatformError when one cannot be).
std::unique_ptr<TextRasterizer> CreateTtfTextRasterizer(const std::filesystem::path& fontDir);

// The file names of the game's face and of its figures' face inside fontDir.
inline constexpr const char* GameFontFile = "OldaniaADFStd-Regular.otf";
inline constexpr const char* FigureFontFile = "Jessen-Mittel14.otf";

}  // namespace platform
