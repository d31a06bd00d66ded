// "config.dat": its bytes, reading and writing, the score table and the boss key's name.
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "settings/config_file.h"
#include "tests/support/menu_fixture.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

const std::vector<uint8_t> DefaultHead = {
    0x00, 0x00, 0x00, 0x00, 0x7B, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x09, 0xBE, 0x91, 0x90, 0x91, 0x86, 0x92, 0x90, 0x8A, 0x8C, 0xFF, 0x00, 0x17, 0xFC};
const std::vector<uint8_t> DefaultLastEntry = {0x09, 0xBE, 0x91, 0x90, 0x91, 0x86, 0x92,
                                               0x90, 0x8A, 0x8C, 0xFF, 0x00, 0x9B, 0xFF};

TEST(ConfigFile, AFirstStartWritesTheDefaults) {
  GameFixture game;
  TmainForm& form = game.Start();
  const std::vector<uint8_t> bytes = ReadBytes("config.dat");
  ASSERT_EQ(bytes.size(), 158u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 32), DefaultHead);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 144, bytes.end()), DefaultLastEntry);
  EXPECT_EQ(form.Config.BossKey, 0x7B);
  EXPECT_EQ(form.BossKeyName, "F12");
  EXPECT_EQ(form.Config.ScoreTable[9].Name.Text(), "Anonymous");
  EXPECT_EQ(form.Config.ScoreTable[9].Score, 100);
}

// The messages shown about the settings file (there is no music in the test folder either).
std::vector<std::string> ConfigMessages(const GameFixture& game) {
  std::vector<std::string> found;
  for (const std::string& message : game.machine.windowImpl.messages) {
    if (message.find("config.dat") != std::string::npos) found.push_back(message);
  }
  return found;
}

// A customised file cut short cannot be read, but it is the player's: it is kept as
// "config.dat.bak" (over an older backup) before the defaults are written, and the player is told
// once. An empty file holds nothing to keep; a backup that cannot be made leaves the file alone.
TEST(ConfigFile, AFileOfTheWrongSizeIsKeptAsABackupBeforeTheDefaultsAreWritten) {
  ConfigRecord record;
  SetDefaultConfig(record);
  record.BossKey = 0x31;
  record.PlayerCountry.SetText("Norway");
  record.ScoreTable[0].Score = 4242;
  {
    GameFixture game;
    ASSERT_EQ(WriteConfigFile("config.dat", record), "");
    std::vector<uint8_t> cut = ReadBytes("config.dat");
    cut.resize(100);
    WriteBytes("config.dat", cut);
    WriteBytes("config.dat.bak", {1, 2, 3});
    TmainForm& form = game.Start();
    EXPECT_EQ(ReadBytes("config.dat.bak"), cut);
    const std::vector<uint8_t> bytes = ReadBytes("config.dat");
    ASSERT_EQ(bytes.size(), 158u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 32), DefaultHead);
    EXPECT_EQ(form.Config.BossKey, 0x7B);
    const std::vector<std::string> messages = ConfigMessages(game);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("config.dat.bak"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("100 bytes"), std::string::npos) << messages[0];
    // The next start reads the defaults and says nothing more.
    game.form.reset();
    game.Start();
    EXPECT_EQ(ConfigMessages(game).size(), 1u);
    EXPECT_EQ(ReadBytes("config.dat.bak"), cut);
  }
  {
    GameFixture game;
    WriteBytes("config.dat", {});
    game.Start();
    EXPECT_EQ(ReadBytes("config.dat").size(), 158u);
    EXPECT_FALSE(std::filesystem::exists("config.dat.bak"));
    EXPECT_TRUE(ConfigMessages(game).empty());
  }
  {
    GameFixture game;
    const std::vector<uint8_t> cut(100, 0x42);
    WriteBytes("config.dat", cut);
    std::filesystem::create_directories("config.dat.bak/in the way");
    TmainForm& form = game.Start();
    EXPECT_EQ(ReadBytes("config.dat"), cut);
    EXPECT_EQ(form.Config.BossKey, 0x7B);
    const std::vector<std::string> messages = ConfigMessages(game);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("could not be kept"), std::string::npos) << messages[0];
  }
}

