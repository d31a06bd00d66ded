// The end of a game, played through: "GAME OVER", the result dialog with its fields and caret,
// the entry saved in "config.dat", the result sent to a score server on the loopback interface
// (or not, when it is down), and the Scores screen at the end.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "online/online_config.h"
#include "settings/config_file.h"
#include "tests/support/menu_fixture.h"
#include "tests/support/result_decoder.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/undrawable_sprite.h"

namespace {

using namespace std::chrono_literals;
using test_data::PictureColor;

std::string Ok(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body);
}

// The request target of a recorded request.
std::string TargetOf(const std::string& request) {
  const size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(std::filesystem::file_size(path), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

bool Reddish(uint32_t pixel) {
  return (pixel >> 16 & 0xFF) > 0xC0 && (pixel >> 8 & 0xFF) < 0x50 && (pixel & 0xFF) < 0x50;
}
bool Dark(uint32_t pixel) {
  return (pixel >> 16 & 0xFF) < 0x40 && (pixel >> 8 & 0xFF) < 0x40 && (pixel & 0xFF) < 0x40;
}

// The line of text of a dialog at `top`: how much of it is red, how much black, and where its
// red ends on the right.
struct TextLine {
  int red = 0;
  int dark = 0;
  int redRight = -1;
};

class EndOfGameTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    THttpTimeouts timeouts;
    timeouts.Connect = 500ms;
    timeouts.Read = 500ms;
    timeouts.Request = 3000ms;
    timeouts.ErrorBodyRead = 500ms;
    form->HttpClient1.SetTimeouts(timeouts);
  }

  // Starts a game, lets its banner pass, ends it through the exit question with `score` and
  // waits out "GAME OVER".
  void EndGameWithScore(uint16_t score) {
    ChooseMainItem(miNewGame);
    for (int frame = 0; frame < 500 && screen().GameState == gsLevelBanner; ++frame) Step(16);
    ASSERT_EQ(screen().GameState, gsPlaying);
    form->Play.Score = score;
    Press(vk::Escape);
    Press(vk::Return);  // OK: the game ends
    ASSERT_EQ(screen().GameState, gsGameOver);
    for (int frame = 0; frame < 200 && screen().GameState == gsGameOver; ++frame) Step(16);
  }

  TextLine LineAt(int top, int height = 22, int left = 220, int right = 580) {
    TextLine line;
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < right; ++x) {
        const uint32_t pixel = Pixel(x, y);
        if (Reddish(pixel)) {
          ++line.red;
          line.redRight = std::max(line.redRight, x);
        }
        if (Dark(pixel)) ++line.dark;
      }
    }
    return line;
  }

  // Draws the next frame with the text cursor in the half of its period asked for.
  void FrameWithCaret(bool shown) {
    input().BlinkCounter = shown ? 31 : 15;  // the frame counts one up first
    Step(16);
  }

  // Lets frames pass, as the message loop does, until the exchange with the server is over.
  void WaitForTheServer() {
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (screen().GameState == gsSending && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(2ms);
      Step(16);
    }
    ASSERT_NE(screen().GameState, gsSending) << "the exchange did not end";
  }

  std::optional<ConfigRecord> SavedConfig() { return ReadConfigFile(folder.path() / "config.dat"); }
};

