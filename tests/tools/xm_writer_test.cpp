#include "tools/xm/xm_writer.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_song.h"
#include "tools/xm/xm_wave.h"

namespace {

// libxmp stores the volume column's set-volume as volume + 1 (0 is "none") and its notes an octave
// higher than XM's.
constexpr int kLibxmpNoteOffset = 12;

// A module written to a file and loaded back with libxmp, the library the game plays music with.
class Loaded {
 public:
  explicit Loaded(const xm::Module& module) : context_(xmp_create_context()) {
    const auto path = dir_.path() / "song.xm";
    xm::WriteModule(module, path);
    result_ = xmp_load_module(context_, path.c_str());
    if (result_ == 0) {
      xmp_module_info info;
      xmp_get_module_info(context_, &info);
      module_ = info.mod;
    }
  }
  ~Loaded() {
    if (result_ == 0) xmp_release_module(context_);
    xmp_free_context(context_);
  }
  Loaded(const Loaded&) = delete;
  Loaded& operator=(const Loaded&) = delete;

  bool ok() const { return result_ == 0; }
  const xmp_module& mod() const { return *module_; }
  xmp_context context() const { return context_; }
  const xmp_event& Event(int pattern, int channel, int row) const {
    return module_->xxt[module_->xxp[pattern]->index[channel]]->event[row];
  }

