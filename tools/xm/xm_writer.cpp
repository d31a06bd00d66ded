// Encodes a module description into the bytes of an XM 1.04 file: the song header, the patterns
// (packed or not), then each instrument with its sample headers and delta-coded sample data.
// Everything is checked against the format's limits first, so a file is written whole or not at
// all.
#include "tools/xm/xm_writer.h"

#include <climits>
#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>

namespace xm {
namespace {

constexpr std::string_view kMagic = "Extended Module: ";
constexpr uint16_t kVersion = 0x0104;
constexpr uint32_t kSongHeaderSize = 276;  // from the size field to the end of the order table
constexpr uint32_t kPatternHeaderSize = 9;
constexpr uint32_t kEmptyInstrumentHeaderSize = 29;
constexpr uint32_t kInstrumentHeaderSize = 263;
constexpr uint32_t kSampleHeaderSize = 40;
constexpr size_t kInstrumentReservedBytes = 22;
constexpr uint8_t kPackedCell = 0x80;
constexpr uint8_t kSixteenBitSample = 0x10;
constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 31;
constexpr int kMinBpm = 32;
constexpr int kMaxBpm = 255;

class Bytes {
 public:
  void U8(uint8_t value) { data.push_back(value); }
  void S8(int8_t value) { U8(static_cast<uint8_t>(value)); }
  void U16(uint16_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
  }
  // Text in a fixed field, the rest filled with zeros (the length was checked before).
  void Text(std::string_view text, size_t field) {
    data.insert(data.end(), text.begin(), text.end());
    Zeros(field - text.size());
  }
  void Zeros(size_t count) { data.insert(data.end(), count, 0); }

