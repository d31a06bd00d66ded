// Reads the archive container that the picture and sound archives share: a resource header, the
// "TPF0" signature, then one object with its tagged property values. Every byte is treated as
// hostile: reads are bounds-checked, nothing is allocated from a length the bytes do not hold,
// nesting and the number of values are bounded, and malformed input ends in EInvalidImage or
// EReadError with the reader's message, never in a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/archive/archive_value.h"

namespace archive {

// A reader that walks the stream value by value, so that a loader can build its items as they
// come (items read before an error stay loaded). Use:
//   Reader reader(bytes);
//   Object root = reader.ReadRoot();
//   std::string name;
//   while (reader.NextProperty(name)) {
//     if (SameName(name, "List")) {
//       reader.BeginCollection();
//       while (reader.NextItem())
//         while (reader.NextProperty(name)) ... reader.ReadValue() ...
//     } else ... reader.ReadValue() ...
//   }
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // The resource header (EInvalidImage "Invalid stream format" unless it starts with 0xFF and the
  // 16-bit value 10, or when its name does not end within the first 79 bytes), the signature
  // "TPF0" (EReadError "Invalid stream format") and the root object's prefix, class name and
  // object name. The object's properties follow.
  Object ReadRoot();

  // The next property name of the current object or collection item; false when the 0 that ends
  // the list was read instead.
  bool NextProperty(std::string& name);

  // The next value, whole (a collection with all its items).
  Value ReadValue();
  // The next value, which must be binary: its bytes where they lie in the stream, not copied.
  // Anything else is read whole, then refused as ReadValue().AsBinary() refuses it.
  std::span<const uint8_t> ReadBinary();

  // A collection value, item by item: BeginCollection fails with "Invalid property value" unless
  // the next value is a collection; each NextItem that answers true starts an item whose
  // properties follow (read them up to NextProperty's false); false ends the collection.
  void BeginCollection();
  bool NextItem();

  size_t Position() const { return position_; }

  // Bounds against hostile nesting and against input that would expand into a huge tree.
  static constexpr int kMaxDepth = 32;
  static constexpr size_t kMaxValues = size_t{1} << 18;

 private:
  uint8_t ReadByte();
  uint16_t ReadUInt16();
  uint32_t ReadUInt32();
  std::span<const uint8_t> Take(size_t count);
  std::string ReadShortText();
  Value ReadValueOfTag(ValueTag tag);
  void ReadObjectHeader(Object& object);
  void ReadObjectBody(Object& object);
  void CountValue();

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  int depth_ = 0;
  size_t values_ = 0;

  friend Object ReadArchive(std::span<const uint8_t> bytes);
};

// Reads a whole archive into its tree: the root object with every property and child.
Object ReadArchive(std::span<const uint8_t> bytes);

}  // namespace archive
