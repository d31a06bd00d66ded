#include "engine/platform/headless/headless_sound.h"

#include <algorithm>

namespace platform::headless {

class HeadlessSoundBuffer : public SoundBuffer {
 public:
  HeadlessSoundBuffer(HeadlessSound& device, int voice) : device_(device), voice_(voice) {}
  ~HeadlessSoundBuffer() override {
    Self().alive = false;
    Self().playing = false;
    Self().buffer = nullptr;
    device_.calls.push_back({HeadlessSound::Call::Free, voice_});
  }

  void Play(bool looped) override {
    HeadlessSound::Voice& self = Self();
    self.playing = true;
    self.looped = looped;
    self.plays += 1;
    self.pollsLeft = device_.playsForPolls;
    device_.calls.push_back({HeadlessSound::Call::Play, voice_, looped});
  }
  void Stop() override {
    Self().playing = false;
    device_.calls.push_back({HeadlessSound::Call::Stop, voice_});
  }
  bool Playing() override {
    HeadlessSound::Voice& self = Self();
    if (self.playing && self.pollsLeft == 0) self.playing = false;
    if (self.playing && self.pollsLeft > 0) --self.pollsLeft;
    return self.playing;
  }
  void SetPan(int32_t pan) override { Self().pan = pan; }
  void SetVolume(int32_t volume) override { Self().volume = volume; }
  std::unique_ptr<SoundBuffer> Duplicate() override {
    HeadlessSound::Voice copy = Self();
    copy.source = voice_;
    copy.playing = false;
    copy.plays = 0;
    copy.pan = 0;
    copy.volume = 0;
    return device_.MakeVoice(std::move(copy), HeadlessSound::Call::Duplicate);
  }

 private:
  HeadlessSound::Voice& Self() { return device_.voices[static_cast<size_t>(voice_)]; }
  HeadlessSound& device_;
  int voice_;
};

bool HeadlessSound::Open() {
  open = available;
  return open;
}

std::unique_ptr<SoundBuffer> HeadlessSound::CreateBuffer(const PcmFormat& format,
                                                         std::span<const uint8_t> samples,
                                                         int32_t frequency) {
  if (!open || !IsPlayable(format, frequency)) return nullptr;
  const size_t frameBytes = static_cast<size_t>(format.FrameBytes());
  const size_t whole = samples.size() - samples.size() % frameBytes;
  if (whole == 0) return nullptr;
  Voice voice;
  voice.samples =
      std::make_shared<const std::vector<uint8_t>>(samples.begin(), samples.begin() + whole);
  voice.format = format;
  voice.frequency = frequency;
  return MakeVoice(std::move(voice), Call::Create);
}

std::unique_ptr<SoundBuffer> HeadlessSound::MakeVoice(Voice voice, Call::Kind kind) {
  if (voiceLimit >= 0 && AliveCount() >= voiceLimit) return nullptr;
  voices.push_back(std::move(voice));
  const int number = static_cast<int>(voices.size()) - 1;
  calls.push_back({kind, number});
  auto buffer = std::make_unique<HeadlessSoundBuffer>(*this, number);
  voices.back().buffer = buffer.get();
  return buffer;
}

int HeadlessSound::AliveCount() const {
  return static_cast<int>(
      std::count_if(voices.begin(), voices.end(), [](const Voice& v) { return v.alive; }));
}

void HeadlessSound::Finish(int voice) {
  voices.at(static_cast<size_t>(voice)).playing = false;
}

void HeadlessSound::FinishAll() {
  for (Voice& voice : voices) voice.playing = false;
}

std::vector<int> HeadlessSound::PlayingVoices() const {
  std::vector<int> result;
  for (size_t i = 0; i < voices.size(); ++i) {
    if (voices[i].playing) result.push_back(static_cast<int>(i));
  }
  return result;
}

std::vector<int> HeadlessSound::PlayedVoices() const {
  std::vector<int> result;
  for (const Call& call : calls) {
    if (call.kind == Call::Play) result.push_back(call.voice);
  }
  return result;
}

int HeadlessSound::VoiceOf(const SoundBuffer* buffer) const {
  for (size_t i = 0; i < voices.size(); ++i) {
    if (voices[i].alive && voices[i].buffer == buffer) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace platform::headless
