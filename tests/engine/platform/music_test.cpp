#include "engine/platform/sdl/sdl_music.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/sdl/xmp_music_player.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_song.h"
#include "tools/xm/xm_wave.h"
#include "tools/xm/xm_writer.h"

namespace {

using platform::sdl::XmpMusicPlayer;
using platform::sdl::XmpSong;

struct DeviceFormat {
  int rate = 44100;
  int channels = 2;
  Uint16 format = AUDIO_S16SYS;
};

bool OpenMixer(const DeviceFormat& device) {
  return Mix_OpenAudio(device.rate, device.format, device.channels, 1024) == 0;
}

// The mixer on SDL's dummy driver: a real audio thread that calls the music hook, and no sound
// card needed.
class MusicTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_TRUE(OpenMixer(DeviceFormat{})) << Mix_GetError();
    WriteTestSong(dir.path() / "sound" / "1.xm", "menu");
    WriteTestSong(dir.path() / "sound" / "2.xm", "game");
  }
  void TearDown() override {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  std::string Song(int number) const {
    return (dir.path() / "sound" / (std::to_string(number) + ".xm")).string();
  }

  TempDir dir;
};

// Sound pulled through the player's hook in the format the mixer was opened with.
std::vector<int16_t> Pull(XmpMusicPlayer& player, int frames) {
  int rate = 0;
  Uint16 format = 0;
  int channels = 0;
  EXPECT_NE(Mix_QuerySpec(&rate, &format, &channels), 0);
  std::vector<int16_t> samples(static_cast<size_t>(frames) * static_cast<size_t>(channels), 1);
  player.Mix(reinterpret_cast<uint8_t*>(samples.data()),
             static_cast<int>(samples.size() * sizeof(int16_t)));
  return samples;
}

