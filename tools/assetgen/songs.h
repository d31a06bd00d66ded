// The game's two songs, composed as modules: the calm menu song and the driving game song.
#pragma once

#include "tools/xm/xm_module.h"

namespace assets {

// "sound/1.xm": a slow song in D minor, about a minute before it loops.
xm::Module MenuSong();
// "sound/2.xm": a fast song in A minor with a rock beat, for flying and fighting.
xm::Module GameSong();

}  // namespace assets