  std::vector<uint8_t> data;
};

[[noreturn]] void Fail(const std::string& what) {
  throw XmError(what);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

void CheckName(const std::string& what, const std::string& name, size_t field) {
  if (name.size() > field) {
    Fail(what + " name " + Quoted(name) + " is longer than " + std::to_string(field) +
         " characters");
  }
  for (const char c : name) {
    if (c < 0x20 || c > 0x7E) Fail(what + " name " + Quoted(name) + " is not printable ASCII");
  }
}

void CheckRange(const std::string& what, long value, long low, long high) {
  if (value < low || value > high) {
    Fail(what + " " + std::to_string(value) + " not in " + std::to_string(low) + "-" +
         std::to_string(high));
  }
}

void CheckCell(const Cell& cell, int instruments, const std::string& where) {
  if (cell.note > kKeyOff) Fail(where + ": note " + std::to_string(cell.note) + " not in 0-97");
  if (cell.instrument > instruments) {
    Fail(where + ": instrument " + std::to_string(cell.instrument) + " of " +
         std::to_string(instruments));
  }
  const bool volumeValid =
      cell.volume == 0 || (cell.volume >= 0x10 && cell.volume <= 0x50) || cell.volume >= 0x60;
  if (!volumeValid) Fail(where + ": volume column byte " + std::to_string(cell.volume));
  if (cell.effect > kLastEffect) Fail(where + ": effect " + std::to_string(cell.effect));
}

void CheckPattern(const Pattern& pattern, size_t index, const Module& module) {
  const std::string name = "pattern " + std::to_string(index);
  if (pattern.channels() != module.channels) {
    Fail(name + " has " + std::to_string(pattern.channels()) + " channels, the module " +
         std::to_string(module.channels));
  }
  const int instruments = static_cast<int>(module.instruments.size());
  for (int row = 0; row < pattern.rows(); ++row) {
    for (int channel = 0; channel < pattern.channels(); ++channel) {
      CheckCell(pattern.at(row, channel), instruments,
                name + " row " + std::to_string(row) + " channel " + std::to_string(channel));
    }
  }
}

void CheckEnvelope(const Envelope& envelope, const std::string& what) {
  const size_t count = envelope.points.size();
  if (count > kMaxEnvelopePoints) Fail(what + " has more than 12 points");
  if (envelope.on && count == 0) Fail(what + " is on but has no points");
  for (size_t i = 0; i < count; ++i) {
    const EnvelopePoint& point = envelope.points[i];
    if (i == 0 && point.tick != 0) Fail(what + " does not start at tick 0");
    if (i > 0 && point.tick <= envelope.points[i - 1].tick) Fail(what + " ticks do not rise");
    if (point.value > 64) Fail(what + " value " + std::to_string(point.value) + " above 64");
  }
  if (envelope.sustain && envelope.sustainPoint >= count) Fail(what + " sustains past its points");
  if (envelope.loop && (envelope.loopStart > envelope.loopEnd || envelope.loopEnd >= count)) {
    Fail(what + " loops outside its points");
  }
}

size_t BytesPerFrame(const Sample& sample) {
  return sample.depth == SampleDepth::Bits16 ? 2 : 1;
}

void CheckSample(const Sample& sample, const std::string& what) {
  CheckName(what, sample.name, kSampleNameLength);
  const size_t frames = sample.data.size();
  if (frames > static_cast<size_t>(INT32_MAX) / BytesPerFrame(sample)) Fail(what + " is too long");
  if (sample.depth == SampleDepth::Bits8) {
    for (const int16_t value : sample.data) {
      if (value < INT8_MIN || value > INT8_MAX)
        Fail(what + " is 8-bit but holds " + std::to_string(value));
    }
  }
  if (sample.loopStart > frames || sample.loopLength > frames - sample.loopStart) {
    Fail(what + " loops past its end");
  }
  if (sample.loop != LoopType::None && sample.loopLength == 0) Fail(what + " has an empty loop");
  if (sample.loop > LoopType::PingPong) Fail(what + " has an unknown loop type");
  CheckRange(what + " volume", sample.volume, 0, 64);
}

void CheckInstrument(const Instrument& instrument, int number) {
  const std::string what = "instrument " + std::to_string(number);
  CheckName(what, instrument.name, kInstrumentNameLength);
  const size_t samples = instrument.samples.size();
  if (samples > kMaxSamplesPerInstrument) Fail(what + " has more than 16 samples");
  for (size_t i = 0; i < samples; ++i) {
    CheckSample(instrument.samples[i], what + " sample " + std::to_string(i));
  }
  if (samples == 0) return;
  for (const uint8_t sample : instrument.sampleForNote) {
    if (sample >= samples) Fail(what + " maps a note to sample " + std::to_string(sample));
  }
  CheckEnvelope(instrument.volumeEnvelope, what + " volume envelope");
  CheckEnvelope(instrument.panningEnvelope, what + " panning envelope");
  CheckRange(what + " vibrato type", instrument.vibratoType, 0, 3);
}

void CheckModule(const Module& module) {
  CheckName("module", module.name, kModuleNameLength);
  CheckName("tracker", module.tracker, kTrackerNameLength);
  CheckRange("channel count", module.channels, 1, kMaxChannels);
  CheckRange("song length", static_cast<long>(module.orders.size()), 1, kMaxOrders);
  CheckRange("pattern count", static_cast<long>(module.patterns.size()), 1, kMaxPatterns);
  CheckRange("instrument count", static_cast<long>(module.instruments.size()), 0, kMaxInstruments);
  CheckRange("restart position", module.restart, 0, static_cast<long>(module.orders.size()) - 1);
  CheckRange("speed", module.speed, kMinSpeed, kMaxSpeed);
  CheckRange("BPM", module.bpm, kMinBpm, kMaxBpm);
  for (const uint8_t pattern : module.orders) {
    if (pattern >= module.patterns.size()) {
      Fail("the order table names pattern " + std::to_string(pattern) + " of " +
           std::to_string(module.patterns.size()));
    }
  }
  for (size_t i = 0; i < module.patterns.size(); ++i) CheckPattern(module.patterns[i], i, module);
  for (size_t i = 0; i < module.instruments.size(); ++i) {
    CheckInstrument(module.instruments[i], static_cast<int>(i) + 1);
  }
}

void WriteSongHeader(Bytes& out, const Module& module) {
  out.Text(kMagic, kMagic.size());
  out.Text(module.name, kModuleNameLength);
  out.U8(0x1A);
  out.Text(module.tracker, kTrackerNameLength);
  out.U16(kVersion);
  out.U32(kSongHeaderSize);
  out.U16(static_cast<uint16_t>(module.orders.size()));
  out.U16(static_cast<uint16_t>(module.restart));
  out.U16(static_cast<uint16_t>(module.channels));
  out.U16(static_cast<uint16_t>(module.patterns.size()));
  out.U16(static_cast<uint16_t>(module.instruments.size()));
  out.U16(module.linearFrequencies ? 1 : 0);
  out.U16(static_cast<uint16_t>(module.speed));
  out.U16(static_cast<uint16_t>(module.bpm));
  for (const uint8_t pattern : module.orders) out.U8(pattern);
  out.Zeros(kMaxOrders - module.orders.size());
}

// A packed cell starts with a byte whose high bit is set and whose low five bits say which of
// note, instrument, volume, effect and parameter follow. A cell with all five is cheaper stored
// plainly, and its first byte (a note, at most 97) tells it apart.
void WriteCell(Bytes& out, const Cell& cell, bool pack) {
  const uint8_t fields[] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter};
  uint8_t present = 0;
  for (int i = 0; i < 5; ++i) {
    if (fields[i] != 0) present = static_cast<uint8_t>(present | (1 << i));
  }
  const bool plain = !pack || present == 0x1F;
  if (!plain) out.U8(static_cast<uint8_t>(kPackedCell | present));
  for (int i = 0; i < 5; ++i) {
    if (plain || (present & (1 << i)) != 0) out.U8(fields[i]);
  }
}

void WritePattern(Bytes& out, const Pattern& pattern, bool pack) {
  Bytes cells;
  for (int row = 0; row < pattern.rows(); ++row) {
    for (int channel = 0; channel < pattern.channels(); ++channel) {
      WriteCell(cells, pattern.at(row, channel), pack);
    }
  }
  // At most 256 rows x 32 channels x 5 bytes: always within the 16-bit size field.
  out.U32(kPatternHeaderSize);
  out.U8(0);  // packing type
  out.U16(static_cast<uint16_t>(pattern.rows()));
  out.U16(static_cast<uint16_t>(cells.data.size()));
  out.data.insert(out.data.end(), cells.data.begin(), cells.data.end());
}

void WriteEnvelopePoints(Bytes& out, const Envelope& envelope) {
  for (const EnvelopePoint& point : envelope.points) {
    out.U16(point.tick);
    out.U16(point.value);
  }
  out.Zeros((kMaxEnvelopePoints - envelope.points.size()) * 4);
}

uint8_t EnvelopeFlags(const Envelope& envelope) {
  return static_cast<uint8_t>((envelope.on ? 1 : 0) | (envelope.sustain ? 2 : 0) |
                              (envelope.loop ? 4 : 0));
}

void WriteSampleHeader(Bytes& out, const Sample& sample) {
  const auto bytes = static_cast<uint32_t>(BytesPerFrame(sample));
  out.U32(static_cast<uint32_t>(sample.data.size()) * bytes);
  out.U32(sample.loopStart * bytes);
  out.U32(sample.loopLength * bytes);
  out.U8(sample.volume);
  out.S8(sample.finetune);
  out.U8(static_cast<uint8_t>(static_cast<uint8_t>(sample.loop) |
                              (sample.depth == SampleDepth::Bits16 ? kSixteenBitSample : 0)));
  out.U8(sample.panning);
  out.S8(sample.relativeNote);
  out.U8(0);  // reserved
  out.Text(sample.name, kSampleNameLength);
}

// Each value is stored as its difference from the one before (the first from 0), wrapping in the
// sample's width.
void WriteSampleData(Bytes& out, const Sample& sample) {
  int previous = 0;
  for (const int16_t value : sample.data) {
    const int delta = value - previous;
    previous = value;
    if (sample.depth == SampleDepth::Bits16) {
      out.U16(static_cast<uint16_t>(delta & 0xFFFF));
    } else {
      out.U8(static_cast<uint8_t>(delta & 0xFF));
    }
  }
}

void WriteInstrument(Bytes& out, const Instrument& instrument) {
  const bool hasSamples = !instrument.samples.empty();
  out.U32(hasSamples ? kInstrumentHeaderSize : kEmptyInstrumentHeaderSize);
  out.Text(instrument.name, kInstrumentNameLength);
  out.U8(0);  // type
  out.U16(static_cast<uint16_t>(instrument.samples.size()));
  if (!hasSamples) return;
  out.U32(kSampleHeaderSize);
  for (const uint8_t sample : instrument.sampleForNote) out.U8(sample);
  WriteEnvelopePoints(out, instrument.volumeEnvelope);
  WriteEnvelopePoints(out, instrument.panningEnvelope);
  const Envelope& volume = instrument.volumeEnvelope;
  const Envelope& panning = instrument.panningEnvelope;
  out.U8(static_cast<uint8_t>(volume.points.size()));
  out.U8(static_cast<uint8_t>(panning.points.size()));
  for (const Envelope* envelope : {&volume, &panning}) {
    out.U8(envelope->sustainPoint);
    out.U8(envelope->loopStart);
    out.U8(envelope->loopEnd);
  }
  out.U8(EnvelopeFlags(volume));
  out.U8(EnvelopeFlags(panning));
  out.U8(instrument.vibratoType);
  out.U8(instrument.vibratoSweep);
  out.U8(instrument.vibratoDepth);
  out.U8(instrument.vibratoRate);
  out.U16(instrument.fadeout);
  out.Zeros(kInstrumentReservedBytes);
  for (const Sample& sample : instrument.samples) WriteSampleHeader(out, sample);
  for (const Sample& sample : instrument.samples) WriteSampleData(out, sample);
}

}  // namespace

std::vector<uint8_t> EncodeModule(const Module& module) {
  CheckModule(module);
  Bytes out;
  WriteSongHeader(out, module);
  for (const Pattern& pattern : module.patterns) WritePattern(out, pattern, module.packPatterns);
  for (const Instrument& instrument : module.instruments) WriteInstrument(out, instrument);
  return std::move(out.data);
}

void WriteModule(const Module& module, const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = EncodeModule(module);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write the module " + path.string());
}

}  // namespace xm
