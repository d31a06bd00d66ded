// Paints the manifest's pictures on demand and keeps each painted picture, so that pictures built
// from others (highlights cut from the menu backdrop, help pages that show the game's sprites) and
// the contact sheet reuse them.
#pragma once

#include <map>
#include <string>

#include "tools/assetgen/image.h"
#include "tools/assetgen/manifest.h"

namespace assets {

class Studio;
// Paints one picture at the size of its manifest entry (patterns side by side).
using Painter = Image (*)(Studio& studio, const PictureEntry& entry);
using PainterTable = std::map<std::string, Painter>;

// Each family of pictures adds its painters.
void AddMenuPainters(PainterTable& table);
void AddPanelPainters(PainterTable& table);
void AddHelpPainters(PainterTable& table);
void AddSkyPainters(PainterTable& table);
void AddLandscapePainters(PainterTable& table);
void AddDragonPainters(PainterTable& table);
void AddEnemyPainters(PainterTable& table);
void AddShotPainters(PainterTable& table);
void AddExplosionPainters(PainterTable& table);
void AddHudPainters(PainterTable& table);
void AddSceneryPainters(PainterTable& table);

class Studio {
 public:
  explicit Studio(const Manifest& manifest);

  // The painted picture of that name (the first manifest entry of that name gives its size).
  // Throws std::logic_error for a name without a painter or without an entry.
  const Image& Picture(const std::string& name);
  const PictureEntry& Entry(const std::string& name) const;
  // One pattern of a painted picture.
  Image Pattern(const std::string& name, int pattern);

 private:
  const Manifest& manifest_;
  PainterTable painters_;
  std::map<std::string, Image> painted_;
};

}  // namespace assets
