#include "tools/assetgen/instruments.h"

#include <cmath>
#include <numbers>

#include "tools/xm/xm_wave.h"

namespace assets {
namespace {

using xm::Envelope;
using xm::Wave;
using xm::Waveform;

constexpr int kRate = xm::kDefaultWaveRate;

xm::Instrument Named(const char* name, xm::Sample sample) {
  xm::Instrument instrument;
  instrument.name = name;
  instrument.samples.push_back(std::move(sample));
  return instrument;
}

// A one-shot sample that sounds at its tuned pitch on C-4.
xm::Sample OneShot(const char* name, Wave wave, uint8_t volume) {
  xm::Sample sample = wave.Normalise(0.9).ToSample(name, xm::SampleDepth::Bits16);
  sample.volume = volume;
  return sample;
}

// High-passed noise: what is left of noise after its low part is taken away.
Wave BrightNoise(double seconds, uint32_t seed, double cutoff) {
  Wave noise = Wave::Noise(seconds, kRate, seed);
  Wave low = noise;
  low.LowPass(cutoff);
  noise.Add(low, -1.0);
  return noise;
}

}  // namespace

xm::Sample HarmonicCycle(const char* name, const std::vector<double>& harmonics, int length) {
  std::vector<float> values(static_cast<size_t>(length));
  double peak = 0;
  for (int i = 0; i < length; ++i) {
    double v = 0;
    for (size_t h = 0; h < harmonics.size(); ++h) {
      v += harmonics[h] * std::sin(2 * std::numbers::pi * static_cast<double>(h + 1) * i / length);
    }
    values[static_cast<size_t>(i)] = static_cast<float>(v);
    peak = std::max(peak, std::abs(v));
  }
  Wave cycle(kRate, std::move(values));
  cycle.Normalise(0.9).SetTone(static_cast<double>(kRate) / length);
  return cycle.ToSample(name, xm::SampleDepth::Bits16).Loop(xm::LoopType::Forward);
}

xm::Instrument SoftPad() {
  xm::Sample sample = HarmonicCycle("pad", {1.0, 0.5, 0.3, 0.12, 0.08, 0.04});
  sample.volume = 34;
  xm::Instrument pad = Named("soft pad", std::move(sample));
  pad.volumeEnvelope = Envelope::Through({{0, 0}, {24, 52}, {60, 44}, {100, 40}}).SustainAt(3);
  pad.fadeout = 300;
  pad.vibratoType = 0;
  pad.vibratoSweep = 40;
  pad.vibratoDepth = 3;
  pad.vibratoRate = 6;
  return pad;
}

xm::Instrument Flute() {
  xm::Sample sample = HarmonicCycle("flute", {1.0, 0.22, 0.08, 0.03});
  sample.volume = 44;
  xm::Instrument flute = Named("flute", std::move(sample));
  flute.volumeEnvelope = Envelope::Through({{0, 0}, {6, 56}, {20, 48}, {60, 44}}).SustainAt(3);
  flute.fadeout = 900;
  flute.vibratoSweep = 60;
  flute.vibratoDepth = 6;
  flute.vibratoRate = 10;
  return flute;
}

xm::Instrument Harp() {
  Wave pluck = Wave::Tone(Waveform::Saw, xm::kMiddleC, 1.6, kRate);
  pluck.Add(Wave::Tone(Waveform::Sine, xm::kMiddleC, 1.6, kRate), 1.5)
      .LowPass(1400)
      .Fade(0.002, 0.2)
      .Decay(0.35);
  return Named("harp", OneShot("harp", pluck, 40));
}

xm::Instrument RoundBass() {
  xm::Sample sample = HarmonicCycle("round bass", {1.0, 0.35, 0.1});
  sample.volume = 50;
  xm::Instrument bass = Named("round bass", std::move(sample));
  bass.volumeEnvelope = Envelope::Through({{0, 0}, {3, 60}, {30, 44}, {80, 38}}).SustainAt(3);
  bass.fadeout = 1200;
  return bass;
}

xm::Instrument SquareLead() {
  xm::Sample sample =
      HarmonicCycle("square lead", {1.0, 0.0, 0.33, 0.0, 0.2, 0.0, 0.14, 0.0, 0.08});
  sample.volume = 40;
  xm::Instrument lead = Named("square lead", std::move(sample));
  lead.volumeEnvelope = Envelope::Through({{0, 0}, {2, 60}, {12, 46}, {40, 42}}).SustainAt(3);
  lead.fadeout = 1500;
  lead.vibratoSweep = 30;
  lead.vibratoDepth = 5;
  lead.vibratoRate = 12;
  return lead;
}

xm::Instrument SawChord() {
  std::vector<double> saw;
  for (int h = 1; h <= 14; ++h) saw.push_back(1.0 / h);
  xm::Sample sample = HarmonicCycle("saw chord", saw);
  sample.volume = 26;
  xm::Instrument chord = Named("saw chord", std::move(sample));
  chord.volumeEnvelope = Envelope::Through({{0, 0}, {2, 56}, {10, 40}, {30, 34}}).SustainAt(3);
  chord.fadeout = 2000;
  return chord;
}

xm::Instrument PickBass() {
  xm::Sample sample = HarmonicCycle("pick bass", {1.0, 0.6, 0.4, 0.25, 0.15, 0.1});
  sample.volume = 48;
  xm::Instrument bass = Named("pick bass", std::move(sample));
  bass.volumeEnvelope = Envelope::Through({{0, 64}, {4, 48}, {14, 36}, {40, 30}}).SustainAt(3);
  bass.fadeout = 3000;
  return bass;
}

xm::Instrument Kick() {
  Wave kick = Wave::Sweep(Waveform::Sine, 160, 42, 0.32, kRate);
  kick.Decay(0.09).Fade(0.001, 0.05);
  Wave click = Wave::Noise(0.01, kRate, 5);
  click.LowPass(3000).Decay(0.002);
  kick.Add(click, 0.4);
  return Named("kick", OneShot("kick", kick, 56));
}

xm::Instrument Snare() {
  Wave snare = BrightNoise(0.22, 9, 700);
  snare.Decay(0.05).Fade(0.001, 0.05);
  snare.Add(Wave::Sweep(Waveform::Triangle, 220, 170, 0.12, kRate).Decay(0.03), 0.6);
  return Named("snare", OneShot("snare", snare, 40));
}

xm::Instrument HiHat() {
  Wave hat = BrightNoise(0.07, 13, 6000);
  hat.Decay(0.012);
  return Named("hi-hat", OneShot("hi-hat", hat, 22));
}

xm::Instrument Shaker() {
  Wave shaker = BrightNoise(0.12, 17, 3500);
  shaker.Fade(0.03, 0.08);
  return Named("shaker", OneShot("shaker", shaker, 14));
}

xm::Instrument Crash() {
  Wave crash = BrightNoise(1.4, 21, 3000);
  crash.Decay(0.35).Fade(0.002, 0.3);
  return Named("crash", OneShot("crash", crash, 22));
}

}  // namespace assets
