#include "tools/assetgen/manifest.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace assets {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    size_t end = at;
    while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

class LineParser {
 public:
  LineParser(int number, std::vector<std::string_view> words)
      : number_(number), words_(std::move(words)) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw ManifestError("manifest line " + std::to_string(number_) + ": " + what);
  }
  void Expect(size_t count) const {
    if (words_.size() != count) {
      Fail("'" + std::string(words_[0]) + "' takes " + std::to_string(count - 1) + " fields");
    }
  }
  std::string Text(size_t index) const { return std::string(words_[index]); }
  int Number(size_t index, int low, int high, int base = 10) const {
    int value = 0;
    const std::string_view word = words_[index];
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (error != std::errc() || end != word.data() + word.size() || value < low || value > high) {
      Fail("'" + std::string(word) + "' is not a number from " + std::to_string(low) + " to " +
           std::to_string(high));
    }
    return value;
  }

 private:
  int number_;
  std::vector<std::string_view> words_;
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

const ImageArchive& Manifest::Images(std::string_view file) const {
  for (const auto& archive : images) {
    if (archive.file == file) return archive;
  }
  throw ManifestError("the manifest has no image archive " + std::string(file));
}

Manifest ParseManifest(std::string_view text) {
  Manifest manifest;
  enum class Section { None, Images, Sounds } section = Section::None;
  std::set<std::string> names;  // of the current archive, in lower case
  std::set<std::string> files;
  int lineNumber = 0;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) {
      line = line.substr(0, hash);
    }
    auto words = Words(line);
    if (words.empty()) continue;
    LineParser parse(lineNumber, words);
    const std::string_view kind = words[0];
    if (kind == "archive") {
      parse.Expect(2);
      const std::string file = parse.Text(1);
      if (!files.insert(file).second) parse.Fail("file " + file + " named twice");
      names.clear();
      if (file.ends_with(".dxg")) {
        manifest.images.push_back({file, {}});
        section = Section::Images;
      } else if (file.ends_with(".dxw")) {
        manifest.sounds.push_back({file, {}});
        section = Section::Sounds;
      } else {
        parse.Fail("an archive is a .dxg or a .dxw file");
      }
    } else if (kind == "picture") {
      parse.Expect(7);
      if (section != Section::Images) parse.Fail("a picture outside an image archive");
      PictureEntry picture;
      picture.position = parse.Number(1, 0, 65535);
      picture.name = parse.Text(2);
      picture.patternWidth = parse.Number(3, 1, 4096);
      picture.patternHeight = parse.Number(4, 1, 4096);
      picture.patterns = parse.Number(5, 1, 1024);
      picture.transparent = static_cast<uint32_t>(parse.Number(6, 0, 0xFFFFFF, 16));
      auto& pictures = manifest.images.back().pictures;
      if (picture.position != static_cast<int>(pictures.size())) {
        parse.Fail("position " + std::to_string(picture.position) + " out of order");
      }
      if (static_cast<int64_t>(picture.patternWidth) * picture.patterns > 16384) {
        parse.Fail("picture " + picture.name + " is wider than 16384 pixels");
      }
      if (!names.insert(Lower(picture.name)).second) {
        parse.Fail("picture " + picture.name + " named twice");
      }
      pictures.push_back(std::move(picture));
    } else if (kind == "sound") {
      parse.Expect(4);
      if (section != Section::Sounds) parse.Fail("a sound outside a sound archive");
      SoundEntry sound;
      sound.name = parse.Text(1);
      sound.looped = parse.Number(2, 0, 1) == 1;
      sound.maxPlayingCount = parse.Number(3, 0, 64);
      if (!names.insert(Lower(sound.name)).second) {
        parse.Fail("sound " + sound.name + " named twice");
      }
      manifest.sounds.back().sounds.push_back(std::move(sound));
    } else if (kind == "music") {
      parse.Expect(3);
      const std::string file = parse.Text(1);
      if (!file.ends_with(".xm")) parse.Fail("music is an .xm file");
      if (!files.insert(file).second) parse.Fail("file " + file + " named twice");
      manifest.music.push_back({file, parse.Number(2, 1, 3600)});
      section = Section::None;
    } else {
      parse.Fail("unknown entry '" + std::string(kind) + "'");
    }
  }
  return manifest;
}

Manifest LoadManifest(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ManifestError("cannot read the manifest " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return ParseManifest(text.str());
}

}  // namespace assets
