#include "engine/archive/archive_value.h"

#include <algorithm>
#include <cctype>

#include "engine/archive/color_identifiers.h"
#include "engine/base/exception.h"

namespace archive {
namespace {

[[noreturn]] void InvalidValue() {
  throw EReadError("Invalid property value");
}

// The game's texts are 8-bit (Latin-1); characters beyond it become '?'.
char ToLatin1(uint32_t codePoint) {
  return codePoint <= 0xFF ? static_cast<char>(static_cast<uint8_t>(codePoint)) : '?';
}

std::string Latin1FromUtf16(const std::u16string& units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    // A surrogate pair is one character outside Latin-1.
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      ++i;
      out += '?';
      continue;
    }
    out += ToLatin1(unit);
  }
  return out;
}

std::string Latin1FromUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    size_t length = 0;
    uint32_t codePoint = 0;
    if (lead < 0x80) {
      length = 1;
      codePoint = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      codePoint = lead & 0x07u;
    }
    bool valid = length > 0 && i + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<uint8_t>(bytes[i + k]);
      if ((next & 0xC0u) != 0x80u) valid = false;
      codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += ToLatin1(codePoint);
    i += length;
  }
  return out;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsValidObjectName(std::string_view name) {
  if (name.empty()) return true;
  const auto isAlpha = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  };
  if (!isAlpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](char c) { return isAlpha(c) || (c >= '0' && c <= '9'); });
}

Value Value::Integer(int32_t value) {
  Value v;
  v.integer = value;
  if (value >= INT8_MIN && value <= INT8_MAX) {
    v.tag = ValueTag::Int8;
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    v.tag = ValueTag::Int16;
  } else {
    v.tag = ValueTag::Int32;
  }
  return v;
}

Value Value::Boolean(bool value) {
  Value v;
  v.tag = value ? ValueTag::True : ValueTag::False;
  return v;
}

Value Value::Text(std::string value) {
  Value v;
  v.tag = value.size() <= 255 ? ValueTag::String : ValueTag::LString;
  v.text = std::move(value);
  return v;
}

Value Value::Identifier(std::string value) {
  Value v;
  v.tag = ValueTag::Ident;
  v.text = std::move(value);
  return v;
}

Value Value::Bytes(std::vector<uint8_t> value) {
  Value v;
  v.tag = ValueTag::Binary;
  v.binary = std::move(value);
  return v;
}

Value Value::Collection(std::vector<CollectionItem> collectionItems) {
  Value v;
  v.tag = ValueTag::Collection;
  v.items = std::move(collectionItems);
  return v;
}

int32_t Value::AsInteger() const {
  if (tag != ValueTag::Int8 && tag != ValueTag::Int16 && tag != ValueTag::Int32) InvalidValue();
  return integer;
}

bool Value::AsBoolean() const {
  if (tag == ValueTag::False) return false;
  if (tag == ValueTag::True) return true;
  if (tag == ValueTag::Ident) {
    if (SameName(text, "False")) return false;
    if (SameName(text, "True")) return true;
  }
  InvalidValue();
}

std::string Value::AsText() const {
  switch (tag) {
    case ValueTag::String:
    case ValueTag::LString:
      return text;
    case ValueTag::WString:
      return Latin1FromUtf16(wide);
    case ValueTag::Utf8String:
      return Latin1FromUtf8(text);
    default:
      InvalidValue();
  }
}

TColor Value::AsColor() const {
  if (tag == ValueTag::Ident) {
    if (const std::optional<TColor> color = ColorFromIdentifier(text)) return *color;
    InvalidValue();
  }
  return static_cast<TColor>(AsInteger());
}

const std::vector<uint8_t>& Value::AsBinary() const {
  if (tag != ValueTag::Binary) InvalidValue();
  return binary;
}

bool Value::operator==(const Value& other) const {
  return tag == other.tag && integer == other.integer && text == other.text && wide == other.wide &&
         binary == other.binary && list == other.list && items == other.items;
}

const Property* Object::Find(std::string_view name) const {
  for (const Property& property : properties) {
    if (SameName(property.name, name)) return &property;
  }
  return nullptr;
}

}  // namespace archive
