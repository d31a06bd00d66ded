// The generated assets as the game reads them: the manifest's pictures, sounds and songs are in
// the archives the build wrote, with their names, positions, pattern sizes and counts, transparent
// colours and sound settings; the songs play, not silent and not clipping. Also the manifest
// reader's handling of malformed lines.
#include <gtest/gtest.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "engine/pictures/image_archive.h"
#include "engine/pictures/picture_collection.h"
#include "engine/sound/wave_archive.h"
#include "engine/sound/wave_collection.h"
#include "tools/assetgen/manifest.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "missing " << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const assets::Manifest& GameManifest() {
  static const assets::Manifest manifest = assets::LoadManifest(SKARVEL_ASSET_MANIFEST);
  return manifest;
}

const std::filesystem::path kGameDir = SKARVEL_GAME_DIR;

TColor ToTColor(uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

TEST(AssetManifest, ParsesArchivesPicturesSoundsAndMusic) {
  const auto manifest = assets::ParseManifest(
      "# comment\n"
      "archive data/a.dxg\n"
      "picture 0 back 800 600 1 FF00FF   # trailing comment\n"
      "picture 1 hero 112 96 4 00ff00\n"
      "archive sound/s.dxw\n"
      "sound bonus 0 2\n"
      "sound loop 1 0\n"
      "music sound/1.xm 60\n");
  ASSERT_EQ(manifest.images.size(), 1u);
  const auto& pictures = manifest.images[0].pictures;
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[1].name, "hero");
  EXPECT_EQ(pictures[1].Width(), 448);
  EXPECT_EQ(pictures[1].Height(), 96);
  EXPECT_EQ(pictures[1].transparent, 0x00FF00u);
  ASSERT_EQ(manifest.sounds.size(), 1u);
  EXPECT_TRUE(manifest.sounds[0].sounds[1].looped);
  EXPECT_EQ(manifest.sounds[0].sounds[0].maxPlayingCount, 2);
  ASSERT_EQ(manifest.music.size(), 1u);
  EXPECT_EQ(manifest.music[0].seconds, 60);
}

TEST(AssetManifest, RejectsMalformedLinesNamingTheLine) {
  struct Case {
    const char* text;
    const char* says;
  };
  const Case cases[] = {
      {"archive data/a.dxg\npicture 1 x 1 1 1 000000\n", "line 2: position 1 out of order"},
      {"picture 0 x 1 1 1 000000\n", "outside an image archive"},
      {"archive data/a.dxg\npicture 0 x 1 1 1 GG0000\n", "not a number"},
      {"archive data/a.dxg\npicture 0 x 0 1 1 000000\n", "not a number from 1"},
      {"archive data/a.dxg\npicture 0 Hero 1 1 1 0\npicture 1 hero 1 1 1 0\n", "named twice"},
      {"archive data/a.dxg\npicture 0 x 1 1\n", "takes 6 fields"},
      {"archive sound/s.dxw\nsound a 2 0\n", "not a number from 0 to 1"},
      {"archive data/a.txt\n", "a .dxg or a .dxw"},
      {"volume 3\n", "unknown entry"},
      {"archive data/a.dxg\npicture 0 wide 4096 1 5 000000\n", "wider than"},
  };
  for (const Case& c : cases) {
    try {
      assets::ParseManifest(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const assets::ManifestError& error) {
      EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos)
          << error.what() << " for " << c.text;
    }
  }
}

TEST(GeneratedAssets, ImageArchivesHoldTheManifestsPicturesInOrder) {
  const auto& manifest = GameManifest();
  ASSERT_EQ(manifest.images.size(), 2u);
  for (const auto& archive : manifest.images) {
    SCOPED_TRACE(archive.file);
    TPictureCollection pictures;
    ReadImageArchive(ReadBytes(kGameDir / archive.file), pictures);
    ASSERT_EQ(pictures.Count(), static_cast<int32_t>(archive.pictures.size()));
    for (const auto& entry : archive.pictures) {
      SCOPED_TRACE(entry.name);
      const TPictureCollectionItem& item = pictures[entry.position];
      EXPECT_EQ(item.Name(), entry.name);
      EXPECT_EQ(&pictures.Find(entry.name), &item);
      EXPECT_EQ(item.PatternWidth, entry.patternWidth);
      EXPECT_EQ(item.PatternHeight, entry.patternHeight);
      EXPECT_TRUE(item.Transparent);
      EXPECT_EQ(item.TransparentColor, ToTColor(entry.transparent));
      ASSERT_TRUE(item.Picture.has_value());
      EXPECT_EQ(item.Picture->Width, entry.Width());
      EXPECT_EQ(item.Picture->Height, entry.Height());
      EXPECT_EQ(item.PatternTotal(), entry.patterns);
    }
    // Each archive stays well within the pixels one archive may decode to.
    int64_t pixels = 0;
    for (int32_t i = 0; i < pictures.Count(); ++i) {
      pixels += int64_t{pictures[i].Picture->Width} * pictures[i].Picture->Height;
    }
    EXPECT_LT(pixels, kMaxArchivePixels / 2);
  }
}

