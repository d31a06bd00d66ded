// `skarvel --replay FILE`: a recorded game played back in the window with the game's pictures and
// sounds, its ticks fed to the game's own tick in place of the player's input. P or Space pause,
// F or Right held plays four ticks a frame, Escape ends the program.
#include <cstdio>
#include <exception>

#include "engine/archive/stream_bytes.h"
#include "engine/base/paths.h"
#include "game/game_start.h"
#include "game/game_tick.h"
#include "game/level_loop.h"
#include "shell/main_form.h"
#include "sim/game_session.h"
#include "sim/simulation_id.h"

namespace {
constexpr int FastForwardTicks = 4;
constexpr const char* GameArchiveName = "data\\gamegraphic.dxg";
constexpr int32_t NoteFontSize = 16;
}  // namespace

std::string TmainForm::StartReplay(replay::Replay recording) {
  const replay::ReplayHeader& h = recording.Header;
  if (h.SimulationId != SimulationId) {
    return "This recording was made by another version of the game (simulation " +
           std::to_string(h.SimulationId) + "; this game is simulation " +
           std::to_string(SimulationId) + "), whose rules this one cannot play.";
  }
  if (const std::string fault = GameStartFault(GameStartOf(h.Start)); !fault.empty()) {
    return "This recording is damaged: its start is one no game could leave (" + fault + ").";
  }
  try {
    const std::vector<uint8_t> archive =
        archive::ReadFileBytes(ResolvePath(GameArchiveName, folders_.data));
    if (replay::GameArchiveHash(archive) != h.ArchiveHash) {
      return "This recording was made with other game pictures than this game's, and would not "
             "play the same here.";
    }
  } catch (const std::exception& error) {
    return error.what();
  }
  RestoreGameStart(World, GameStartOf(h.Start));
  Playback.emplace();
  Playback->Recording = std::move(recording);
  StartGame();
  if (Screen.GameState == gsMenu) {
    Playback.reset();
    return "The game's pictures cannot be read.";
  }
  return {};
}

void TmainForm::PlaybackKey(uint16_t key, bool down) {
  ReplayPlayback& p = *Playback;
  if (key == vk::Escape && down) {
    EndPlayback();
  } else if ((key == vk::Letter('P') || key == vk::Space) && down) {
    p.Paused = !p.Paused;
  } else if (key == vk::Letter('F') || key == vk::Right) {
    p.FastForward = down;
  }
}

void TmainForm::EndPlayback() {
  FrameTimer2.SetEnabled(false);
  platform_.music().SongStop(CurrentSong);
  closed_ = true;
  Application.Terminate();
}

void TmainForm::ApplyRecordedControl(replay::ReplayControl control) {
  using replay::ReplayControl;
  switch (control) {
    case ReplayControl::Pause:
      Pause();
      break;
    case ReplayControl::Resume:
      Resume();
      break;
    case ReplayControl::ExitQuestionOpened:
      OpenExitQuestion();
      break;
    case ReplayControl::ExitQuestionCancelled:
      CloseExitQuestion();
      break;
    case ReplayControl::ExitConfirmed:
      // As the exit question's OK over a game: "GAME OVER", the program going on.
      EndGameOnExit(Screen, Play);
      SetDialogFrameVisible(false);
      DestroyMenu();
      PlaySound("looser");
      break;
  }
}

void TmainForm::PlaybackTick(const replay::ReplayTick& tick) {
  for (const replay::ReplayControl control : tick.Controls) ApplyRecordedControl(control);
  ApplyRecordedInput(tick, Input, GameInput1);
  AdvanceGameTick(World, tick.LagCount, StateBeneath(Screen));
}

void TmainForm::PlaybackFrame() {
  ReplayPlayback& p = *Playback;
  const std::vector<replay::ReplayTick>& ticks = p.Recording.Ticks;
  const int steps = p.Paused ? 0 : (p.FastForward ? FastForwardTicks : 1);
  for (int i = 0; i < steps && p.NextTick < ticks.size(); ++i) PlaybackTick(ticks[p.NextTick++]);
  if (p.NextTick == ticks.size() && !p.Reported) {
    p.Reported = true;
    std::printf("skarvel: the recording ends after %zu ticks with the score %u (it claims %u)\n",
                ticks.size(), unsigned{Play.Score}, p.Recording.Header.ClaimedScore);
    std::fflush(stdout);
  }
  TSurface& back = DrawSurface.BeginFrame();
  DrawGameFrame(back);
  TCanvas& canvas = TextCanvas(back);
  canvas.Font.Size = NoteFontSize;
  canvas.Font.Color = clRed;
  const std::string note = p.NextTick == ticks.size() ? "END OF THE RECORDING - ESC TO LEAVE"
                           : p.Paused                 ? "REPLAY PAUSED - P TO GO ON"
                           : p.FastForward            ? "REPLAY x4"
                                                      : "REPLAY";
  canvas.TextOut(20, 575, note);
  canvas.Release();
  DrawSurface.Flip();
}
