// The composing helpers of the module description: note names, volume column bytes, pattern
// editing, envelopes, sample loops and tuning.
#include "tools/xm/xm_module.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

namespace xm {
namespace {

// The note C-4 plays a sample at this rate before relative note and finetune.
constexpr double kC4Rate = 8363.0;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

bool IsKeyOffWord(std::string_view word) {
  return word == "==" || word == "===" || word == "off";
}
bool IsRestWord(std::string_view word) {
  return word == "---" || word == "...";
}

}  // namespace

uint8_t Note(std::string_view name) {
  static constexpr int kSemitoneOfLetter[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() != 3 || name[0] < 'A' || name[0] > 'G' || name[2] < '0' || name[2] > '7') {
    throw XmError("not a note name: " + Quoted(name));
  }
  int semitone = kSemitoneOfLetter[name[0] - 'A'];
  if (name[1] == '#') {
    ++semitone;
  } else if (name[1] == 'b') {
    --semitone;
  } else if (name[1] != '-') {
    throw XmError("not a note name: " + Quoted(name));
  }
  const int note = (name[2] - '0') * 12 + semitone + 1;
  if (note < 1 || note > kLastNote) throw XmError("note out of range: " + Quoted(name));
  return static_cast<uint8_t>(note);
}

uint8_t Volume(int volume) {
  if (volume < 0 || volume > 64) throw XmError("volume " + std::to_string(volume) + " not in 0-64");
  return static_cast<uint8_t>(0x10 + volume);
}

uint8_t Volume(VolumeCommand command, int parameter) {
  if (parameter < 0 || parameter > 15) {
    throw XmError("volume column parameter " + std::to_string(parameter) + " not in 0-15");
  }
  return static_cast<uint8_t>(static_cast<uint8_t>(command) | parameter);
}

Pattern::Pattern(int channels, int rows) : channels_(channels), rows_(rows) {
  if (channels < 1 || channels > kMaxChannels) {
    throw XmError("a pattern has 1-32 channels, not " + std::to_string(channels));
  }
  if (rows < 1 || rows > kMaxRows) {
    throw XmError("a pattern has 1-256 rows, not " + std::to_string(rows));
  }
  cells_.resize(static_cast<size_t>(channels) * static_cast<size_t>(rows));
}

Cell& Pattern::at(int row, int channel) {
  return const_cast<Cell&>(static_cast<const Pattern&>(*this).at(row, channel));
}

const Cell& Pattern::at(int row, int channel) const {
  if (row < 0 || row >= rows_ || channel < 0 || channel >= channels_) {
    throw std::out_of_range("cell (row " + std::to_string(row) + ", channel " +
                            std::to_string(channel) + ") outside the pattern");
  }
  return cells_[static_cast<size_t>(row) * static_cast<size_t>(channels_) +
                static_cast<size_t>(channel)];
}

Pattern& Pattern::Play(int row, int channel, uint8_t note, int instrument, int volume) {
  if (note < 1 || note > kLastNote) throw XmError("note " + std::to_string(note) + " not in 1-96");
  if (instrument < 0 || instrument > kMaxInstruments) {
    throw XmError("instrument " + std::to_string(instrument) + " not in 0-128");
  }
  const uint8_t volumeByte = volume >= 0 ? Volume(volume) : uint8_t{0};
  Cell& cell = at(row, channel);
  cell.note = note;
  cell.instrument = static_cast<uint8_t>(instrument);
  if (volume >= 0) cell.volume = volumeByte;
  return *this;
}

Pattern& Pattern::Play(int row, int channel, std::string_view note, int instrument, int volume) {
  return Play(row, channel, Note(note), instrument, volume);
}

Pattern& Pattern::Release(int row, int channel) {
  at(row, channel).note = kKeyOff;
  return *this;
}

Pattern& Pattern::SetEffect(int row, int channel, Effect effect, uint8_t parameter) {
  Cell& cell = at(row, channel);
  cell.effect = static_cast<uint8_t>(effect);
  cell.parameter = parameter;
  return *this;
}

Pattern& Pattern::SetVolumeColumn(int row, int channel, uint8_t volumeByte) {
  at(row, channel).volume = volumeByte;
  return *this;
}

Pattern& Pattern::Sequence(int channel, int firstRow, int step, int instrument,
                           std::string_view words, int volume) {
  if (step < 1) throw XmError("a sequence steps at least one row, not " + std::to_string(step));
  // Every word is checked before the first is written, so a refused line changes nothing.
  Pattern edited = *this;
  int row = firstRow;
  size_t pos = 0;
  while (true) {
    pos = words.find_first_not_of(" \t\n", pos);
    if (pos == std::string_view::npos) break;
    const size_t end = std::min(words.find_first_of(" \t\n", pos), words.size());
    const std::string_view word = words.substr(pos, end - pos);
    pos = end;
    if (row < 0 || row >= rows_) {
      throw XmError("sequence word " + Quoted(word) + " falls on row " + std::to_string(row) +
                    " of a pattern of " + std::to_string(rows_));
    }
    if (IsKeyOffWord(word)) {
      edited.Release(row, channel);
    } else if (!IsRestWord(word)) {
      edited.Play(row, channel, Note(word), instrument, volume);
    }
    row += step;
  }
  *this = std::move(edited);
  return *this;
}

Envelope Envelope::Through(std::initializer_list<EnvelopePoint> points) {
  Envelope envelope;
  envelope.points = points;
  envelope.on = true;
  return envelope;
}

Envelope& Envelope::SustainAt(int point) {
  if (point < 0 || point >= static_cast<int>(points.size())) {
    throw XmError("sustain point " + std::to_string(point) + " is not a point of the envelope");
  }
  sustain = true;
  sustainPoint = static_cast<uint8_t>(point);
  return *this;
}

Envelope& Envelope::LoopBetween(int start, int end) {
  if (start < 0 || start > end || end >= static_cast<int>(points.size())) {
    throw XmError("envelope loop " + std::to_string(start) + "-" + std::to_string(end) +
                  " is not between points of the envelope");
  }
  loop = true;
  loopStart = static_cast<uint8_t>(start);
  loopEnd = static_cast<uint8_t>(end);
  return *this;
}

Sample& Sample::Loop(LoopType type, uint32_t start, uint32_t length) {
  const size_t frames = data.size();
  if (start > frames || length > frames - start) {
    throw XmError("loop of sample " + Quoted(name) + " reaches past its " + std::to_string(frames) +
                  " frames");
  }
  loop = type;
  loopStart = start;
  loopLength = length == 0 ? static_cast<uint32_t>(frames - start) : length;
  return *this;
}

Sample& Sample::PlayC4At(double framesPerSecond) {
  if (!(framesPerSecond > 0.0)) throw XmError("sample " + Quoted(name) + " needs a positive rate");
  // Relative note and finetune together count 1/128 semitones from the format's C-4 rate.
  const double steps = std::round(std::log2(framesPerSecond / kC4Rate) * 12.0 * 128.0);
  const double note = std::floor(steps / 128.0);
  if (note < -96.0 || note > 95.0) {
    throw XmError("sample " + Quoted(name) + " cannot be tuned to play C-4 at " +
                  std::to_string(framesPerSecond) + " frames a second");
  }
  relativeNote = static_cast<int8_t>(note);
  finetune = static_cast<int8_t>(steps - note * 128.0);
  return *this;
}

Instrument& Instrument::MapNotes(uint8_t first, uint8_t last, int sample) {
  if (first < 1 || last > kLastNote || first > last) {
    throw XmError("note range " + std::to_string(first) + "-" + std::to_string(last) +
                  " not within 1-96");
  }
  if (sample < 0 || sample >= kMaxSamplesPerInstrument) {
    throw XmError("sample " + std::to_string(sample) + " not in 0-15");
  }
  for (int note = first; note <= last; ++note) {
    sampleForNote[static_cast<size_t>(note - 1)] = static_cast<uint8_t>(sample);
  }
  return *this;
}

uint8_t Module::AddPattern(Pattern pattern) {
  if (patterns.size() >= kMaxPatterns) throw XmError("a module holds at most 256 patterns");
  patterns.push_back(std::move(pattern));
  return static_cast<uint8_t>(patterns.size() - 1);
}

int Module::AddInstrument(Instrument instrument) {
  if (instruments.size() >= kMaxInstruments)
    throw XmError("a module holds at most 128 instruments");
  instruments.push_back(std::move(instrument));
  return static_cast<int>(instruments.size());
}

}  // namespace xm
