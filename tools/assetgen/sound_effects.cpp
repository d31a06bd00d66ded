#include "tools/assetgen/sound_effects.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tools/xm/xm_wave.h"

namespace assets {
namespace {

using xm::Wave;
using xm::Waveform;

constexpr int kRate = 22050;

// Notes of a little tune: pitch, start and length in seconds.
struct Note {
  double hz, start, seconds;
};

Wave Silence(double seconds) {
  return Wave(kRate, std::vector<float>(static_cast<size_t>(seconds * kRate), 0.0f));
}

// Adds `part` starting at `at` seconds: the part is preceded by that much silence, so it sounds
// at its own start instead of at the start of the effect.
void Place(Wave& into, const Wave& part, double at, double gain = 1.0) {
  std::vector<float> shifted(static_cast<size_t>(std::lround(at * kRate)), 0.0f);
  shifted.insert(shifted.end(), part.values().begin(), part.values().end());
  into.Add(Wave(kRate, std::move(shifted)), gain);
}

double Midi(int note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A bell: a sine with a quieter fifth and octave above, struck and ringing away.
Wave Bell(double hz, double seconds) {
  Wave bell = Wave::Tone(Waveform::Sine, hz, seconds, kRate);
  bell.Add(Wave::Tone(Waveform::Sine, hz * 2, seconds, kRate), 0.35)
      .Add(Wave::Tone(Waveform::Sine, hz * 3, seconds, kRate), 0.15)
      .Fade(0.003, 0.05)
      .Decay(seconds / 5);
  return bell;
}

// A brassy note: saw and square softened by a low-pass, with a short swell.
Wave Brass(double hz, double seconds) {
  Wave brass = Wave::Tone(Waveform::Saw, hz, seconds, kRate);
  brass.Add(Wave::Tone(Waveform::Square, hz * 1.002, seconds, kRate), 0.4)
      .LowPass(hz * 5)
      .Fade(0.025, std::min(0.12, seconds * 0.4));
  return brass;
}

Wave Tune(const std::vector<Note>& notes, Wave (*voice)(double, double)) {
  double end = 0;
  for (const Note& n : notes) end = std::max(end, n.start + n.seconds);
  Wave tune = Silence(end);
  for (const Note& n : notes) Place(tune, voice(n.hz, n.seconds), n.start);
  return tune;
}

Wave Bonus() {
  // A bright rising arpeggio of bells.
  std::vector<Note> notes;
  const int chord[] = {72, 76, 79, 84, 88};
  for (int i = 0; i < 5; ++i) notes.push_back({Midi(chord[i]), i * 0.055, 0.35});
  return Tune(notes, Bell).Normalise(0.8);
}

Wave HeroDie() {
  // A roar falling into a rumbling blast.
  Wave roar = Wave::Sweep(Waveform::Saw, 240, 55, 0.9, kRate);
  roar.Add(Wave::Sweep(Waveform::Square, 180, 45, 0.9, kRate), 0.5).LowPass(900).Fade(0.02, 0.3);
  Wave blast = Wave::Noise(1.1, kRate, 31);
  blast.LowPass(500).Decay(0.25).Fade(0.005, 0.2);
  roar.Add(blast, 1.2);
  return roar.Normalise(0.6);
}

Wave CatapultDie() {
  // Timber cracking: a thud and a clatter of short bursts.
  Wave crash = Wave::Sweep(Waveform::Sine, 110, 45, 0.35, kRate);
  crash.Decay(0.1);
  for (int i = 0; i < 6; ++i) {
    Wave crack = Wave::Noise(0.09, kRate, 40 + static_cast<uint32_t>(i));
    crack.LowPass(2600 - i * 250).Decay(0.02);
    Place(crash, crack, 0.02 + i * 0.075 + (i % 2) * 0.02, 0.8 - i * 0.08);
  }
  return crash.Normalise(0.8);
}

Wave ManDie() {
  // A short falling cry.
  Wave cry = Wave::Sweep(Waveform::Square, 560, 190, 0.32, kRate);
  cry.Add(Wave::Sweep(Waveform::Saw, 840, 260, 0.32, kRate), 0.3).LowPass(1800).Fade(0.01, 0.12);
  Wave thump = Wave::Sweep(Waveform::Sine, 140, 60, 0.15, kRate);
  thump.Decay(0.04);
  cry.Add(thump, 0.8);
  return cry.Normalise(0.5);
}

Wave Catapult() {
  // The arm's thunk and the whoosh of the stone.
  Wave thunk = Wave::Sweep(Waveform::Sine, 130, 55, 0.18, kRate);
  thunk.Decay(0.05);
  Wave whoosh = Wave::Noise(0.4, kRate, 51);
  whoosh.LowPass(1200).Fade(0.12, 0.25);
  Place(thunk, whoosh, 0.05, 0.7);
  return thunk.Normalise(0.75);
}

Wave ManShot() {
  // A bowstring's twang.
  Wave twang = Wave::Sweep(Waveform::Triangle, 380, 300, 0.25, kRate);
  twang.Add(Wave::Sweep(Waveform::Saw, 760, 600, 0.25, kRate), 0.25).LowPass(2500).Decay(0.05);
  Wave click = Wave::Noise(0.02, kRate, 61);
  click.Decay(0.004);
  twang.Add(click, 0.6);
  return twang.Normalise(0.6);
}

Wave HeroShot() {
  // A breath of fire: a soft burst of filtered noise over a low whump.
  Wave breath = Wave::Noise(0.28, kRate, 71);
  breath.LowPass(1600).Fade(0.015, 0.18);
  Wave whump = Wave::Sweep(Waveform::Sine, 220, 70, 0.2, kRate);
  whump.Decay(0.05);
  breath.Add(whump, 0.7);
  return breath.Normalise(0.55);
}

Wave Menu() {
  // A soft wooden tick with a bell.
  Wave tick = Bell(Midi(81), 0.16);
  Wave knock = Wave::Noise(0.02, kRate, 81);
  knock.LowPass(3000).Decay(0.004);
  tick.Add(knock, 0.4);
  return tick.Normalise(0.5);
}

Wave Looser() {
  // A slow falling line in a minor key, ending low.
  const std::vector<Note> notes = {{Midi(67), 0.0, 0.36},  {Midi(65), 0.34, 0.36},
                                   {Midi(63), 0.68, 0.36}, {Midi(62), 1.02, 0.36},
                                   {Midi(60), 1.36, 1.0},  {Midi(48), 1.36, 1.0}};
  return Tune(notes, Brass).Normalise(0.7);
}

Wave NextLevel() {
  // A rising fanfare that ends on a held major chord.
  const std::vector<Note> notes = {
      {Midi(67), 0.0, 0.14}, {Midi(72), 0.14, 0.14}, {Midi(76), 0.28, 0.14}, {Midi(79), 0.42, 0.7},
      {Midi(72), 0.42, 0.7}, {Midi(76), 0.42, 0.7},  {Midi(60), 0.42, 0.7}};
  Wave fanfare = Tune(notes, Brass);
  Wave sparkle = Bell(Midi(91), 0.5);
  Place(fanfare, sparkle, 0.42, 0.3);
  return fanfare.Normalise(0.75);
}

}  // namespace

std::vector<int16_t> SynthesiseEffect(const std::string& name) {
  Wave wave = Silence(0.01);
  if (name == "bonus") {
    wave = Bonus();
  } else if (name == "herodie") {
    wave = HeroDie();
  } else if (name == "catapultdie") {
    wave = CatapultDie();
  } else if (name == "mandie") {
    wave = ManDie();
  } else if (name == "catapult") {
    wave = Catapult();
  } else if (name == "manshot") {
    wave = ManShot();
  } else if (name == "heroshot") {
    wave = HeroShot();
  } else if (name == "menu") {
    wave = Menu();
  } else if (name == "looser") {
    wave = Looser();
  } else if (name == "nextlevel") {
    wave = NextLevel();
  } else {
    throw std::logic_error("no sound effect is made for " + name);
  }
  std::vector<int16_t> pcm;
  pcm.reserve(wave.values().size());
  for (float v : wave.values()) {
    const double clipped = std::clamp(static_cast<double>(v), -1.0, 1.0);
    pcm.push_back(static_cast<int16_t>(std::lround(clipped * 32767.0)));
  }
  return pcm;
}

int EffectRate() {
  return kRate;
}

}  // namespace assets
