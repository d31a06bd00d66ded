// The game's music player: XM modules loaded with libxmp and played into SDL2_mixer's music hook.
// Declared here, beside CreateXmpMusicPlayer, so that tests can look at what is heard.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/platform/platform.h"
#include "engine/platform/sdl/xmp_song.h"

namespace platform::sdl {

// Holds one song at a time: loading frees the song loaded before (silencing it if it was heard),
// so a game that loads a song on every focus change does not grow. Handles count up from 1 and
// are never given twice, so a stale handle names nothing and is ignored.
class XmpMusicPlayer final : public MusicPlayer {
 public:
  // With audioOpen, plays into the mixer opened by Mix_OpenAudio, in the format Mix_QuerySpec
  // reports (signed 16-bit, any channel count and rate); without it, or when the mixer is not
  // open or uses another sample format, songs still load and playing them is silent.
  explicit XmpMusicPlayer(bool audioOpen);
  ~XmpMusicPlayer() override;
  XmpMusicPlayer(const XmpMusicPlayer&) = delete;
  XmpMusicPlayer& operator=(const XmpMusicPlayer&) = delete;

  uint32_t SongLoadFromFile(const std::string& path) override;
  void SongPlay(uint32_t song) override;
  void SongStop(uint32_t song) override;

  // The song playing now (heard when the player is audible), 0 for none.
  uint32_t playing() const;
  // Songs this player holds in memory: 0 or 1.
  int loadedSongs() const;
  // True while the mixer's music hook is this player's.
  bool audible() const;
  // How often the mixer's audio thread has asked the hook for sound.
  int hookCalls() const { return hookCalls_.load(); }

  // The hook's work, callable from a test: fills `len` bytes in the device's format with the
  // song playing now, or with silence.
  void Mix(uint8_t* stream, int len);

 private:
  static void Hook(void* player, uint8_t* stream, int len);

  mutable std::mutex mutex_;  // guards what the audio thread reads: song_ and playing_
  std::unique_ptr<XmpSong> song_;
  uint32_t songHandle_ = 0;
  uint32_t playing_ = 0;
  uint32_t nextHandle_ = 1;
  bool hooked_ = false;
  int rate_ = 0;
  int channels_ = 0;
  std::atomic<int> hookCalls_{0};
};

}  // namespace platform::sdl