TEST_F(EndOfGameTest, APlacingResultIsNamedSavedSentAndShownOnTheScoresScreen) {
  TScriptedHttpServer server({{Ok("OK|1.4|news||SV42|rest")}, {Ok("OK stored")}});
  form->ResultServer = server.Server();
  config().PlayerCountry.SetText("");
  EndGameWithScore(555);

  ASSERT_EQ(screen().GameState, gsNameEntry);
  EXPECT_EQ(form->Play.ScorePlace, 6);
  EXPECT_EQ(screen().MenuScreen, msResultDialog);
  EXPECT_EQ(screen().MenuFocus, riName);
  EXPECT_TRUE(input().TextEntryActive);
  EXPECT_TRUE(Shown(menu().ClosingWindow));
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0);  // OK's highlight waits for the focus
  EXPECT_GE(machine.windowImpl.cursorCounter, 0);

  Type("Sigrid 7!");  // "!" is no name character
  Press(vk::Down);
  EXPECT_EQ(screen().MenuFocus, riCountry);
  Type("norway");
  EXPECT_EQ(form->PlayerName, "Sigrid 7");
  EXPECT_EQ(config().PlayerCountry.Text(), "norway");

  ClickItem(msResultDialog, diOk);
  ASSERT_EQ(screen().GameState, gsSendQuestion);
  EXPECT_EQ(screen().MenuScreen, msSendDialog);
  EXPECT_EQ(screen().MenuFocus, diOk);
  EXPECT_FALSE(input().TextEntryActive);
  EXPECT_EQ(ShownSlots(menu().CurrentItems), 0b01);
  const std::optional<ConfigRecord> saved = SavedConfig();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->ScoreTable[5].Name.Text(), "Sigrid 7");
  EXPECT_EQ(saved->ScoreTable[5].Score, 555);
  EXPECT_EQ(saved->ScoreTable[6].Name.Text(), "Anonymous");
  EXPECT_EQ(saved->ScoreTable[6].Score, 500);
  EXPECT_EQ(saved->ScoreTable[9].Score, 200);
  EXPECT_EQ(saved->PlayerCountry.Text(), "norway");

  Press(vk::Return);  // Yes
  EXPECT_EQ(screen().GameState, gsSending);
  WaitForTheServer();
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(TargetOf(requests[0].Bytes), "/cgi/version.pl?version&prg=Skarvel");
  const std::string prefix = "/cgi/version.pl?hs&prg=Skarvel&inf=";
  const std::string target = TargetOf(requests[1].Bytes);
  ASSERT_EQ(target.rfind(prefix, 0), 0u) << target;
  EXPECT_EQ(DecodeResult(target.substr(prefix.size())),
            std::string("type=0|name=Sigrid 7|score=555|key=") + ResultKey() +
                "|p=SV42|add=norway|z=000");

  // Sent: the main menu with the Scores screen open, the new entry in the table.
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(screen().MainFocus, miScores);
  EXPECT_TRUE(form->FrameTimer1.Enabled());
  EXPECT_FALSE(form->FrameTimer2.Enabled());
  EXPECT_EQ(config().ScoreTable[5].Name.Text(), "Sigrid 7");
  Step(16);
  EXPECT_EQ(Pixel(330, 190), PictureColor("scoreback"));
  EXPECT_FALSE(Shown(menu().ClosingWindow));
  // The menu answers as usual.
  Press(vk::Escape);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
}

// A server that takes recordings: the game's recording goes up before the result, and the next
// New game asks that server for a start ticket, which the new game's recording then carries.
TEST_F(EndOfGameTest, AServerThatTakesRecordingsGetsTheRecordingAndGivesTheNextGameATicket) {
  TScriptedHttpServer server({{Ok("OK|1.4|news||SV42|replays")},
                              {Ok("OK")},
                              // Closed: the scripted server takes one connection at a time.
                              {Ok("OK stored"), true},
                              {Ok("OK|0011aabb-cc-dd"), true}});
  form->ResultServer = server.Server();
  EndGameWithScore(555);
  ASSERT_EQ(screen().GameState, gsNameEntry);
  Type("Ann");
  ClickItem(msResultDialog, diOk);
  ASSERT_EQ(screen().GameState, gsSendQuestion);
  Press(vk::Return);  // Yes
  WaitForTheServer();
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(TargetOf(requests[1].Bytes), "/cgi/version.pl?replay&prg=Skarvel&p=SV42");
  const std::vector<uint8_t>& recording = form->Recording.LastGameBytes();
  ASSERT_FALSE(recording.empty());
  EXPECT_TRUE(requests[1].Bytes.ends_with(std::string(recording.begin(), recording.end())));
  EXPECT_EQ(TargetOf(requests[2].Bytes).rfind("/cgi/version.pl?hs&prg=Skarvel&inf=", 0), 0u);

  Press(vk::Escape);  // the Scores screen, back to the main menu
  ChooseMainItem(miNewGame);
  // The ticket's worker runs in real time; the game does not wait for it.
  for (int i = 0; i < 500 && server.Requests().size() < 4; ++i) std::this_thread::sleep_for(2ms);
  requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(TargetOf(requests[3].Bytes), "/cgi/version.pl?ticket&prg=Skarvel");
  // Time for the answer to reach the worker; the first tick after it hands the ticket over.
  std::this_thread::sleep_for(200ms);
  for (int frame = 0; frame < 500 && screen().GameState == gsLevelBanner; ++frame) Step(16);
  ASSERT_EQ(screen().GameState, gsPlaying);
  Step(16);
  Press(vk::Escape);
  Press(vk::Return);  // OK: the game ends
  for (int frame = 0; frame < 200 && screen().GameState == gsGameOver; ++frame) Step(16);
  ASSERT_TRUE(form->Recording.LastGame());
  EXPECT_EQ(form->Recording.LastGame()->Header.StartTicket, "0011aabb-cc-dd");
}

