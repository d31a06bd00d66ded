// A module in its own libxmp context, and the conversion of libxmp's mono or stereo output to the
// audio device's channel count and rate.
#include "engine/platform/sdl/xmp_song.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace platform::sdl {
namespace {

std::atomic<int> liveSongs{0};

}  // namespace

std::unique_ptr<XmpSong> XmpSong::Load(const std::string& path) {
  // Only a regular file: opening a pipe or a device of that name could wait for ever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return nullptr;
  xmp_context context = xmp_create_context();
  if (context == nullptr) return nullptr;
  if (xmp_load_module(context, path.c_str()) != 0) {
    xmp_free_context(context);
    return nullptr;
  }
  return std::unique_ptr<XmpSong>(new XmpSong(context));
}

XmpSong::XmpSong(xmp_context context) : context_(context) {
  ++liveSongs;
}

XmpSong::~XmpSong() {
  Stop();
  xmp_release_module(context_);
  xmp_free_context(context_);
  --liveSongs;
}

int XmpSong::LiveCount() {
  return liveSongs.load();
}

bool XmpSong::Start(int rate, int channels) {
  Stop();
  if (rate <= 0 || channels <= 0) return false;
  // Devices faster than libxmp renders get each frame repeated: 96 kHz is 48 kHz twice.
  repeat_ = (rate + XMP_MAX_SRATE - 1) / XMP_MAX_SRATE;
  renderChannels_ = channels == 1 ? 1 : 2;
  const int format = renderChannels_ == 1 ? XMP_FORMAT_MONO : 0;
  if (xmp_start_player(context_, rate / repeat_, format) != 0) return false;
  rate_ = rate;
  channels_ = channels;
  started_ = true;
  return true;
}

void XmpSong::Stop() {
  if (!started_) return;
  xmp_end_player(context_);
  started_ = false;
}

void XmpSong::Play(int16_t* buffer, int bytes) {
  // Looping forever (count 0), libxmp ends only when the module stops itself (speed 0); the
  // song then starts over from its beginning with the next block.
  if (xmp_play_buffer(context_, buffer, bytes, 0) != 0) {
    std::memset(buffer, 0, static_cast<size_t>(bytes));
    xmp_end_player(context_);
    const int format = renderChannels_ == 1 ? XMP_FORMAT_MONO : 0;
    started_ = xmp_start_player(context_, rate_ / repeat_, format) == 0;
  }
}

void XmpSong::Render(int16_t* out, int frames) {
  if (frames <= 0) return;
  const auto values = static_cast<size_t>(frames) * static_cast<size_t>(std::max(channels_, 1));
  if (!started_) {
    std::fill_n(out, values, int16_t{0});
    return;
  }
  if (repeat_ == 1 && channels_ == renderChannels_) {
    Play(out, static_cast<int>(values * sizeof(int16_t)));
    return;
  }
  const int rendered = (frames + repeat_ - 1) / repeat_;
  scratch_.resize(static_cast<size_t>(rendered) * static_cast<size_t>(renderChannels_));
  Play(scratch_.data(), static_cast<int>(scratch_.size() * sizeof(int16_t)));
  std::fill_n(out, values, int16_t{0});
  for (int frame = 0; frame < frames; ++frame) {
    const int16_t* from = &scratch_[static_cast<size_t>(frame / repeat_) * renderChannels_];
    int16_t* to = &out[static_cast<size_t>(frame) * static_cast<size_t>(channels_)];
    std::copy_n(from, renderChannels_, to);
  }
}

}  // namespace platform::sdl
