// The recording of a game (docs/replay-format.md): where it started, what every tick read, what
// it claims, and the state hashes along the way. The game writes it; the score server and
// `skarvel --replay` read it, treating the bytes as hostile: every size is checked against a cap
// before anything is allocated for it, before and after decompression.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace replay {

// The largest compressed recording (the upload cap).
constexpr size_t MaxReplayBytes = 256 * 1024;
// Four hours of ticks at one tick per 16 ms.
constexpr uint32_t MaxReplayTicks = 4 * 60 * 60 * 1000 / 16;
// The largest recording after decompression: far more than the longest game needs (about a byte
// a tick), far less than a decompression bomb would make.
constexpr size_t MaxDecodedBytes = 16 * 1024 * 1024;
constexpr size_t MaxStartTicketBytes = 1024;
constexpr uint32_t MaxCheckpoints = MaxReplayTicks / 256;
// Control events between two ticks; more than a player can make in 16 ms.
constexpr size_t MaxControlsPerTick = 16;
// A frame after a stall stands for this many timer intervals at most.
constexpr int32_t MaxLagCount = 1 << 20;
// The game timer's interval: one tick with LagCount 1 stands for this much time.
constexpr uint32_t TickMilliseconds = 16;

constexpr uint32_t CurrentFormatVersion = 1;

class ReplayFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The five key states a tick reads, as folded from keyboard, joystick and pad.
enum ReplayKey : uint8_t {
  KeyUp = 1 << 0,
  KeyDown = 1 << 1,
  KeyLeft = 1 << 2,
  KeyRight = 1 << 3,
  KeyFire = 1 << 4,
};
constexpr uint8_t AllReplayKeys = 0x1F;

// What the player did to the game between two ticks, beyond steering and firing.
enum class ReplayControl : uint8_t {
  Pause = 1,
  Resume = 2,
  ExitQuestionOpened = 3,
  ExitQuestionCancelled = 4,
  // The exit question's OK over a game: the game ends through "GAME OVER".
  ExitConfirmed = 5,
};

// The pointer's steering as a tick reads it: steps in pixels in each direction and its fire.
struct ReplayPointer {
  uint8_t StepLeft = 0;
  uint8_t StepRight = 0;
  uint8_t StepUp = 0;
  uint8_t StepDown = 0;
  bool Fire = false;
  bool operator==(const ReplayPointer&) const = default;
};

struct ReplayTick {
  uint8_t Keys = 0;  // ReplayKey bits
  int32_t LagCount = 1;
  // The pointer's steering at the tick's start, when it is not what the previous tick left.
  std::optional<ReplayPointer> Pointer;
  // Applied before the tick, in this order.
  std::vector<ReplayControl> Controls;
  bool operator==(const ReplayTick&) const = default;
};

// The play variables a game starts from: the generator's state, and what the previous game left
// of the clocks and countdowns (they run on across games), the level and the lives.
struct ReplayStart {
  uint32_t RandSeed = 0;
  uint8_t Level = 1;
  uint16_t Score = 0;
  int32_t Lives = 3;
  int32_t LevelElapsed = 0;
  int32_t LevelLength = 0;
  int32_t BannerTimer = 0;
  int32_t DeathDelay = 0;
  int32_t WeaponTime = 0;
  int32_t ShieldTime = 0;
  int32_t NoticeTime = 0;
  uint16_t ScrollFactor = 1;
  uint16_t EnemyDelay = 0;
  uint16_t BonusDelay = 0;
  uint16_t TreeDelay = 0;
  uint16_t DayNightDelay = 0;
  double DriftX = 0;
  double DriftY = 0;
  uint8_t ScorePlace = 11;
  bool operator==(const ReplayStart&) const = default;
};

// The game's state hash after tick number Tick (counted from 0).
struct ReplayCheckpoint {
  uint32_t Tick = 0;
  uint64_t Hash = 0;
  bool operator==(const ReplayCheckpoint&) const = default;
};

struct ReplayHeader {
  uint32_t FormatVersion = CurrentFormatVersion;
  uint32_t SimulationId = 0;
  uint64_t ArchiveHash = 0;
  ReplayStart Start;
  // Equal to the number of ticks; written so that a reader can refuse a long recording early.
  uint32_t TickCount = 0;
  uint32_t ClaimedScore = 0;
  std::vector<ReplayCheckpoint> Checkpoints;  // in rising tick order
  std::string StartTicket;                    // empty when the game got none
  bool operator==(const ReplayHeader&) const = default;
};

struct Replay {
  ReplayHeader Header;
  std::vector<ReplayTick> Ticks;
  bool operator==(const Replay&) const = default;
};

// The compressed bytes; Header.TickCount is taken from Ticks. ReplayFormatError when the recording
// breaks a cap (too many ticks, a ticket too long, ...).
std::vector<uint8_t> EncodeReplay(const Replay& replay);
// ReplayFormatError, with a message that says what is wrong, for anything damaged, oversized, a
// decompression bomb or an unknown format version.
Replay DecodeReplay(std::span<const uint8_t> bytes);

// The game time the ticks stand for: every tick's LagCount times the timer interval, paused ticks
// included (the timer ran through them in real time too).
uint64_t RecordedGameMilliseconds(const Replay& replay);
// A digest of the per-tick input stream alone (keys, pointer, lag, controls), so that the same
// stream sent twice can be recognised whatever its header says.
uint64_t InputStreamDigest(const Replay& replay);
// The digest of the game-picture archive's bytes that a recording names (hit boxes and explosion
// lengths come from it).
uint64_t GameArchiveHash(std::span<const uint8_t> archiveBytes);
// The same digest of the archive file at `path`, read a piece at a time; ReplayFormatError when the
// file cannot be read.
uint64_t GameArchiveFileHash(const std::filesystem::path& path);

}  // namespace replay