TEST_F(EndOfGameTest, WithTheServerDownTheNoticeStandsThenTheQuestionComesBack) {
  // Nothing of ours listens on port 1 of the loopback interface: the connection is refused.
  form->ResultServer = "127.0.0.1:1";
  form->PlayerName = "Ivar";
  EndGameWithScore(1200);
  ASSERT_EQ(screen().GameState, gsNameEntry);
  EXPECT_EQ(form->Play.ScorePlace, 1);
  Press(vk::Return);  // Enter in the name field takes the result
  ASSERT_EQ(screen().GameState, gsSendQuestion);

  const int presents = machine.windowImpl.presentCount;
  Press(vk::Return);  // Yes
  EXPECT_EQ(screen().GameState, gsSending);
  // The wait is shown at once, before the next tick.
  EXPECT_EQ(machine.windowImpl.presentCount, presents + 1);
  EXPECT_GT(LineAt(240, 22, 320, 480).red, 30) << "PLEASE WAIT...";
  EXPECT_GT(LineAt(195, 22, 230, 400).dark, 50) << "SENDING RESULTS";
  WaitForTheServer();
  EXPECT_EQ(screen().GameState, gsSendFailed);
  // The frame that took the outcome already showed the notice once.
  EXPECT_EQ(form->Play.BannerTimer, 1500 - 16);

  int frames = 1;
  while (screen().GameState == gsSendFailed && frames < 200) {
    Step(16);
    ++frames;
    if (frames == 1) {
      EXPECT_GT(LineAt(240, 22, 240, 560).red, 100) << "CAN'T CONNECT TO SERVER!";
      EXPECT_GT(LineAt(195, 22, 230, 400).dark, 50) << "SENDING RESULTS";
    }
  }
  EXPECT_EQ(frames, 94);  // 1500 ms of 16 ms frames
  EXPECT_EQ(screen().GameState, gsSendQuestion);
  EXPECT_EQ(screen().MenuScreen, msSendDialog);
  Step(16);
  EXPECT_EQ(LineAt(240, 22, 240, 560).red, 0);
  EXPECT_GT(LineAt(280, 22, 240, 560).dark, 50) << "WORLD'S HIGHSCORE PAGE?";

  // The entry was saved before the attempt and is still there; No shows it.
  ASSERT_TRUE(SavedConfig());
  EXPECT_EQ(SavedConfig()->ScoreTable[0].Name.Text(), "Ivar");
  EXPECT_EQ(SavedConfig()->ScoreTable[0].Score, 1200);
  Press(vk::Down);
  Press(vk::Return);  // No
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(config().ScoreTable[0].Name.Text(), "Ivar");
}

TEST_F(EndOfGameTest, KeysPressedWhileSendingAreNotTakenByTheScreenThatFollows) {
  for (const bool serverUp : {true, false}) {
    TScriptedHttpServer server({{Ok("OK")}, {Ok("OK")}});
    form->ResultServer = serverUp ? server.Server() : "127.0.0.1:1";
    form->PlayerName = "Knut";
    EndGameWithScore(980);
    Press(vk::Return);  // the name
    ASSERT_EQ(screen().GameState, gsSendQuestion);
    const ConfigRecord table = config();
    // Yes, then Enter twice while the game waits for the server: on the Scores screen they would
    // open the clear-scores question and answer it.
    machine.KeyDown(vk::Return, 0);
    machine.KeyUp(vk::Return, 0);
    for (int press = 0; press < 2; ++press) {
      machine.KeyDown(vk::Return, 0);
      machine.KeyUp(vk::Return, 0);
    }
    form->ProcessMessages();
    WaitForTheServer();
    EXPECT_FALSE(input().KeyLatch) << serverUp;
    EXPECT_EQ(config(), table) << serverUp;
    if (serverUp) {
      EXPECT_EQ(screen().MenuScreen, msScores);
      ClickItem(msScores, siBack);  // the menu answers what comes after the wait
      EXPECT_EQ(screen().MenuScreen, msMainMenu);
    } else {
      EXPECT_EQ(screen().GameState, gsSendFailed);
      for (int frame = 0; frame < 200 && screen().GameState == gsSendFailed; ++frame) Step(16);
      EXPECT_EQ(screen().MenuScreen, msSendDialog);
      Press(vk::Down);
      Press(vk::Return);  // No
      ASSERT_EQ(screen().MenuScreen, msScores);
      Press(vk::Escape);
    }
  }
}