// Reads and writes files as an ordinary user would, on this thread, for its lifetime: root reads
// any file whatever its permissions. Only the file system identity changes, and with it the
// thread's power to bypass permissions.
class AsOrdinaryUser {
 public:
  static constexpr uid_t Nobody = 65534;
  AsOrdinaryUser() : previous_(static_cast<uid_t>(setfsuid(Nobody))) {}
  ~AsOrdinaryUser() { setfsuid(previous_); }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
  // setfsuid answers the identity before the call, so asking again tells whether it took.
  bool Active() const { return geteuid() != 0 || setfsuid(Nobody) == static_cast<int>(Nobody); }

 private:
  uid_t previous_;
};

// A whole settings file that the player may not read: the message says so and why (not that it
// holds 158 bytes instead of 158), and the file is kept aside like any other that cannot be used.
TEST(ConfigFile, AFileThePlayerCannotReadIsReportedAsSuchWithTheReason) {
  GameFixture game;
  ConfigRecord record;
  SetDefaultConfig(record);
  record.BossKey = 0x31;
  ASSERT_EQ(WriteConfigFile("config.dat", record), "");
  // The player's own folder; the game's files in it are readable by all.
  std::filesystem::permissions(game.folder.path(), std::filesystem::perms::all);
  std::filesystem::permissions("config.dat", std::filesystem::perms::none);
  {
    const AsOrdinaryUser player;
    if (!player.Active()) GTEST_SKIP() << "cannot take an ordinary user's file permissions";
    game.Start();
  }
  const std::vector<std::string> messages = ConfigMessages(game);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("could not be read: Permission denied."), std::string::npos)
      << messages[0];
  EXPECT_EQ(messages[0].find("bytes"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("config.dat.bak"), std::string::npos) << messages[0];
  EXPECT_EQ(game.form->Config.BossKey, 0x7B);
  EXPECT_EQ(ReadBytes("config.dat").size(), 158u);
  std::filesystem::permissions("config.dat.bak", std::filesystem::perms::owner_read);
  EXPECT_EQ(ReadConfigFile("config.dat.bak"), record);
}

TEST(ConfigFile, AShortFileIsReplacedAndALongOneIsUsedThenCutOnTheNextSave) {
  GameFixture game;
  WriteBytes("config.dat", std::vector<uint8_t>(100, 0x42));
  game.Start();
  EXPECT_EQ(ReadBytes("config.dat").size(), 158u);
  game.form.reset();

  ConfigRecord record;
  SetDefaultConfig(record);
  record.WindowedMode = 0;
  record.BossKey = 0x31;
  record.PlayerCountry.SetText("Norway");
  ASSERT_EQ(WriteConfigFile("config.dat", record), "");
  std::vector<uint8_t> bytes = ReadBytes("config.dat");
  bytes.resize(200, 0xEE);
  WriteBytes("config.dat", bytes);

  TmainForm& form = game.Start();
  EXPECT_FALSE(form.Config.WindowedMode);
  EXPECT_TRUE(game.machine.windowImpl.fullScreen);
  EXPECT_EQ(form.BossKeyName, "1");
  EXPECT_EQ(form.Config.PlayerCountry.Text(), "Norway");
  EXPECT_EQ(ReadBytes("config.dat").size(), 200u);  // nothing saved yet
  game.machine.KeyUp(vk::Return, platform::ssAlt);
  form.ProcessMessages();
  EXPECT_EQ(ReadBytes("config.dat").size(), 158u);
  EXPECT_EQ(ReadConfigFile("config.dat")->WindowedMode, 1);
}

