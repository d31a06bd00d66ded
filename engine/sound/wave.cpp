#include "engine/sound/wave.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "engine/base/exception.h"

namespace {

using Tag = std::array<uint8_t, 4>;
constexpr Tag MakeTag(const char (&text)[5]) {
  return {static_cast<uint8_t>(text[0]), static_cast<uint8_t>(text[1]),
          static_cast<uint8_t>(text[2]), static_cast<uint8_t>(text[3])};
}
constexpr Tag RiffTag = MakeTag("RIFF");
constexpr Tag WaveTag = MakeTag("WAVE");
constexpr Tag FormatTag = MakeTag("fmt ");
constexpr Tag DataTag = MakeTag("data");

constexpr size_t RiffHeaderSize = 12;
constexpr size_t ChunkHeaderSize = 8;
// The part of a wave format description every PCM format chunk has.
constexpr size_t PcmFormatSize = 16;
// WAVEFORMATEXTENSIBLE: the sample kind is a GUID at byte 24.
constexpr size_t ExtensibleFormatSize = 40;
constexpr uint16_t WaveFormatPcm = 1;
constexpr uint16_t WaveFormatExtensible = 0xFFFE;
constexpr std::array<uint8_t, 16> PcmSubFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

[[noreturn]] void Invalid() {
  throw EWaveStreamError("Wave is invalid");
}

bool HasTag(std::span<const uint8_t> bytes, size_t at, const Tag& tag) {
  return std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
}

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

void PutChunk(std::vector<uint8_t>& out, const Tag& tag, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), tag.begin(), tag.end());
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
  if (bytes.size() % 2 == 1) out.push_back(0);
}

}  // namespace

void TWave::Clear() {
  format_.clear();
  data_.clear();
}

void TWave::SetPcm(const platform::PcmFormat& format, std::vector<uint8_t> samples) {
  const uint32_t blockAlign = static_cast<uint32_t>(format.FrameBytes());
  std::vector<uint8_t> block;
  PutU16(block, WaveFormatPcm);
  PutU16(block, static_cast<uint32_t>(format.channels));
  PutU32(block, static_cast<uint32_t>(format.samplesPerSec));
  PutU32(block, static_cast<uint32_t>(format.samplesPerSec) * blockAlign);
  PutU16(block, blockAlign);
  PutU16(block, static_cast<uint32_t>(format.bitsPerSample));
  PutU16(block, 0);  // no extra format bytes
  format_ = std::move(block);
  data_ = std::move(samples);
}

void TWave::LoadFromBytes(std::span<const uint8_t> bytes) {
  if (bytes.size() < RiffHeaderSize || !HasTag(bytes, 0, RiffTag) || !HasTag(bytes, 8, WaveTag)) {
    Invalid();
  }
  std::vector<uint8_t> format;
  std::vector<uint8_t> data;
  size_t at = RiffHeaderSize;
  while (bytes.size() - at >= ChunkHeaderSize) {
    const uint32_t id = ReadU32(bytes, at);
    if (id == 0) break;
    const bool isFormat = HasTag(bytes, at, FormatTag);
    const bool isData = HasTag(bytes, at, DataTag);
    const size_t size = ReadU32(bytes, at + 4);
    at += ChunkHeaderSize;
    const size_t left = bytes.size() - at;
    if (size > left) {
      // A chunk the sound needs must be whole; one it skips ends the chunks, as a header
      // beyond the end cannot be read.
      if (isFormat || isData) Invalid();
      break;
    }
    const auto first = bytes.begin() + static_cast<ptrdiff_t>(at);
    if (isFormat) format.assign(first, first + static_cast<ptrdiff_t>(size));
    if (isData) data.assign(first, first + static_cast<ptrdiff_t>(size));
    at += size;
    // RIFF pads odd chunks to an even size with a 0 byte; a chunk identifier never starts with
    // 0, so a writer that left the pad out is read as well.
    if (size % 2 == 1 && at < bytes.size() && bytes[at] == 0) ++at;
  }
  format_ = std::move(format);
  data_ = std::move(data);
}

std::vector<uint8_t> TWave::SaveToBytes() const {
  const auto padded = [](size_t size) { return size + size % 2; };
  const size_t body =
      4 + ChunkHeaderSize + padded(format_.size()) + ChunkHeaderSize + padded(data_.size());
  if (format_.size() > std::numeric_limits<uint32_t>::max() / 2 ||
      data_.size() > std::numeric_limits<uint32_t>::max() / 2) {
    throw EWaveStreamError("Wave is too large to be stored");
  }
  std::vector<uint8_t> out;
  out.reserve(ChunkHeaderSize + body);
  out.insert(out.end(), RiffTag.begin(), RiffTag.end());
  PutU32(out, static_cast<uint32_t>(body));
  out.insert(out.end(), WaveTag.begin(), WaveTag.end());
  PutChunk(out, FormatTag, format_);
  PutChunk(out, DataTag, data_);
  return out;
}

std::optional<platform::PcmFormat> TWave::PlayableFormat() const {
  if (format_.size() < PcmFormatSize) return std::nullopt;
  const uint16_t kind = ReadU16(format_, 0);
  const bool pcm = kind == WaveFormatPcm ||
                   (kind == WaveFormatExtensible && format_.size() >= ExtensibleFormatSize &&
                    std::equal(PcmSubFormat.begin(), PcmSubFormat.end(), format_.begin() + 24));
  if (!pcm) return std::nullopt;
  platform::PcmFormat result;
  result.channels = ReadU16(format_, 2);
  const uint32_t rate = ReadU32(format_, 4);
  result.bitsPerSample = ReadU16(format_, 14);
  if (result.channels < 1 || result.channels > 2) return std::nullopt;
  if (result.bitsPerSample != 8 && result.bitsPerSample != 16) return std::nullopt;
  if (rate == 0 || rate > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
    return std::nullopt;
  }
  result.samplesPerSec = static_cast<int>(rate);
  return result;
}

uint32_t TWave::DurationMs() const {
  const std::optional<platform::PcmFormat> format = PlayableFormat();
  if (!format) return 0;
  const uint64_t frames = data_.size() / static_cast<size_t>(format->FrameBytes());
  const uint64_t ms = frames * 1000 / static_cast<uint64_t>(format->samplesPerSec);
  return static_cast<uint32_t>(std::min<uint64_t>(ms, std::numeric_limits<uint32_t>::max()));
}
