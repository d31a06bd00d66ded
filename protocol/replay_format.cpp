#include "protocol/replay_format.h"

#include <zstd.h>

#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>

namespace replay {

namespace {

constexpr std::array<uint8_t, 4> Magic{'S', 'K', 'R', 'P'};
// The magic and the format version stand before the compressed body.
constexpr size_t PrefixBytes = Magic.size() + 4;
constexpr int CompressionLevel = 19;

// Per-tick flags beside the five key bits.
constexpr uint8_t HasPointer = 1 << 5;
constexpr uint8_t HasLag = 1 << 6;
constexpr uint8_t HasControls = 1 << 7;
constexpr uint8_t PointerFireBit = 1;

[[noreturn]] void Fail(const std::string& why) {
  throw ReplayFormatError("damaged recording: " + why);
}

class Writer {
 public:
  template <typename T>
  void Put(T value) {
    static_assert(std::is_integral_v<T>);
    const auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) bytes_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  }
  void PutDouble(double value) { Put(std::bit_cast<uint64_t>(value)); }
  void PutBytes(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  template <typename T>
  T Get() {
    static_assert(std::is_integral_v<T>);
    Need(sizeof(T), "a value");
    std::make_unsigned_t<T> bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
      bits |=
          static_cast<std::make_unsigned_t<T>>(std::make_unsigned_t<T>{bytes_[at_ + i]} << (8 * i));
    }
    at_ += sizeof(T);
    return static_cast<T>(bits);
  }
  double GetDouble() { return std::bit_cast<double>(Get<uint64_t>()); }
  std::string GetText(size_t length) {
    Need(length, "a text");
    std::string text(reinterpret_cast<const char*>(bytes_.data() + at_), length);
    at_ += length;
    return text;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  void Need(size_t n, const char* what) {
    if (bytes_.size() - at_ < n) Fail(std::string("it ends in the middle of ") + what);
  }
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

void PutStart(Writer& w, const ReplayStart& s) {
  w.Put(s.RandSeed);
  w.Put(s.Level);
  w.Put(s.Score);
  w.Put(s.Lives);
  w.Put(s.LevelElapsed);
  w.Put(s.LevelLength);
  w.Put(s.BannerTimer);
  w.Put(s.DeathDelay);
  w.Put(s.WeaponTime);
  w.Put(s.ShieldTime);
  w.Put(s.NoticeTime);
  w.Put(s.ScrollFactor);
  w.Put(s.EnemyDelay);
  w.Put(s.BonusDelay);
  w.Put(s.TreeDelay);
  w.Put(s.DayNightDelay);
  w.PutDouble(s.DriftX);
  w.PutDouble(s.DriftY);
  w.Put(s.ScorePlace);
}

ReplayStart GetStart(Reader& r) {
  ReplayStart s;
  s.RandSeed = r.Get<uint32_t>();
  s.Level = r.Get<uint8_t>();
  s.Score = r.Get<uint16_t>();
  s.Lives = r.Get<int32_t>();
  s.LevelElapsed = r.Get<int32_t>();
  s.LevelLength = r.Get<int32_t>();
  s.BannerTimer = r.Get<int32_t>();
  s.DeathDelay = r.Get<int32_t>();
  s.WeaponTime = r.Get<int32_t>();
  s.ShieldTime = r.Get<int32_t>();
  s.NoticeTime = r.Get<int32_t>();
  s.ScrollFactor = r.Get<uint16_t>();
  s.EnemyDelay = r.Get<uint16_t>();
  s.BonusDelay = r.Get<uint16_t>();
  s.TreeDelay = r.Get<uint16_t>();
  s.DayNightDelay = r.Get<uint16_t>();
  s.DriftX = r.GetDouble();
  s.DriftY = r.GetDouble();
  s.ScorePlace = r.Get<uint8_t>();
  return s;
}

void PutTicks(Writer& w, const std::vector<ReplayTick>& ticks) {
  for (const ReplayTick& tick : ticks) {
    if (tick.Keys & ~AllReplayKeys) throw ReplayFormatError("a tick holds unknown keys");
    if (tick.LagCount < 1 || tick.LagCount > MaxLagCount) {
      throw ReplayFormatError("a tick's LagCount is out of range");
    }
    if (tick.Controls.size() > MaxControlsPerTick) {
      throw ReplayFormatError("too many control events before one tick");
    }
    uint8_t flags = tick.Keys;
    if (tick.Pointer) flags |= HasPointer;
    if (tick.LagCount != 1) flags |= HasLag;
    if (!tick.Controls.empty()) flags |= HasControls;
    w.Put(flags);
    if (tick.Pointer) {
      const ReplayPointer& p = *tick.Pointer;
      w.Put(p.StepLeft);
      w.Put(p.StepRight);
      w.Put(p.StepUp);
      w.Put(p.StepDown);
      w.Put(static_cast<uint8_t>(p.Fire ? PointerFireBit : 0));
    }
    if (tick.LagCount != 1) w.Put(tick.LagCount);
    if (!tick.Controls.empty()) {
      w.Put(static_cast<uint8_t>(tick.Controls.size()));
      for (const ReplayControl control : tick.Controls) w.Put(static_cast<uint8_t>(control));
    }
  }
}

ReplayTick GetTick(Reader& r) {
  ReplayTick tick;
  const auto flags = r.Get<uint8_t>();
  tick.Keys = flags & AllReplayKeys;
  if (flags & HasPointer) {
    ReplayPointer p;
    p.StepLeft = r.Get<uint8_t>();
    p.StepRight = r.Get<uint8_t>();
    p.StepUp = r.Get<uint8_t>();
    p.StepDown = r.Get<uint8_t>();
    const auto fire = r.Get<uint8_t>();
    if (fire & ~PointerFireBit) Fail("a pointer's fire is neither on nor off");
    p.Fire = fire != 0;
    tick.Pointer = p;
  }
  if (flags & HasLag) {
    tick.LagCount = r.Get<int32_t>();
    if (tick.LagCount < 2 || tick.LagCount > MaxLagCount) Fail("a tick's LagCount is out of range");
  }
  if (flags & HasControls) {
    const auto count = r.Get<uint8_t>();
    if (count == 0 || count > MaxControlsPerTick) Fail("a tick's count of control events");
    tick.Controls.reserve(count);
    for (uint8_t i = 0; i < count; ++i) {
      const auto control = r.Get<uint8_t>();
      if (control < static_cast<uint8_t>(ReplayControl::Pause) ||
          control > static_cast<uint8_t>(ReplayControl::ExitConfirmed)) {
        Fail("an unknown control event");
      }
      tick.Controls.push_back(static_cast<ReplayControl>(control));
    }
  }
  return tick;
}

std::vector<uint8_t> Body(const Replay& replay) {
  const ReplayHeader& h = replay.Header;
  if (replay.Ticks.size() > MaxReplayTicks) throw ReplayFormatError("too many ticks to record");
  if (h.Checkpoints.size() > MaxCheckpoints) throw ReplayFormatError("too many checkpoints");
  if (h.StartTicket.size() > MaxStartTicketBytes) throw ReplayFormatError("start ticket too long");
  Writer w;
  w.Put(h.SimulationId);
  w.Put(h.ArchiveHash);
  PutStart(w, h.Start);
  w.Put(static_cast<uint32_t>(replay.Ticks.size()));
  w.Put(h.ClaimedScore);
  w.Put(static_cast<uint32_t>(h.Checkpoints.size()));
  for (const ReplayCheckpoint& c : h.Checkpoints) {
    w.Put(c.Tick);
    w.Put(c.Hash);
  }
  w.Put(static_cast<uint16_t>(h.StartTicket.size()));
  w.PutBytes(h.StartTicket);
  PutTicks(w, replay.Ticks);
  return std::move(w.Bytes());
}

struct DecompressContext {
  void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};

// The body, never more than MaxDecodedBytes whatever the frame claims or holds.
std::vector<uint8_t> Decompress(std::span<const uint8_t> frame) {
  const unsigned long long declared = ZSTD_getFrameContentSize(frame.data(), frame.size());
  if (declared == ZSTD_CONTENTSIZE_ERROR) Fail("the compressed body is not a zstd frame");
  if (declared != ZSTD_CONTENTSIZE_UNKNOWN && declared > MaxDecodedBytes) {
    Fail("it would decompress to more than " + std::to_string(MaxDecodedBytes) + " bytes");
  }
  const size_t frameSize = ZSTD_findFrameCompressedSize(frame.data(), frame.size());
  if (ZSTD_isError(frameSize)) Fail("the compressed body is cut short or damaged");
  if (frameSize != frame.size()) Fail("bytes follow the compressed body");

  std::unique_ptr<ZSTD_DCtx, DecompressContext> context(ZSTD_createDCtx());
  if (!context) throw ReplayFormatError("no memory to decompress the recording");
  // A frame that wants a window beyond the cap is refused before it gets one.
  ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, 24);
  std::vector<uint8_t> body;
  std::array<uint8_t, 64 * 1024> chunk{};
  ZSTD_inBuffer in{frame.data(), frame.size(), 0};
  size_t remaining = 1;
  while (remaining != 0) {
    ZSTD_outBuffer out{chunk.data(), chunk.size(), 0};
    remaining = ZSTD_decompressStream(context.get(), &out, &in);
    if (ZSTD_isError(remaining)) {
      Fail(std::string("the compressed body is damaged (") + ZSTD_getErrorName(remaining) + ")");
    }
    if (body.size() + out.pos > MaxDecodedBytes) {
      Fail("it decompresses to more than " + std::to_string(MaxDecodedBytes) + " bytes");
    }
    body.insert(body.end(), chunk.data(), chunk.data() + out.pos);
    // All input taken and nothing more came out: the frame is cut short.
    if (remaining != 0 && in.pos == in.size && out.pos == 0) Fail("the compressed body ends early");
  }
  if (declared != ZSTD_CONTENTSIZE_UNKNOWN && body.size() != declared) {
    Fail("the compressed body is not the size it declares");
  }
  return body;
}

class Fnv64 {
 public:
  void Add(uint8_t byte) { hash_ = (hash_ ^ byte) * 0x100000001B3u; }
  void Add(std::span<const uint8_t> bytes) {
    for (const uint8_t b : bytes) Add(b);
  }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 0xCBF29CE484222325u;
};

}  // namespace

std::vector<uint8_t> EncodeReplay(const Replay& replay) {
  const std::vector<uint8_t> body = Body(replay);
  std::vector<uint8_t> bytes(PrefixBytes + ZSTD_compressBound(body.size()));
  std::memcpy(bytes.data(), Magic.data(), Magic.size());
  for (size_t i = 0; i < 4; ++i) {
    bytes[Magic.size() + i] = static_cast<uint8_t>(replay.Header.FormatVersion >> (8 * i));
  }
  const size_t packed = ZSTD_compress(bytes.data() + PrefixBytes, bytes.size() - PrefixBytes,
                                      body.data(), body.size(), CompressionLevel);
  if (ZSTD_isError(packed)) throw ReplayFormatError("the recording cannot be compressed");
  bytes.resize(PrefixBytes + packed);
  if (bytes.size() > MaxReplayBytes) throw ReplayFormatError("the recording is too large");
  return bytes;
}

Replay DecodeReplay(std::span<const uint8_t> bytes) {
  if (bytes.size() > MaxReplayBytes) {
    Fail("it is larger than " + std::to_string(MaxReplayBytes) + " bytes");
  }
  if (bytes.size() < PrefixBytes || !std::equal(Magic.begin(), Magic.end(), bytes.begin())) {
    throw ReplayFormatError("not a Skarvel recording");
  }
  Replay replay;
  ReplayHeader& h = replay.Header;
  h.FormatVersion = Reader(bytes.subspan(Magic.size(), 4)).Get<uint32_t>();
  if (h.FormatVersion != CurrentFormatVersion) {
    throw ReplayFormatError("recording format " + std::to_string(h.FormatVersion) +
                            " is not known to this game (it reads format " +
                            std::to_string(CurrentFormatVersion) + ")");
  }
  const std::vector<uint8_t> body = Decompress(bytes.subspan(PrefixBytes));
  Reader r(body);
  h.SimulationId = r.Get<uint32_t>();
  h.ArchiveHash = r.Get<uint64_t>();
  h.Start = GetStart(r);
  h.TickCount = r.Get<uint32_t>();
  if (h.TickCount > MaxReplayTicks) Fail("more ticks than a recording may hold");
  h.ClaimedScore = r.Get<uint32_t>();
  const auto checkpoints = r.Get<uint32_t>();
  if (checkpoints > MaxCheckpoints) Fail("too many checkpoints");
  h.Checkpoints.reserve(checkpoints);
  for (uint32_t i = 0; i < checkpoints; ++i) {
    ReplayCheckpoint c;
    c.Tick = r.Get<uint32_t>();
    c.Hash = r.Get<uint64_t>();
    if (c.Tick >= h.TickCount) Fail("a checkpoint after the last tick");
    if (!h.Checkpoints.empty() && c.Tick <= h.Checkpoints.back().Tick) {
      Fail("checkpoints out of order");
    }
    h.Checkpoints.push_back(c);
  }
  const auto ticketLength = r.Get<uint16_t>();
  if (ticketLength > MaxStartTicketBytes) Fail("the start ticket is too long");
  h.StartTicket = r.GetText(ticketLength);
  // Every tick takes at least its flags byte, so the count is checked against what is left
  // before the ticks are given room.
  if (h.TickCount > body.size()) Fail("it holds fewer ticks than it says");
  replay.Ticks.reserve(h.TickCount);
  for (uint32_t i = 0; i < h.TickCount; ++i) replay.Ticks.push_back(GetTick(r));
  if (!r.AtEnd()) Fail("bytes follow the last tick");
  return replay;
}

uint64_t RecordedGameMilliseconds(const Replay& replay) {
  uint64_t intervals = 0;
  for (const ReplayTick& tick : replay.Ticks) intervals += static_cast<uint64_t>(tick.LagCount);
  return intervals * TickMilliseconds;
}

uint64_t InputStreamDigest(const Replay& replay) {
  Writer w;
  PutTicks(w, replay.Ticks);
  Fnv64 digest;
  digest.Add(w.Bytes());
  return digest.Value();
}

namespace {
uint64_t ArchiveDigestWithLength(Fnv64 digest, uint64_t length) {
  // The length too, so that a prefix of the archive is never taken for the archive.
  for (size_t i = 0; i < 8; ++i) digest.Add(static_cast<uint8_t>(length >> (8 * i)));
  return digest.Value();
}
}  // namespace

uint64_t GameArchiveHash(std::span<const uint8_t> archiveBytes) {
  Fnv64 digest;
  digest.Add(archiveBytes);
  return ArchiveDigestWithLength(digest, archiveBytes.size());
}

uint64_t GameArchiveFileHash(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) Fail("\"" + path.string() + "\" cannot be opened");
  Fnv64 digest;
  uint64_t length = 0;
  std::array<char, 64 * 1024> piece;
  while (file.read(piece.data(), piece.size()) || file.gcount() > 0) {
    const auto count = static_cast<size_t>(file.gcount());
    digest.Add({reinterpret_cast<const uint8_t*>(piece.data()), count});
    length += count;
  }
  if (file.bad()) Fail("\"" + path.string() + "\" cannot be read");
  return ArchiveDigestWithLength(digest, length);
}

}  // namespace replay