TEST_F(EndOfGameTest, WhileTheServerTakesItsTimeTheWindowLivesAndNoInputActs) {
  TScriptedHttpServer::Reply slowHandshake{Ok("OK||||v|")};
  slowHandshake.Delay = 300ms;
  TScriptedHttpServer::Reply slowResult{Ok("OK")};
  slowResult.Delay = 300ms;
  TScriptedHttpServer server({slowHandshake, slowResult});
  form->ResultServer = server.Server();
  form->PlayerName = "Ragna";
  EndGameWithScore(990);
  Press(vk::Return);  // the name
  ASSERT_EQ(screen().GameState, gsSendQuestion);
  const ConfigRecord table = config();

  Press(vk::Return);  // Yes: the exchange sets out and the loop goes on
  ASSERT_EQ(screen().GameState, gsSending);
  const int presents = machine.windowImpl.presentCount;
  for (int frame = 0; frame < 5; ++frame) Step(16);
  // Frames go on being drawn, each with the wait.
  EXPECT_EQ(machine.windowImpl.presentCount, presents + 5);
  EXPECT_GT(LineAt(240, 22, 320, 480).red, 30) << "PLEASE WAIT...";
  // The window's events are served: the focus comes and goes, a close request is let go by.
  platform::Event event;
  event.kind = platform::EventKind::Deactivate;
  machine.Push(event);
  form->ProcessMessages();
  EXPECT_FALSE(form->Application.Active());
  event.kind = platform::EventKind::Activate;
  machine.Push(event);
  event.kind = platform::EventKind::CloseRequest;
  machine.Push(event);
  form->ProcessMessages();
  EXPECT_TRUE(form->Application.Active());
  EXPECT_FALSE(form->Closed());
  EXPECT_EQ(screen().GameState, gsSending);
  EXPECT_EQ(screen().MenuScreen, msSendDialog);
  // Keys and clicks do nothing, now or after the wait.
  for (const uint16_t key : {vk::Return, vk::Down, vk::Escape, vk::Return}) {
    machine.KeyDown(key);
    machine.KeyUp(key);
  }
  Click(Centre(msResultDialog, diCancel).first, Centre(msResultDialog, diCancel).second);
  EXPECT_EQ(screen().GameState, gsSending);

  WaitForTheServer();
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(screen().MenuFocus, 1);
  EXPECT_EQ(config(), table);
  EXPECT_FALSE(form->Closed());
}

TEST_F(EndOfGameTest, AKeyHeldThroughTheWaitDoesNothingAfterItUntilItIsLetGo) {
  TScriptedHttpServer::Reply slowResult{Ok("OK")};
  slowResult.Delay = 200ms;
  TScriptedHttpServer server({{Ok("OK||||v|")}, slowResult});
  form->ResultServer = server.Server();
  form->PlayerName = "Tove";
  EndGameWithScore(970);
  Press(vk::Return);  // the name
  ASSERT_EQ(screen().GameState, gsSendQuestion);
  const ConfigRecord table = config();
  Press(vk::Return);  // Yes
  ASSERT_EQ(screen().GameState, gsSending);
  Hold(vk::Return);  // pressed again, and held through the wait
  WaitForTheServer();
  ASSERT_EQ(screen().MenuScreen, msScores);
  ASSERT_EQ(screen().MenuFocus, siClearScores);
  // The key's auto-repeat after the wait: it is the same press, which acted on nothing.
  for (int repeat = 0; repeat < 3; ++repeat) Hold(vk::Return, true);
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(config(), table);
  // Let go and pressed anew, it acts.
  Release(vk::Return);
  Press(vk::Return);
  EXPECT_EQ(screen().MenuScreen, msClearScoresDialog);
}

