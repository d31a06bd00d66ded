#include "engine/platform/ttf/ttf_library.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/base/exception.h"
#include "engine/platform/ttf/ttf_text.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::LoadTtfLibrary;
using platform::TtfLibrary;
using platform::TtfLibraryFile;

// The tests link SDL2_ttf themselves, so the library loaded by name is the one they call: every
// function found must be SDL2_ttf's own.
TEST(TtfLibrary, FindsEveryFunctionOfTheInstalledLibrary) {
  std::string error;
  const std::optional<TtfLibrary> ttf = LoadTtfLibrary(TtfLibraryFile, error);
  ASSERT_TRUE(ttf.has_value()) << error;
  EXPECT_EQ(ttf->Init, &TTF_Init);
  EXPECT_EQ(ttf->Quit, &TTF_Quit);
  EXPECT_EQ(ttf->OpenFontDPI, &TTF_OpenFontDPI);
  EXPECT_EQ(ttf->CloseFont, &TTF_CloseFont);
  EXPECT_EQ(ttf->SetFontStyle, &TTF_SetFontStyle);
  EXPECT_EQ(ttf->FontHeight, &TTF_FontHeight);
  EXPECT_EQ(ttf->FontAscent, &TTF_FontAscent);
  EXPECT_EQ(ttf->GlyphMetrics32, &TTF_GlyphMetrics32);
  EXPECT_EQ(ttf->SizeUTF8, &TTF_SizeUTF8);
  EXPECT_EQ(ttf->RenderUTF8_Blended, &TTF_RenderUTF8_Blended);
  EXPECT_EQ(platform::Ttf().RenderUTF8_Blended, &TTF_RenderUTF8_Blended);
}

TEST(TtfLibrary, SaysWhyItCannotBeUsed) {
  struct Case {
    const char* file;
    const char* reason;
  };
  const Case cases[] = {
      {"libskarvel-no-such-ttf.so.0", "the text library cannot be loaded: "},
      // SDL itself is there but draws no text.
      {"libSDL2-2.0.so.0", "no TTF_Init in the text library"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(LoadTtfLibrary(c.file, error).has_value()) << c.file;
    EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.file << ": " << error;
  }
}

// The faces are opened when text is readied, not when the rasterizer is made: a missing face is
// told then, each time it is asked for, and never half-started.
TEST(TtfLibrary, AMissingFaceIsToldWhenTextIsReadied) {
  TempDir fonts;
  const std::unique_ptr<platform::TextRasterizer> text =
      platform::CreateTtfTextRasterizer(fonts.path());
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      text->Prepare();
      FAIL() << "readied without its faces";
    } catch (const EPlatformError& error) {
      EXPECT_NE(std::string(error.what()).find(platform::GameFontFile), std::string::npos)
          << error.what();
    }
  }
  EXPECT_THROW(text->TextHeight({"Carolingia", 16, 0}), EPlatformError);
  // The faces there, text is drawn.
  const std::unique_ptr<platform::TextRasterizer> ready =
      platform::CreateTtfTextRasterizer(SKARVEL_FONT_DIR);
  ready->Prepare();
  EXPECT_GT(ready->TextHeight({"Carolingia", 16, 0}), 10);
}

}  // namespace
