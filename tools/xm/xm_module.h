// What an Extended Module (FastTracker II's XM 1.04) holds, in memory: song, patterns and
// instruments with their samples, plus the small helpers that make composing one readable.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xm {

// A module that cannot be written as XM: the message says which part breaks which limit.
class XmError : public std::runtime_error {
 public:
  explicit XmError(const std::string& message) : std::runtime_error(message) {}
};

// The format's limits (FastTracker II's own).
inline constexpr int kMaxChannels = 32;
inline constexpr int kMaxRows = 256;
inline constexpr int kMaxPatterns = 256;
inline constexpr int kMaxOrders = 256;
inline constexpr int kMaxInstruments = 128;
inline constexpr int kMaxSamplesPerInstrument = 16;
inline constexpr int kMaxEnvelopePoints = 12;
inline constexpr size_t kModuleNameLength = 20;
inline constexpr size_t kTrackerNameLength = 20;
inline constexpr size_t kInstrumentNameLength = 22;
inline constexpr size_t kSampleNameLength = 22;

// Notes count semitones upwards from C-0 (1) to B-7 (96); 0 is no note and 97 releases the key.
inline constexpr uint8_t kNoNote = 0;
inline constexpr uint8_t kLastNote = 96;
inline constexpr uint8_t kKeyOff = 97;

// The note of a name as trackers print it: "C-4", "F#3", "Bb2" (octaves 0-7). Throws XmError.
uint8_t Note(std::string_view name);

// The volume column: a volume to set (0-64), or a command with a parameter of 0-15.
enum class VolumeCommand : uint8_t {
  SlideDown = 0x60,
  SlideUp = 0x70,
  FineDown = 0x80,
  FineUp = 0x90,
  VibratoSpeed = 0xA0,
  VibratoDepth = 0xB0,
  SetPanning = 0xC0,
  PanSlideLeft = 0xD0,
  PanSlideRight = 0xE0,
  TonePortamento = 0xF0,
};
uint8_t Volume(int volume);  // throws XmError outside 0-64
uint8_t Volume(VolumeCommand command, int parameter);

// The effect column: the tracker's effects 0-9 and A-Z, with the parameter byte beside them.
enum class Effect : uint8_t {
  Arpeggio = 0x00,
  PortamentoUp = 0x01,
  PortamentoDown = 0x02,
  TonePortamento = 0x03,
  Vibrato = 0x04,
  TonePortamentoVolumeSlide = 0x05,
  VibratoVolumeSlide = 0x06,
  Tremolo = 0x07,
  SetPanning = 0x08,
  SampleOffset = 0x09,
  VolumeSlide = 0x0A,
  PositionJump = 0x0B,
  SetVolume = 0x0C,
  PatternBreak = 0x0D,
  Extended = 0x0E,             // E0-EF: the high nibble of the parameter picks the command
  SetSpeedOrTempo = 0x0F,      // below 32: ticks per row; from 32: beats per minute
  SetGlobalVolume = 0x10,      // G
  GlobalVolumeSlide = 0x11,    // H
  KeyOff = 0x14,               // K
  SetEnvelopePosition = 0x15,  // L
  PanningSlide = 0x19,         // P
  MultiRetrigger = 0x1B,       // R
  Tremor = 0x1D,               // T
  ExtraFinePortamento = 0x21,  // X
};
inline constexpr uint8_t kLastEffect = 0x23;  // Z

// One channel on one row.
struct Cell {
  uint8_t note = kNoNote;  // 1-96, or kKeyOff
  uint8_t instrument = 0;  // 1-128; 0 keeps the channel's instrument
  uint8_t volume = 0;      // volume column byte (see Volume); 0 is empty
  uint8_t effect = 0;      // see Effect
  uint8_t parameter = 0;
  bool operator==(const Cell&) const = default;
};

// A grid of rows by channels. The helpers return the pattern so that calls chain.
class Pattern {
 public:
  // Throws XmError unless 1 <= channels <= 32 and 1 <= rows <= 256.
  explicit Pattern(int channels, int rows = 64);

  int channels() const { return channels_; }
  int rows() const { return rows_; }
  // Throws std::out_of_range outside the grid.
  Cell& at(int row, int channel);
  const Cell& at(int row, int channel) const;

