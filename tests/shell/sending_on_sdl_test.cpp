// Sending a result with the game on SDL's real event queue (dummy drivers): keys that arrive while
// a request is in flight reach SDL's queue as a player's would, and must not act on the Scores
// screen that follows the wait.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "engine/platform/sdl/sdl_platform.h"
#include "shell/main_form.h"
#include "tests/support/game_fixture.h"
#include "tests/support/scripted_http_server.h"

namespace {

using namespace std::chrono_literals;
using Reply = TScriptedHttpServer::Reply;

std::string Ok(std::string_view body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body);
}

// A key pressed and let go, as SDL reports it; SDL_PushEvent may be called from any thread.
void PushKey(SDL_Keycode symbol, SDL_Scancode scancode) {
  for (const Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = symbol;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
  }
}

void PushReturn() {
  PushKey(SDLK_RETURN, SDL_SCANCODE_RETURN);
}

class SendingOnSdlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTestSoundArchive(folder.path() / "sound" / "gamesound.dxw");
    test_data::WriteGameData(folder.path());
    platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    form = std::make_unique<TmainForm>(*platform);
  }
  void TearDown() override {
    form.reset();
    platform.reset();
  }

  // Runs the message loop in real time until `done` holds; false when it did not come to pass.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 8s) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > giveUp) return false;
      form->ProcessMessages();
      SDL_Delay(1);
    }
    return true;
  }
  void RunFor(std::chrono::milliseconds time) {
    RunUntil([] { return false; }, time);
  }
  bool InState(TGameState state) { return form->Screen.GameState == state; }

  // A game played to its end with `score`, the name taken: the send question stands.
  void ReachTheSendQuestion(uint16_t score) {
    PushReturn();  // New game
    ASSERT_TRUE(RunUntil([&] { return InState(gsPlaying); }));
    form->Play.Score = score;
    PushKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(RunUntil([&] { return InState(gsExitQuestion); }));
    PushReturn();  // OK: the game ends
    ASSERT_TRUE(RunUntil([&] { return InState(gsNameEntry); }));
    PushReturn();  // the name
    ASSERT_TRUE(RunUntil([&] { return InState(gsSendQuestion); }));
  }

  InGameFolder folder;
  std::unique_ptr<platform::sdl::SdlPlatform> platform;
  std::unique_ptr<TmainForm> form;
};

TEST_F(SendingOnSdlTest, KeysThatArriveWhileARequestIsInFlightDoNotActAfterTheWait) {
  struct Case {
    const char* name;
    std::vector<std::pair<SDL_Keycode, SDL_Scancode>> keys;
  };
  // On the Scores screen two presses of Enter would choose "Clear scores" and answer OK; Down
  // would move the focus.
  const Case cases[] = {
      {"Enter twice", {{SDLK_RETURN, SDL_SCANCODE_RETURN}, {SDLK_RETURN, SDL_SCANCODE_RETURN}}},
      {"Down", {{SDLK_DOWN, SDL_SCANCODE_DOWN}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reply result{Ok("OK")};
    // The keys come while the server holds the result back.
    result.OnRequest = [&c] {
      for (const auto& [symbol, scancode] : c.keys) PushKey(symbol, scancode);
    };
    result.Delay = 400ms;
    TScriptedHttpServer server({{Ok("OK||||v|")}, result});
    form->ResultServer = server.Server();
    ReachTheSendQuestion(990);
    const ConfigRecord table = form->Config;

    PushReturn();  // Yes
    ASSERT_TRUE(RunUntil([&] { return InState(gsMenu); }));
    RunFor(300ms);  // whatever is still queued is taken now
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(form->Screen.MenuScreen, msScores);
    EXPECT_EQ(form->Screen.MenuFocus, siClearScores);
    EXPECT_EQ(form->Config, table);

    PushKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);  // back to the main menu for the next case
    ASSERT_TRUE(RunUntil([&] { return form->Screen.MenuScreen == msMainMenu; }));
    form->Screen.MenuFocus = miNewGame;
  }
}

}  // namespace
