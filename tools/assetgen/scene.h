// Screens put together from the finished pictures at the places the game draws them: a game at
// dusk, a game at night and the menu with a sub-screen open. For judging the pictures together
// before (and apart from) running the game.
#pragma once

#include <vector>

#include "tools/assetgen/image.h"
#include "tools/assetgen/keyed_picture.h"
#include "tools/assetgen/manifest.h"

namespace assets {

Image GameScene(const Manifest& manifest, const std::vector<std::vector<KeyedPicture>>& archives);

}  // namespace assets
