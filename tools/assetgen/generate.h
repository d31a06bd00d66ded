// One run of the asset generator: what it is asked to make and where it puts it.
#pragma once

#include <filesystem>
#include <string>

namespace assets {

struct GenerateOptions {
  std::filesystem::path manifest;
  std::filesystem::path gameDir;       // the archives and modules go below it
  std::filesystem::path contactSheet;  // optional PNG of every picture
  std::filesystem::path scene;  // optional PNG of a game scene put together from the pictures
  std::string previewName;      // optional: only this picture, as a PNG
  std::filesystem::path previewFile;
};

// Throws on any failure, naming what could not be made or written.
void Generate(const GenerateOptions& options);

}  // namespace assets
