// The audio output beneath the sound list: buffers made from a recording's samples, duplicates
// that share those samples and play at the same time, and each buffer's real playing status.
// No SDL type crosses this interface.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// Linear PCM as recordings are stored: 8-bit samples unsigned, 16-bit signed little-endian,
// stereo frames left first.
struct PcmFormat {
  int channels = 1;       // 1 or 2
  int samplesPerSec = 0;  // frames per second
  int bitsPerSample = 8;  // 8 or 16
  int FrameBytes() const { return channels * bitsPerSample / 8; }
  bool operator==(const PcmFormat&) const = default;
};

// The playback rates an output accepts, in frames per second.
constexpr int32_t MinFrequency = 100;
constexpr int32_t MaxFrequency = 200000;

// True when a buffer of this format can be made to play at `frequency` (0: the format's rate).
inline bool IsPlayable(const PcmFormat& format, int32_t frequency) {
  const int32_t rate = frequency != 0 ? frequency : format.samplesPerSec;
  return (format.channels == 1 || format.channels == 2) &&
         (format.bitsPerSample == 8 || format.bitsPerSample == 16) && rate >= MinFrequency &&
         rate <= MaxFrequency;
}

// One playable sound. A buffer plays on its own voice, so a duplicate sounds over the buffer it
// was made from.
class SoundBuffer {
 public:
  virtual ~SoundBuffer() = default;
  // Starts from the first sample, once or looping, with whatever was playing cut off.
  virtual void Play(bool looped) = 0;
  virtual void Stop() = 0;
  // True while the sound is heard (playing once or looping).
  virtual bool Playing() = 0;
  // Stereo position in hundredths of a decibel: -10000 silences the right side, 10000 the left,
  // 0 is the centre. Takes effect from the next Play.
  virtual void SetPan(int32_t pan) = 0;
  // Attenuation in hundredths of a decibel, -10000 (silent) to 0 (full volume). Takes effect
  // from the next Play.
  virtual void SetVolume(int32_t volume) = 0;
  // Another buffer on the same samples (not copied); nullptr when no voice is left for it.
  virtual std::unique_ptr<SoundBuffer> Duplicate() = 0;
};

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Readies the output; false when there is none (no audio device), and then nothing sounds.
  virtual bool Open() = 0;
  // Ends the use of the output; buffers must be freed before.
  virtual void Close() = 0;
  // A buffer of the samples, converted once to the output's own format. `frequency` is the rate
  // to play them at, 0 for the recording's own rate. nullptr when the output is not open, the
  // format cannot be played or there is not one whole frame of samples.
  virtual std::unique_ptr<SoundBuffer> CreateBuffer(const PcmFormat& format,
                                                    std::span<const uint8_t> samples,
                                                    int32_t frequency) = 0;
};

}  // namespace platform