TEST_F(EndOfGameTest, AltEnterDuringTheWaitSwitchesTheDisplayMode) {
  TScriptedHttpServer::Reply slowResult{Ok("OK")};
  slowResult.Delay = 300ms;
  TScriptedHttpServer server({{Ok("OK||||v|")}, slowResult});
  form->ResultServer = server.Server();
  form->PlayerName = "Ulla";
  EndGameWithScore(960);
  Press(vk::Return);  // the name
  Press(vk::Return);  // Yes
  ASSERT_EQ(screen().GameState, gsSending);
  const uint8_t windowed = config().WindowedMode;
  Press(vk::Return, platform::ssAlt);
  EXPECT_NE(config().WindowedMode, windowed);
  EXPECT_EQ(machine.windowImpl.fullScreen, windowed != 0);
  EXPECT_EQ(SavedConfig()->WindowedMode, config().WindowedMode);
  EXPECT_EQ(screen().GameState, gsSending);
  WaitForTheServer();
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(config().WindowedMode, windowed != 0 ? 0 : 1);
}

TEST_F(EndOfGameTest, AGameLeftDuringTheWaitLetsTheNextGameSendItsResult) {
  TScriptedHttpServer::Reply slowResult{Ok("OK")};
  slowResult.Delay = 300ms;
  TScriptedHttpServer server({{Ok("OK||||v|")}, slowResult, {Ok("OK||||v|")}, {Ok("OK")}});
  form->ResultServer = server.Server();
  form->PlayerName = "Vidar";
  EndGameWithScore(950);
  Press(vk::Return);  // the name
  Press(vk::Return);  // Yes
  ASSERT_EQ(screen().GameState, gsSending);
  NewSprite<UndrawableSprite>(form->SpriteEngine1.Root());
  const size_t messages = Messages().size();
  for (int frame = 0; frame < 5 && screen().GameState == gsSending; ++frame) Step(16);
  // Two failed frames in a row: the game gave way to the main menu, the one failure shown.
  ASSERT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(Messages().size(), messages + 1);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);

  // The next game's result sets out and arrives.
  EndGameWithScore(940);
  Press(vk::Return);  // the name
  ASSERT_EQ(screen().GameState, gsSendQuestion);
  Press(vk::Return);  // Yes
  EXPECT_EQ(screen().GameState, gsSending);
  WaitForTheServer();
  EXPECT_EQ(screen().MenuScreen, msScores);
  EXPECT_EQ(server.Requests().size(), 4u);
}

TEST_F(EndOfGameTest, OnlyAScoreAboveTheTenthEntryOpensTheDialog) {
  struct Case {
    uint16_t score;
    bool places;
  };
  for (const Case c : {Case{0, false}, Case{100, false}, Case{101, true}}) {
    EndGameWithScore(c.score);
    EXPECT_EQ(screen().GameState, c.places ? gsNameEntry : gsMenu) << c.score;
    EXPECT_EQ(form->Play.ScorePlace, c.places ? 10 : NoScorePlace) << c.score;
    if (c.places) ClickItem(msResultDialog, diCancel);
    ASSERT_EQ(screen().MenuScreen, msMainMenu);
  }
}

TEST_F(EndOfGameTest, CancelEntersNothingAndTheNameStaysForTheNextGame) {
  const std::string before = FileBytes(folder.path() / "config.dat");
  ASSERT_FALSE(before.empty());
  const ConfigRecord table = config();
  EndGameWithScore(900);
  Type("Astrid");
  Press(vk::Down);
  Press(vk::Down);  // past the fields and OK, round to Cancel
  Press(vk::Down);
  ASSERT_EQ(screen().MenuFocus, diCancel);
  EXPECT_FALSE(input().TextEntryActive);
  Press(vk::Return);
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msMainMenu);
  EXPECT_TRUE(form->FrameTimer1.Enabled());
  EXPECT_EQ(FileBytes(folder.path() / "config.dat"), before);
  EXPECT_EQ(config(), table);
  Type("x");  // nothing takes typing in the menu
  EXPECT_EQ(form->PlayerName, "Astrid");

  // The next game's dialog shows the name typed before, ready to be edited.
  EndGameWithScore(900);
  ASSERT_EQ(screen().GameState, gsNameEntry);
  EXPECT_EQ(form->PlayerName, "Astrid");
  FrameWithCaret(false);
  EXPECT_GT(LineAt(260).red, 50);
  Press(vk::Back);
  Type("ur");
  EXPECT_EQ(form->PlayerName, "Astriur");
  Type("12345");  // the eleventh character is dropped
  EXPECT_EQ(form->PlayerName, "Astriur123");
}

