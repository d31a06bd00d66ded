// The screen states of the game (GameState); the menu's screens are in menus/menu_screen.h.
#pragma once

#include <cstdint>

using GameStateValue = uint8_t;
constexpr GameStateValue gsMenu = 1;
constexpr GameStateValue gsPlaying = 2;
constexpr GameStateValue gsExitQuestion = 3;
constexpr GameStateValue gsDying = 4;
constexpr GameStateValue gsLevelBanner = 5;
constexpr GameStateValue gsGameOver = 6;
constexpr GameStateValue gsPaused = 7;
constexpr GameStateValue gsNameEntry = 8;
constexpr GameStateValue gsSendQuestion = 9;
constexpr GameStateValue gsSending = 10;
constexpr GameStateValue gsSendFailed = 11;

// The states in which the game is on the screen and the pointer is hidden.
constexpr bool IsGameRunning(GameStateValue state) {
  return state == gsPlaying || state == gsDying || state == gsLevelBanner;
}