double Rms(const std::vector<int16_t>& samples) {
  double sum = 0.0;
  for (const int16_t value : samples) sum += static_cast<double>(value) * value;
  return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

bool Silent(const std::vector<int16_t>& samples) {
  return Rms(samples) == 0.0;
}

constexpr double kAudible = 300.0;

// Takes the audio thread's hook away, so that every frame of the song reaches the test and its
// pulls follow each other without gaps.
void Detach(XmpMusicPlayer& player) {
  ASSERT_TRUE(player.audible());
  Mix_HookMusic(nullptr, nullptr);
}

TEST_F(MusicTest, LoadPlayAndStop) {
  XmpMusicPlayer player(true);
  EXPECT_TRUE(player.audible());
  const uint32_t song = player.SongLoadFromFile(Song(1));
  ASSERT_NE(song, 0u);
  EXPECT_EQ(player.playing(), 0u);
  EXPECT_TRUE(Silent(Pull(player, 2048)));  // loaded is not yet playing

  player.SongPlay(song);
  EXPECT_EQ(player.playing(), song);
  EXPECT_GT(Rms(Pull(player, 4096)), kAudible);

  player.SongStop(song);
  EXPECT_EQ(player.playing(), 0u);
  EXPECT_TRUE(Silent(Pull(player, 4096)));
  player.SongStop(song);  // stopped already
  EXPECT_EQ(player.loadedSongs(), 1);

  player.SongPlay(song);  // a stopped song can be played again
  EXPECT_GT(Rms(Pull(player, 4096)), kAudible);
}

TEST_F(MusicTest, TheMixersAudioThreadPullsThroughTheHook) {
  XmpMusicPlayer player(true);
  ASSERT_TRUE(player.audible());
  player.SongPlay(player.SongLoadFromFile(Song(1)));
  // The dummy driver asks for a block every 23 ms; wait for a few of them, two seconds at most.
  for (int waited = 0; player.hookCalls() < 3 && waited < 2000; waited += 10) SDL_Delay(10);
  EXPECT_GE(player.hookCalls(), 3);
}

TEST_F(MusicTest, PlayStartsFromTheBeginningAndTheSongLoops) {
  XmpMusicPlayer player(true);
  Detach(player);
  const uint32_t song = player.SongLoadFromFile(Song(1));
  player.SongPlay(song);
  const std::vector<int16_t> opening = Pull(player, 8192);
  const std::vector<int16_t> after = Pull(player, 8192);
  ASSERT_NE(opening, after);

  player.SongPlay(song);
  EXPECT_EQ(Pull(player, 8192), opening);

  // The test song lasts about four seconds; ten seconds in, it is still sounding.
  for (int second = 0; second < 10; ++second) Pull(player, 44100);
  EXPECT_GT(Rms(Pull(player, 44100)), kAudible);
  EXPECT_EQ(player.playing(), song);
}

TEST_F(MusicTest, WhatIsNoModuleGivesZeroAndTheSongPlayingGoesOn) {
  XmpMusicPlayer player(true);
  const uint32_t song = player.SongLoadFromFile(Song(1));
  player.SongPlay(song);

  std::ofstream(dir.path() / "text.xm") << "Extended Module: but nothing after it\n";
  std::ofstream(dir.path() / "empty.xm").close();
  {
    std::ifstream whole(Song(2), std::ios::binary);
    std::vector<char> head(200);
    whole.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream(dir.path() / "cut.xm", std::ios::binary).write(head.data(), 200);
  }
  ASSERT_EQ(mkfifo((dir.path() / "pipe.xm").c_str(), 0600), 0);  // opening it would wait
  const std::filesystem::path notModules[] = {
      dir.path() / "missing.xm",
      dir.path() / "text.xm",
      dir.path() / "empty.xm",
      dir.path() / "cut.xm",
      dir.path() / "sound",
      dir.path() / "pipe.xm",
      "",
  };
  for (const auto& path : notModules) {
    SCOPED_TRACE(path.string());
    EXPECT_EQ(player.SongLoadFromFile(path.string()), 0u);
    EXPECT_EQ(player.playing(), song);
    EXPECT_EQ(player.loadedSongs(), 1);
  }
  EXPECT_GT(Rms(Pull(player, 4096)), kAudible);
}

TEST_F(MusicTest, StoppingZeroStaleOrUnknownHandlesIsHarmless) {
  XmpMusicPlayer player(true);
  const uint32_t first = player.SongLoadFromFile(Song(1));
  player.SongPlay(first);
  player.SongStop(0);
  EXPECT_EQ(player.playing(), first);

  const uint32_t second = player.SongLoadFromFile(Song(2));
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, first);
  player.SongPlay(second);
  for (const uint32_t handle : {0u, first, second + 1, 0xFFFFFFFFu}) {
    SCOPED_TRACE(handle);
    player.SongStop(handle);
    player.SongPlay(handle);  // stale: names no song, plays nothing
    EXPECT_EQ(player.playing(), second);
  }
  EXPECT_GT(Rms(Pull(player, 4096)), kAudible);
}

TEST_F(MusicTest, LoadingFreesTheSongBeforeAndTheNewOneReplacesIt) {
  XmpMusicPlayer player(true);
  const uint32_t menu = player.SongLoadFromFile(Song(1));
  player.SongPlay(menu);
  ASSERT_GT(Rms(Pull(player, 4096)), kAudible);

  const uint32_t game = player.SongLoadFromFile(Song(2));
  ASSERT_NE(game, 0u);
  EXPECT_EQ(player.playing(), 0u);  // the menu song went with its memory
  EXPECT_TRUE(Silent(Pull(player, 4096)));
  EXPECT_EQ(player.loadedSongs(), 1);

  player.SongPlay(game);
  EXPECT_EQ(player.playing(), game);
  EXPECT_GT(Rms(Pull(player, 4096)), kAudible);
}

TEST_F(MusicTest, HundredsOfFocusChangesKeepOneSongInMemory) {
  const int before = XmpSong::LiveCount();
  {
    XmpMusicPlayer player(true);
    std::set<uint32_t> handles;
    uint32_t song = 0;
    for (int change = 0; change < 300; ++change) {
      player.SongStop(song);
      song = player.SongLoadFromFile(Song(change % 2 + 1));
      ASSERT_NE(song, 0u);
      player.SongPlay(song);
      handles.insert(song);
    }
    EXPECT_EQ(handles.size(), 300u);  // never given twice
    EXPECT_EQ(player.loadedSongs(), 1);
    EXPECT_EQ(XmpSong::LiveCount(), before + 1);
    EXPECT_EQ(player.playing(), song);
    EXPECT_GT(Rms(Pull(player, 4096)), kAudible);
  }
  EXPECT_EQ(XmpSong::LiveCount(), before);
}

