#include "engine/archive/archive_writer.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>

#include "engine/base/exception.h"

namespace archive {
namespace {

constexpr size_t kMaxHeaderName = 75;
constexpr uint16_t kResourceFlags = 0x1030;  // moveable, pure, discardable

class Writer {
 public:
  std::vector<uint8_t> out;

  void Byte(uint8_t value) { out.push_back(value); }
  void UInt16(uint16_t value) {
    Byte(static_cast<uint8_t>(value));
    Byte(static_cast<uint8_t>(value >> 8));
  }
  void UInt32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<uint8_t>(value >> shift));
  }
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
  }
  void Length(size_t size) {
    if (size > std::numeric_limits<uint32_t>::max()) throw Exception("Archive value is too long");
    UInt32(static_cast<uint32_t>(size));
  }
  void ShortText(const std::string& text) {
    if (text.size() > 255) throw Exception("Archive text is too long: " + text.substr(0, 32));
    Byte(static_cast<uint8_t>(text.size()));
    Bytes(text.data(), text.size());
  }

  void Value(const archive::Value& value) {
    Byte(static_cast<uint8_t>(value.tag));
    switch (value.tag) {
      case ValueTag::Int8:
        if (value.integer < INT8_MIN || value.integer > INT8_MAX) BadInteger(value);
        Byte(static_cast<uint8_t>(value.integer));
        break;
      case ValueTag::Int16:
        if (value.integer < INT16_MIN || value.integer > INT16_MAX) BadInteger(value);
        UInt16(static_cast<uint16_t>(value.integer));
        break;
      case ValueTag::Int32:
        UInt32(static_cast<uint32_t>(value.integer));
        break;
      case ValueTag::String:
      case ValueTag::Ident:
        ShortText(value.text);
        break;
      case ValueTag::False:
      case ValueTag::True:
        break;
      case ValueTag::Binary:
        Length(value.binary.size());
        Bytes(value.binary.data(), value.binary.size());
        break;
      case ValueTag::LString:
      case ValueTag::Utf8String:
        Length(value.text.size());
        Bytes(value.text.data(), value.text.size());
        break;
      case ValueTag::WString:
        Length(value.wide.size());
        for (const char16_t unit : value.wide) UInt16(static_cast<uint16_t>(unit));
        break;
      case ValueTag::List:
        for (const archive::Value& element : value.list) Value(element);
        Byte(0);
        break;
      case ValueTag::Collection:
        for (const CollectionItem& item : value.items) {
          if (item.index) {
            const ValueTag tag = item.index->tag;
            if (tag != ValueTag::Int8 && tag != ValueTag::Int16 && tag != ValueTag::Int32) {
              throw Exception("Archive collection index is not an integer");
            }
            Value(*item.index);
          }
          Byte(static_cast<uint8_t>(ValueTag::List));
          Properties(item.properties);
        }
        Byte(0);
        break;
      default:
        throw Exception("Archive value has no tag the format knows: " +
                        std::to_string(static_cast<int>(value.tag)));
    }
  }

  void Properties(const std::vector<Property>& properties) {
    for (const Property& property : properties) {
      if (property.name.empty()) throw Exception("Archive property without a name");
      ShortText(property.name);
      Value(property.value);
    }
    Byte(0);
  }

  void Object(const archive::Object& object) {
    if (object.hasPrefix) {
      if (object.prefixFlags > 0x0F) throw Exception("Archive object prefix flags out of range");
      Byte(static_cast<uint8_t>(0xF0 | object.prefixFlags));
      if (object.prefixFlags & 0x02) {
        if (!object.childPosition) throw Exception("Archive object lacks its child position");
        Value(*object.childPosition);
      }
    }
    ShortText(object.className);
    if (!IsValidObjectName(object.objectName)) {
      throw Exception("'" + object.objectName + "' is not a valid component name");
    }
    ShortText(object.objectName);
    Properties(object.properties);
    for (const archive::Object& child : object.children) Object(child);
    Byte(0);
  }

 private:
  [[noreturn]] static void BadInteger(const archive::Value& value) {
    throw Exception("Archive integer " + std::to_string(value.integer) + " does not fit its tag");
  }
};

}  // namespace

std::vector<uint8_t> WriteArchive(const Object& root) {
  Writer writer;
  writer.Byte(0xFF);
  writer.UInt16(10);
  std::string name = root.className.substr(0, kMaxHeaderName);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<uint8_t>(c))); });
  // A 0 inside the name would end it early: the reader would take the rest for the flags.
  std::replace(name.begin(), name.end(), '\0', '_');
  writer.Bytes(name.data(), name.size());
  writer.Byte(0);
  writer.UInt16(kResourceFlags);
  const size_t sizeAt = writer.out.size();
  writer.UInt32(0);
  const size_t dataStart = writer.out.size();
  writer.Bytes("TPF0", 4);
  writer.Object(root);
  const size_t dataSize = writer.out.size() - dataStart;
  if (dataSize > std::numeric_limits<uint32_t>::max()) throw Exception("Archive is too large");
  for (int i = 0; i < 4; ++i) {
    writer.out[sizeAt + static_cast<size_t>(i)] = static_cast<uint8_t>(dataSize >> (8 * i));
  }
  return writer.out;
}

}  // namespace archive
