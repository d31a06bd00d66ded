// The sound output of the tests: makes no sound, records every buffer and every call, and lets a
// test say when a sound has played to its end.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/audio_output.h"

namespace platform::headless {

class HeadlessSound : public AudioOutput {
 public:
  // One buffer ever made, numbered in order of making.
  struct Voice {
    int source = -1;  // the voice it was duplicated from; -1 for one made from samples
    std::shared_ptr<const std::vector<uint8_t>> samples;
    PcmFormat format;
    int32_t frequency = 0;
    bool alive = true;
    bool playing = false;
    bool looped = false;
    int32_t pan = 0;
    int32_t volume = 0;
    int plays = 0;
    int pollsLeft = -1;  // Playing() answers true this many more times; -1: until finished
    const SoundBuffer* buffer = nullptr;  // the buffer while it is alive
  };
  struct Call {
    enum Kind { Create, Duplicate, Play, Stop, Free } kind;
    int voice;
    bool looped = false;
  };

  bool Open() override;
  void Close() override { open = false; }
  std::unique_ptr<SoundBuffer> CreateBuffer(const PcmFormat& format,
                                            std::span<const uint8_t> samples,
                                            int32_t frequency) override;

  // The voice has played to its end (a looping one is stopped).
  void Finish(int voice);
  void FinishAll();
  // The voices heard now, in order of making.
  std::vector<int> PlayingVoices() const;
  // The Play calls recorded so far, by voice.
  std::vector<int> PlayedVoices() const;
  // The voice of a live buffer; -1 for one this device did not make.
  int VoiceOf(const SoundBuffer* buffer) const;

  bool available = true;  // false: there is no audio device
  bool open = false;
  // When >= 0, a sound started from now on ends by itself after Playing() has answered true this
  // many times.
  int playsForPolls = -1;
  // When >= 0, at most this many voices can be alive at once.
  int voiceLimit = -1;
  std::vector<Voice> voices;
  std::vector<Call> calls;

 private:
  friend class HeadlessSoundBuffer;
  std::unique_ptr<SoundBuffer> MakeVoice(Voice voice, Call::Kind kind);
  int AliveCount() const;
};

}  // namespace platform::headless
