#include "engine/platform/sdl/sdl_mixer_library.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using platform::sdl::LoadMixerLibrary;
using platform::sdl::MixerLibrary;
using platform::sdl::MixerLibraryFile;

// The tests link the mixer themselves, so the library loaded by name is the one they call: every
// function found must be the mixer's own.
TEST(MixerLibrary, FindsEveryFunctionOfTheInstalledMixer) {
  std::string error;
  const std::optional<MixerLibrary> mixer = LoadMixerLibrary(MixerLibraryFile, error);
  ASSERT_TRUE(mixer.has_value()) << error;
  EXPECT_EQ(mixer->OpenAudio, &Mix_OpenAudio);
  EXPECT_EQ(mixer->CloseAudio, &Mix_CloseAudio);
  EXPECT_EQ(mixer->QuerySpec, &Mix_QuerySpec);
  EXPECT_EQ(mixer->AllocateChannels, &Mix_AllocateChannels);
  EXPECT_EQ(mixer->ReserveChannels, &Mix_ReserveChannels);
  EXPECT_EQ(mixer->HaltChannel, &Mix_HaltChannel);
  EXPECT_EQ(mixer->Volume, &Mix_Volume);
  EXPECT_EQ(mixer->SetPanning, &Mix_SetPanning);
  EXPECT_EQ(mixer->PlayChannel, &Mix_PlayChannel);
  EXPECT_EQ(mixer->Playing, &Mix_Playing);
  EXPECT_EQ(mixer->HookMusic, &Mix_HookMusic);
  EXPECT_EQ(mixer->GetMusicHookData, &Mix_GetMusicHookData);
  EXPECT_EQ(platform::sdl::Mixer()->PlayChannel, &Mix_PlayChannel);
}

TEST(MixerLibrary, SaysWhyItCannotBeUsed) {
  struct Case {
    const char* file;
    const char* reason;
  };
  const Case cases[] = {
      {"libskarvel-no-such-mixer.so.0", "the sound mixer library cannot be loaded: "},
      // SDL itself is there but is no mixer.
      {"libSDL2-2.0.so.0", "no Mix_OpenAudio in the sound mixer library"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(LoadMixerLibrary(c.file, error).has_value()) << c.file;
    EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.file << ": " << error;
  }
}

}  // namespace
