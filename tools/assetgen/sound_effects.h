// The game's sound effects, synthesised: each a short mono recording that fits its event (the
// dragon's fire, a bowstring, a catapult, cries and crashes, the bonus chime, the menu tick and
// the jingles of a new level and of a lost game).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// 16-bit samples of the effect named as the game plays it; throws std::logic_error for a name
// that has no effect.
std::vector<int16_t> SynthesiseEffect(const std::string& name);
// The effects' sample rate, in frames per second.
int EffectRate();

}  // namespace assets
