// The screen states of a game and how they follow one another: what the game reports, the pause
// and the exit question over a game. The main window and the re-simulation of a recording both
// take their transitions from here, so the two cannot part ways; each adds its own side effects
// (the pointer, the dialogs) around them.
#pragma once

#include <optional>

#include "game/game_state.h"
#include "game/play_state.h"

// The screen state, with what a pause and the exit question return to.
struct GameScreenStates {
  TGameState GameState = gsMenu;
  TGameState ResumeState = gsMenu;
  TGameState ExitReturnState{};
};

// The state a game event leads to; none for GameOverEnded, after which the game is left.
std::optional<TGameState> StateAfterGameEvent(TGameEvent event);

// Pauses, keeping the state to resume: a pause over a pause (the boss key) keeps the first one.
void EnterPause(GameScreenStates& s);
// The state a resume returns to.
TGameState StateAfterPause(const GameScreenStates& s);

// Keeps what the exit question returns to, as it opens over the current state.
void NoteExitQuestionOver(GameScreenStates& s);
// The state the exit question's Cancel returns to.
TGameState StateAfterExitQuestion(const GameScreenStates& s);
// The exit question's OK over a game: the game ends through "GAME OVER".
void EndGameOnExit(GameScreenStates& s, PlayState& play);

// The game's own state beneath a pause or the exit question (the state itself when neither
// stands over the game).
TGameState StateBeneath(const GameScreenStates& s);