TEST(GeneratedAssets, PicturesTheGamePlacesByPositionOrNumberAreWhereItLooksForThem) {
  const auto& menu = GameManifest().Images("data/menu.dxg");
  ASSERT_EQ(menu.pictures.size(), 35u);
  EXPECT_EQ(menu.pictures[34].name, "keyprompt");
  EXPECT_EQ(menu.pictures[0].Width(), 800);
  EXPECT_EQ(menu.pictures[0].Height(), 600);
  const char* named[] = {"console",    "optionsback", "scoreback", "helpback", "window",
                         "full",       "muson",       "musoff",    "soundon",  "soundoff",
                         "backactive", "clearscore",  "viewscore", "prev",     "next",
                         "ok",         "cancel"};
  for (int i = 0; i < 17; ++i) EXPECT_EQ(menu.pictures[7 + i].name, named[i]);

  const auto& game = GameManifest().Images("data/gamegraphic.dxg");
  // The result dialog's frame is number 1; the weapon icons are 25 to 27 (weapon kind + 23).
  EXPECT_EQ(game.pictures[1].Width(), menu.pictures[7].Width());
  EXPECT_EQ(game.pictures[1].Height(), menu.pictures[7].Height());
  for (int i = 25; i <= 27; ++i) {
    EXPECT_EQ(game.pictures[i].patternWidth, 40) << i;
    EXPECT_EQ(game.pictures[i].patternHeight, 40) << i;
  }
  // Strips 800 wide, "fon2" 943; enemy and hero pattern counts as the sprites animate them.
  const auto find = [&](const std::string& name) {
    for (const auto& p : game.pictures) {
      if (p.name == name) return p;
    }
    ADD_FAILURE() << "no picture " << name;
    return assets::PictureEntry{};
  };
  for (const char* strip : {"3-1", "2-1", "1-1"}) EXPECT_EQ(find(strip).Width(), 800);
  EXPECT_EQ(find("fon2").Width(), 943);
  EXPECT_EQ(find("hero").patterns, 4);
  EXPECT_EQ(find("shield").patterns, 4);
  EXPECT_EQ(find("bonus").patterns, 4);
  EXPECT_EQ(find("volcano").patterns, 3);
  EXPECT_EQ(find("lava").patterns, 3);
  EXPECT_EQ(find("scale").patternWidth, 50);
  EXPECT_GE(find("scale").patterns, 195);
  // The weaving flyer counts its animation up to pattern 3.
  EXPECT_EQ(find("enemy3").patterns, 4);
  for (const char* enemy : {"enemy1", "enemy2", "enemy4", "enemy5", "enemy6", "enemy7", "enemy8"}) {
    EXPECT_EQ(find(enemy).patterns, 3) << enemy;
  }
  for (const char* burst : {"fireballexplosion", "herokill", "enemykill", "iceexplosion",
                            "electroexplosion", "dragondamage"}) {
    EXPECT_EQ(find(burst).patternWidth, 64) << burst;
    EXPECT_EQ(find(burst).patternHeight, 64) << burst;
    EXPECT_GE(find(burst).patterns, 8) << burst;
    EXPECT_LE(find(burst).patterns, 16) << burst;
  }
}

TEST(GeneratedAssets, SpritesAreKeyedAndFullScreenPicturesAreOpaque) {
  const auto& manifest = GameManifest();
  for (const auto& archive : manifest.images) {
    TPictureCollection pictures;
    ReadImageArchive(ReadBytes(kGameDir / archive.file), pictures);
    for (const auto& entry : archive.pictures) {
      const TPicture& picture = *pictures[entry.position].Picture;
      const auto keyed = static_cast<size_t>(
          std::count(picture.Pixels.begin(), picture.Pixels.end(), entry.transparent));
      if (entry.name == "menu" || entry.name == "dayback" || entry.name == "nightback" ||
          entry.name == "statusbar") {
        EXPECT_EQ(keyed, 0u) << entry.name << " must cover what is behind it";
      } else if (entry.name == "hero" || entry.name == "enemy1" || entry.name == "2-1" ||
                 entry.name == "tree1" || entry.name == "bonusindicator") {
        EXPECT_GT(keyed, picture.Pixels.size() / 10) << entry.name << " must let the sky show";
        EXPECT_LT(keyed, picture.Pixels.size()) << entry.name << " must show something";
      }
    }
  }
}

