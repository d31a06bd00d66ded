// The music player: songs loaded with libxmp, rendered on SDL's audio thread through the mixer's
// music hook. The game's thread loads, plays and stops; the audio thread only renders; one mutex
// keeps them from meeting inside a song.
#include "engine/platform/sdl/sdl_music.h"

#include <SDL.h>

#include <cstring>

#include "engine/platform/sdl/sdl_mixer_library.h"
#include "engine/platform/sdl/xmp_music_player.h"

namespace platform::sdl {

std::unique_ptr<MusicPlayer> CreateXmpMusicPlayer(bool audioOpen) {
  return std::make_unique<XmpMusicPlayer>(audioOpen);
}

XmpMusicPlayer::XmpMusicPlayer(bool audioOpen) {
  const MixerLibrary* mixer = audioOpen ? Mixer() : nullptr;
  if (mixer == nullptr) return;
  int rate = 0;
  Uint16 format = 0;
  int channels = 0;
  if (mixer->QuerySpec(&rate, &format, &channels) == 0) return;
  if (format != AUDIO_S16SYS || rate <= 0 || channels <= 0) return;
  rate_ = rate;
  channels_ = channels;
  mixer->HookMusic(&XmpMusicPlayer::Hook, this);
  hooked_ = true;
}

XmpMusicPlayer::~XmpMusicPlayer() {
  // Mix_HookMusic waits for a running hook call, so none is inside this player afterwards.
  if (audible()) Mixer()->HookMusic(nullptr, nullptr);
}

bool XmpMusicPlayer::audible() const {
  return hooked_ && Mixer()->GetMusicHookData() == this;
}

uint32_t XmpMusicPlayer::SongLoadFromFile(const std::string& path) {
  // Loading reads the whole file: done before taking the lock, so the sound goes on meanwhile.
  std::unique_ptr<XmpSong> song = XmpSong::Load(path);
  if (!song) return 0;
  std::unique_ptr<XmpSong> previous;
  uint32_t handle = 0;
  {
    const std::lock_guard lock(mutex_);
    handle = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;  // after four thousand million loads
    previous = std::move(song_);
    song_ = std::move(song);
    songHandle_ = handle;
    playing_ = 0;
  }
  return handle;  // the previous song is freed here, out of the audio thread's reach
}

void XmpMusicPlayer::SongPlay(uint32_t song) {
  const std::lock_guard lock(mutex_);
  if (song == 0 || song != songHandle_) return;
  if (hooked_) song_->Start(rate_, channels_);
  playing_ = song;
}

void XmpMusicPlayer::SongStop(uint32_t song) {
  const std::lock_guard lock(mutex_);
  if (song == 0 || song != playing_) return;
  song_->Stop();
  playing_ = 0;
}

uint32_t XmpMusicPlayer::playing() const {
  const std::lock_guard lock(mutex_);
  return playing_;
}

int XmpMusicPlayer::loadedSongs() const {
  const std::lock_guard lock(mutex_);
  return song_ ? 1 : 0;
}

void XmpMusicPlayer::Mix(uint8_t* stream, int len) {
  if (stream == nullptr || len <= 0) return;
  const std::lock_guard lock(mutex_);
  const int frameBytes = channels_ * static_cast<int>(sizeof(int16_t));
  const int frames = frameBytes > 0 ? len / frameBytes : 0;
  int written = 0;
  if (playing_ != 0 && song_ && song_->started() && frames > 0) {
    song_->Render(reinterpret_cast<int16_t*>(stream), frames);
    written = frames * frameBytes;
  }
  std::memset(stream + written, 0, static_cast<size_t>(len - written));
}

void XmpMusicPlayer::Hook(void* player, uint8_t* stream, int len) {
  auto* self = static_cast<XmpMusicPlayer*>(player);
  ++self->hookCalls_;
  self->Mix(stream, len);
}

}  // namespace platform::sdl
