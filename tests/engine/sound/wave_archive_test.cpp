#include "engine/sound/wave_archive.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/archive/archive_writer.h"
#include "engine/base/exception.h"
#include "engine/platform/headless/headless_sound.h"
#include "engine/sound/wave_list.h"
#include "tests/support/riff_builder.h"
#include "tests/support/temp_dir.h"

namespace {

using archive::CollectionItem;
using archive::Object;
using archive::Value;
using archive::ValueTag;

// A sound item as the archive stores it.
CollectionItem Sound(const std::string& name, std::vector<archive::Property> more = {}) {
  CollectionItem item;
  item.properties.push_back({"Name", Value::Text(name)});
  for (auto& p : more) item.properties.push_back(std::move(p));
  return item;
}

archive::Property WaveOf(std::vector<uint8_t> samples) {
  return {"Wave.WAVE",
          Value::Bytes(RiffBuilder().Format(1, 11025, 8).Chunk("data", samples).Bytes())};
}

std::vector<uint8_t> ArchiveOf(std::vector<CollectionItem> sounds) {
  Object root;
  root.className = WaveArchiveClassName;
  root.properties.push_back({"List", Value::Collection(std::move(sounds))});
  return archive::WriteArchive(root);
}

Value Tagged(ValueTag tag, std::string text) {
  Value v;
  v.tag = tag;
  v.text = std::move(text);
  return v;
}

TEST(SoundArchive, WritesAndReadsBackEverySoundInOrder) {
  TWaveList written;
  TWaveCollectionItem& bonus = written.Items().Add();
  bonus.SetName("bonus");
  bonus.Wave().SetPcm({2, 22050, 16}, std::vector<uint8_t>(441, 7));
  TWaveCollectionItem& hum = written.Items().Add();
  hum.SetName("hum");
  hum.SetLooped(true);
  hum.Wave().SetPcm({1, 8000, 8}, {1, 2, 3});
  TWaveCollectionItem& silent = written.Items().Add();
  silent.SetName("silent");
  silent.SetMaxPlayingCount(4);

  TWaveList read;
  std::istringstream stream(
      [&] {
        const std::vector<uint8_t> bytes = written.SaveToBytes();
        return std::string(bytes.begin(), bytes.end());
      }(),
      std::ios::binary);
  read.LoadFromStream(stream);
  ASSERT_EQ(read.Items().Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const TWaveCollectionItem& a = written.Items().Items(i);
    const TWaveCollectionItem& b = read.Items().Items(i);
    EXPECT_EQ(b.Name(), a.Name());
    EXPECT_EQ(b.Looped(), a.Looped());
    EXPECT_EQ(b.MaxPlayingCount(), a.MaxPlayingCount());
    EXPECT_EQ(b.Wave(), a.Wave());
  }
  EXPECT_EQ(&read.Items().Find("HUM"), &read.Items().Items(1));
  // The same sounds make the same bytes.
  EXPECT_EQ(read.SaveToBytes(), written.SaveToBytes());
}

TEST(SoundArchive, AcceptsEveryEncodingTheContainerAllowsAndKeepsDefaultsForWhatIsAbsent) {
  CollectionItem indexed = Sound("first", {{"looped", Tagged(ValueTag::Ident, "True")},
                                           {"MAXPLAYINGCOUNT", Value::Integer(-3)},
                                           {"wave.wave", WaveOf({9, 9}).value}});
  indexed.index = Value::Integer(0);
  CollectionItem wide;
  wide.properties.push_back({"Name", [] {
                               Value v;
                               v.tag = ValueTag::WString;
                               v.wide = u"W\u00e9";
                               return v;
                             }()});
  wide.properties.push_back({"MaxPlayingCount", Value::Integer(70000)});
  CollectionItem bare;  // nothing but defaults

  TWaveList list;
  list.LoadFromBytes(ArchiveOf(
      {indexed, wide, Sound("long", {{"Name", Tagged(ValueTag::LString, "renamed")}}), bare}));
  ASSERT_EQ(list.Items().Count(), 4);
  const TWaveCollectionItem& first = list.Items().Items(0);
  EXPECT_EQ(first.Name(), "first");
  EXPECT_TRUE(first.Looped());
  EXPECT_EQ(first.MaxPlayingCount(), 0);
  EXPECT_EQ(first.Wave().Data(), (std::vector<uint8_t>{9, 9}));
  EXPECT_EQ(list.Items().Items(1).Name(), "W\xe9");
  EXPECT_EQ(list.Items().Items(1).MaxPlayingCount(), 70000);
  EXPECT_EQ(list.Items().Items(2).Name(), "renamed");
  EXPECT_EQ(&list.Items().Find("RENAMED"), &list.Items().Items(2));
  const TWaveCollectionItem& defaults = list.Items().Items(3);
  EXPECT_EQ(defaults.Name(), "");
  EXPECT_FALSE(defaults.Looped());
  EXPECT_EQ(defaults.MaxPlayingCount(), 0);
  EXPECT_EQ(defaults.Wave().Size(), 0u);
}

TEST(SoundArchive, FaultsGiveTheirErrorsAndLeaveTheSoundsReadBefore) {
  const std::vector<uint8_t> good = ArchiveOf({Sound("a", {WaveOf({1})}), Sound("b")});
  std::vector<uint8_t> notAnArchive = good;
  notAnArchive.front() = 0xFE;
  const std::vector<uint8_t> cutShort(good.begin(), good.end() - 10);

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string message;
    int soundsLeft;
  };
  const Case cases[] = {
      {"not an archive", notAnArchive, "Invalid stream format", 0},
      {"cut short in the last sound", cutShort, "Stream read error", 2},
      {"a property sounds do not have",
       ArchiveOf({Sound("a"), Sound("b", {{"Frequency", Value::Integer(22050)}}), Sound("c")}),
       "Property Frequency does not exist", 2},
      {"a root property sound archives do not have",
       [] {
         Object root;
         root.className = WaveArchiveClassName;
         root.properties.push_back({"List", Value::Collection({Sound("a")})});
         root.properties.push_back({"List.ColorTable", Value::Bytes(std::vector<uint8_t>(1024))});
         return archive::WriteArchive(root);
       }(),
       "Property List.ColorTable does not exist", 1},
      {"a recording that is not RIFF WAVE",
       ArchiveOf({Sound("a"), Sound("b", {{"Wave.WAVE", Value::Bytes({'R', 'I', 'F', 'X'})}})}),
       "Wave is invalid", 2},
      {"a name that is not text",
       ArchiveOf({Sound("a"), CollectionItem{std::nullopt, {{"Name", Value::Integer(5)}}}}),
       "Invalid property value", 2},
      {"a limit that is not a number",
       ArchiveOf({Sound("a", {{"MaxPlayingCount", Value::Text("two")}})}), "Invalid property value",
       1},
  };
  for (const Case& c : cases) {
    TWaveList list;
    list.Items().Add().SetName("from before");
    try {
      list.LoadFromBytes(c.bytes);
      ADD_FAILURE() << c.what << " loaded";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.what;
    }
    EXPECT_EQ(list.Items().Count(), c.soundsLeft) << c.what;
    if (c.soundsLeft > 0) {
      EXPECT_EQ(list.Items().Items(0).Name(), "a") << c.what;
    }
  }

