#include "engine/sound/wave_archive.h"

#include <string>

#include "engine/archive/archive_reader.h"
#include "engine/archive/archive_writer.h"
#include "engine/base/exception.h"

namespace {

[[noreturn]] void UnknownProperty(const std::string& name) {
  throw EReadError("Property " + name + " does not exist");
}

void ReadSoundProperty(archive::Reader& reader, const std::string& name,
                       TWaveCollectionItem& item) {
  if (archive::SameName(name, "Name")) {
    item.SetName(reader.ReadValue().AsText());
  } else if (archive::SameName(name, "Looped")) {
    item.SetLooped(reader.ReadValue().AsBoolean());
  } else if (archive::SameName(name, "MaxPlayingCount")) {
    item.SetMaxPlayingCount(reader.ReadValue().AsInteger());
  } else if (archive::SameName(name, "Wave.WAVE")) {
    item.Wave().LoadFromBytes(reader.ReadValue().AsBinary());
  } else {
    UnknownProperty(name);
  }
}

}  // namespace

void ReadWaveArchive(std::span<const uint8_t> bytes, TWaveCollection& items) {
  archive::Reader reader(bytes);
  reader.ReadRoot();  // the class name is not checked
  std::string name;
  while (reader.NextProperty(name)) {
    if (!archive::SameName(name, "List")) UnknownProperty(name);
    reader.BeginCollection();
    while (reader.NextItem()) {
      // Added before its properties are read, so that a fault leaves what came before it.
      TWaveCollectionItem& item = items.Add();
      while (reader.NextProperty(name)) ReadSoundProperty(reader, name, item);
    }
  }
}

std::vector<uint8_t> WriteWaveArchive(const TWaveCollection& items) {
  std::vector<archive::CollectionItem> sounds;
  for (int i = 0; i < items.Count(); ++i) {
    const TWaveCollectionItem& item = items.Items(i);
    archive::CollectionItem& sound = sounds.emplace_back();
    sound.properties.push_back({"Name", archive::Value::Text(item.Name())});
    if (item.Looped()) sound.properties.push_back({"Looped", archive::Value::Boolean(true)});
    if (item.MaxPlayingCount() != 0) {
      sound.properties.push_back(
          {"MaxPlayingCount", archive::Value::Integer(item.MaxPlayingCount())});
    }
    const TWave& wave = item.Wave();
    if (wave.FormatSize() != 0 || wave.Size() != 0) {
      sound.properties.push_back({"Wave.WAVE", archive::Value::Bytes(wave.SaveToBytes())});
    }
  }
  archive::Object root;
  root.className = WaveArchiveClassName;
  root.properties.push_back({"List", archive::Value::Collection(std::move(sounds))});
  return archive::WriteArchive(root);
}
