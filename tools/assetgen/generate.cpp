#include "tools/assetgen/generate.h"

#include <stdexcept>
#include <vector>

#include "tools/assetgen/keyed_picture.h"
#include "tools/assetgen/manifest.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/scene.h"
#include "tools/assetgen/studio.h"

namespace assets {

void Generate(const GenerateOptions& options) {
  const Manifest manifest = LoadManifest(options.manifest);
  Studio studio(manifest);
  if (!options.previewName.empty()) {
    const PictureEntry& entry = studio.Entry(options.previewName);
    WritePng(Unkey(KeyPicture(studio.Picture(options.previewName), entry)), options.previewFile);
    return;
  }
  std::vector<std::vector<KeyedPicture>> archives;
  std::vector<std::string> titles;
  for (const ImageArchive& archive : manifest.images) {
    std::vector<KeyedPicture> pictures;
    for (const PictureEntry& entry : archive.pictures) {
      pictures.push_back(KeyPicture(studio.Picture(entry.name), entry));
    }
    archives.push_back(std::move(pictures));
    titles.push_back(archive.file);
  }
  if (!options.contactSheet.empty()) WritePng(ContactSheet(archives, titles), options.contactSheet);
  if (!options.scene.empty()) WritePng(GameScene(manifest, archives), options.scene);
}

}  // namespace assets