  // The error classes the game's message shows.
  TWaveList list;
  EXPECT_THROW(list.LoadFromBytes(notAnArchive), EInvalidImage);
  EXPECT_THROW(list.LoadFromBytes(cases[2].bytes), EReadError);
  EXPECT_THROW(list.LoadFromBytes(cases[4].bytes), EWaveStreamError);
}

TEST(SoundArchive, LoadingOnADeviceThatIsUpMakesTheBuffersAndReplacesTheOldSounds) {
  platform::headless::HeadlessSound output;
  TSoundDevice device(output);
  TWaveList list;
  list.SetSoundDevice(&device);
  device.Loaded();

  list.LoadFromBytes(ArchiveOf({Sound("old", {WaveOf({1, 2})})}));
  list.Items().Find("old").Play(false);
  ASSERT_EQ(output.PlayingVoices(), (std::vector<int>{1}));

  list.LoadFromBytes(ArchiveOf({Sound("menu", {WaveOf({1, 2, 3})}), Sound("nothing")}));
  EXPECT_FALSE(output.voices[0].alive);  // the old sound and its copy are gone
  EXPECT_FALSE(output.voices[1].alive);
  EXPECT_THROW(list.Items().Find("old"), EWaveCollectionError);
  TWaveCollectionItem& menu = list.Items().Find("menu");
  ASSERT_TRUE(menu.Initialized());
  ASSERT_NE(menu.MainBuffer(), nullptr);
  EXPECT_EQ(*output.voices[2].samples, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(list.Items().Find("nothing").MainBuffer(), nullptr);

  // A load that fails part way leaves the sounds before the fault ready to play.
  EXPECT_THROW(list.LoadFromBytes(ArchiveOf(
                   {Sound("menu", {WaveOf({4})}), Sound("b", {{"Pan", Value::Integer(1)}})})),
               EReadError);
  ASSERT_NE(list.Items().Find("menu").MainBuffer(), nullptr);
}

TEST(SoundArchive, LoadsFromAFileAndSaysWhichFileItCannotOpen) {
  TempDir dir;
  const std::filesystem::path path = dir.path() / "gamesound.dxw";
  const std::vector<uint8_t> bytes = ArchiveOf({Sound("looser", {WaveOf({5, 6})})});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  TWaveList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Items().Find("Looser").Wave().Data(), (std::vector<uint8_t>{5, 6}));

  try {
    list.LoadFromFile(dir.path() / "missing.dxw");
    ADD_FAILURE() << "a missing file loaded";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + (dir.path() / "missing.dxw").string() + "\"");
  }
}

}  // namespace
