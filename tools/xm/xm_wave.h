// Synthesised sounds for a module's samples: tones, sweeps and noise, shaped by gain, fades and
// filtering, then turned into tuned sample data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/xm/xm_module.h"

namespace xm {

enum class Waveform : uint8_t { Sine, Square, Saw, Triangle };

inline constexpr int kDefaultWaveRate = 22050;
// Middle C, the pitch the note C-4 plays.
inline constexpr double kMiddleC = 261.6255653;

// A mono sound of values in -1..1 at a fixed rate. The shaping calls return the wave so that
// they chain; what comes out of range is clipped when it becomes a sample.
class Wave {
 public:
  Wave(int rate, std::vector<float> values);

  // `seconds` of a steady tone.
  static Wave Tone(Waveform form, double hz, double seconds, int rate = kDefaultWaveRate);
  // `seconds` of a tone gliding from `fromHz` to `toHz` along an exponential curve (drums, zaps).
  static Wave Sweep(Waveform form, double fromHz, double toHz, double seconds,
                    int rate = kDefaultWaveRate);
  // Exactly one period in `length` frames: the body of a looped instrument.
  static Wave Cycle(Waveform form, int length, int rate = kDefaultWaveRate);
  // White noise from a fixed seed, so the same call gives the same sound.
  static Wave Noise(double seconds, int rate = kDefaultWaveRate, uint32_t seed = 1);

  Wave& Gain(double factor);
  // A linear rise over attackSeconds from the start and a linear fall over releaseSeconds to the
  // end.
  Wave& Fade(double attackSeconds, double releaseSeconds);
  // An exponential decay that halves the level every halfLifeSeconds.
  Wave& Decay(double halfLifeSeconds);
  // Adds another wave of the same rate (its tail lengthens this one).
  Wave& Add(const Wave& other, double gain = 1.0);
  // A one-pole low-pass filter.
  Wave& LowPass(double cutoffHz);
  // Scales so that the loudest value reaches `peak`.
  Wave& Normalise(double peak = 0.95);
  // Sets the pitch the wave sounds at its own rate (Tone, Sweep's end and Cycle set it).
  Wave& SetTone(double hz);

  int rate() const { return rate_; }
  double tone() const { return tone_; }
  const std::vector<float>& values() const { return values_; }

  // The sample data, scaled to the depth and clipped. A wave with a tone is tuned so that the note
  // C-4 sounds as middle C; one without (noise) plays at its own rate on C-4.
  Sample ToSample(std::string name, SampleDepth depth = SampleDepth::Bits16) const;

 private:
  int rate_;
  double tone_ = 0.0;
  std::vector<float> values_;
};

}  // namespace xm
