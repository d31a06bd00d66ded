// The values of the archive container that the picture and sound archives share: the tagged
// values of the stream, and the tree of one object with its properties that the whole-archive
// reader returns and the writer stores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/colors.h"

namespace archive {

// The tag byte in front of every value.
enum class ValueTag : uint8_t {
  Null = 0,  // ends a list; never a value of its own
  List = 1,
  Int8 = 2,
  Int16 = 3,
  Int32 = 4,
  String = 6,  // length byte + bytes
  Ident = 7,   // length byte + bytes
  False = 8,
  True = 9,
  Binary = 10,   // 32-bit length + bytes
  LString = 12,  // 32-bit length + bytes
  Collection = 14,
  WString = 18,     // 32-bit count of 16-bit code units + the units
  Utf8String = 20,  // 32-bit byte count + bytes
};

struct CollectionItem;

// One value as stored: the tag says which member holds it.
struct Value {
  ValueTag tag = ValueTag::Null;
  int32_t integer = 0;                // Int8, Int16, Int32
  std::string text;                   // String, LString, Ident: the bytes; Utf8String: UTF-8 bytes
  std::u16string wide;                // WString
  std::vector<uint8_t> binary;        // Binary
  std::vector<Value> list;            // List
  std::vector<CollectionItem> items;  // Collection

  // Values as the writer stores them (the smallest integer tag, a short text when it fits).
  static Value Integer(int32_t value);
  static Value Boolean(bool value);
  static Value Text(std::string value);
  static Value Identifier(std::string value);
  static Value Bytes(std::vector<uint8_t> value);
  static Value Collection(std::vector<CollectionItem> items);

  // Typed readings, each accepting the tags its kind allows and failing with EReadError
  // "Invalid property value" on anything else.
  int32_t AsInteger() const;   // Int8, Int16, Int32
  bool AsBoolean() const;      // False, True, or the identifiers False/True
  std::string AsText() const;  // String, LString, WString, Utf8String (to Latin-1)
  TColor AsColor() const;      // an integer or a colour identifier
  const std::vector<uint8_t>& AsBinary() const;  // Binary

  bool operator==(const Value&) const;
};

struct Property {
  std::string name;  // may hold a dot: "Picture.Data" is the Data of the item's Picture
  Value value;
  bool operator==(const Property&) const = default;
};

struct CollectionItem {
  std::optional<Value> index;  // the optional integer in front of an item; read and ignored
  std::vector<Property> properties;
  bool operator==(const CollectionItem&) const = default;
};

// One stored object: the root of an archive (child objects are allowed by the format; the
// game's archives have none).
struct Object {
  uint8_t prefixFlags = 0;  // 0 when the object has no prefix byte; else its low 4 bits
  bool hasPrefix = false;
  std::optional<Value> childPosition;  // present when the prefix's flag bit 1 is set
  std::string className;
  std::string objectName;
  std::vector<Property> properties;
  std::vector<Object> children;
  bool operator==(const Object&) const = default;

  // The first property of that name (compared ignoring case), or null.
  const Property* Find(std::string_view name) const;
};

// Property names and class names compare without regard to ASCII case, as the format's own
// readers do.
bool SameName(std::string_view a, std::string_view b);

// An object's name is empty or an identifier (a letter or '_', then letters, digits and '_').
bool IsValidObjectName(std::string_view name);

}  // namespace archive
