// A player for the recording tests: New game through the real event loop, then the dragon kept at
// the left and steered to the height of the nearest enemy ahead of it with fire held, the pointer
// moved now and then, a pause and an exit question cancelled along the way, until "GAME OVER" (or,
// from `leaveAtTick` on, the game left through the exit question's OK).
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/game/gameplay_fixture.h"

class ScriptedPlayerTest : public GameplayTest {
 protected:
  struct Played {
    int ticks = 0;
    bool dragonDied = false;
  };

  Played PlayScriptedGame(int leaveAtTick = INT_MAX, int limit = 60000) {
    Press(vk::Return);
    EXPECT_EQ(State(), gsLevelBanner);
    Played played;
    for (int tick = 0; tick < limit && State() != gsGameOver; ++tick, ++played.ticks) {
      if (tick == 400) {
        Press(vk::Letter('P'));
        Frames(20);
        played.ticks += 20;
        Press(vk::Letter('P'));
      }
      if (tick == 900 && IsGameRunning(State())) {
        Press(vk::Escape);
        Frames(5);
        played.ticks += 5;
        screen().MenuFocus = diCancel;
        form->ActivateItem();
      }
      if (tick % 700 == 350 && State() == gsPlaying)
        MoveTo(SteeringCentreX + 30, SteeringCentreY - 20);
      if (tick >= leaveAtTick && IsGameRunning(State())) {
        Press(vk::Escape);
        Press(vk::Return);  // OK: the game ends through "GAME OVER"
      }
      Steer();
      Step(16);
      played.dragonDied |= State() == gsDying;
    }
    for (const uint16_t key : {vk::Up, vk::Down, vk::Left, vk::Right, vk::Space})
      machine.KeyUp(key);
    return played;
  }

  std::vector<uint8_t> GameArchiveBytes() {
    std::ifstream in(folder.path() / "data" / "gamegraphic.dxg", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  void Hold(uint16_t key, bool down) {
    if (down) {
      machine.KeyDown(key);
    } else {
      machine.KeyUp(key);
    }
  }

  void Steer() {
    machine.KeyDown(vk::Space);
    const THeroSprite* hero = World().Hero.Get();
    if (!hero) return;
    const TFlyingEnemySprite* target = nullptr;
    for (TFlyingEnemySprite* enemy : Live<TFlyingEnemySprite>()) {
      if (enemy->X > hero->X + 40 && (!target || enemy->X < target->X)) target = enemy;
    }
    // Clear of the grate at the left and the lava below.
    const int32_t aimY =
        std::clamp(target ? target->Y + target->Height / 2 - hero->Height / 2 : 200, 90, 300);
    Hold(vk::Up, hero->Y > aimY + 6);
    Hold(vk::Down, hero->Y < aimY - 6);
    Hold(vk::Left, hero->X > 320);
    Hold(vk::Right, hero->X < 220);
  }
};
