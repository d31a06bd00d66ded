#include "tools/assetgen/studio.h"

#include <stdexcept>

namespace assets {

Studio::Studio(const Manifest& manifest) : manifest_(manifest) {
  AddMenuPainters(painters_);
  AddPanelPainters(painters_);
  AddHelpPainters(painters_);
  AddSkyPainters(painters_);
  AddLandscapePainters(painters_);
  AddDragonPainters(painters_);
  AddEnemyPainters(painters_);
  AddShotPainters(painters_);
  AddExplosionPainters(painters_);
  AddHudPainters(painters_);
  AddSceneryPainters(painters_);
}

const PictureEntry& Studio::Entry(const std::string& name) const {
  for (const auto& archive : manifest_.images) {
    for (const auto& entry : archive.pictures) {
      if (entry.name == name) return entry;
    }
  }
  throw std::logic_error("the manifest has no picture " + name);
}

const Image& Studio::Picture(const std::string& name) {
  if (auto found = painted_.find(name); found != painted_.end()) return found->second;
  const auto painter = painters_.find(name);
  if (painter == painters_.end()) throw std::logic_error("no painter for picture " + name);
  const PictureEntry& entry = Entry(name);
  Image image = painter->second(*this, entry);
  if (image.width() != entry.Width() || image.height() != entry.Height()) {
    throw std::logic_error("painter of " + name + " made a picture of the wrong size");
  }
  return painted_.emplace(name, std::move(image)).first->second;
}

Image Studio::Pattern(const std::string& name, int pattern) {
  const Image& whole = Picture(name);
  const PictureEntry& entry = Entry(name);
  return whole.Crop(pattern * entry.patternWidth, 0, entry.patternWidth, entry.patternHeight);
}

}  // namespace assets