  // A note struck with an instrument; volume -1 leaves the sample's own volume.
  Pattern& Play(int row, int channel, uint8_t note, int instrument, int volume = -1);
  Pattern& Play(int row, int channel, std::string_view note, int instrument, int volume = -1);
  Pattern& Release(int row, int channel);
  Pattern& SetEffect(int row, int channel, Effect effect, uint8_t parameter);
  Pattern& SetVolumeColumn(int row, int channel, uint8_t volumeByte);

  // A line of notes down one channel, one word every `step` rows from `firstRow`: note names
  // ("C-4", "F#3"), "---" or "..." for a row left as it is, "==" or "off" to release the key.
  // Throws XmError for an unknown word or one that falls past the last row; the pattern is then
  // left as it was.
  Pattern& Sequence(int channel, int firstRow, int step, int instrument, std::string_view words,
                    int volume = -1);

 private:
  int channels_;
  int rows_;
  std::vector<Cell> cells_;
};

// A point of an envelope: the tick it is reached and its value (0-64; panning 32 is centre).
struct EnvelopePoint {
  uint16_t tick = 0;
  uint8_t value = 0;
  bool operator==(const EnvelopePoint&) const = default;
};

// An instrument's volume or panning curve, walked once per tick after the note starts.
struct Envelope {
  std::vector<EnvelopePoint> points;  // at most 12; the first at tick 0, ticks rising
  bool on = false;
  bool sustain = false;  // hold at sustainPoint until the key is released
  uint8_t sustainPoint = 0;
  bool loop = false;  // go back from loopEnd to loopStart
  uint8_t loopStart = 0;
  uint8_t loopEnd = 0;

  // An envelope that is on, through the given points.
  static Envelope Through(std::initializer_list<EnvelopePoint> points);
  Envelope& SustainAt(int point);
  Envelope& LoopBetween(int start, int end);
};

enum class LoopType : uint8_t { None = 0, Forward = 1, PingPong = 2 };
enum class SampleDepth : uint8_t { Bits8, Bits16 };

struct Sample {
  std::string name;
  SampleDepth depth = SampleDepth::Bits16;
  std::vector<int16_t> data;  // one value a frame; an 8-bit sample holds -128..127
  LoopType loop = LoopType::None;
  uint32_t loopStart = 0;   // in frames
  uint32_t loopLength = 0;  // in frames
  uint8_t volume = 64;      // 0-64
  int8_t finetune = 0;      // 1/128 of a semitone
  uint8_t panning = 128;    // 0 left, 128 centre, 255 right
  int8_t relativeNote = 0;  // semitones added to every note played

  // Loops `length` frames from `start` (length 0: to the end of the data).
  Sample& Loop(LoopType type, uint32_t start = 0, uint32_t length = 0);
  // Tunes the sample so that the note C-4 plays its data at `framesPerSecond`.
  Sample& PlayC4At(double framesPerSecond);
};

struct Instrument {
  std::string name;
  std::vector<Sample> samples;  // at most 16
  // The sample (index into samples) that each note 1-96 plays.
  std::array<uint8_t, kLastNote> sampleForNote{};
  Envelope volumeEnvelope;
  Envelope panningEnvelope;
  uint8_t vibratoType = 0;  // 0 sine, 1 square, 2 ramp down, 3 ramp up
  uint8_t vibratoSweep = 0;
  uint8_t vibratoDepth = 0;
  uint8_t vibratoRate = 0;
  uint16_t fadeout = 0;  // volume taken off each tick after the release, out of 32768

  // Notes first..last (1-96) play samples[sample].
  Instrument& MapNotes(uint8_t first, uint8_t last, int sample);
};

struct Module {
  std::string name;
  std::string tracker = "Skarvel XM writer";
  int channels = 4;
  std::vector<uint8_t> orders;  // pattern numbers in playing order; the song length is its size
  int restart = 0;              // the order position the song goes back to at its end
  int speed = 6;                // ticks per row, 1-31
  int bpm = 125;                // 32-255
  bool linearFrequencies = true;
  bool packPatterns = true;  // pack pattern cells (FastTracker II's compression)
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;

  // Append and give the number a song refers to: the pattern's index, the instrument's 1-based
  // number.
  uint8_t AddPattern(Pattern pattern);
  int AddInstrument(Instrument instrument);
};

}  // namespace xm
