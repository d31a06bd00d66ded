// SDL2_ttf, loaded when text is first needed instead of with the program: the library brings
// its font engine and text shaper and what they need (ten libraries), whose loading would
// otherwise come before the first frame, which draws no text. Only what the game's text uses is
// looked up.
#pragma once

#include <SDL_ttf.h>

#include <optional>
#include <string>

namespace platform {

// The shared object the game's package depends on.
inline constexpr const char* TtfLibraryFile = "libSDL2_ttf-2.0.so.0";

struct TtfLibrary {
  decltype(&TTF_Init) Init = nullptr;
  decltype(&TTF_Quit) Quit = nullptr;
  decltype(&TTF_OpenFontDPI) OpenFontDPI = nullptr;
  decltype(&TTF_CloseFont) CloseFont = nullptr;
  decltype(&TTF_SetFontStyle) SetFontStyle = nullptr;
  decltype(&TTF_FontHeight) FontHeight = nullptr;
  decltype(&TTF_FontAscent) FontAscent = nullptr;
  decltype(&TTF_GlyphMetrics32) GlyphMetrics32 = nullptr;
  decltype(&TTF_SizeUTF8) SizeUTF8 = nullptr;
  decltype(&TTF_RenderUTF8_Blended) RenderUTF8_Blended = nullptr;
};

// Its errors are SDL's (SDL_GetError).

// Loads `file` and looks up every function; nothing, and the reason in `error`, when the library
// or one of its functions is missing. The library stays loaded for the process's lifetime.
std::optional<TtfLibrary> LoadTtfLibrary(const char* file, std::string& error);

// TtfLibraryFile, loaded on the first call; EPlatformError "Text cannot be drawn: <reason>"
// without it (on every call).
const TtfLibrary& Ttf();

}  // namespace platform
