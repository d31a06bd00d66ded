#include "engine/platform/ttf/ttf_library.h"

#include <SDL_error.h>
#include <SDL_loadso.h>

#include "engine/base/exception.h"

namespace platform {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function, std::string& error) {
  function = reinterpret_cast<Function>(SDL_LoadFunction(library, name));
  if (function == nullptr) error = std::string("no ") + name + " in the text library";
  return function != nullptr;
}

}  // namespace

std::optional<TtfLibrary> LoadTtfLibrary(const char* file, std::string& error) {
  void* library = SDL_LoadObject(file);
  if (library == nullptr) {
    error = std::string("the text library cannot be loaded: ") + SDL_GetError();
    return std::nullopt;
  }
  TtfLibrary ttf;
  const bool complete = Find(library, "TTF_Init", ttf.Init, error) &&
                        Find(library, "TTF_Quit", ttf.Quit, error) &&
                        Find(library, "TTF_OpenFontDPI", ttf.OpenFontDPI, error) &&
                        Find(library, "TTF_CloseFont", ttf.CloseFont, error) &&
                        Find(library, "TTF_SetFontStyle", ttf.SetFontStyle, error) &&
                        Find(library, "TTF_FontHeight", ttf.FontHeight, error) &&
                        Find(library, "TTF_FontAscent", ttf.FontAscent, error) &&
                        Find(library, "TTF_GlyphMetrics32", ttf.GlyphMetrics32, error) &&
                        Find(library, "TTF_SizeUTF8", ttf.SizeUTF8, error) &&
                        Find(library, "TTF_RenderUTF8_Blended", ttf.RenderUTF8_Blended, error);
  if (!complete) {
    SDL_UnloadObject(library);
    return std::nullopt;
  }
  return ttf;
}

const TtfLibrary& Ttf() {
  static std::string error;
  static const std::optional<TtfLibrary> ttf = LoadTtfLibrary(TtfLibraryFile, error);
  if (!ttf) throw EPlatformError("Text cannot be drawn: " + error);
  return *ttf;
}

}  // namespace platform
