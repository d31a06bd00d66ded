// The screen states of the game (GameState); the menu's screens are in menus/menu_screen.h. Each
// family of the screen state machine is a type of its own, so that a state is never taken for a
// screen or an item; docs/screen_states.md lists the transitions.
#pragma once

#include <cstdint>

enum TGameState : uint8_t {
  gsMenu = 1,
  gsPlaying = 2,
  gsExitQuestion = 3,
  gsDying = 4,
  gsLevelBanner = 5,
  gsGameOver = 6,
  gsPaused = 7,
  gsNameEntry = 8,
  gsSendQuestion = 9,
  gsSending = 10,
  gsSendFailed = 11,
};

// The states in which the game is on the screen and the pointer is hidden.
constexpr bool IsGameRunning(TGameState state) {
  return state == gsPlaying || state == gsDying || state == gsLevelBanner;
}

// What happens in a game that changes its state: game/ reports it, the main window decides the
// state that follows.
enum class TGameEvent : uint8_t {
  NewGameBegins,  // the banner of level 1 is to be shown
  LevelEnded,     // the level's clock ran out: the next level's banner
  DragonDied,     // the dragon has just died: the dying phase
  BannerEnded,    // the level banner has stood its time: play begins
  DyingEnded,     // the dying phase is over, the field cleared: play goes on
  LivesSpent,     // that was the last life: the game-over banner
  GameOverEnded,  // the game-over banner has stood its time: the result dialog or the menu
};
