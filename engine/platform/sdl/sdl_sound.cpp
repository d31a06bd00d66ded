#include "engine/platform/sdl/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "engine/platform/sdl/sdl_mixer_library.h"
#include "engine/platform/sdl/sdl_sound_convert.h"

namespace platform::sdl {

namespace {

// Every mixer call after Mix_CloseAudio would touch freed channels, so each one asks first. An
// open mixer also means its library is loaded.
bool MixerOpen() {
  const MixerLibrary* mixer = Mixer();
  return mixer != nullptr && mixer->QuerySpec(nullptr, nullptr, nullptr) != 0;
}

// The channels the sound effects own: all of them, reserved so that nothing playing on "any
// free channel" takes one. A buffer keeps its channel for life.
class MixerChannels {
 public:
  // The most copies that sound together; beyond it a new copy is refused.
  static constexpr int MaxChannels = 256;

  // A channel nobody holds; -1 when all are taken or the mixer is closed.
  int Acquire() {
    if (!Usable(0)) return -1;
    if (free_.empty()) {
      if (count_ >= MaxChannels) return -1;
      const int grown = std::min(MaxChannels, std::max(16, count_ * 2));
      if (Mixer()->AllocateChannels(grown) != grown) return -1;
      Mixer()->ReserveChannels(grown);
      for (int channel = grown - 1; channel >= count_; --channel) free_.push_back(channel);
      count_ = grown;
    }
    // Lowest number first: free_ is kept in falling order.
    const int channel = free_.back();
    free_.pop_back();
    return channel;
  }

  void Release(int channel) {
    free_.push_back(channel);
    std::sort(free_.begin(), free_.end(), std::greater<>());
  }

  // True when the channel exists in the open mixer. A mixer opened again starts with its default
  // channels, so the ones handed out are made again.
  bool Usable(int channel) {
    if (!MixerOpen()) return false;
    if (Mixer()->AllocateChannels(-1) < count_) {
      if (Mixer()->AllocateChannels(count_) != count_) return false;
      Mixer()->ReserveChannels(count_);
    }
    return channel < Mixer()->AllocateChannels(-1);
  }

 private:
  std::vector<int> free_;
  int count_ = 0;
};

// A sound's converted samples as the mixer plays them; the chunk points into `pcm` and is never
// given to Mix_FreeChunk.
struct MixerSamples {
  std::vector<uint8_t> pcm;
  Mix_Chunk chunk{};
};

// Hundredths of a decibel of attenuation to a gain of 0..1; -10000 and below is silence.
double Gain(int32_t hundredthsOfDb) {
  if (hundredthsOfDb <= -10000) return 0.0;
  return std::pow(10.0, std::min(hundredthsOfDb, 0) / 2000.0);
}

class MixerBuffer : public SoundBuffer {
 public:
  MixerBuffer(std::shared_ptr<MixerSamples> samples, std::shared_ptr<MixerChannels> channels,
              int channel)
      : samples_(std::move(samples)), channels_(std::move(channels)), channel_(channel) {}

  ~MixerBuffer() override {
    // Halting takes the mixer's lock, so the samples are no longer read once it returns.
    if (channels_->Usable(channel_)) Mixer()->HaltChannel(channel_);
    channels_->Release(channel_);
  }
  MixerBuffer(const MixerBuffer&) = delete;
  MixerBuffer& operator=(const MixerBuffer&) = delete;

  void Play(bool looped) override {
    if (!channels_->Usable(channel_)) return;
    Mixer()->HaltChannel(channel_);
    Mixer()->Volume(channel_, static_cast<int>(std::lround(MIX_MAX_VOLUME * Gain(volume_))));
    const double left = pan_ > 0 ? Gain(-pan_) : 1.0;
    const double right = pan_ < 0 ? Gain(pan_) : 1.0;
    // Full on both sides removes the panning effect from the channel.
    Mixer()->SetPanning(channel_, static_cast<Uint8>(std::lround(255 * left)),
                        static_cast<Uint8>(std::lround(255 * right)));
    Mixer()->PlayChannel(channel_, &samples_->chunk, looped ? -1 : 0);
  }

  void Stop() override {
    if (channels_->Usable(channel_)) Mixer()->HaltChannel(channel_);
  }

  bool Playing() override { return channels_->Usable(channel_) && Mixer()->Playing(channel_) != 0; }

  void SetPan(int32_t pan) override { pan_ = std::clamp(pan, -10000, 10000); }
  void SetVolume(int32_t volume) override { volume_ = std::clamp(volume, -10000, 0); }

  std::unique_ptr<SoundBuffer> Duplicate() override {
    const int channel = channels_->Acquire();
    if (channel < 0) return nullptr;
    return std::make_unique<MixerBuffer>(samples_, channels_, channel);
  }

 private:
  std::shared_ptr<MixerSamples> samples_;
  std::shared_ptr<MixerChannels> channels_;
  int channel_;
  int32_t pan_ = 0;
  int32_t volume_ = 0;
};

class MixerAudioOutput : public AudioOutput {
 public:
  explicit MixerAudioOutput(std::function<bool()> openDevice)
      : openDevice_(std::move(openDevice)) {}

  bool Open() override {
    open_ = openDevice_() && MixerOpen();
    return open_;
  }
  void Close() override { open_ = false; }

  std::unique_ptr<SoundBuffer> CreateBuffer(const PcmFormat& format,
                                            std::span<const uint8_t> samples,
                                            int32_t frequency) override {
    if (!open_) return nullptr;
    MixerFormat mixer;
    int channels = 0;
    if (Mixer()->QuerySpec(&mixer.rate, &mixer.sdlFormat, &channels) == 0) return nullptr;
    mixer.channels = channels;
    auto converted = std::make_shared<MixerSamples>();
    converted->pcm = ConvertToMixerFormat(format, samples, frequency, mixer);
    if (converted->pcm.empty()) return nullptr;
    converted->chunk.allocated = 0;
    converted->chunk.abuf = converted->pcm.data();
    converted->chunk.alen = static_cast<Uint32>(converted->pcm.size());
    converted->chunk.volume = MIX_MAX_VOLUME;
    const int channel = channels_->Acquire();
    if (channel < 0) return nullptr;
    return std::make_unique<MixerBuffer>(std::move(converted), channels_, channel);
  }

 private:
  std::function<bool()> openDevice_;
  bool open_ = false;
  std::shared_ptr<MixerChannels> channels_ = std::make_shared<MixerChannels>();
};

}  // namespace

std::unique_ptr<AudioOutput> CreateMixerAudioOutput(std::function<bool()> openDevice) {
  return std::make_unique<MixerAudioOutput>(std::move(openDevice));
}

std::unique_ptr<AudioOutput> CreateMixerAudioOutput(bool audioOpen) {
  return CreateMixerAudioOutput([audioOpen] { return audioOpen; });
}

}  // namespace platform::sdl
