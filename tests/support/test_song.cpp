// The small test song: composed with the XM writer's pattern and wave builders.
#include "tests/support/test_song.h"

#include "tools/xm/xm_wave.h"
#include "tools/xm/xm_writer.h"

xm::Module MakeTestSong(const std::string& name) {
  using xm::Wave;
  using xm::Waveform;

  xm::Module song;
  song.name = name;
  song.channels = 4;
  song.speed = 6;
  song.bpm = 125;

  xm::Instrument lead;
  lead.name = "lead";
  lead.samples.push_back(Wave::Cycle(Waveform::Square, 32)
                             .Gain(0.6)
                             .ToSample("square", xm::SampleDepth::Bits8)
                             .Loop(xm::LoopType::Forward));
  lead.volumeEnvelope = xm::Envelope::Through({{0, 64}, {8, 48}, {40, 32}}).SustainAt(2);
  lead.fadeout = 2048;
  const int leadNumber = song.AddInstrument(std::move(lead));

  xm::Instrument bass;
  bass.name = "bass";
  bass.samples.push_back(Wave::Cycle(Waveform::Triangle, 64)
                             .ToSample("triangle", xm::SampleDepth::Bits16)
                             .Loop(xm::LoopType::Forward));
  const int bassNumber = song.AddInstrument(std::move(bass));

  xm::Instrument hat;
  hat.name = "hat";
  hat.samples.push_back(Wave::Noise(0.08).Decay(0.015).ToSample("noise", xm::SampleDepth::Bits8));
  const int hatNumber = song.AddInstrument(std::move(hat));

  xm::Pattern first(song.channels, 16);
  first.Sequence(0, 0, 2, leadNumber, "C-5 E-5 G-5 E-5 C-5 E-5 G-5 ==")
      .Sequence(1, 0, 4, bassNumber, "C-3 C-3 G-2 G-2", 48)
      .Sequence(2, 0, 1, hatNumber,
                "C-5 --- C-5 --- C-5 --- C-5 --- C-5 --- C-5 --- C-5 C-5 C-5 C-5")
      .Sequence(3, 0, 8, leadNumber, "G-4 A-4", 32);
  xm::Pattern second(song.channels, 16);
  second.Sequence(0, 0, 2, leadNumber, "F-5 A-5 C-6 A-5 G-5 F-5 E-5 D-5")
      .Sequence(1, 0, 4, bassNumber, "F-2 F-2 G-2 G-2", 48)
      .Sequence(2, 0, 2, hatNumber, "C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5")
      .Sequence(3, 0, 8, leadNumber, "A-4 B-4", 32);
  song.orders = {song.AddPattern(std::move(first)), song.AddPattern(std::move(second))};
  return song;
}

void WriteTestSong(const std::filesystem::path& path, const std::string& name) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  xm::WriteModule(MakeTestSong(name), path);
}
