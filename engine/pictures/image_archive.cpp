#include "engine/pictures/image_archive.h"

#include "engine/archive/archive_reader.h"
#include "engine/archive/archive_writer.h"
#include "engine/archive/color_identifiers.h"
#include "engine/base/exception.h"
#include "engine/pictures/picture_collection.h"
#include "engine/pictures/picture_data.h"
#include "engine/pictures/picture_source.h"

namespace {

constexpr size_t kColorTableBytes = 256 * 4;
const char* const kRootClass = "TPictureCollectionComponent";

[[noreturn]] void UnknownProperty(const std::string& name) {
  throw EReadError("Property " + name + " does not exist");
}

// How a picture's data is taken: decoded at once, or only checked, and then either kept to be
// decoded from `source` when first needed or dropped.
struct PictureReading {
  std::span<const uint8_t> bytes;
  bool decode = true;
  std::shared_ptr<TPictureSource> source;
  // Told where the walk is after each picture, when the bytes are a file's mapping.
  TFilePictureSource::Mapping* mapping = nullptr;
};

void ReadPicture(archive::Reader& reader, TPictureCollectionItem& item, PixelBudget& budget,
                 const PictureReading& reading) {
  const std::span<const uint8_t> data = reader.ReadBinary();
  if (reading.decode) {
    item.Picture = ReadPictureData(data, budget);
    return;
  }
  const std::optional<TPictureShape> shape = CheckPictureData(data, budget);
  if (!shape || !reading.source) {
    item.Picture.reset();
    return;
  }
  const auto offset = static_cast<uint64_t>(data.data() - reading.bytes.data());
  item.SetPendingPicture(reading.source, offset, data.size(), *shape);
  if (reading.mapping) reading.mapping->Walked(data.data() + data.size());
}

void ReadItemProperty(archive::Reader& reader, const std::string& name,
                      TPictureCollectionItem& item, PixelBudget& budget,
                      const PictureReading& reading) {
  using archive::SameName;
  if (SameName(name, "Picture.Data")) {
    ReadPicture(reader, item, budget, reading);
    return;
  }
  const archive::Value value = reader.ReadValue();
  if (SameName(name, "Name")) {
    item.SetName(value.AsText());
  } else if (SameName(name, "PatternHeight")) {
    item.PatternHeight = value.AsInteger();
  } else if (SameName(name, "PatternWidth")) {
    item.PatternWidth = value.AsInteger();
  } else if (SameName(name, "SkipHeight")) {
    item.SkipHeight = value.AsInteger();
  } else if (SameName(name, "SkipWidth")) {
    item.SkipWidth = value.AsInteger();
  } else if (SameName(name, "SystemMemory")) {
    item.SystemMemory = value.AsBoolean();
  } else if (SameName(name, "Transparent")) {
    item.Transparent = value.AsBoolean();
  } else if (SameName(name, "TransparentColor")) {
    item.TransparentColor = value.AsColor();
  } else {
    UnknownProperty(name);
  }
}

// Reads every item into `items`; unless `keep`, each item is dropped once read in full.
void ReadArchive(const PictureReading& reading, TPictureCollection& items, bool keep) {
  const std::span<const uint8_t> bytes = reading.bytes;
  archive::Reader reader(bytes);
  reader.ReadRoot();
  PixelBudget budget(kMaxArchivePixels);
  std::string name;
  while (reader.NextProperty(name)) {
    if (archive::SameName(name, "List.ColorTable")) {
      const archive::Value value = reader.ReadValue();
      const std::vector<uint8_t>& table = value.AsBinary();
      if (table.size() < kColorTableBytes) throw EReadError("Stream read error");
      for (size_t i = 0; i < 256; ++i) {
        items.ColorTable[i] = static_cast<uint32_t>(table[4 * i]) |
                              (static_cast<uint32_t>(table[4 * i + 1]) << 8) |
                              (static_cast<uint32_t>(table[4 * i + 2]) << 16) |
                              (static_cast<uint32_t>(table[4 * i + 3]) << 24);
      }
    } else if (archive::SameName(name, "List")) {
      reader.BeginCollection();
      while (reader.NextItem()) {
        TPictureCollectionItem& item = items.Add();
        while (reader.NextProperty(name)) ReadItemProperty(reader, name, item, budget, reading);
        if (!keep) items.Clear();
      }
    } else {
      UnknownProperty(name);
    }
  }
}

}  // namespace

void ReadImageArchive(std::span<const uint8_t> bytes, TPictureCollection& items) {
  ReadArchive({bytes, true, nullptr}, items, true);
}

void ReadImageArchive(std::span<const uint8_t> bytes, std::shared_ptr<TPictureSource> source,
                      TPictureCollection& items) {
  ReadArchive({bytes, false, std::move(source)}, items, true);
}

void ReadImageArchiveFile(const std::filesystem::path& path, TPictureCollection& items) {
  auto source = std::make_shared<TFilePictureSource>(path);
  TFilePictureSource::Mapping file(*source);
  ReadArchive({file.Bytes(), false, std::move(source), &file}, items, true);
}

void CheckImageArchive(std::span<const uint8_t> bytes) {
  TPictureCollection scratch;
  ReadArchive({bytes, false, nullptr}, scratch, false);
}

std::vector<uint8_t> WriteImageArchive(const std::vector<ImageArchiveItem>& items,
                                       const std::array<uint32_t, 256>& colorTable) {
  using archive::Value;
  std::vector<uint8_t> table;
  table.reserve(kColorTableBytes);
  for (const uint32_t entry : colorTable) {
    for (int shift = 0; shift < 32; shift += 8)
      table.push_back(static_cast<uint8_t>(entry >> shift));
  }
  std::vector<archive::CollectionItem> entries;
  for (const ImageArchiveItem& item : items) {
    archive::CollectionItem& entry = entries.emplace_back();
    std::vector<archive::Property>& p = entry.properties;
    p.push_back({"Name", Value::Text(item.Name)});
    p.push_back({"PatternHeight", Value::Integer(item.PatternHeight)});
    p.push_back({"PatternWidth", Value::Integer(item.PatternWidth)});
    if (item.SkipHeight != 0) p.push_back({"SkipHeight", Value::Integer(item.SkipHeight)});
    if (item.SkipWidth != 0) p.push_back({"SkipWidth", Value::Integer(item.SkipWidth)});
    p.push_back({"SystemMemory", Value::Boolean(item.SystemMemory)});
    p.push_back({"Transparent", Value::Boolean(item.Transparent)});
    const auto colorName = archive::IdentifierFromColor(item.TransparentColor);
    p.push_back({"TransparentColor",
                 colorName ? Value::Identifier(std::string(*colorName))
                           : Value::Integer(static_cast<int32_t>(item.TransparentColor))});
    p.push_back({"Picture.Data", Value::Bytes(item.PictureFormat == ImageArchiveItem::Format::Dib
                                                  ? WriteDibPictureData(item.Picture)
                                                  : WriteBitmapPictureData(item.Picture))});
  }
  archive::Object root;
  root.className = kRootClass;
  root.properties.push_back({"List.ColorTable", Value::Bytes(std::move(table))});
  root.properties.push_back({"List", Value::Collection(std::move(entries))});
  return archive::WriteArchive(root);
}
