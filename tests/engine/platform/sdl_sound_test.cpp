#include "engine/platform/sdl/sdl_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <thread>

#include "engine/platform/sdl/sdl_sound_convert.h"

namespace {

using platform::PcmFormat;
using platform::SoundBuffer;
using platform::sdl::ConvertToMixerFormat;
using platform::sdl::MixerFormat;

std::vector<int16_t> AsS16(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return out;
}

std::vector<uint8_t> S16Bytes(std::initializer_list<int16_t> samples) {
  std::vector<uint8_t> out;
  for (int16_t s : samples) {
    out.push_back(static_cast<uint8_t>(s & 0xFF));
    out.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return out;
}

const MixerFormat StereoS16{44100, AUDIO_S16LSB, 2};

TEST(ConvertToMixerFormat, TurnsEveryPcmLayoutIntoTheMixersOwn) {
  struct Case {
    const char* what;
    PcmFormat format;
    std::vector<uint8_t> samples;
    std::vector<int16_t> expected;  // stereo frames, left first
    int tolerance;
  };
  const Case cases[] = {
      {"8-bit mono",
       {1, 44100, 8},
       {0x80, 0xFF, 0x00, 0xC0},
       {0, 0, 32512, 32512, -32768, -32768, 16384, 16384},
       256},
      {"8-bit stereo", {2, 44100, 8}, {0x00, 0xFF, 0x80, 0xC0}, {-32768, 32512, 0, 16384}, 256},
      {"16-bit mono",
       {1, 44100, 16},
       S16Bytes({1000, -2000, 32767}),
       {1000, 1000, -2000, -2000, 32767, 32767},
       1},
      {"16-bit stereo",
       {2, 44100, 16},
       S16Bytes({1000, -2000, -32768, 5}),
       {1000, -2000, -32768, 5},
       1},
      // A frame cut short at the end is left out.
      {"16-bit stereo with a partial frame",
       {2, 44100, 16},
       [] {
         std::vector<uint8_t> s = S16Bytes({7, 8});
         s.push_back(1);
         return s;
       }(),
       {7, 8},
       1},
  };
  for (const Case& c : cases) {
    const std::vector<int16_t> got = AsS16(ConvertToMixerFormat(c.format, c.samples, 0, StereoS16));
    ASSERT_EQ(got.size(), c.expected.size()) << c.what;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i], c.expected[i], c.tolerance) << c.what << " sample " << i;
    }
  }

  // Stereo onto a mono output takes the middle of the two sides.
  const std::vector<int16_t> mono = AsS16(ConvertToMixerFormat(
      {2, 44100, 16}, S16Bytes({1000, 3000, -400, 0}), 0, {44100, AUDIO_S16LSB, 1}));
  ASSERT_EQ(mono.size(), 2u);
  EXPECT_NEAR(mono[0], 2000, 1);
  EXPECT_NEAR(mono[1], -200, 1);
}

TEST(ConvertToMixerFormat, ResamplesToTheMixersRateOrThePlaybackRate) {
  const std::vector<uint8_t> tenthOfASecond(2205 * 2, 0);  // 16-bit mono at 22050
  const size_t frames22k =
      ConvertToMixerFormat({1, 22050, 16}, tenthOfASecond, 0, StereoS16).size() / 4;
  EXPECT_NEAR(static_cast<double>(frames22k), 4410.0, 64.0);
  // Played at 11025 frames a second it lasts twice as long.
  const size_t frames11k =
      ConvertToMixerFormat({1, 22050, 16}, tenthOfASecond, 11025, StereoS16).size() / 4;
  EXPECT_NEAR(static_cast<double>(frames11k), 8820.0, 64.0);

  // A 440 Hz tone recorded at 11025 frames a second keeps its pitch at the mixer's rate.
  std::vector<uint8_t> tone(11025);
  for (size_t i = 0; i < tone.size(); ++i) {
    tone[i] = static_cast<uint8_t>(
        128 +
        std::lround(100 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(i) / 11025.0)));
  }
  const std::vector<int16_t> out = AsS16(ConvertToMixerFormat({1, 11025, 8}, tone, 0, StereoS16));
  ASSERT_NEAR(static_cast<double>(out.size()), 2 * 44100.0, 128.0);
  int crossings = 0;
  for (size_t i = 2; i < out.size(); i += 2) {
    if ((out[i - 2] < 0) != (out[i] < 0)) ++crossings;
  }
  EXPECT_NEAR(crossings / 2.0, 440.0, 3.0);  // two crossings a period, one second of sound
}

