// Oscillators, noise and the shaping of synthesised waves, and their conversion to sample data.
#include "tools/xm/xm_wave.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

namespace xm {
namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 192000;
// Longer than any instrument needs; keeps a slip of the pen from allocating gigabytes.
constexpr double kMaxSeconds = 60.0;

void CheckRate(int rate) {
  if (rate < kMinRate || rate > kMaxRate) {
    throw XmError("wave rate " + std::to_string(rate) + " not in 1000-192000");
  }
}

size_t FramesOf(double seconds, int rate) {
  if (!(seconds >= 0.0 && seconds <= kMaxSeconds)) {
    throw XmError("wave length " + std::to_string(seconds) + " s not in 0-60 s");
  }
  return static_cast<size_t>(std::lround(seconds * rate));
}

void CheckPitch(double hz) {
  if (!(hz > 0.0 && hz < kMaxRate)) throw XmError("pitch " + std::to_string(hz) + " Hz");
}

// The waveform's value at a phase of 0..1 through its period.
float Oscillate(Waveform form, double phase) {
  switch (form) {
    case Waveform::Sine:
      return static_cast<float>(std::sin(2.0 * std::numbers::pi * phase));
    case Waveform::Square:
      return phase < 0.5 ? 1.0f : -1.0f;
    case Waveform::Saw:
      return static_cast<float>(2.0 * phase - 1.0);
    case Waveform::Triangle:
      return static_cast<float>(phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase);
  }
  return 0.0f;
}

}  // namespace

Wave::Wave(int rate, std::vector<float> values) : rate_(rate), values_(std::move(values)) {
  CheckRate(rate);
}

Wave Wave::Tone(Waveform form, double hz, double seconds, int rate) {
  return Sweep(form, hz, hz, seconds, rate);
}

Wave Wave::Sweep(Waveform form, double fromHz, double toHz, double seconds, int rate) {
  CheckRate(rate);
  CheckPitch(fromHz);
  CheckPitch(toHz);
  const size_t frames = FramesOf(seconds, rate);
  std::vector<float> values(frames);
  const double ratio = toHz / fromHz;
  double phase = 0.0;
  for (size_t i = 0; i < frames; ++i) {
    values[i] = Oscillate(form, phase);
    const double progress = static_cast<double>(i) / static_cast<double>(frames);
    phase += fromHz * std::pow(ratio, progress) / rate;
    phase -= std::floor(phase);
  }
  Wave wave(rate, std::move(values));
  wave.tone_ = toHz;
  return wave;
}

Wave Wave::Cycle(Waveform form, int length, int rate) {
  CheckRate(rate);
  if (length < 2 || length > rate) {
    throw XmError("a cycle of " + std::to_string(length) + " frames");
  }
  std::vector<float> values(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i)
    values[static_cast<size_t>(i)] = Oscillate(form, 1.0 * i / length);
  Wave wave(rate, std::move(values));
  wave.tone_ = static_cast<double>(rate) / length;
  return wave;
}

Wave Wave::Noise(double seconds, int rate, uint32_t seed) {
  CheckRate(rate);
  std::vector<float> values(FramesOf(seconds, rate));
  uint32_t state = seed == 0 ? 1 : seed;
  for (float& value : values) {
    // xorshift32: cheap, and the same seed always gives the same noise.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    value = static_cast<float>(state / 2147483648.0 - 1.0);
  }
  return Wave(rate, std::move(values));
}

Wave& Wave::Gain(double factor) {
  for (float& value : values_) value = static_cast<float>(value * factor);
  return *this;
}

Wave& Wave::Fade(double attackSeconds, double releaseSeconds) {
  const double frames = static_cast<double>(values_.size());
  const double attack = std::max(0.0, attackSeconds * rate_);
  const double release = std::max(0.0, releaseSeconds * rate_);
  for (size_t i = 0; i < values_.size(); ++i) {
    const double fromStart = static_cast<double>(i);
    const double toEnd = frames - 1.0 - fromStart;
    double level = 1.0;
    if (fromStart < attack) level = std::min(level, fromStart / attack);
    if (toEnd < release) level = std::min(level, toEnd / release);
    values_[i] = static_cast<float>(values_[i] * level);
  }
  return *this;
}

Wave& Wave::Decay(double halfLifeSeconds) {
  if (!(halfLifeSeconds > 0.0)) throw XmError("a decay needs a positive half-life");
  const double step = std::exp2(-1.0 / (halfLifeSeconds * rate_));
  double level = 1.0;
  for (float& value : values_) {
    value = static_cast<float>(value * level);
    level *= step;
  }
  return *this;
}

Wave& Wave::Add(const Wave& other, double gain) {
  if (other.rate_ != rate_) {
    throw XmError("adding a wave of " + std::to_string(other.rate_) + " Hz to one of " +
                  std::to_string(rate_) + " Hz");
  }
  if (other.values_.size() > values_.size()) values_.resize(other.values_.size(), 0.0f);
  for (size_t i = 0; i < other.values_.size(); ++i) {
    values_[i] = static_cast<float>(values_[i] + other.values_[i] * gain);
  }
  return *this;
}

Wave& Wave::LowPass(double cutoffHz) {
  CheckPitch(cutoffHz);
  const double alpha = 1.0 - std::exp(-2.0 * std::numbers::pi * cutoffHz / rate_);
  double state = 0.0;
  for (float& value : values_) {
    state += alpha * (value - state);
    value = static_cast<float>(state);
  }
  return *this;
}

Wave& Wave::Normalise(double peak) {
  float loudest = 0.0f;
  for (const float value : values_) loudest = std::max(loudest, std::fabs(value));
  if (loudest > 0.0f) Gain(peak / loudest);
  return *this;
}

Wave& Wave::SetTone(double hz) {
  CheckPitch(hz);
  tone_ = hz;
  return *this;
}

Sample Wave::ToSample(std::string name, SampleDepth depth) const {
  Sample sample;
  sample.name = std::move(name);
  sample.depth = depth;
  const double full = depth == SampleDepth::Bits16 ? 32767.0 : 127.0;
  sample.data.reserve(values_.size());
  for (const float value : values_) {
    const double finite = std::isfinite(value) ? value : 0.0;
    const double clipped = std::clamp(finite, -1.0, 1.0);
    sample.data.push_back(static_cast<int16_t>(std::lround(clipped * full)));
  }
  // With a tone, C-4 must play the data fast enough to turn the tone into middle C.
  sample.PlayC4At(tone_ > 0.0 ? rate_ * kMiddleC / tone_ : rate_);
  return sample;
}

}  // namespace xm
