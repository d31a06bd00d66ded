// The screen states of the game and the menu screens, with their selectable item counts.
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

using MenuScreenValue = uint8_t;
constexpr MenuScreenValue msMainMenu = 1;
constexpr MenuScreenValue msOptions = 2;
constexpr MenuScreenValue msScores = 3;
constexpr MenuScreenValue msHelp = 4;
constexpr MenuScreenValue msExitDialog = 5;
constexpr MenuScreenValue msClearScoresDialog = 6;
constexpr MenuScreenValue msBossKeyPrompt = 7;
constexpr MenuScreenValue msResultDialog = 8;
constexpr MenuScreenValue msSendDialog = 9;

// Selectable items of each menu screen (index = MenuScreen; 0 unused).
constexpr uint8_t MenuItemCount[10] = {0, 6, 6, 3, 3, 2, 2, 0, 4, 2};

// The states in which the game is on the screen and the pointer is hidden.
constexpr bool IsGameRunning(GameStateValue state) {
  return state == gsPlaying || state == gsDying || state == gsLevelBanner;
}
