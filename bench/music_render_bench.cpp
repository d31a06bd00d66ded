// How much of a core the music costs: one second of a song rendered through the music player's
// hook (44.1 kHz stereo, in the mixer's blocks of 1024 frames), and a focus change (load + play).
// The mixer runs on SDL's dummy driver with the hook detached from its thread, so only the
// benchmark renders.
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/platform/sdl/xmp_music_player.h"
#include "tools/xm/xm_wave.h"
#include "tools/xm/xm_writer.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = 1024;

// A song as busy as the game's: eight channels, a note on most rows, envelopes and effects.
xm::Module BusySong() {
  using xm::Wave;
  using xm::Waveform;
  xm::Module song;
  song.name = "bench";
  song.channels = 8;
  song.speed = 5;
  song.bpm = 140;

  xm::Instrument lead;
  lead.samples.push_back(Wave::Cycle(Waveform::Saw, 128, 44100)
                             .LowPass(6000)
                             .ToSample("saw")
                             .Loop(xm::LoopType::Forward));
  lead.volumeEnvelope =
      xm::Envelope::Through({{0, 0}, {3, 64}, {12, 44}, {60, 30}, {120, 0}}).SustainAt(3);
  lead.fadeout = 800;
  lead.vibratoDepth = 4;
  lead.vibratoRate = 10;
  const int leadNumber = song.AddInstrument(lead);
  xm::Instrument bass;
  bass.samples.push_back(Wave::Cycle(Waveform::Triangle, 256, 44100)
                             .ToSample("triangle")
                             .Loop(xm::LoopType::PingPong));
  const int bassNumber = song.AddInstrument(bass);
  xm::Instrument kick;
  kick.samples.push_back(
      Wave::Sweep(Waveform::Sine, 180, 40, 0.3, 44100).Decay(0.08).ToSample("kick"));
  const int kickNumber = song.AddInstrument(kick);
  xm::Instrument hat;
  hat.samples.push_back(
      Wave::Noise(0.1, 44100).Decay(0.02).ToSample("hat", xm::SampleDepth::Bits8));
  const int hatNumber = song.AddInstrument(hat);

  const char* melodies[] = {"C-5 E-5 G-5 C-6 B-5 G-5 E-5 D-5", "A-4 C-5 E-5 A-5 G-5 E-5 C-5 B-4"};
  for (const char* melody : melodies) {
    xm::Pattern pattern(song.channels, 64);
    for (int bar = 0; bar < 4; ++bar) {
      const int row = bar * 16;
      pattern.Sequence(0, row, 2, leadNumber, melody)
          .Sequence(1, row + 1, 2, leadNumber, melody, 24)
          .Sequence(2, row, 4, bassNumber, "C-3 C-3 G-2 A-2")
          .Sequence(3, row, 8, kickNumber, "C-4 C-4")
          .Sequence(4, row, 1, hatNumber,
                    "C-6 --- C-6 C-6 C-6 --- C-6 C-6 C-6 --- C-6 C-6 C-6 --- C-6 C-6")
          .Sequence(5, row, 4, leadNumber, "E-4 G-4 C-5 G-4", 32)
          .Sequence(6, row, 4, leadNumber, "G-4 C-5 E-5 C-5", 32)
          .Sequence(7, row + 2, 8, bassNumber, "C-4 G-4", 40)
          .SetEffect(row, 0, xm::Effect::Vibrato, 0x44)
          .SetEffect(row + 8, 5, xm::Effect::VolumeSlide, 0x02);
    }
    song.orders.push_back(song.AddPattern(pattern));
  }
  return song;
}

const std::string& BusySongPath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / "skarvel-bench-busy.xm";
    xm::WriteModule(BusySong(), file);
    return file.string();
  }();
  return path;
}

void BM_RenderOneSecond(benchmark::State& state) {
  platform::sdl::XmpMusicPlayer player(true);
  if (!player.audible()) {
    state.SkipWithError("the mixer is not open");
    return;
  }
  Mix_HookMusic(nullptr, nullptr);
  player.SongPlay(player.SongLoadFromFile(BusySongPath()));
  std::vector<int16_t> block(kBlockFrames * 2);
  for (auto _ : state) {
    for (int frames = 0; frames < kRate; frames += kBlockFrames) {
      player.Mix(reinterpret_cast<uint8_t*>(block.data()),
                 static_cast<int>(block.size() * sizeof(int16_t)));
      benchmark::DoNotOptimize(block.data());
    }
  }
  // A silent block would mean nothing was measured.
  if (std::all_of(block.begin(), block.end(), [](int16_t value) { return value == 0; })) {
    state.SkipWithError("the song rendered silence");
  }
  state.counters["cpu_per_music_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RenderOneSecond)->Unit(benchmark::kMillisecond);

void BM_FocusChangeLoadAndPlay(benchmark::State& state) {
  platform::sdl::XmpMusicPlayer player(true);
  Mix_HookMusic(nullptr, nullptr);
  for (auto _ : state) {
    const uint32_t song = player.SongLoadFromFile(BusySongPath());
    player.SongPlay(song);
    benchmark::DoNotOptimize(song);
  }
}
BENCHMARK(BM_FocusChangeLoadAndPlay)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
      Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kBlockFrames) != 0) {
    std::fprintf(stderr, "cannot open the mixer: %s\n", SDL_GetError());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  std::filesystem::remove(BusySongPath());
  return 0;
}
