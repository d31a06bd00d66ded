// Walks every transition that docs/screen_states.md lists through the whole program on the
// headless machine: the table is read from the file, each row's first state is reached by play,
// its trigger is done as the player (or the desktop) does it, and the state it ends in must be the
// table's. A row the test cannot walk fails, so the table cannot drift from the code.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/game/gameplay_fixture.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/undrawable_sprite.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* ProgramEnds = "program ends";

struct Transition {
  std::string from;
  std::string trigger;
  std::string to;
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The rows of the document's transition tables: every table line whose first cell names a state
// or a screen.
std::vector<Transition> ReadTransitions() {
  std::ifstream in(std::filesystem::path(SKARVEL_SOURCE_DIR) / "docs" / "screen_states.md");
  if (!in) throw std::runtime_error("docs/screen_states.md cannot be read");
  std::vector<Transition> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("| gs", 0) != 0 && line.rfind("| ms", 0) != 0) continue;
    std::vector<std::string> cells;
    size_t start = 1;
    for (size_t bar = line.find('|', start); bar != std::string::npos;
         bar = line.find('|', start)) {
      cells.push_back(Trimmed(line.substr(start, bar - start)));
      start = bar + 1;
    }
    if (cells.size() != 4) throw std::runtime_error("a table row without four cells: " + line);
    rows.push_back({cells[0], cells[1], cells[2]});
  }
  return rows;
}

const std::map<TGameState, std::string> GameStateNames = {
    {gsMenu, "gsMenu"},       {gsPlaying, "gsPlaying"},         {gsExitQuestion, "gsExitQuestion"},
    {gsDying, "gsDying"},     {gsLevelBanner, "gsLevelBanner"}, {gsGameOver, "gsGameOver"},
    {gsPaused, "gsPaused"},   {gsNameEntry, "gsNameEntry"},     {gsSendQuestion, "gsSendQuestion"},
    {gsSending, "gsSending"}, {gsSendFailed, "gsSendFailed"}};

const std::map<TMenuScreen, std::string> MenuScreenNames = {
    {msMainMenu, "msMainMenu"},
    {msOptions, "msOptions"},
    {msScores, "msScores"},
    {msHelp, "msHelp"},
    {msExitDialog, "msExitDialog"},
    {msClearScoresDialog, "msClearScoresDialog"},
    {msBossKeyPrompt, "msBossKeyPrompt"},
    {msResultDialog, "msResultDialog"},
    {msSendDialog, "msSendDialog"}};

std::string Ok(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body);
}

class ScreenStatesTest : public GameplayTest {
 protected:
  // The state the program is in, named as the table names it: the menu's rows by their screen.
  std::string Current(bool menuRow) {
    if (form->Closed()) return ProgramEnds;
    if (menuRow && State() == gsMenu) return MenuScreenNames.at(screen().MenuScreen);
    return GameStateNames.at(State());
  }

  // A fresh program, its generator seeded, and a score server that takes its time to take the
  // result, or (not `reachable`) to drop the connection without a word.
  void Restart(bool reachable) {
    form.reset();
    server.reset();
    Start();
    form->Rng.Randomize(Seed);
    TScriptedHttpServer::Reply handshake{Ok("OK||||v|")};
    TScriptedHttpServer::Reply result{Ok("OK")};
    (reachable ? result : handshake).Delay = 200ms;
    handshake.Drop = !reachable;
    server = std::make_unique<TScriptedHttpServer>(
        std::vector<TScriptedHttpServer::Reply>{handshake, result});
    form->ResultServer = server->Server();
  }

  void Frames(int most, const std::function<bool()>& until) {
    for (int frame = 0; frame < most && !until(); ++frame) Step(16);
  }
  void WaitForTheServer() {
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (State() == gsSending && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(2ms);
      Step(16);
    }
  }
  void Send(platform::EventKind kind) {
    platform::Event event;
    event.kind = kind;
    machine.Push(event);
    Step(16);
  }
  void PlayUntilGameOver(uint16_t score) {
    Reach("gsPlaying");
    Play().Score = score;
    Press(vk::Escape);
    Press(vk::Return);
  }

