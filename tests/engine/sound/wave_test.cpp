#include "engine/sound/wave.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"
#include "tests/support/riff_builder.h"

namespace {

const std::vector<uint8_t> Samples = {0x80, 0x90, 0xA0, 0xB0, 0xC0};

std::vector<uint8_t> FormatBody(int channels, int rate, int bits) {
  RiffBuilder b;
  b.Format(channels, rate, bits);
  const std::vector<uint8_t> all = b.Bytes();
  return {all.begin() + 20, all.end()};  // past the RIFF header and the chunk header
}

TEST(TWave, ReadsFormatAndSamplesAndSkipsWhatItDoesNotUse) {
  const std::vector<uint8_t> format = FormatBody(1, 11025, 8);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  };
  const Case cases[] = {
      {"fmt and data", RiffBuilder().Format(1, 11025, 8).Chunk("data", Samples).Bytes()},
      {"an extra chunk between fmt and data", RiffBuilder()
                                                  .Format(1, 11025, 8)
                                                  .Chunk("LIST", {'I', 'N', 'F', 'O'})
                                                  .Chunk("data", Samples)
                                                  .Bytes()},
      {"an odd-sized extra chunk with its pad byte",
       RiffBuilder().Format(1, 11025, 8).Chunk("note", {1, 2, 3}).Chunk("data", Samples).Bytes()},
      {"an odd-sized extra chunk written without a pad byte", RiffBuilder()
                                                                  .Format(1, 11025, 8)
                                                                  .Chunk("note", {1, 2, 3}, false)
                                                                  .Chunk("data", Samples)
                                                                  .Bytes()},
      {"data before fmt", RiffBuilder().Chunk("data", Samples).Format(1, 11025, 8).Bytes()},
      {"a size field that does not match the file",
       [] {
         std::vector<uint8_t> f = RiffBuilder().Format(1, 11025, 8).Chunk("data", Samples).Bytes();
         f[4] = 0xFF, f[5] = 0xFF, f[6] = 0xFF, f[7] = 0x7F;
         return f;
       }()},
      {"a partial chunk header at the end",
       RiffBuilder().Format(1, 11025, 8).Chunk("data", Samples).Text("LIS").Bytes()},
      {"an unused chunk running past the end", RiffBuilder()
                                                   .Format(1, 11025, 8)
                                                   .Chunk("data", Samples)
                                                   .Text("junk")
                                                   .U32(1000)
                                                   .U32(0)
                                                   .Bytes()},
      {"a zero identifier ends the chunks", RiffBuilder()
                                                .Format(1, 11025, 8)
                                                .Chunk("data", Samples)
                                                .U32(0)
                                                .U32(4)
                                                .Chunk("data", {1})
                                                .Bytes()},
  };
  for (const Case& c : cases) {
    TWave wave;
    wave.LoadFromBytes(c.file);
    EXPECT_EQ(wave.FormatBlock(), format) << c.what;
    EXPECT_EQ(wave.Data(), Samples) << c.what;
  }
}

TEST(TWave, WithoutDataItHasNoSamplesAndWithoutFormatNoPlayableFormat) {
  TWave wave;
  wave.LoadFromBytes(RiffBuilder().Format(2, 22050, 16).Bytes());
  EXPECT_TRUE(wave.Data().empty());
  EXPECT_EQ(wave.DurationMs(), 0u);
  ASSERT_TRUE(wave.PlayableFormat());

  wave.LoadFromBytes(RiffBuilder().Chunk("data", Samples).Bytes());
  EXPECT_EQ(wave.Data(), Samples);
  EXPECT_FALSE(wave.PlayableFormat());
}

