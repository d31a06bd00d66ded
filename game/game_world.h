// What the game's sprites share: the play variables, the screen state (to read, with the report of
// what changes it), the pictures, the random generator, the input, the sound player and the
// long-lived sprites of the field. The main window owns the values; the world holds references to
// them, and every game sprite holds the world.
#pragma once

#include <array>
#include <functional>
#include <string_view>
#include <utility>

#include "engine/base/random.h"
#include "engine/sprites/sprite_ref.h"
#include "game/game_state.h"
#include "game/play_state.h"

class TGameInput;
class TImageList;
class TSpriteEngine;
class TGameBack;
class TStatusSprite;
class TMountain;
class THeroSprite;
class TShieldSprite;
class TBonusIndicatorSprite;
class TScaleSprite;

struct TGameWorld {
  TGameWorld(PlayState& play, const TGameState& gameState, std::function<void(TGameEvent)> report,
             TImageList& images, TRandom& rng, const TGameInput& input, PointerSteering& pointer,
             std::function<void(std::string_view)> playSound, TSpriteEngine& engine)
      : Play(play),
        GameState(gameState),
        Report(std::move(report)),
        Images(images),
        Rng(rng),
        Input(input),
        Pointer(pointer),
        PlaySound(std::move(playSound)),
        Engine(engine) {}

  PlayState& Play;
  // The screen state, to read: the game reports what happens (Report) and the main window
  // decides the state that follows.
  const TGameState& GameState;
  std::function<void(TGameEvent)> Report;
  TImageList& Images;
  TRandom& Rng;
  const TGameInput& Input;
  PointerSteering& Pointer;
  // Plays a sound effect when sounds are switched on.
  std::function<void(std::string_view)> PlaySound;
  // Where the field's sprites are created: the engine at the root of the sprite tree.
  TSpriteEngine& Engine;

  // The long-lived sprites of the field, empty outside a game.
  TSpriteRef<TGameBack> Back;
  TSpriteRef<TStatusSprite> StatusBar;
  std::array<TSpriteRef<TMountain>, 2> MiddleStrips;
  TSpriteRef<THeroSprite> Hero;
  TSpriteRef<TShieldSprite> Shield;
  TSpriteRef<TBonusIndicatorSprite> BonusIndicator;
  TSpriteRef<TScaleSprite> Scale;
};