TEST_F(EndOfGameTest, TheFocusedLineIsRedWithTheBlinkingCaretAndTheOtherBlack) {
  config().PlayerCountry.SetText("se");
  form->PlayerName = "Bo";
  EndGameWithScore(700);
  ASSERT_EQ(screen().GameState, gsNameEntry);
  struct Case {
    uint8_t focus;
    int focusedTop;
    int otherTop;
  };
  for (const Case c : {Case{riName, 260, 320}, Case{riCountry, 320, 260}}) {
    while (screen().MenuFocus != c.focus) Press(vk::Down);
    ASSERT_TRUE(input().TextEntryActive);
    FrameWithCaret(false);
    const TextLine plain = LineAt(c.focusedTop);
    const TextLine other = LineAt(c.otherTop);
    FrameWithCaret(true);
    const TextLine withCaret = LineAt(c.focusedTop);
    EXPECT_GT(plain.red, 30) << int(c.focus);
    EXPECT_EQ(other.red, 0) << int(c.focus);
    EXPECT_GT(other.dark, 30) << int(c.focus);
    // The caret stands right of the text, which does not move.
    EXPECT_GT(withCaret.redRight, plain.redRight + 1) << int(c.focus);
    EXPECT_GT(withCaret.red, plain.red) << int(c.focus);
    EXPECT_EQ(LineAt(c.otherTop).red, 0) << int(c.focus);
  }
  // On OK neither line is red and typing goes nowhere.
  Press(vk::Down);
  ASSERT_EQ(screen().MenuFocus, diOk);
  EXPECT_FALSE(input().TextEntryActive);
  Type("zz");
  EXPECT_EQ(form->PlayerName, "Bo");
  FrameWithCaret(true);
  EXPECT_EQ(LineAt(260).red + LineAt(320).red, 0);
}

TEST_F(EndOfGameTest, EnterInTheCountryFieldDoesNotTakeTheResult) {
  EndGameWithScore(800);
  Press(vk::Down);
  ASSERT_EQ(screen().MenuFocus, riCountry);
  const int before = Plays("menu");
  Press(vk::Return);
  EXPECT_EQ(screen().GameState, gsNameEntry);
  EXPECT_EQ(Plays("menu"), before + 1);
  EXPECT_TRUE(input().TextEntryActive);
  // The pointer moves the focus to the name field; a click there takes nothing either.
  ClickItem(msResultDialog, riName);
  EXPECT_EQ(screen().MenuFocus, riName);
  EXPECT_EQ(screen().GameState, gsNameEntry);
  EXPECT_TRUE(input().TextEntryActive);
}

TEST_F(EndOfGameTest, ThePointerFindsTheSendQuestionsAnswersWhereTheyAreSeen) {
  EndGameWithScore(800);
  Press(vk::Return);
  ASSERT_EQ(screen().GameState, gsSendQuestion);
  // The right half of the No picture, beyond the rectangle the question starts with.
  const ItemRect& no = menu().ItemRects.At(msResultDialog, diCancel);
  MoveAndClick(no.Left + no.Width - 4, no.Top + no.Height - 4);
  EXPECT_EQ(screen().GameState, gsMenu);
  EXPECT_EQ(screen().MenuScreen, msScores);
}

TEST_F(EndOfGameTest, TheExitQuestionOverTheResultDialogShowsItsOwnWords) {
  form->PlayerName = "Helga";
  EndGameWithScore(800);
  FrameWithCaret(true);
  ASSERT_GT(LineAt(260).red, 30);
  ASSERT_GT(LineAt(230, 20).dark, 50) << "PLEASE, ENTER YOUR NAME:";
  form->Close();
  ASSERT_EQ(screen().MenuScreen, msExitDialog);
  Step(16);
  EXPECT_EQ(LineAt(230, 20).dark, 0);
  EXPECT_EQ(LineAt(260).red, 0);
  EXPECT_GT(LineAt(270, 22, 300, 500).dark, 50) << "EXIT THE GAME?";
  Press(vk::Escape);  // Cancel
  EXPECT_EQ(screen().MenuScreen, msResultDialog);
  FrameWithCaret(true);
  EXPECT_GT(LineAt(260).red, 30);
}

}  // namespace