TEST(GeneratedAssets, TheBossKeyPromptIsTheDialogFrameWithoutItsAnswers) {
  TPictureCollection pictures;
  ReadImageArchive(ReadBytes(kGameDir / "data/menu.dxg"), pictures);
  const TPicture& console = *pictures.Find("console").Picture;
  const TPicture& prompt = *pictures.Find("keyprompt").Picture;
  ASSERT_EQ(prompt.Width, console.Width);
  ASSERT_EQ(prompt.Height, console.Height);
  // The answers' patches, where the dialogs place "ok" and "cancel", in frame coordinates.
  struct Patch {
    const char* item;
    int left, top;
  };
  const Patch answers[] = {{"ok", 301 - 220, 386 - 190}, {"cancel", 420 - 220, 386 - 190}};
  const auto inAnswer = [&](int x, int y) -> const Patch* {
    for (const Patch& patch : answers) {
      const TPictureCollectionItem& item = pictures.Find(patch.item);
      if (x >= patch.left && x < patch.left + item.Picture->Width && y >= patch.top &&
          y < patch.top + item.Picture->Height) {
        return &patch;
      }
    }
    return nullptr;
  };
  // The band at the top holds the dialog's title: the prompt has its own.
  constexpr int kTitleBand = 36;
  int differentInAnswers[2] = {0, 0};
  int differentInTitle = 0;
  int differentElsewhere = 0;
  for (int y = 0; y < prompt.Height; ++y) {
    for (int x = 0; x < prompt.Width; ++x) {
      const size_t i = static_cast<size_t>(y) * prompt.Width + x;
      const bool different = prompt.Pixels[i] != console.Pixels[i];
      const Patch* patch = inAnswer(x, y);
      if (y < kTitleBand) {
        differentInTitle += different ? 1 : 0;
      } else if (patch == nullptr) {
        differentElsewhere += different ? 1 : 0;
      } else {
        differentInAnswers[patch - answers] += different ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(differentElsewhere, 0) << "the same frame";
  EXPECT_GT(differentInAnswers[0], 50) << "no OK";
  EXPECT_GT(differentInAnswers[1], 100) << "no Cancel";
  EXPECT_GT(differentInTitle, 100) << "titled";
}

// Where an item's picture lights up its panel, in screen coordinates: the box (left, top,
// right, bottom, exclusive) of the pixels that differ clearly from the panel beneath.
struct Box {
  int left = 10000, top = 10000, right = -1, bottom = -1;
};
Box LitBox(const TPicture& item, int itemX, int itemY, const TPicture& panel, int panelX,
           int panelY) {
  Box box;
  for (int y = 0; y < item.Height; ++y) {
    for (int x = 0; x < item.Width; ++x) {
      const uint32_t a = item.Pixel(x, y);
      const uint32_t b = panel.Pixel(itemX + x - panelX, itemY + y - panelY);
      int difference = 0;
      for (int shift : {0, 8, 16}) {
        difference +=
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
      }
      if (difference < 60) continue;
      box.left = std::min(box.left, itemX + x);
      box.right = std::max(box.right, itemX + x + 1);
      box.top = std::min(box.top, itemY + y);
      box.bottom = std::max(box.bottom, itemY + y + 1);
    }
  }
  return box;
}

TEST(GeneratedAssets, TheOptionSwitchesOfARowLightUpOnOneLineInsideTheFocusFrame) {
  TPictureCollection pictures;
  ReadImageArchive(ReadBytes(kGameDir / "data/menu.dxg"), pictures);
  const TPicture& panel = *pictures.Find("optionsback").Picture;
  // The switches where Options places them, and the rows of its focus frames (left, top, width,
  // height; drawn with a pen 2 pixels wide).
  struct Switch {
    const char* name;
    int x, y;
  };
  struct Row {
    Switch a, b;
    int frameTop, frameHeight;
  };
  const Row rows[] = {{{"window", 460, 183}, {"full", 584, 187}, 185, 40},
                      {{"muson", 465, 244}, {"musoff", 529, 245}, 240, 40},
                      {{"soundon", 468, 299}, {"soundoff", 531, 300}, 295, 40}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.a.name);
    const Box a = LitBox(*pictures.Find(row.a.name).Picture, row.a.x, row.a.y, panel, 317, 170);
    const Box b = LitBox(*pictures.Find(row.b.name).Picture, row.b.x, row.b.y, panel, 317, 170);
    // Capitals of one height start the words, so their tops show whether they share a line
    // (the bottoms differ: a tail of "F" reaches below the line).
    EXPECT_NEAR(a.top, b.top, 1);
    // Clear of the frame's pen and a pixel of air.
    for (const Box& box : {a, b}) {
      EXPECT_GE(box.top, row.frameTop + 3) << "into the frame's top";
      EXPECT_LE(box.bottom, row.frameTop + row.frameHeight - 3) << "into the frame's bottom";
    }
  }
}

TEST(GeneratedAssets, SoundArchiveHoldsEverySoundWithItsSettings) {
  const auto& manifest = GameManifest();
  ASSERT_EQ(manifest.sounds.size(), 1u);
  const auto& archive = manifest.sounds[0];
  TWaveCollection sounds;
  ReadWaveArchive(ReadBytes(kGameDir / archive.file), sounds);
  ASSERT_EQ(sounds.Count(), static_cast<int>(archive.sounds.size()));
  for (size_t i = 0; i < archive.sounds.size(); ++i) {
    const auto& entry = archive.sounds[i];
    SCOPED_TRACE(entry.name);
    TWaveCollectionItem& item = sounds.Items(static_cast<int>(i));
    EXPECT_EQ(item.Name(), entry.name);
    EXPECT_EQ(&sounds.Find(entry.name), &item);
    EXPECT_EQ(item.Looped(), entry.looped);
    EXPECT_EQ(item.MaxPlayingCount(), entry.maxPlayingCount);
    const auto format = item.Wave().PlayableFormat();
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->bitsPerSample, 16);
    EXPECT_GT(item.Wave().DurationMs(), 50u);
    EXPECT_LT(item.Wave().DurationMs(), 3000u);
    // Audible, and never at full scale.
    const auto& bytes = item.Wave().Data();
    int peak = 0;
    for (size_t b = 0; b + 1 < bytes.size(); b += 2) {
      const auto sample = static_cast<int16_t>(bytes[b] | (bytes[b + 1] << 8));
      peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32767);
  }
  // The sounds the game plays by name.
  for (const char* name : {"bonus", "herodie", "catapultdie", "mandie", "catapult", "manshot",
                           "heroshot", "menu", "looser", "nextlevel"}) {
    EXPECT_NO_THROW(sounds.Find(name)) << name;
  }
}

// The generated sound archive, read as the game reads it.
TWaveCollection& GameSounds() {
  static TWaveCollection sounds;
  if (sounds.Count() == 0)
    ReadWaveArchive(ReadBytes(kGameDir / GameManifest().sounds.at(0).file), sounds);
  return sounds;
}

// The 16-bit mono samples of a sound and their rate.
struct Recording {
  std::vector<int16_t> samples;
  int rate = 0;
};

Recording Record(const std::string& name) {
  const TWave& wave = GameSounds().Find(name).Wave();
  const auto format = wave.PlayableFormat();
  EXPECT_TRUE(format.has_value() && format->channels == 1 && format->bitsPerSample == 16) << name;
  Recording recording;
  if (!format) return recording;
  recording.rate = format->samplesPerSec;
  const auto& bytes = wave.Data();
  for (size_t b = 0; b + 1 < bytes.size(); b += 2) {
    recording.samples.push_back(static_cast<int16_t>(bytes[b] | (bytes[b + 1] << 8)));
  }
  return recording;
}

// The MIDI note from 36 to 100 whose pitch is loudest in samples [from, to) (Goertzel filters).
int LoudestNote(const Recording& recording, size_t from, size_t to) {
  int loudest = 0;
  double best = -1;
  for (int note = 36; note <= 100; ++note) {
    const double hz = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / recording.rate);
    double previous = 0, beforePrevious = 0;
    for (size_t i = from; i < to; ++i) {
      const double current = recording.samples[i] + coefficient * previous - beforePrevious;
      beforePrevious = previous;
      previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    if (power > best) {
      best = power;
      loudest = note;
    }
  }
  return loudest;
}

double Rms(const Recording& recording, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i)
    sum += static_cast<double>(recording.samples[i]) * recording.samples[i];
  return std::sqrt(sum / static_cast<double>(std::max<size_t>(to - from, 1)));
}