  // Brings a fresh program to a state or screen of the table by play.
  void Reach(const std::string& name) {
    const std::map<std::string, std::function<void()>> ways = {
        {"gsMenu", [] {}},
        {"msMainMenu", [] {}},
        {"gsLevelBanner", [&] { Press(vk::Return); }},
        {"gsPlaying",
         [&] {
           StartQuietGame();
           Hero().X = 300;  // away from the grate
         }},
        {"gsDying",
         [&] {
           Reach("gsPlaying");
           Hero().X = 60;  // the tail reaches the grate
           Step(16);
         }},
        {"gsPaused",
         [&] {
           Reach("gsPlaying");
           Press(vk::Letter('P'));
         }},
        {"gsExitQuestion",
         [&] {
           Reach("gsPlaying");
           Press(vk::Escape);
         }},
        {"gsGameOver", [&] { PlayUntilGameOver(900); }},
        {"gsNameEntry",
         [&] {
           PlayUntilGameOver(900);
           Frames(200, [&] { return State() != gsGameOver; });
         }},
        {"gsSendQuestion",
         [&] {
           Reach("gsNameEntry");
           Press(vk::Return);  // the name
         }},
        {"gsSending",
         [&] {
           Reach("gsSendQuestion");
           Press(vk::Return);  // Yes
         }},
        {"gsSendFailed",
         [&] {
           form->ResultServer = "127.0.0.1:1";  // nothing of ours listens there
           Reach("gsSending");
           WaitForTheServer();
         }},
        {"msOptions", [&] { ChooseMainItem(miOptions); }},
        {"msScores", [&] { ChooseMainItem(miScores); }},
        {"msHelp", [&] { ChooseMainItem(miHelp); }},
        {"msBossKeyPrompt",
         [&] {
           Reach("msOptions");
           ClickItem(msOptions, oiBossKey);
         }},
        {"msClearScoresDialog",
         [&] {
           Reach("msScores");
           ClickItem(msScores, siClearScores);
         }},
        {"msExitDialog", [&] { Press(vk::Escape); }},
    };
    ways.at(name)();
  }

  // Does what a row's trigger says; false when the test does not know it.
  bool Trigger(const std::string& trigger) {
    const auto stepUntilChanged = [&] {
      const TGameState before = State();
      Frames(400, [&] { return State() != before; });
    };
    const auto clickAnswer = [&](uint8_t item) { ClickItem(screen().MenuScreen, item); };
    const std::map<std::string, std::function<void()>> triggers = {
        {"New game", [&] { ChooseMainItem(miNewGame); }},
        {"Options", [&] { ChooseMainItem(miOptions); }},
        {"Scores", [&] { ChooseMainItem(miScores); }},
        {"Help", [&] { ChooseMainItem(miHelp); }},
        {"Exit", [&] { ChooseMainItem(miExit); }},
        {"Back",
         [&] {
           const TMenuScreen now = screen().MenuScreen;
           int back = hiBack;
           if (now == msOptions) back = oiBack;
           if (now == msScores) back = siBack;
           ClickItem(now, back);
         }},
        {"Boss key", [&] { ClickItem(msOptions, oiBossKey); }},
        {"a key", [&] { Press(vk::Letter('K')); }},
        {"Clear scores", [&] { ClickItem(msScores, siClearScores); }},
        {"OK", [&] { clickAnswer(diOk); }},
        {"Yes", [&] { clickAnswer(diOk); }},
        {"Cancel", [&] { clickAnswer(diCancel); }},
        {"No", [&] { clickAnswer(diCancel); }},
        {"P", [&] { Press(vk::Letter('P')); }},
        {"Esc", [&] { Press(vk::Escape); }},
        {"boss key", [&] { Press(config().BossKey); }},
        {"focus lost", [&] { Send(platform::EventKind::Deactivate); }},
        {"close request", [&] { Send(platform::EventKind::CloseRequest); }},
        {"end request", [&] { Send(platform::EventKind::EndRequest); }},
        {"banner time over", stepUntilChanged},
        {"banner time over with a place in the table", stepUntilChanged},
        {"banner time over without a place",
         [&] {
           Play().Score = 0;
           stepUntilChanged();
         }},
        {"the dragon dies",
         [&] {
           Hero().X = 60;
           Step(16);
         }},
        {"level time over", [&] { EndLevel(); }},
        {"dying time over with lives left", stepUntilChanged},
        {"dying time over without lives",
         [&] {
           Play().Lives = 0;
           stepUntilChanged();
         }},
        {"result sent", [&] { WaitForTheServer(); }},
        {"server out of reach", [&] { WaitForTheServer(); }},
        {"notice time over", stepUntilChanged},
        {"second failed frame",
         [&] {
           NewSprite<UndrawableSprite>(form->SpriteEngine1.Root());
           Step(16);
           Step(16);
         }},
    };
    const auto found = triggers.find(trigger);
    if (found == triggers.end()) return false;
    found->second();
    return true;
  }

  ScreenState& screen() { return form->Screen; }
  std::unique_ptr<TScriptedHttpServer> server;
};

TEST_F(ScreenStatesTest, EveryTransitionOfTheTableHappensAsItSays) {
  const std::vector<Transition> rows = ReadTransitions();
  ASSERT_GT(rows.size(), 40u);
  for (const Transition& row : rows) {
    SCOPED_TRACE(row.from + " --" + row.trigger + "--> " + row.to);
    const bool menuRow = row.from.rfind("ms", 0) == 0;
    Restart(row.trigger != "server out of reach");
    Reach(row.from);
    ASSERT_EQ(Current(menuRow), row.from);
    ASSERT_TRUE(Trigger(row.trigger)) << "the test does not know the trigger";
    EXPECT_EQ(Current(menuRow), row.to);
    // A result on its way is not left behind for the next row.
    WaitForTheServer();
  }
  server.reset();
}

}  // namespace
