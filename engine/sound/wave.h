// A recording as the sound archive stores it: the bytes of a RIFF WAVE file's format chunk, kept
// unchanged, and its sample bytes. Reads and writes the RIFF WAVE file form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/platform/audio_output.h"

class TWave {
 public:
  // The format chunk as stored (a Windows wave format description); empty when there was none.
  const std::vector<uint8_t>& FormatBlock() const { return format_; }
  size_t FormatSize() const { return format_.size(); }
  // The sample bytes; empty when there was no "data" chunk.
  const std::vector<uint8_t>& Data() const { return data_; }
  size_t Size() const { return data_.size(); }

  void Clear();
  // A linear PCM recording with these samples (8-bit unsigned or 16-bit signed little-endian).
  void SetPcm(const platform::PcmFormat& format, std::vector<uint8_t> samples);

  // Reads a RIFF WAVE file: "RIFF", a size that is not checked, "WAVE", then chunks until no
  // further chunk header can be read. A "fmt " chunk becomes the format block, a "data" chunk
  // the samples, anything else is skipped. A 0 pad byte after an odd-sized chunk is skipped as
  // the RIFF form has it; a writer that left it out is read correctly too. Throws
  // EWaveStreamError "Wave is invalid" when the header is wrong or a chunk it keeps runs past the
  // end; the wave is left unchanged then.
  void LoadFromBytes(std::span<const uint8_t> bytes);
  // The RIFF WAVE file of this wave: "fmt " then "data", each padded to an even size.
  std::vector<uint8_t> SaveToBytes() const;

  // The format when it is linear PCM that the sound output can take (1 or 2 channels, 8 or 16
  // bits); empty otherwise, and such a wave never plays.
  std::optional<platform::PcmFormat> PlayableFormat() const;
  // How long the samples play at their own rate, in milliseconds; 0 when not playable.
  uint32_t DurationMs() const;

  bool operator==(const TWave&) const = default;

 private:
  std::vector<uint8_t> format_;
  std::vector<uint8_t> data_;
};