TEST(GeneratedAssets, TunesPlayTheirNotesOneAfterAnother) {
  // The bonus chime rises, the new level's fanfare climbs to its chord, the lost game's line
  // falls: each begins on another note than it ends on, and still sounds at its end.
  for (const char* name : {"bonus", "nextlevel", "looser"}) {
    SCOPED_TRACE(name);
    const Recording tune = Record(name);
    ASSERT_GT(tune.samples.size(), 1000u);
    const size_t tenth = tune.samples.size() / 10;
    const size_t end = tune.samples.size();
    EXPECT_GT(Rms(tune, end - tenth, end), 100.0) << "the last tenth is silent";
    EXPECT_NE(LoudestNote(tune, 0, tenth), LoudestNote(tune, end - tenth, end));
  }
}

// How much high-pitched sound (hiss, clatter) samples [from, to) hold: the RMS of the second
// difference, a high-pass that a low tone hardly passes.
double Hiss(const Recording& recording, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from + 2; i < to; ++i) {
    const double bend =
        recording.samples[i] - 2.0 * recording.samples[i - 1] + recording.samples[i - 2];
    sum += bend * bend;
  }
  return std::sqrt(sum / static_cast<double>(std::max<size_t>(to - from, 3) - 2));
}

TEST(GeneratedAssets, CatapultThunksBeforeItsStoneWhooshes) {
  const Recording catapult = Record("catapult");
  const size_t thunk = static_cast<size_t>(catapult.rate) * 45 / 1000;
  const double opening = Hiss(catapult, 0, thunk);
  const double whoosh = Hiss(catapult, thunk, catapult.samples.size());
  EXPECT_LT(opening, whoosh / 4) << "the whoosh sounds with the thunk";
}

