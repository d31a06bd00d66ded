#include "sim/game_flow.h"

#include "game/level_loop.h"

std::optional<TGameState> StateAfterGameEvent(TGameEvent event) {
  switch (event) {
    case TGameEvent::NewGameBegins:
    case TGameEvent::LevelEnded:
      return gsLevelBanner;
    case TGameEvent::DragonDied:
      return gsDying;
    case TGameEvent::BannerEnded:
    case TGameEvent::DyingEnded:
      return gsPlaying;
    case TGameEvent::LivesSpent:
      return gsGameOver;
    case TGameEvent::GameOverEnded:
      break;
  }
  return std::nullopt;
}

void EnterPause(GameScreenStates& s) {
  if (s.GameState != gsPaused) s.ResumeState = s.GameState;
  s.GameState = gsPaused;
}

TGameState StateAfterPause(const GameScreenStates& s) {
  return s.ResumeState;
}

void NoteExitQuestionOver(GameScreenStates& s) {
  s.ExitReturnState = s.GameState;
  if (s.GameState != gsPaused) s.ResumeState = s.GameState;
}

TGameState StateAfterExitQuestion(const GameScreenStates& s) {
  return s.GameState == gsExitQuestion ? s.ExitReturnState : s.ResumeState;
}

void EndGameOnExit(GameScreenStates& s, PlayState& play) {
  play.BannerTimer = BannerTime;
  s.GameState = gsGameOver;
}

TGameState StateBeneath(const GameScreenStates& s) {
  switch (s.GameState) {
    case gsPaused:
      return s.ResumeState;
    case gsExitQuestion:
      return s.ExitReturnState == gsPaused ? s.ResumeState : s.ExitReturnState;
    default:
      return s.GameState;
  }
}