TEST_F(MusicTest, WithoutAnAudioDeviceSongsLoadAndPlaySilently) {
  XmpMusicPlayer player(false);
  EXPECT_FALSE(player.audible());
  const uint32_t song = player.SongLoadFromFile(Song(1));
  ASSERT_NE(song, 0u);
  EXPECT_EQ(player.SongLoadFromFile((dir.path() / "missing.xm").string()), 0u);
  player.SongPlay(song);
  EXPECT_EQ(player.playing(), song);
  EXPECT_TRUE(Silent(Pull(player, 4096)));
  player.SongStop(song);
  EXPECT_EQ(player.playing(), 0u);
}

// One looped sine instrument tuned to play A-4 at 440 Hz.
void WriteSineSong(const std::filesystem::path& path) {
  xm::Module song;
  song.name = "sine";
  song.channels = 1;
  xm::Instrument sine;
  sine.samples.push_back(
      xm::Wave::Cycle(xm::Waveform::Sine, 100, 44100).ToSample("sine").Loop(xm::LoopType::Forward));
  song.AddInstrument(sine);
  xm::Pattern pattern(1, 64);
  pattern.Play(0, 0, "A-4", 1);
  song.orders = {song.AddPattern(pattern)};
  xm::WriteModule(song, path);
}

std::vector<int16_t> ChannelOf(const std::vector<int16_t>& samples, int channels, int channel) {
  std::vector<int16_t> values;
  for (size_t i = static_cast<size_t>(channel); i < samples.size(); i += channels) {
    values.push_back(samples[i]);
  }
  return values;
}

// The pitch of a tone, from its sign changes.
double PitchOf(const std::vector<int16_t>& values, int rate) {
  int crossings = 0;
  for (size_t i = 1; i < values.size(); ++i) {
    if ((values[i - 1] < 0) != (values[i] < 0)) ++crossings;
  }
  return crossings / 2.0 / (static_cast<double>(values.size()) / rate);
}

TEST_F(MusicTest, PlaysInTheMixersFormatAtTheRightPitch) {
  const auto sine = dir.path() / "sine.xm";
  WriteSineSong(sine);
  const DeviceFormat devices[] = {{22050, 1}, {44100, 2}, {48000, 4}, {96000, 6}};
  for (const DeviceFormat& device : devices) {
    SCOPED_TRACE(std::to_string(device.rate) + " Hz, " + std::to_string(device.channels) +
                 " channels");
    Mix_CloseAudio();
    ASSERT_TRUE(OpenMixer(device)) << Mix_GetError();
    XmpMusicPlayer player(true);
    Detach(player);
    player.SongPlay(player.SongLoadFromFile(sine.string()));
    const std::vector<int16_t> second = Pull(player, device.rate);
    for (int channel = 0; channel < device.channels; ++channel) {
      SCOPED_TRACE("channel " + std::to_string(channel));
      const std::vector<int16_t> values = ChannelOf(second, device.channels, channel);
      if (channel < 2) {
        EXPECT_NEAR(PitchOf(values, device.rate), 440.0, 4.4);
      } else {
        EXPECT_TRUE(Silent(values));  // the stereo mix goes to the front pair only
      }
    }
  }
}

TEST_F(MusicTest, AMixerInAnotherSampleFormatStaysSilent) {
  Mix_CloseAudio();
  ASSERT_TRUE(OpenMixer({44100, 2, AUDIO_F32SYS})) << Mix_GetError();
  XmpMusicPlayer player(true);
  EXPECT_FALSE(player.audible());
  const uint32_t song = player.SongLoadFromFile(Song(1));
  EXPECT_NE(song, 0u);
  player.SongPlay(song);
  EXPECT_EQ(player.playing(), song);
}

TEST(MusicPlayerFactory, MakesAnXmpPlayer) {
  const auto player = platform::sdl::CreateXmpMusicPlayer(false);
  ASSERT_NE(dynamic_cast<XmpMusicPlayer*>(player.get()), nullptr);
  EXPECT_EQ(player->SongLoadFromFile("/nonexistent/1.xm"), 0u);
}

}  // namespace
