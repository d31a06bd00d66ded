#include "tools/assetgen/songs.h"

#include <array>
#include <string>
#include <vector>

#include "tools/assetgen/instruments.h"

namespace assets {
namespace {

// A chord of a progression: the bass note and three voices (note names), for 16 rows.
struct Chord {
  const char* bass;
  std::array<const char*, 3> voices;
  std::array<const char*, 3> arpeggio;  // the chord's notes an octave up, low to high
};

// --- The menu song: D minor, 96 beats a minute, each pattern four chords of 16 rows. ---

namespace menu {

enum Channel { kLead, kHarp, kPad1, kPad2, kPad3, kBass, kKick, kShaker, kChannels };

struct Instruments {
  int pad, flute, harp, bass, kick, shaker, crash;
};

const std::array<Chord, 4> kVerse = {{{"D-2", {"D-4", "F-4", "A-4"}, {"D-5", "F-5", "A-5"}},
                                      {"A#1", {"D-4", "F-4", "A#4"}, {"A#4", "D-5", "F-5"}},
                                      {"F-2", {"C-4", "F-4", "A-4"}, {"F-4", "A-4", "C-5"}},
                                      {"C-2", {"C-4", "E-4", "G-4"}, {"C-5", "E-5", "G-5"}}}};
const std::array<Chord, 4> kTurn = {{{"D-2", {"D-4", "F-4", "A-4"}, {"D-5", "F-5", "A-5"}},
                                     {"A#1", {"D-4", "F-4", "A#4"}, {"A#4", "D-5", "F-5"}},
                                     {"G-2", {"D-4", "G-4", "A#4"}, {"G-4", "A#4", "D-5"}},
                                     {"A-2", {"C#4", "E-4", "A-4"}, {"A-4", "C#5", "E-5"}}}};

xm::Pattern Backing(const std::array<Chord, 4>& chords, const Instruments& in, bool drums,
                    bool harp, int padVolume) {
  xm::Pattern p(kChannels, 64);
  for (int c = 0; c < 4; ++c) {
    const Chord& chord = chords[static_cast<size_t>(c)];
    const int row = c * 16;
    p.Play(row, kPad1, chord.voices[0], in.pad, padVolume)
        .Play(row, kPad2, chord.voices[1], in.pad, padVolume)
        .Play(row, kPad3, chord.voices[2], in.pad, padVolume);
    p.Play(row, kBass, chord.bass, in.bass, 48).Play(row + 10, kBass, chord.bass, in.bass, 36);
    if (harp) {
      const auto& a = chord.arpeggio;
      const std::string line = std::string(a[0]) + " " + a[1] + " " + a[2] + " " + a[1] + " " +
                               a[0] + " " + a[1] + " " + a[2] + " " + a[1];
      p.Sequence(kHarp, row, 2, in.harp, line, 26);
    }
    if (drums) {
      p.Play(row, kKick, "C-4", in.kick, 34).Play(row + 10, kKick, "C-4", in.kick, 22);
      p.Sequence(kShaker, row + 4, 8, in.shaker, "C-5 C-5", 30);
    }
  }
  return p;
}

xm::Pattern WithMelody(xm::Pattern p, const Instruments& in, const std::string& melody) {
  p.Sequence(kLead, 0, 2, in.flute, melody, 44);
  return p;
}

}  // namespace menu

// --- The game song: A minor, 150 beats a minute, a rock beat under a heroic tune. ---

namespace game {

enum Channel { kLead, kArp, kChord1, kChord2, kBass, kKick, kSnare, kHat, kChannels };

struct Instruments {
  int lead, chord, bass, kick, snare, hat, crash, harp;
};

const std::array<Chord, 4> kA = {{{"A-2", {"A-3", "E-4", "A-4"}, {"A-4", "C-5", "E-5"}},
                                  {"F-2", {"F-3", "C-4", "F-4"}, {"F-4", "A-4", "C-5"}},
                                  {"C-2", {"C-4", "G-4", "C-5"}, {"C-5", "E-5", "G-5"}},
                                  {"G-2", {"G-3", "D-4", "G-4"}, {"G-4", "B-4", "D-5"}}}};
const std::array<Chord, 4> kB = {{{"A-2", {"A-3", "E-4", "A-4"}, {"A-4", "C-5", "E-5"}},
                                  {"F-2", {"F-3", "C-4", "F-4"}, {"F-4", "A-4", "C-5"}},
                                  {"G-2", {"G-3", "D-4", "G-4"}, {"G-4", "B-4", "D-5"}},
                                  {"E-2", {"E-3", "B-3", "E-4"}, {"E-4", "G#4", "B-4"}}}};

xm::Pattern Band(const std::array<Chord, 4>& chords, const Instruments& in, bool crashFirst,
                 bool chords_on, bool arp) {
  xm::Pattern p(kChannels, 64);
  for (int c = 0; c < 4; ++c) {
    const Chord& chord = chords[static_cast<size_t>(c)];
    const int row = c * 16;
    // Power chords: root and fifth, struck on the beat and pushed on the "and" of three.
    if (chords_on) {
      for (int hit : {0, 6, 8}) {
        p.Play(row + hit, kChord1, chord.voices[0], in.chord, hit == 0 ? 40 : 30)
            .Play(row + hit, kChord2, chord.voices[1], in.chord, hit == 0 ? 40 : 30);
      }
    }
    // Driving eighths in the bass, the octave above on the offbeats.
    std::string bass = chord.bass;
    std::string high = bass;
    high[2] = static_cast<char>(high[2] + 1);
    p.Sequence(kBass, row, 2, in.bass,
               bass + " " + bass + " " + high + " " + bass + " " + bass + " " + high + " " + bass +
                   " " + high,
               44);
    if (arp) {
      const auto& a = chord.arpeggio;
      p.Sequence(kArp, row, 2, in.harp,
                 std::string(a[0]) + " " + a[1] + " " + a[2] + " " + a[1] + " " + a[0] + " " +
                     a[1] + " " + a[2] + " " + a[1],
                 24);
    }
    // Kick on one, the "and" of two and three; snare on two and four; hats on every eighth.
    p.Play(row, kKick, "C-4", in.kick, 52)
        .Play(row + 6, kKick, "C-4", in.kick, 44)
        .Play(row + 8, kKick, "C-4", in.kick, 52);
    p.Play(row + 4, kSnare, "C-4", in.snare, 46).Play(row + 12, kSnare, "C-4", in.snare, 46);
    p.Sequence(kHat, row, 2, in.hat, "C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5", 36);
  }
  if (crashFirst) p.Play(0, kHat, "C-4", in.crash, 40);
  return p;
}

xm::Pattern WithLead(xm::Pattern p, const Instruments& in, const std::string& melody) {
  p.Sequence(kLead, 0, 2, in.lead, melody, 46);
  return p;
}

}  // namespace game

}  // namespace

xm::Module MenuSong() {
  using namespace menu;
  xm::Module song;
  song.name = "Night Watch";
  song.channels = kChannels;
  song.speed = 6;
  song.bpm = 96;
  Instruments in{};
  in.pad = song.AddInstrument(SoftPad());
  in.flute = song.AddInstrument(Flute());
  in.harp = song.AddInstrument(Harp());
  in.bass = song.AddInstrument(RoundBass());
  in.kick = song.AddInstrument(Kick());
  in.shaker = song.AddInstrument(Shaker());
  in.crash = song.AddInstrument(Crash());

  const std::string first =
      "A-4 --- D-5 --- E-5 F-5 E-5 D-5 "
      "F-5 --- --- D-5 C-5 --- A#4 --- "
      "A-4 --- C-5 --- F-5 --- E-5 D-5 "
      "E-5 --- --- --- G-4 --- == --- ";
  const std::string second =
      "D-5 --- F-5 --- A-5 --- G-5 F-5 "
      "F-5 --- D-5 --- F-5 --- G-5 --- "
      "G-5 --- F-5 E-5 D-5 --- A#4 --- "
      "C#5 --- E-5 --- A-4 --- == --- ";
  const std::string third =
      "A-5 --- G-5 F-5 E-5 --- D-5 --- "
      "D-5 --- F-5 --- A#5 --- A-5 --- "
      "A-5 --- G-5 --- F-5 --- C-5 --- "
      "E-5 --- D-5 --- C-5 --- == --- ";
  const std::string fourth =
      "F-5 --- E-5 --- D-5 --- A-4 --- "
      "A#4 --- D-5 --- F-5 --- D-5 --- "
      "D-5 --- A#4 --- G-4 --- A#4 --- "
      "A-4 --- --- --- --- --- == --- ";

  const uint8_t intro = song.AddPattern(Backing(kVerse, in, false, true, 40));
  const uint8_t verse1 =
      song.AddPattern(WithMelody(Backing(kVerse, in, true, true, 34), in, first));
  const uint8_t turn1 = song.AddPattern(WithMelody(Backing(kTurn, in, true, true, 34), in, second));
  const uint8_t verse2 =
      song.AddPattern(WithMelody(Backing(kVerse, in, true, false, 34), in, third));
  const uint8_t turn2 = song.AddPattern(WithMelody(Backing(kTurn, in, true, true, 34), in, fourth));
  xm::Pattern outro = Backing(kTurn, in, false, true, 38);
  outro.Play(0, kShaker, "C-4", in.crash, 20);
  const uint8_t ending = song.AddPattern(std::move(outro));
  song.orders = {intro, verse1, turn1, verse2, turn2, ending};
  song.restart = 0;
  return song;
}

xm::Module GameSong() {
  using namespace game;
  xm::Module song;
  song.name = "Wings of Fire";
  song.channels = kChannels;
  song.speed = 6;
  song.bpm = 150;
  Instruments in{};
  in.lead = song.AddInstrument(SquareLead());
  in.chord = song.AddInstrument(SawChord());
  in.bass = song.AddInstrument(PickBass());
  in.kick = song.AddInstrument(Kick());
  in.snare = song.AddInstrument(Snare());
  in.hat = song.AddInstrument(HiHat());
  in.crash = song.AddInstrument(Crash());
  in.harp = song.AddInstrument(Harp());

  const std::string themeA =
      "E-5 --- A-5 --- G-5 E-5 --- C-5 "
      "D-5 --- C-5 --- A-4 --- C-5 --- "
      "E-5 --- G-5 --- C-6 --- B-5 G-5 "
      "D-5 --- --- --- B-4 --- D-5 --- ";
  const std::string themeB =
      "A-5 --- --- G-5 A-5 --- C-6 --- "
      "A-5 --- F-5 --- C-5 --- F-5 --- "
      "G-5 --- D-5 --- B-4 --- D-5 G-5 "
      "G#5 --- --- --- E-5 --- B-4 --- ";
  const std::string themeC =
      "C-6 --- B-5 --- A-5 --- E-5 --- "
      "F-5 --- A-5 --- C-6 --- A-5 --- "
      "G-5 --- E-5 --- C-5 --- E-5 G-5 "
      "B-5 --- A-5 --- G-5 --- D-5 --- ";

  const uint8_t intro = song.AddPattern(Band(kA, in, true, true, true));
  const uint8_t a1 = song.AddPattern(WithLead(Band(kA, in, true, true, false), in, themeA));
  const uint8_t b1 = song.AddPattern(WithLead(Band(kB, in, false, true, false), in, themeB));
  const uint8_t breakdown = song.AddPattern(Band(kA, in, false, false, true));
  const uint8_t a2 = song.AddPattern(WithLead(Band(kA, in, true, true, true), in, themeC));
  const uint8_t b2 = song.AddPattern(WithLead(Band(kB, in, false, true, false), in, themeB));
  song.orders = {intro, a1, b1, breakdown, a2, b2};
  song.restart = 1;
  return song;
}

}  // namespace assets