 private:
  TempDir dir_;
  xmp_context context_;
  int result_ = -1;
  xmp_module* module_ = nullptr;
};

// Renders `seconds` of the loaded module, interleaved 16-bit (mono when asked).
std::vector<int16_t> Render(const Loaded& song, double seconds, int rate, bool mono) {
  const int channels = mono ? 1 : 2;
  std::vector<int16_t> samples(static_cast<size_t>(seconds * rate) * channels);
  EXPECT_EQ(xmp_start_player(song.context(), rate, mono ? XMP_FORMAT_MONO : 0), 0);
  EXPECT_EQ(xmp_play_buffer(song.context(), samples.data(),
                            static_cast<int>(samples.size() * sizeof(int16_t)), 0),
            0);
  xmp_end_player(song.context());
  return samples;
}

double Rms(const std::vector<int16_t>& samples) {
  double sum = 0.0;
  for (const int16_t value : samples) sum += static_cast<double>(value) * value;
  return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// Five channels (an odd count on purpose), three patterns of different lengths, an instrument
// without samples between two that have them.
xm::Module SmallSong(bool pack) {
  xm::Module song;
  song.name = "Writer test";
  song.tracker = "Unit test";
  song.channels = 5;
  song.speed = 4;
  song.bpm = 140;
  song.restart = 1;
  song.linearFrequencies = true;
  song.packPatterns = pack;

  xm::Instrument tone;
  tone.name = "tone";
  tone.samples.push_back(
      xm::Wave::Cycle(xm::Waveform::Saw, 50).ToSample("saw").Loop(xm::LoopType::Forward));
  song.AddInstrument(tone);
  xm::Instrument empty;
  empty.name = "nothing here";
  song.AddInstrument(empty);
  xm::Instrument blip;
  blip.name = "blip";
  blip.samples.push_back(
      xm::Wave::Tone(xm::Waveform::Square, 880, 0.2).ToSample("blip", xm::SampleDepth::Bits8));
  song.AddInstrument(blip);

  xm::Pattern intro(song.channels, 16);
  intro.Play(0, 0, "C-4", 1, 40)
      .Play(0, 4, "B-7", 3)
      .SetEffect(0, 4, xm::Effect::VolumeSlide, 0x0F)
      .Release(4, 0)
      .SetVolumeColumn(5, 1, xm::Volume(xm::VolumeCommand::SetPanning, 12))
      .SetEffect(6, 2, xm::Effect::Arpeggio, 0x37)
      .Play(15, 3, "C-0", 3, 64)
      .SetEffect(15, 3, xm::Effect::SetSpeedOrTempo, 3);
  xm::Pattern verse(song.channels, 32);
  verse.Sequence(1, 0, 8, 1, "E-4 G-4 --- off");
  xm::Pattern coda(song.channels, 64);
  coda.Play(63, 2, "D#5", 1);
  song.orders = {song.AddPattern(intro), song.AddPattern(verse), 0, song.AddPattern(coda)};
  return song;
}

class XmWriterSongTest : public testing::TestWithParam<bool> {};

TEST_P(XmWriterSongTest, LibxmpReadsTheSongAsComposed) {
  const xm::Module song = SmallSong(GetParam());
  const Loaded loaded(song);
  ASSERT_TRUE(loaded.ok());
  const xmp_module& mod = loaded.mod();

  EXPECT_STREQ(mod.name, "Writer test");
  EXPECT_EQ(mod.chn, 5);
  EXPECT_EQ(mod.pat, 3 + 1);  // libxmp adds one blank pattern of its own
  EXPECT_EQ(mod.ins, 3);
  EXPECT_EQ(mod.smp, 2);
  EXPECT_EQ(mod.spd, 4);
  EXPECT_EQ(mod.bpm, 140);
  EXPECT_EQ(mod.len, 4);
  EXPECT_EQ(mod.rst, 1);
  EXPECT_EQ(std::vector<int>(mod.xxo, mod.xxo + 4), (std::vector<int>{0, 1, 0, 2}));
  EXPECT_EQ(mod.xxp[0]->rows, 16);
  EXPECT_EQ(mod.xxp[1]->rows, 32);
  EXPECT_EQ(mod.xxp[2]->rows, 64);
  EXPECT_STREQ(mod.xxi[1].name, "nothing here");
  EXPECT_EQ(mod.xxi[1].nsm, 0);
  EXPECT_STREQ(mod.xxi[2].name, "blip");

  // Notes as libxmp numbers them: C-0 is 13 there, an octave below the XM range being its own.
  const auto note = [](const char* name) { return xm::Note(name) + kLibxmpNoteOffset; };
  struct Expected {
    int pattern, channel, row, note, instrument, volume, effect, parameter;
  };
  const Expected events[] = {
      {0, 0, 0, note("C-4"), 1, 40 + 1, 0, 0},
      {0, 4, 0, note("B-7"), 3, 0, 0x0A, 0x0F},
      {0, 0, 4, XMP_KEY_OFF, 0, 0, 0, 0},
      {0, 2, 6, 0, 0, 0, 0x00, 0x37},
      {0, 3, 15, note("C-0"), 3, 64 + 1, 0x0F, 3},
      {0, 3, 14, 0, 0, 0, 0, 0},
      {1, 1, 0, note("E-4"), 1, 0, 0, 0},
      {1, 1, 8, note("G-4"), 1, 0, 0, 0},
      {1, 1, 16, 0, 0, 0, 0, 0},
      {1, 1, 24, XMP_KEY_OFF, 0, 0, 0, 0},
      {2, 2, 63, note("D#5"), 1, 0, 0, 0},
  };
  for (const Expected& e : events) {
    SCOPED_TRACE("pattern " + std::to_string(e.pattern) + " channel " + std::to_string(e.channel) +
                 " row " + std::to_string(e.row));
    const xmp_event& event = loaded.Event(e.pattern, e.channel, e.row);
    EXPECT_EQ(event.note, e.note);
    EXPECT_EQ(event.ins, e.instrument);
    EXPECT_EQ(event.vol, e.volume);
    EXPECT_EQ(event.fxt, e.effect);
    EXPECT_EQ(event.fxp, e.parameter);
  }
  // The panning command of the volume column arrives as a second effect.
  const xmp_event& panned = loaded.Event(0, 1, 5);
  EXPECT_EQ(panned.vol, 0);
  EXPECT_NE(panned.f2t, 0);
}

TEST_P(XmWriterSongTest, RendersAudibleSound) {
  const Loaded loaded(SmallSong(GetParam()));
  ASSERT_TRUE(loaded.ok());
  const std::vector<int16_t> second = Render(loaded, 1.0, 44100, false);
  EXPECT_GT(Rms(second), 500.0);
}

INSTANTIATE_TEST_SUITE_P(PackedAndPlain, XmWriterSongTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                           return param.param ? "Packed" : "Plain";
                         });

TEST(XmWriter, PackingShrinksTheFileAndTheLayoutIsTheFormats) {
  xm::Module song;
  song.name = "Layout";
  song.channels = 2;
  song.orders = {0};
  xm::Pattern pattern(2, 1);
  pattern.Play(0, 1, "C-4", 0);
  song.AddPattern(pattern);
  song.AddInstrument(xm::Instrument{});  // no samples: the short instrument header

  const std::vector<uint8_t> packed = xm::EncodeModule(song);
  song.packPatterns = false;
  const std::vector<uint8_t> plain = xm::EncodeModule(song);

  ASSERT_EQ(packed.size(), 336u + 9 + 3 + 29);
  ASSERT_EQ(plain.size(), 336u + 9 + 10 + 29);
  EXPECT_EQ(std::string(packed.begin(), packed.begin() + 17), "Extended Module: ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&packed[17])), "Layout");
  EXPECT_EQ(packed[37], 0x1A);
  EXPECT_EQ(packed[58] | packed[59] << 8, 0x0104);
  EXPECT_EQ(packed[60] | packed[61] << 8, 276);
  EXPECT_EQ(packed[68], 2);  // channels
  // The pattern: a header of 9 bytes (1 row, 3 bytes of cells), an empty cell, a cell with only
  // a note; then the instrument's header size.
  const std::vector<uint8_t> patternBytes(packed.begin() + 336, packed.begin() + 336 + 13);
  EXPECT_EQ(patternBytes,
            (std::vector<uint8_t>{9, 0, 0, 0, 0, 1, 0, 3, 0, 0x80, 0x81, xm::Note("C-4"), 29}));
}

TEST(XmWriter, SamplesInstrumentsAndEnvelopesSurviveTheRoundTrip) {
  xm::Module song;
  song.name = "Samples";
  song.channels = 1;
  song.orders = {song.AddPattern(xm::Pattern(1, 4))};

  // Jumps between the extremes make the deltas wrap; the values must still come back exactly.
  xm::Sample wide;
  wide.name = "wide";
  wide.data = {0, 32767, -32768, 32767, -1, 1, -32768, 0, 12345, -54};
  wide.Loop(xm::LoopType::PingPong, 2);
  wide.volume = 50;
  wide.finetune = -100;
  wide.panning = 30;
  wide.relativeNote = -24;
  xm::Sample narrow;
  narrow.name = "narrow";
  narrow.depth = xm::SampleDepth::Bits8;
  narrow.data = {0, 127, -128, 127, -1, 1, -128, 5};
  narrow.Loop(xm::LoopType::Forward, 4);
  narrow.relativeNote = 7;

  xm::Instrument split;
  split.name = "split";
  split.samples = {wide, narrow};
  split.MapNotes(xm::Note("C-4"), xm::kLastNote, 1);
  split.volumeEnvelope =
      xm::Envelope::Through({{0, 0}, {4, 64}, {20, 40}, {60, 10}}).SustainAt(2).LoopBetween(1, 3);
  split.panningEnvelope = xm::Envelope::Through({{0, 32}, {30, 64}});
  split.fadeout = 1000;
  split.vibratoType = 2;
  split.vibratoDepth = 5;
  song.AddInstrument(split);

  const Loaded loaded(song);
  ASSERT_TRUE(loaded.ok());
  const xmp_module& mod = loaded.mod();
  ASSERT_EQ(mod.ins, 1);
  ASSERT_EQ(mod.smp, 2);

  const xmp_sample& w = mod.xxs[0];
  EXPECT_STREQ(w.name, "wide");
  ASSERT_EQ(w.len, 10);
  EXPECT_TRUE(w.flg & XMP_SAMPLE_16BIT);
  EXPECT_TRUE(w.flg & XMP_SAMPLE_LOOP);
  EXPECT_TRUE(w.flg & XMP_SAMPLE_LOOP_BIDIR);
  EXPECT_EQ(w.lps, 2);
  EXPECT_EQ(w.lpe, 10);
  std::vector<int16_t> wideBack(10);
  std::memcpy(wideBack.data(), w.data, 10 * sizeof(int16_t));
  EXPECT_EQ(wideBack, wide.data);

  const xmp_sample& n = mod.xxs[1];
  ASSERT_EQ(n.len, 8);
  EXPECT_FALSE(n.flg & XMP_SAMPLE_16BIT);
  EXPECT_TRUE(n.flg & XMP_SAMPLE_LOOP);
  EXPECT_FALSE(n.flg & XMP_SAMPLE_LOOP_BIDIR);
  EXPECT_EQ(n.lps, 4);
  EXPECT_EQ(n.lpe, 8);
  const auto* narrowBack = reinterpret_cast<const int8_t*>(n.data);
  EXPECT_EQ(std::vector<int16_t>(narrowBack, narrowBack + 8), narrow.data);

  const xmp_instrument& instrument = mod.xxi[0];
  EXPECT_STREQ(instrument.name, "split");
  ASSERT_EQ(instrument.nsm, 2);
  EXPECT_EQ(instrument.sub[0].vol, 50);
  EXPECT_EQ(instrument.sub[0].fin, -100);
  EXPECT_EQ(instrument.sub[0].pan, 30);
  EXPECT_EQ(instrument.sub[0].xpo, -24);
  EXPECT_EQ(instrument.sub[0].vwf, 2);
  EXPECT_EQ(instrument.sub[0].vde, 5 * 4);  // libxmp keeps the depth four times finer
  EXPECT_EQ(instrument.sub[1].xpo, 7);
  EXPECT_EQ(instrument.rls, 1000 * 2);  // libxmp keeps the fadeout doubled
  // Below C-4 the first sample plays, from C-4 on the second.
  EXPECT_EQ(instrument.map[xm::Note("B-3") - 1 + kLibxmpNoteOffset].ins, 0);
  EXPECT_EQ(instrument.map[xm::Note("C-4") - 1 + kLibxmpNoteOffset].ins, 1);
  EXPECT_EQ(instrument.map[xm::Note("B-7") - 1 + kLibxmpNoteOffset].ins, 1);

  const xmp_envelope& volume = instrument.aei;
  EXPECT_EQ(volume.flg, XMP_ENVELOPE_ON | XMP_ENVELOPE_SUS | XMP_ENVELOPE_LOOP);
  ASSERT_EQ(volume.npt, 4);
  EXPECT_EQ(volume.sus, 2);
  EXPECT_EQ(volume.lps, 1);
  EXPECT_EQ(volume.lpe, 3);
  EXPECT_EQ(std::vector<short>(volume.data, volume.data + 8),
            (std::vector<short>{0, 0, 4, 64, 20, 40, 60, 10}));
  const xmp_envelope& panning = instrument.pei;
  EXPECT_EQ(panning.flg, XMP_ENVELOPE_ON);
  ASSERT_EQ(panning.npt, 2);
  EXPECT_EQ(std::vector<short>(panning.data, panning.data + 4),
            (std::vector<short>{0, 32, 30, 64}));
}

// Counts the sign changes of a mono rendering: twice the pitch, per second.
double MeasuredPitch(const std::vector<int16_t>& samples, int rate) {
  int crossings = 0;
  for (size_t i = 1; i < samples.size(); ++i) {
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
  }
  return crossings / 2.0 / (static_cast<double>(samples.size()) / rate);
}

TEST(XmWriter, TunedWavesPlayAtThePitchOfTheirNotes) {
  struct Case {
    const char* what;
    xm::Wave wave;
    const char* note;
    double expectedHz;
  };
  const Case cases[] = {
      {"a 440 Hz tone played as A-4", xm::Wave::Tone(xm::Waveform::Sine, 440.0, 1.5), "A-4", 440.0},
      {"the same tone played as A-3", xm::Wave::Tone(xm::Waveform::Sine, 440.0, 1.5), "A-3", 220.0},
      {"a 100 Hz tone played as C-4", xm::Wave::Tone(xm::Waveform::Sine, 100.0, 3.0, 44100), "C-4",
       xm::kMiddleC},
      {"a cycle of 64 frames played as E-5", xm::Wave::Cycle(xm::Waveform::Triangle, 64, 11025),
       "E-5", 659.26},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    xm::Module song;
    song.name = "Pitch";
    song.channels = 1;
    xm::Instrument instrument;
    xm::Sample sample = c.wave.ToSample("tone");
    if (c.wave.values().size() < 1000) sample.Loop(xm::LoopType::Forward);
    instrument.samples.push_back(sample);
    song.AddInstrument(instrument);
    xm::Pattern pattern(1, 64);
    pattern.Play(0, 0, c.note, 1);
    song.orders = {song.AddPattern(pattern)};

    const Loaded loaded(song);
    ASSERT_TRUE(loaded.ok());
    const std::vector<int16_t> samples = Render(loaded, 1.0, 48000, true);
    EXPECT_NEAR(MeasuredPitch(samples, 48000), c.expectedHz, c.expectedHz * 0.01);
  }
}

TEST(XmWriter, RefusesWhatTheFormatCannotHold) {
  const auto valid = [] { return SmallSong(true); };
  ASSERT_NO_THROW(xm::EncodeModule(valid()));
  struct Case {
    const char* what;
    std::function<void(xm::Module&)> spoil;
  };
  const Case cases[] = {
      {"long module name", [](xm::Module& m) { m.name = "twenty-one characters"; }},
      {"control character in a name", [](xm::Module& m) { m.name = "bell\a"; }},
      {"long tracker name", [](xm::Module& m) { m.tracker = std::string(21, 't'); }},
      {"no channels", [](xm::Module& m) { m.channels = 0; }},
      {"33 channels", [](xm::Module& m) { m.channels = 33; }},
      {"channels unlike the patterns'", [](xm::Module& m) { m.channels = 4; }},
      {"empty order table", [](xm::Module& m) { m.orders.clear(); }},
      {"257 orders", [](xm::Module& m) { m.orders.assign(257, 0); }},
      {"order naming a missing pattern", [](xm::Module& m) { m.orders.push_back(3); }},
      {"restart past the song", [](xm::Module& m) { m.restart = 4; }},
      {"speed 0", [](xm::Module& m) { m.speed = 0; }},
      {"speed 32", [](xm::Module& m) { m.speed = 32; }},
      {"BPM 31", [](xm::Module& m) { m.bpm = 31; }},
      {"BPM 256", [](xm::Module& m) { m.bpm = 256; }},
      {"no patterns", [](xm::Module& m) { m.patterns.clear(); }},
      {"note 98", [](xm::Module& m) { m.patterns[0].at(1, 1).note = 98; }},
      {"missing instrument", [](xm::Module& m) { m.patterns[0].at(1, 1).instrument = 4; }},
      {"volume byte between commands", [](xm::Module& m) { m.patterns[0].at(1, 1).volume = 0x55; }},
      {"effect past Z", [](xm::Module& m) { m.patterns[0].at(1, 1).effect = 0x24; }},
      {"8-bit sample holding 128",
       [](xm::Module& m) { m.instruments[2].samples[0].data[3] = 128; }},
      {"loop past the end", [](xm::Module& m) { m.instruments[0].samples[0].loopLength = 51; }},
      {"empty loop", [](xm::Module& m) { m.instruments[0].samples[0].loopLength = 0; }},
      {"sample volume 65", [](xm::Module& m) { m.instruments[0].samples[0].volume = 65; }},
      {"17 samples",
       [](xm::Module& m) { m.instruments[0].samples.resize(17, m.instruments[0].samples[0]); }},
      {"note mapped to a missing sample",
       [](xm::Module& m) { m.instruments[0].sampleForNote[40] = 1; }},
      {"long sample name",
       [](xm::Module& m) { m.instruments[0].samples[0].name = std::string(23, 's'); }},
      {"long instrument name", [](xm::Module& m) { m.instruments[0].name = std::string(23, 'i'); }},
      {"envelope on without points",
       [](xm::Module& m) { m.instruments[0].volumeEnvelope.on = true; }},
      {"envelope not starting at tick 0",
       [](xm::Module& m) {
         m.instruments[0].volumeEnvelope = xm::Envelope::Through({{2, 64}});
       }},
      {"envelope ticks not rising",
       [](xm::Module& m) {
         m.instruments[0].volumeEnvelope = xm::Envelope::Through({{0, 64}, {5, 3}, {5, 0}});
       }},
      {"envelope value 65",
       [](xm::Module& m) {
         m.instruments[0].panningEnvelope = xm::Envelope::Through({{0, 65}});
       }},
      {"13 envelope points",
       [](xm::Module& m) {
         auto& envelope = m.instruments[0].volumeEnvelope;
         envelope.on = true;
         for (uint16_t i = 0; i < 13; ++i) envelope.points.push_back({i, 10});
       }},
      {"sustain past the points",
       [](xm::Module& m) {
         m.instruments[0].volumeEnvelope = xm::Envelope::Through({{0, 64}, {9, 0}});
         m.instruments[0].volumeEnvelope.sustain = true;
         m.instruments[0].volumeEnvelope.sustainPoint = 2;
       }},
      {"vibrato type 4", [](xm::Module& m) { m.instruments[0].vibratoType = 4; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    xm::Module module = valid();
    c.spoil(module);
    EXPECT_THROW(xm::EncodeModule(module), xm::XmError);
  }
}

TEST(XmWriter, ComposingHelpersRefuseMistakes) {
  xm::Pattern pattern(2, 8);
  const std::function<void()> mistakes[] = {
      [] { xm::Pattern(0, 64); },
      [] { xm::Pattern(4, 257); },
      [&] { pattern.Play(0, 0, "H-4", 1); },
      [&] { pattern.Play(0, 0, uint8_t{97}, 1); },
      [&] { pattern.Play(0, 0, "C-4", 129); },
      [&] { pattern.Play(0, 0, "C-4", 1, 65); },
      [&] { pattern.Sequence(0, 0, 1, 1, "C-4 D-4 bogus"); },
      [&] { pattern.Sequence(0, 6, 1, 1, "C-4 D-4 E-4"); },
      [&] { pattern.Sequence(0, 0, 0, 1, "C-4"); },
      [] {
        xm::Envelope::Through({{0, 64}}).SustainAt(1);
      },
      [] {
        xm::Envelope::Through({{0, 64}, {4, 0}}).LoopBetween(1, 0);
      },
      [] { xm::Sample{}.PlayC4At(8363.0 * 1e9); },
      [] { xm::Instrument{}.MapNotes(40, 97, 0); },
      [] { xm::Volume(xm::VolumeCommand::SlideUp, 16); },
  };
  for (size_t i = 0; i < std::size(mistakes); ++i) {
    SCOPED_TRACE("mistake " + std::to_string(i));
    EXPECT_THROW(mistakes[i](), xm::XmError);
  }
  EXPECT_THROW(pattern.at(8, 0), std::out_of_range);
  // A refused sequence changes nothing.
  EXPECT_EQ(pattern.at(0, 0), xm::Cell{});
  EXPECT_EQ(pattern.at(7, 0), xm::Cell{});
}

TEST(XmWriter, NoteNames) {
  struct Case {
    const char* name;
    int note;
  };
  const Case valid[] = {{"C-0", 1},  {"C#0", 2},  {"Db0", 2},  {"A-4", 58},
                        {"C-4", 49}, {"Bb7", 95}, {"B-7", 96}, {"E-5", 65}};
  for (const Case& c : valid) EXPECT_EQ(xm::Note(c.name), c.note) << c.name;
  for (const char* name : {"Cb0", "B#7", "C-8", "H-4", "c-4", "C4", "C--4", ""}) {
    EXPECT_THROW(xm::Note(name), xm::XmError) << name;
  }
}

TEST(XmWriter, WaveBecomesClippedSampleData) {
  const xm::Wave wave(22050, {0.0f, 0.5f, 1.5f, -2.0f, -1.0f, NAN});
  EXPECT_EQ(wave.ToSample("s", xm::SampleDepth::Bits8).data,
            (std::vector<int16_t>{0, 64, 127, -127, -127, 0}));
  EXPECT_EQ(wave.ToSample("s", xm::SampleDepth::Bits16).data,
            (std::vector<int16_t>{0, 16384, 32767, -32767, -32767, 0}));
  EXPECT_EQ(xm::Wave::Noise(0.1, 22050, 7).values(), xm::Wave::Noise(0.1, 22050, 7).values());
  EXPECT_NE(xm::Wave::Noise(0.1, 22050, 7).values(), xm::Wave::Noise(0.1, 22050, 8).values());
  xm::Wave mixed = xm::Wave::Tone(xm::Waveform::Sine, 100, 0.1);
  EXPECT_THROW(mixed.Add(xm::Wave::Tone(xm::Waveform::Sine, 100, 0.1, 44100)), xm::XmError);
  EXPECT_THROW(xm::Wave::Tone(xm::Waveform::Sine, 100, 1e6), xm::XmError);
}

TEST(XmWriter, WritingWhereNoFileCanBeMadeThrows) {
  TempDir dir;
  EXPECT_THROW(xm::WriteModule(MakeTestSong(), dir.path() / "missing" / "song.xm"),
               std::runtime_error);
  EXPECT_NO_THROW(WriteTestSong(dir.path() / "sound" / "1.xm"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "sound" / "1.xm"));
}

}  // namespace