TEST(ConfigFile, EveryByteOfAWellFormedRecordSurvivesReadingAndWriting) {
  // Reserved bytes and characters beyond a text's length included.
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    ConfigBytes plain;
    for (uint8_t& byte : plain) byte = static_cast<uint8_t>(random());
    for (size_t i = 0; i < 3; ++i) plain[i] &= 1;
    plain[6] %= 11;
    for (size_t k = 0; k < 10; ++k) plain[18 + 14 * k] %= 11;
    EXPECT_EQ(PackConfig(UnpackConfig(plain)), plain);
    ConfigBytes encoded = plain;
    EncodeConfig(encoded);
    EXPECT_NE(encoded, plain);
    EncodeConfig(encoded);
    EXPECT_EQ(encoded, plain);
  }
}

TEST(ConfigFile, OverlongTextsAreCutAndAnyNonZeroFlagReadsAsOn) {
  ConfigBytes plain{};
  plain[0] = 0;
  plain[1] = 7;
  plain[2] = 0xFF;
  plain[6] = 200;  // country length
  for (size_t i = 0; i < 10; ++i) plain[7 + i] = static_cast<uint8_t>('a' + i);
  plain[18] = 11;  // first name length
  const ConfigRecord record = UnpackConfig(plain);
  EXPECT_EQ(record.WindowedMode, 0);
  EXPECT_EQ(record.MusicOn, 1);
  EXPECT_EQ(record.SoundOn, 1);
  EXPECT_EQ(record.PlayerCountry.Text(), "abcdefghij");
  EXPECT_EQ(record.ScoreTable[0].Name.Length, 10);
}

TEST(ConfigFile, AFailedSaveIsReportedAndLosesNothing) {
  GameFixture game;
  std::filesystem::create_directory("config.dat");  // unwritable even for root
  TmainForm& form = game.Start();
  ASSERT_FALSE(game.machine.windowImpl.messages.empty());
  EXPECT_EQ(
      game.machine.windowImpl.messages[0].rfind("The settings cannot be saved in config.dat: ", 0),
      0u);
  EXPECT_EQ(form.Config.ScoreTable[0].Name.Text(), "Anonymous");  // plain form kept
  EXPECT_TRUE(std::filesystem::is_directory("config.dat"));
  // No temporary file is left behind.
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    EXPECT_EQ(entry.path().filename().string().rfind("config.dat.", 0), std::string::npos);
  }

  std::filesystem::remove("config.dat");
  ConfigRecord before;
  SetDefaultConfig(before);
  before.PlayerCountry.SetText("Iceland");
  ASSERT_EQ(WriteConfigFile("config.dat", before), "");
  EXPECT_EQ(ReadConfigFile("config.dat"), before);
}

TEST(ScoreTable, PlacesAndInsertionKeepOlderEqualScoresAbove) {
  struct Case {
    uint16_t score;
    uint8_t place;
  };
  ConfigRecord record;
  ResetScoreTable(record);
  const Case cases[] = {{1000, 2}, {1001, 1}, {100, 11}, {101, 10}, {0, 11}, {65535, 1}, {550, 6}};
  for (const Case& c : cases) EXPECT_EQ(FindScorePlace(record, c.score), c.place) << c.score;

  ScoreEntry mine;
  mine.Name.SetText("Ragnhild");
  mine.Score = 1000;
  InsertScore(record, mine);
  EXPECT_EQ(record.ScoreTable[0].Name.Text(), "Anonymous");
  EXPECT_EQ(record.ScoreTable[1].Name.Text(), "Ragnhild");
  EXPECT_EQ(record.ScoreTable[9].Score, 200);  // the last 100 dropped

  mine.Score = 150;
  InsertScore(record, mine);
  EXPECT_EQ(record.ScoreTable[9].Score, 200);  // no place: the table is unchanged
  mine.Score = 201;
  InsertScore(record, mine);
  EXPECT_EQ(record.ScoreTable[9].Score, 201);
  EXPECT_EQ(record.ScoreTable[8].Score, 300);
}