TEST(TWave, RejectsWhatIsNotAWholeRiffWaveAndKeepsItsRecording) {
  const std::vector<uint8_t> good = RiffBuilder().Format(1, 8000, 8).Chunk("data", Samples).Bytes();
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  };
  const auto withByte = [&good](size_t at, uint8_t value) {
    std::vector<uint8_t> file(good.begin(), good.begin() + static_cast<ptrdiff_t>(at));
    file.push_back(value);
    file.insert(file.end(), good.begin() + static_cast<ptrdiff_t>(at) + 1, good.end());
    return file;
  };
  const Case cases[] = {
      {"nothing", {}},
      {"a header cut short", {good.begin(), good.begin() + 11}},
      {"not RIFF", withByte(0, 'X')},
      {"RIFF but not WAVE", withByte(11, 'X')},
      {"a data chunk past the end",
       RiffBuilder().Format(1, 8000, 8).Text("data").U32(6).U16(0).Bytes()},
      {"a data size that no file has",
       RiffBuilder().Format(1, 8000, 8).Text("data").U32(0xFFFFFFFF).U32(0).Bytes()},
      {"a format chunk past the end", RiffBuilder().Text("fmt ").U32(16).U32(1).Bytes()},
  };
  for (const Case& c : cases) {
    TWave wave;
    wave.LoadFromBytes(good);
    try {
      wave.LoadFromBytes(c.file);
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const EWaveStreamError& e) {
      EXPECT_EQ(std::string(e.what()), "Wave is invalid") << c.what;
    }
    EXPECT_EQ(wave.Data(), Samples) << c.what;
    EXPECT_EQ(wave.FormatBlock(), FormatBody(1, 8000, 8)) << c.what;
  }
}

TEST(TWave, WritesARiffWaveThatReadsBackTheSame) {
  TWave wave;
  wave.SetPcm({2, 44100, 16}, {1, 2, 3, 4, 5, 6, 7, 8, 9});  // odd on purpose: padded
  const std::vector<uint8_t> file = wave.SaveToBytes();
  EXPECT_EQ(file.size() % 2, 0u);
  EXPECT_EQ(file[4] | (file[5] << 8), static_cast<int>(file.size()) - 8);
  TWave read;
  read.LoadFromBytes(file);
  EXPECT_EQ(read, wave);
  EXPECT_EQ(read.PlayableFormat(), (platform::PcmFormat{2, 44100, 16}));
}

TEST(TWave, PlaysOnlyLinearPcmOfOneOrTwoChannelsAtEightOrSixteenBits) {
  const auto formatOf = [](std::vector<uint8_t> block) {
    TWave wave;
    wave.LoadFromBytes(RiffBuilder().Chunk("fmt ", block).Bytes());
    return wave.PlayableFormat();
  };
  std::vector<uint8_t> extensible = FormatBody(2, 48000, 16);
  extensible[0] = 0xFE, extensible[1] = 0xFF;
  extensible.insert(extensible.end(),
                    {22,   0,    16,   0,    3,    0,    0,    0,    0x01, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
  std::vector<uint8_t> extensibleFloat = extensible;
  extensibleFloat[24] = 3;
  std::vector<uint8_t> floatFormat = FormatBody(1, 44100, 32);
  floatFormat[0] = 3;

  EXPECT_EQ(formatOf(FormatBody(1, 11025, 8)), (platform::PcmFormat{1, 11025, 8}));
  EXPECT_EQ(formatOf(FormatBody(2, 22050, 8)), (platform::PcmFormat{2, 22050, 8}));
  EXPECT_EQ(formatOf(FormatBody(1, 44100, 16)), (platform::PcmFormat{1, 44100, 16}));
  EXPECT_EQ(formatOf(extensible), (platform::PcmFormat{2, 48000, 16}));
  EXPECT_FALSE(formatOf(extensibleFloat));
  EXPECT_FALSE(formatOf(floatFormat));
  EXPECT_FALSE(formatOf(FormatBody(1, 44100, 24)));
  EXPECT_FALSE(formatOf(FormatBody(6, 44100, 16)));
  EXPECT_FALSE(formatOf(FormatBody(0, 44100, 16)));
  EXPECT_FALSE(formatOf(FormatBody(1, 0, 16)));
  EXPECT_FALSE(formatOf({1, 0, 1, 0}));  // cut short
}

TEST(TWave, DurationFollowsFramesAndRate) {
  TWave wave;
  wave.SetPcm({2, 8000, 16}, std::vector<uint8_t>(8000 * 4 / 2 + 3));  // half a second and a bit
  EXPECT_EQ(wave.DurationMs(), 500u);
}

}  // namespace