TEST(GeneratedAssets, NoSoundEndsInSilence) {
  // A sound lasts as long as it is heard: at most 10 ms of (nearly) digital silence at its end,
  // the last step of a fade.
  for (const auto& entry : GameManifest().sounds.at(0).sounds) {
    SCOPED_TRACE(entry.name);
    const Recording sound = Record(entry.name);
    size_t quiet = 0;
    while (quiet < sound.samples.size() &&
           std::abs(sound.samples[sound.samples.size() - 1 - quiet]) <= 2) {
      ++quiet;
    }
    EXPECT_LE(quiet, static_cast<size_t>(sound.rate / 100))
        << quiet << " silent samples at the end";
  }
}

// A module loaded by libxmp, the library the game plays its music with.
class Song {
 public:
  explicit Song(const std::filesystem::path& path) : context_(xmp_create_context()) {
    loaded_ = xmp_load_module(context_, path.c_str()) == 0;
  }
  ~Song() {
    if (loaded_) xmp_release_module(context_);
    xmp_free_context(context_);
  }
  Song(const Song&) = delete;
  Song& operator=(const Song&) = delete;
  bool loaded() const { return loaded_; }
  xmp_context context() const { return context_; }

 private:
  xmp_context context_;
  bool loaded_ = false;
};

TEST(GeneratedAssets, SongsPlayAudiblyWithoutClippingAndLastAsLongAsPlanned) {
  constexpr int kRate = 44100;
  for (const auto& music : GameManifest().music) {
    SCOPED_TRACE(music.file);
    Song song(kGameDir / music.file);
    ASSERT_TRUE(song.loaded());
    xmp_module_info info;
    xmp_get_module_info(song.context(), &info);
    EXPECT_GE(info.mod->ins, 5) << "several instruments";
    EXPECT_GE(info.mod->pat, 4) << "several patterns";
    ASSERT_EQ(xmp_start_player(song.context(), kRate, 0), 0);
    xmp_frame_info frame;
    xmp_get_frame_info(song.context(), &frame);
    EXPECT_NEAR(frame.total_time / 1000.0, music.seconds, music.seconds * 0.15);
    // Six seconds from the start, then six from the middle of the song.
    for (int part = 0; part < 2; ++part) {
      if (part == 1) xmp_seek_time(song.context(), frame.total_time / 2);
      std::vector<int16_t> samples(static_cast<size_t>(6 * kRate) * 2);
      ASSERT_EQ(xmp_play_buffer(song.context(), samples.data(),
                                static_cast<int>(samples.size() * sizeof(int16_t)), 0),
                0);
      double sum = 0;
      int clipped = 0;
      for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
        if (s >= 32767 || s <= -32767) ++clipped;
      }
      const double rms = std::sqrt(sum / static_cast<double>(samples.size()));
      EXPECT_GT(rms, 1000.0) << "part " << part << " is nearly silent";
      EXPECT_EQ(clipped, 0) << "part " << part;
    }
    xmp_end_player(song.context());
  }
}

}  // namespace
