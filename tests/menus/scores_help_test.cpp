// The Scores and Help screens: the table, clearing it, the online table, the pages.
#include "online/online_config.h"
#include "online/score_server_urls.h"
#include "settings/config_file.h"
#include "tests/support/menu_fixture.h"

namespace {

using test_data::HelpPageColor;
using test_data::PictureColor;

class ScoresTest : public MenuTest {
 protected:
  void OpenScores() {
    ChooseMainItem(miScores);
    ASSERT_EQ(screen().MenuScreen, msScores);
  }
  // Pixels of a score table row (y = 190 + 23 x place) that are not the panel's.
  int InkInRow(int place) {
    int ink = 0;
    const int top = 190 + 23 * place;
    for (int y = top; y < top + 20; ++y) {
      for (int x = 340; x < 700; ++x) ink += Pixel(x, y) != PictureColor("scoreback") ? 1 : 0;
    }
    return ink;
  }
};

TEST_F(ScoresTest, ShowsTheTableWithTheClearItemLitAndOpensTheOnlineTable) {
  OpenScores();
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b001);
  EXPECT_EQ(menu().ItemRects.At(msScores, siClearScores).Width, 204);
  EXPECT_EQ(menu().ItemRects.At(msScores, siOnlineScores).Width, 214);
  Step(16);
  for (int place = 1; place <= 10; ++place) EXPECT_GT(InkInRow(place), 50) << place;
  EXPECT_EQ(Pixel(320, 475), PictureColor("clearscore"));

  // A longer name draws more.
  const int before = InkInRow(4);
  config().ScoreTable[3].Name.SetText("Wwwwwwwwww");
  Step(16);
  EXPECT_GT(InkInRow(4), before);

  Press(vk::Right);
  Press(vk::Return);
  EXPECT_EQ(machine.shellImpl.opened,
            std::vector<std::string>({"http://" + std::string(ScoreServer()) +
                                      "/cgi/version.pl?prg=Skarvel&show&type=0"}));
  EXPECT_EQ(screen().MenuScreen, msScores);
}

TEST_F(ScoresTest, ClearingAsksFirstCancelKeepsTheTableAndOkResetsOnlyTheTable) {
  config().ScoreTable[0].Name.SetText("Ragnhild");
  config().ScoreTable[0].Score = 4321;
  config().PlayerCountry.SetText("Iceland");
  config().BossKey = vk::Letter('Q');
  config().SoundOn = 1;
  config().WindowedMode = 0;
  form->SaveConfig();
  OpenScores();
  const TItemSlots scoresItems = menu().CurrentItems;

  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msClearScoresDialog);
  EXPECT_EQ(screen().ReturnScreen, msScores);
  EXPECT_TRUE(Shown(menu().ClosingWindow));
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b01);  // OK lit, Cancel dark
  EXPECT_EQ(PixelAfterFrame(302, 387), PictureColor("ok"));
  Press(vk::Escape);  // Cancel
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(screen().MenuFocus, siClearScores);
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  EXPECT_EQ(config().ScoreTable[0].Score, 4321);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(menu().CurrentItems[i].Get(), scoresItems[i].Get());

  Press(vk::Return);
  Press(vk::Right);
  Press(vk::Left);  // the arrows move between the answers
  EXPECT_EQ(screen().MenuFocus, diOk);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(config().ScoreTable[0].Name.Text(), "Anonymous");
  EXPECT_EQ(config().ScoreTable[0].Score, 1000);
  Step(16);  // the answers are freed; the Scores items are live
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(menu().CurrentItems[i]) << i;

  // Everything else survives a restart.
  form.reset();
  TmainForm& again = Start();
  EXPECT_EQ(again.Config.ScoreTable[0].Score, 1000);
  EXPECT_EQ(again.Config.PlayerCountry.Text(), "Iceland");
  EXPECT_EQ(again.Config.BossKey, vk::Letter('Q'));
  EXPECT_FALSE(again.Config.WindowedMode);
  EXPECT_TRUE(again.Config.SoundOn);
}

TEST_F(ScoresTest, BackReturnsToTheMainMenuOnScores) {
  OpenScores();
  Press(vk::Up);
  EXPECT_EQ(screen().MenuFocus, siBack);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miScores);
  OpenScores();
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  Step(16);
  EXPECT_EQ(Pixel(700, 480), PictureColor("menu"));
}

class HelpTest : public MenuTest {
 protected:
  void OpenHelp() {
    ChooseMainItem(miHelp);
    ASSERT_EQ(screen().MenuScreen, msHelp);
  }
  uint32_t PageColor() { return PixelAfterFrame(400, 300); }
};

TEST_F(HelpTest, PagesStopAtTheFirstAndTheTenthAndReopeningStartsAtTheFirst) {
  OpenHelp();
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b001);
  EXPECT_EQ(PageColor(), HelpPageColor(1));
  Press(vk::Return);  // previous, on page 1
  EXPECT_EQ(menu().HelpPage, 1);
  EXPECT_EQ(PageColor(), HelpPageColor(1));
  Press(vk::Down);
  for (int page = 2; page <= 10; ++page) {
    Press(vk::Return);
    EXPECT_EQ(PageColor(), HelpPageColor(page)) << page;
  }
  Press(vk::Return);  // next, on page 10
  EXPECT_EQ(menu().HelpPage, 10);
  EXPECT_EQ(PageColor(), HelpPageColor(10));
  Press(vk::Left);
  Press(vk::Return);
  EXPECT_EQ(PageColor(), HelpPageColor(9));

  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_EQ(screen().MenuFocus, miHelp);
  EXPECT_EQ(PixelAfterFrame(400, 300), PictureColor("menu"));
  EXPECT_FALSE(menu().HelpPageSprite);
  OpenHelp();
  EXPECT_EQ(menu().HelpPage, 1);
  EXPECT_EQ(PageColor(), HelpPageColor(1));
}

}  // namespace