TEST(BossKeyName, EveryKeyThatCanBeChosenHasItsOwnName) {
  struct Case {
    uint16_t key;
    const char* name;
  };
  const Case cases[] = {{0x7B, "F12"},
                        {0x70, "F1"},
                        {0x87, "F24"},
                        {0x5B, "Window Key"},
                        {0x31, "1"},
                        {0x41, "A"},
                        {0x5A, "Z"},
                        {0x20, "Space"},
                        {vk::Tab, "Tab"},
                        {vk::Back, "Backspace"},
                        {vk::Pause, "Pause"},
                        {vk::Prior, "Page Up"},
                        {vk::Numpad(7), "Num 7"},
                        {vk::Divide, "Num /"},
                        {vk::Oem5, "\\"},
                        {vk::Oem3, "`"},
                        {vk::RWin, "Right Window Key"},
                        {0x0C, "Key 12"},
                        {0xFFFF, "Key 65535"}};
  for (const Case& c : cases) EXPECT_EQ(BossKeyName(c.key), c.name) << c.key;
  // Every key of the keyboard has a name that no other key has.
  std::map<std::string, uint16_t> owners;
  for (uint16_t key = 1; key < 0xFF; ++key) {
    const std::string name = BossKeyName(key);
    EXPECT_FALSE(name.empty()) << key;
    const auto [owner, fresh] = owners.emplace(name, key);
    EXPECT_TRUE(fresh) << name << " names " << key << " and " << owner->second;
  }
}

}  // namespace

namespace {

// Makes every write of the settings fail while it lives: a folder the game may not write in, or
// files limited to fewer bytes than a record (as a full disk does it, and which stops root too).
class FailingSaves {
 public:
  enum Kind { ReadOnlyFolder, FileSizeLimit };
  FailingSaves(Kind kind, std::filesystem::path folder) : kind_(kind), folder_(std::move(folder)) {
    if (kind_ == ReadOnlyFolder) {
      std::filesystem::permissions(
          folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    } else {
      getrlimit(RLIMIT_FSIZE, &saved_);
      previous_ = std::signal(SIGXFSZ, SIG_IGN);
      rlimit small = saved_;
      small.rlim_cur = 100;
      setrlimit(RLIMIT_FSIZE, &small);
    }
  }
  ~FailingSaves() {
    if (kind_ == ReadOnlyFolder) {
      std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    } else {
      setrlimit(RLIMIT_FSIZE, &saved_);
      std::signal(SIGXFSZ, previous_);
    }
  }
  FailingSaves(const FailingSaves&) = delete;
  FailingSaves& operator=(const FailingSaves&) = delete;

 private:
  Kind kind_;
  std::filesystem::path folder_;
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

class FailingSaveTest : public MenuTest,
                        public ::testing::WithParamInterface<FailingSaves::Kind> {};

TEST_P(FailingSaveTest, KeepsTheOldFileAndTheLiveSettings) {
  if (GetParam() == FailingSaves::ReadOnlyFolder && geteuid() == 0) {
    GTEST_SKIP() << "root writes in read-only folders; the file size limit shows the same";
  }
  const std::vector<uint8_t> old = ReadBytes("config.dat");
  ChooseMainItem(miOptions);
  Press(vk::Down);
  Press(vk::Down);
  Messages().clear();
  {
    const FailingSaves failing(GetParam(), folder.path());
    Press(vk::Return);  // sounds off, and saved
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("The settings cannot be saved in config.dat: ", 0), 0u);
    EXPECT_GT(Messages()[0].size(),
              std::string("The settings cannot be saved in config.dat: ").size());
    EXPECT_EQ(ReadBytes("config.dat"), old);
    EXPECT_FALSE(config().SoundOn);
    EXPECT_TRUE(Shown(menu().Switches.SoundOff));
    EXPECT_EQ(config().ScoreTable[0].Name.Text(), "Anonymous");  // memory stays plain
  }
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (entry.path().filename() != "data" && entry.path().filename() != "sound") ++entries;
  }
  EXPECT_EQ(entries, 1);  // no temporary file left
  // The next save that can write takes the live settings.
  Press(vk::Escape);
  EXPECT_EQ(ReadConfigFile("config.dat")->SoundOn, 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, FailingSaveTest,
                         ::testing::Values(FailingSaves::ReadOnlyFolder,
                                           FailingSaves::FileSizeLimit));

}  // namespace
