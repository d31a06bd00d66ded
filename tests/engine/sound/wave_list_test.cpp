#include "engine/sound/wave_list.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"
#include "engine/platform/headless/headless_sound.h"

namespace {

using platform::headless::HeadlessSound;
using Call = HeadlessSound::Call;

// A sound list bound to a recording output, as the main window has it.
struct SoundScene {
  HeadlessSound output;
  TSoundDevice device{output};
  TWaveList list;

  SoundScene() { list.SetSoundDevice(&device); }

  // A sound of 100 ms of 8-bit mono samples.
  TWaveCollectionItem& AddSound(const std::string& name) {
    TWaveCollectionItem& item = list.Items().Add();
    item.SetName(name);
    item.Wave().SetPcm({1, 8000, 8}, std::vector<uint8_t>(800, 0x80));
    return item;
  }

  // The voices the item's copies play on, in list order.
  std::vector<int> CopyVoices(const TWaveCollectionItem& item) const {
    std::vector<int> voices;
    for (const auto& copy : item.PlayingCopies()) voices.push_back(output.VoiceOf(copy.get()));
    return voices;
  }
};

TEST(TWaveCollectionItem, WithALimitOfTwoTheThirdPlayCutsOffTheCopyStartedFirst) {
  SoundScene scene;
  TWaveCollectionItem& shot = scene.AddSound("heroshot");
  shot.SetMaxPlayingCount(2);
  scene.device.Loaded();
  ASSERT_NE(shot.MainBuffer(), nullptr);  // voice 0

  for (int i = 0; i < 3; ++i) shot.Play(false);
  EXPECT_EQ(scene.output.PlayedVoices(), (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(scene.CopyVoices(shot), (std::vector<int>{2, 1}));
  // The cut-off copy was stopped before it started again.
  EXPECT_EQ(scene.output.calls.back().kind, Call::Play);
  EXPECT_EQ(scene.output.calls[scene.output.calls.size() - 2].kind, Call::Stop);

  // Once the first of the list has finished, it is the one taken.
  scene.output.Finish(2);
  shot.Play(false);
  EXPECT_EQ(scene.output.PlayedVoices().back(), 2);
  EXPECT_EQ(scene.CopyVoices(shot), (std::vector<int>{2, 1}));
}

TEST(TWaveCollectionItem, WithoutALimitEveryOverlappingPlayMakesACopyAndFinishedOnesAreReused) {
  SoundScene scene;
  TWaveCollectionItem& menu = scene.AddSound("menu");
  scene.device.Loaded();

  for (int i = 0; i < 10; ++i) menu.Play(false);
  EXPECT_EQ(menu.PlayingCopies().size(), 10u);
  EXPECT_EQ(scene.output.PlayingVoices(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // Copies share the samples of the main buffer instead of holding their own.
  for (int voice = 1; voice <= 10; ++voice) {
    EXPECT_EQ(scene.output.voices[static_cast<size_t>(voice)].samples,
              scene.output.voices[0].samples);
    EXPECT_EQ(scene.output.voices[static_cast<size_t>(voice)].source, 0);
  }

  scene.output.Finish(7);
  scene.output.Finish(3);
  menu.Play(false);
  menu.Play(false);
  menu.Play(false);
  const std::vector<int> played = scene.output.PlayedVoices();
  EXPECT_EQ(std::vector<int>(played.end() - 3, played.end()), (std::vector<int>{3, 7, 11}));
  EXPECT_EQ(menu.PlayingCopies().size(), 11u);
}

TEST(TWaveCollectionItem, ALoopedSoundRestartsItsMainBufferAndNeverUsesCopies) {
  SoundScene scene;
  TWaveCollectionItem& hum = scene.AddSound("hum");
  hum.SetLooped(true);
  scene.device.Loaded();

  hum.Play(false);
  hum.Play(false);
  EXPECT_TRUE(hum.PlayingCopies().empty());
  ASSERT_EQ(scene.output.voices.size(), 1u);
  EXPECT_EQ(scene.output.voices[0].plays, 2);
  EXPECT_TRUE(scene.output.voices[0].looped);
  const std::vector<Call>& calls = scene.output.calls;
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[calls.size() - 2].kind, Call::Stop);  // restarted from the beginning
  EXPECT_EQ(calls.back().kind, Call::Play);
  EXPECT_TRUE(calls.back().looped);

  // Turning Looped off stops it; from then on plays go to copies.
  hum.SetLooped(false);
  EXPECT_TRUE(scene.output.PlayingVoices().empty());
  hum.Play(false);
  EXPECT_EQ(hum.PlayingCopies().size(), 1u);
  EXPECT_FALSE(scene.output.calls.back().looped);
}

TEST(TWaveCollectionItem, ChangingTheLimitFreesTheCopiesAndNegativeMeansNone) {
  SoundScene scene;
  TWaveCollectionItem& bonus = scene.AddSound("bonus");
  scene.device.Loaded();
  bonus.Play(false);
  bonus.Play(false);
  ASSERT_EQ(bonus.PlayingCopies().size(), 2u);

  bonus.SetMaxPlayingCount(0);  // unchanged: the copies stay
  EXPECT_EQ(bonus.PlayingCopies().size(), 2u);
  bonus.SetMaxPlayingCount(1);
  EXPECT_TRUE(bonus.PlayingCopies().empty());
  EXPECT_FALSE(scene.output.voices[1].alive);
  EXPECT_FALSE(scene.output.voices[2].alive);
  bonus.SetMaxPlayingCount(-5);
  EXPECT_EQ(bonus.MaxPlayingCount(), 0);
}

TEST(TWaveCollectionItem, ASoundWithoutPlayableSamplesNeverPlays) {
  SoundScene scene;
  TWaveCollectionItem& empty = scene.AddSound("empty");
  empty.Wave().SetPcm({1, 8000, 8}, {});
  TWaveCollectionItem& emptyLoop = scene.AddSound("emptyloop");
  emptyLoop.Wave().SetPcm({1, 8000, 8}, {});
  emptyLoop.SetLooped(true);
  TWaveCollectionItem& oddFormat = scene.AddSound("24bit");
  oddFormat.Wave().SetPcm({1, 8000, 24}, std::vector<uint8_t>(30));
  TWaveCollectionItem& tooSlow = scene.AddSound("slow");
  tooSlow.Wave().SetPcm({1, 10, 8}, std::vector<uint8_t>(30));
  scene.device.Loaded();

  for (TWaveCollectionItem* item : {&empty, &emptyLoop, &oddFormat, &tooSlow}) {
    item->Play(false);
    item->Play(true);
    EXPECT_EQ(item->MainBuffer(), nullptr) << item->Name();
  }
  EXPECT_TRUE(scene.output.voices.empty());
}

TEST(TWaveCollectionItem, WithoutAnAudioDeviceTheListWorksAndPlaysNothing) {
  SoundScene scene;
  scene.output.available = false;
  TWaveCollectionItem& menu = scene.AddSound("menu");
  menu.SetMaxPlayingCount(3);

  scene.device.Loaded();  // the game starts all the same
  EXPECT_FALSE(scene.device.Initialized());
  EXPECT_FALSE(menu.Initialized());
  scene.list.Items().Find("menu").Play(false);
  EXPECT_TRUE(scene.output.calls.empty());

  // Asked outright, the device says why.
  try {
    scene.device.Initialize();
    ADD_FAILURE() << "initialised without an output";
  } catch (const ESoundDeviceError& e) {
    EXPECT_EQ(std::string(e.what()), "Primary Buffer cannot be made");
  }
}

TEST(TWaveCollectionItem, BuffersFollowTheDevice) {
  SoundScene scene;
  TWaveCollectionItem& hit = scene.AddSound("hit");
  hit.SetFrequency(16000);
  scene.device.Loaded();
  ASSERT_TRUE(hit.Initialized());
  EXPECT_EQ(scene.output.voices[0].frequency, 16000);
  hit.Play(false);

  scene.device.Finalize();
  EXPECT_FALSE(hit.Initialized());
  EXPECT_EQ(hit.MainBuffer(), nullptr);
  EXPECT_TRUE(hit.PlayingCopies().empty());
  EXPECT_FALSE(scene.output.open);
  hit.Play(false);
  EXPECT_EQ(scene.output.voices.size(), 2u);

  scene.device.Initialize();
  EXPECT_NE(hit.MainBuffer(), nullptr);
  hit.SetFrequency(0);  // the buffer is made anew at the recorded rate
  EXPECT_EQ(scene.output.voices.back().frequency, 0);
  EXPECT_FALSE(scene.output.voices[2].alive);

  // A list bound to a device that is already up makes its buffers at once; unbound, it frees
  // them.
  TWaveList other;
  TWaveCollectionItem& late = other.Items().Add();
  late.Wave().SetPcm({2, 22050, 16}, std::vector<uint8_t>(400));
  other.SetSoundDevice(&scene.device);
  EXPECT_NE(late.MainBuffer(), nullptr);
  other.SetSoundDevice(nullptr);
  EXPECT_EQ(late.MainBuffer(), nullptr);
  EXPECT_FALSE(late.Initialized());
}

TEST(TWaveCollectionItem, WhenTheOutputHasNoVoiceLeftTheOldestCopyIsCutOff) {
  SoundScene scene;
  scene.output.voiceLimit = 3;  // the main buffer and two copies
  TWaveCollectionItem& menu = scene.AddSound("menu");
  scene.device.Loaded();
  for (int i = 0; i < 3; ++i) menu.Play(false);
  EXPECT_EQ(scene.output.PlayedVoices(), (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(scene.CopyVoices(menu), (std::vector<int>{2, 1}));
}

TEST(TWaveCollectionItem, PlayWithWaitReturnsOnceTheCopyHasFinished) {
  SoundScene scene;
  TWaveCollectionItem& jingle = scene.AddSound("jingle");
  scene.device.Loaded();
  scene.output.playsForPolls = 3;
  jingle.Play(true);
  EXPECT_TRUE(scene.output.PlayingVoices().empty());

  // A device that never reports the end holds the caller no longer than the sound lasts and
  // a second more.
  scene.output.playsForPolls = -1;
  jingle.Play(true);
  EXPECT_EQ(scene.output.PlayingVoices(), (std::vector<int>{1}));
}

TEST(TWaveCollection, FindsByNameIgnoringCaseAndTheLastNamedWins) {
  SoundScene scene;
  TWaveCollectionItem& herodie = scene.AddSound("herodie");
  EXPECT_EQ(&scene.list.Items().Find("HeroDie"), &herodie);
  EXPECT_EQ(&scene.list.Items().Find("HERODIE"), &herodie);

  TWaveCollectionItem& second = scene.AddSound("HERODIE");
  EXPECT_EQ(&scene.list.Items().Find("herodie"), &second);
  herodie.SetName("herodie");  // named again: first in its chain once more
  EXPECT_EQ(&scene.list.Items().Find("herodie"), &herodie);
  second.SetName("looser");
  herodie.SetName("mandie");
  EXPECT_EQ(&scene.list.Items().Find("Looser"), &second);
  EXPECT_EQ(&scene.list.Items().Find("mandie"), &herodie);

  // Many names share buckets; each is still found.
  for (int i = 0; i < 300; ++i) scene.AddSound("s" + std::to_string(i));
  for (int i = 0; i < 300; ++i) {
    const std::string name = "S" + std::to_string(i);
    EXPECT_EQ(scene.list.Items().Find(name).Name(), "s" + std::to_string(i));
  }

  for (const char* missing : {"herodie", "", "mandie2"}) {
    try {
      scene.list.Items().Find(missing);
      ADD_FAILURE() << missing << " found";
    } catch (const EWaveCollectionError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Wave '") + missing + "' not found");
    }
  }
}

TEST(TWaveCollection, ItemsOutsideTheListAreAnError) {
  SoundScene scene;
  scene.AddSound("a");
  scene.AddSound("b");
  EXPECT_EQ(scene.list.Items().Items(1).Name(), "b");
  for (int index : {-1, 2}) {
    try {
      scene.list.Items().Items(index);
      ADD_FAILURE() << index;
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
}

}  // namespace