TEST(ConvertToMixerFormat, RefusesWhatItCannotPlayOrWhatWouldGrowTooLarge) {
  const std::vector<uint8_t> samples(1000, 0x80);
  EXPECT_TRUE(ConvertToMixerFormat({1, 44100, 24}, samples, 0, StereoS16).empty());
  EXPECT_TRUE(ConvertToMixerFormat({3, 44100, 8}, samples, 0, StereoS16).empty());
  EXPECT_TRUE(ConvertToMixerFormat({1, 44100, 8}, {}, 0, StereoS16).empty());
  EXPECT_TRUE(
      ConvertToMixerFormat({2, 44100, 16}, std::vector<uint8_t>{1, 2, 3}, 0, StereoS16).empty());
  EXPECT_TRUE(ConvertToMixerFormat({1, 44100, 8}, samples, 50, StereoS16).empty());
  // Four megabytes at 100 frames a second would come to gigabytes at the mixer's rate.
  const std::vector<uint8_t> slow(size_t{4} << 20, 0x80);
  EXPECT_TRUE(ConvertToMixerFormat({1, 100, 8}, slow, 0, StereoS16).empty());
}

// The mixer opened on SDL's dummy audio driver (the tests run with SDL_AUDIODRIVER=dummy), which
// plays in real time into nowhere.
class MixerSound : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 512), 0) << Mix_GetError();
    device = platform::sdl::CreateMixerAudioOutput(true);
    ASSERT_TRUE(device->Open());
  }
  void TearDown() override {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  std::unique_ptr<SoundBuffer> MakeSound(int milliseconds) {
    const std::vector<uint8_t> samples(static_cast<size_t>(22050 * milliseconds / 1000), 0x90);
    return device->CreateBuffer({1, 22050, 8}, samples, 0);
  }

  // Waits (at most two seconds) for the buffer to stop of itself.
  static bool FinishesWithinTwoSeconds(SoundBuffer& buffer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (buffer.Playing()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  std::unique_ptr<platform::AudioOutput> device;
};

TEST_F(MixerSound, CopiesPlayAtOnceOnTheirOwnChannelsAndReportTheirRealStatus) {
  std::unique_ptr<SoundBuffer> main = MakeSound(80);
  ASSERT_NE(main, nullptr);
  std::unique_ptr<SoundBuffer> copy = main->Duplicate();
  ASSERT_NE(copy, nullptr);
  EXPECT_FALSE(main->Playing());

  main->Play(false);
  copy->Play(false);
  EXPECT_TRUE(main->Playing());
  EXPECT_TRUE(copy->Playing());
  copy->Stop();
  EXPECT_FALSE(copy->Playing());
  EXPECT_TRUE(main->Playing());
  EXPECT_TRUE(FinishesWithinTwoSeconds(*main));

  // Played again, it starts over; looping, it goes on past its end until stopped.
  copy->Play(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_TRUE(copy->Playing());
  copy->Stop();
  EXPECT_FALSE(copy->Playing());
}

TEST_F(MixerSound, ChannelsGrowWithTheCopiesUpToALimitAndAreGivenBack) {
  std::unique_ptr<SoundBuffer> main = MakeSound(20);
  ASSERT_NE(main, nullptr);
  std::vector<std::unique_ptr<SoundBuffer>> copies;
  while (auto copy = main->Duplicate()) {
    copies.push_back(std::move(copy));
    ASSERT_LE(copies.size(), 1000u);
  }
  EXPECT_EQ(copies.size(), 255u);  // 256 channels, one of them the main buffer's
  EXPECT_GE(Mix_AllocateChannels(-1), 256);
  // Nothing else playing on "any free channel" can take one of them.
  std::vector<uint8_t> other(400, 0);
  Mix_Chunk* otherChunk = Mix_QuickLoad_RAW(other.data(), static_cast<Uint32>(other.size()));
  EXPECT_EQ(Mix_PlayChannel(-1, otherChunk, 0), -1);
  Mix_FreeChunk(otherChunk);
  copies.back()->Play(false);
  EXPECT_TRUE(copies.back()->Playing());

  copies.pop_back();  // its channel is free again
  EXPECT_NE(main->Duplicate(), nullptr);
}

// The loudest sample on each side of what the mixer put out, measured after the mix.
struct OutputPeaks {
  std::atomic<int> left{0};
  std::atomic<int> right{0};
  std::atomic<int> mixes{0};

  static void PostMix(void* self, Uint8* stream, int len) {
    auto& peaks = *static_cast<OutputPeaks*>(self);
    int left = 0;
    int right = 0;
    for (int i = 0; i + 3 < len; i += 4) {
      left = std::max(left, std::abs(static_cast<int16_t>(stream[i] | (stream[i + 1] << 8))));
      right = std::max(right, std::abs(static_cast<int16_t>(stream[i + 2] | (stream[i + 3] << 8))));
    }
    peaks.left = std::max(peaks.left.load(), left);
    peaks.right = std::max(peaks.right.load(), right);
    ++peaks.mixes;
  }
};

TEST_F(MixerSound, PanAndVolumeApplyFromTheNextPlay) {
  // Half of full scale, steady, for a second.
  std::unique_ptr<SoundBuffer> main =
      device->CreateBuffer({1, 22050, 8}, std::vector<uint8_t>(22050, 0xC0), 0);
  ASSERT_NE(main, nullptr);
  OutputPeaks peaks;
  Mix_SetPostMix(&OutputPeaks::PostMix, &peaks);
  const auto measure = [&](int32_t pan, int32_t volume) {
    main->SetPan(pan);
    main->SetVolume(volume);
    main->Play(false);
    // Measure over mixes that began after the play.
    const int start = peaks.mixes.load();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (peaks.mixes.load() < start + 2 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    peaks.left = 0;
    peaks.right = 0;
    const int from = peaks.mixes.load();
    while (peaks.mixes.load() < from + 3 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    main->Stop();
    return std::pair<int, int>(peaks.left.load(), peaks.right.load());
  };

  struct Case {
    int32_t pan;
    int32_t volume;
    int left;
    int right;
  };
  const Case cases[] = {
      {0, 0, 16384, 16384},     // centre, full volume
      {0, -600, 8192, 8192},    // 6 dB down: half
      {10000, 0, 0, 16384},     // right only
      {-2000, 0, 16384, 1638},  // 20 dB off the right
      {0, -10000, 0, 0},        // silent
  };
  for (const Case& c : cases) {
    const auto [left, right] = measure(c.pan, c.volume);
    EXPECT_NEAR(left, c.left, 300) << "pan " << c.pan << " volume " << c.volume;
    EXPECT_NEAR(right, c.right, 300) << "pan " << c.pan << " volume " << c.volume;
  }
  Mix_SetPostMix(nullptr, nullptr);
}

TEST_F(MixerSound, BuffersOutlivingTheMixerStaySilentAndHarmless) {
  std::unique_ptr<SoundBuffer> main = MakeSound(50);
  ASSERT_NE(main, nullptr);
  std::unique_ptr<SoundBuffer> copy = main->Duplicate();
  main->Play(true);
  Mix_CloseAudio();
  EXPECT_FALSE(main->Playing());
  main->Play(false);
  main->Stop();
  EXPECT_EQ(main->Duplicate(), nullptr);
  EXPECT_EQ(device->CreateBuffer({1, 22050, 8}, std::vector<uint8_t>(100), 0), nullptr);

  // Opened again, the mixer has its default channels; the buffers get theirs back.
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 512), 0);
  copy->Play(false);
  EXPECT_TRUE(copy->Playing());
  copy.reset();
  main.reset();
}

TEST(MixerSoundWithoutAudio, NeverOpensAndMakesNoBuffers) {
  std::unique_ptr<platform::AudioOutput> device = platform::sdl::CreateMixerAudioOutput(false);
  EXPECT_FALSE(device->Open());
  EXPECT_EQ(device->CreateBuffer({1, 22050, 8}, std::vector<uint8_t>(100, 0x80), 0), nullptr);
}

}  // namespace
