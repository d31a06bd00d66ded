#include "engine/archive/archive_reader.h"

#include <algorithm>

#include "engine/base/exception.h"

namespace archive {
namespace {

constexpr uint8_t kHeaderMark = 0xFF;
constexpr uint16_t kResourceType = 10;
// The header's name and its terminating 0 lie within the first 79 bytes.
constexpr size_t kHeaderNameEnd = 79;
constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
constexpr uint8_t kChildPositionFlag = 0x02;

[[noreturn]] void ReadFailed() {
  throw EReadError("Stream read error");
}
[[noreturn]] void InvalidValue() {
  throw EReadError("Invalid property value");
}

// Restores the nesting depth when a nested read ends, normally or by an error.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) {
    if (++depth_ > Reader::kMaxDepth) throw EReadError("Archive nests too deeply");
  }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

uint8_t Reader::ReadByte() {
  if (position_ >= bytes_.size()) ReadFailed();
  return bytes_[position_++];
}

uint16_t Reader::ReadUInt16() {
  const std::span<const uint8_t> b = Take(2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t Reader::ReadUInt32() {
  const std::span<const uint8_t> b = Take(4);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

std::span<const uint8_t> Reader::Take(size_t count) {
  if (count > bytes_.size() - position_) ReadFailed();
  const std::span<const uint8_t> part = bytes_.subspan(position_, count);
  position_ += count;
  return part;
}

std::string Reader::ReadShortText() {
  const size_t length = ReadByte();
  const std::span<const uint8_t> b = Take(length);
  return std::string(b.begin(), b.end());
}

void Reader::CountValue() {
  if (++values_ > kMaxValues) throw EReadError("Archive holds too many values");
}

Object Reader::ReadRoot() {
  // Only the mark and the resource type are checked; the name, flags and size are skipped.
  if (bytes_.size() < 3 || bytes_[0] != kHeaderMark ||
      (bytes_[1] | (bytes_[2] << 8)) != kResourceType) {
    throw EInvalidImage("Invalid stream format");
  }
  const size_t nameEnd = std::min(bytes_.size(), kHeaderNameEnd);
  const auto zero =
      std::find(bytes_.begin() + 3, bytes_.begin() + static_cast<ptrdiff_t>(nameEnd), uint8_t{0});
  if (zero == bytes_.begin() + static_cast<ptrdiff_t>(nameEnd)) {
    throw EInvalidImage("Invalid stream format");
  }
  position_ = static_cast<size_t>(zero - bytes_.begin()) + 1;
  ReadUInt16();  // flags
  ReadUInt32();  // size of the data
  const std::span<const uint8_t> signature = Take(sizeof kSignature);
  if (!std::equal(signature.begin(), signature.end(), std::begin(kSignature))) {
    throw EReadError("Invalid stream format");
  }
  Object root;
  ReadObjectHeader(root);
  return root;
}

void Reader::ReadObjectHeader(Object& object) {
  CountValue();
  if (position_ < bytes_.size() && (bytes_[position_] & 0xF0) == 0xF0) {
    object.hasPrefix = true;
    object.prefixFlags = ReadByte() & 0x0F;
    if (object.prefixFlags & kChildPositionFlag) {
      Value position = ReadValue();
      position.AsInteger();
      object.childPosition = std::move(position);
    }
  }
  object.className = ReadShortText();
  object.objectName = ReadShortText();
  if (!IsValidObjectName(object.objectName)) {
    throw EReadError("'" + object.objectName + "' is not a valid component name");
  }
}

void Reader::ReadObjectBody(Object& object) {
  std::string name;
  while (NextProperty(name)) {
    Property& property = object.properties.emplace_back();
    property.name = name;
    property.value = ReadValue();
  }
  while (true) {
    if (position_ >= bytes_.size()) ReadFailed();
    if (bytes_[position_] == 0) {
      ++position_;
      return;
    }
    const DepthGuard guard(depth_);
    Object& child = object.children.emplace_back();
    ReadObjectHeader(child);
    ReadObjectBody(child);
  }
}

bool Reader::NextProperty(std::string& name) {
  name = ReadShortText();
  return !name.empty();
}

void Reader::BeginCollection() {
  if (ReadByte() != static_cast<uint8_t>(ValueTag::Collection)) InvalidValue();
}

bool Reader::NextItem() {
  uint8_t tag = ReadByte();
  if (tag == static_cast<uint8_t>(ValueTag::Null)) return false;
  if (tag == static_cast<uint8_t>(ValueTag::Int8) || tag == static_cast<uint8_t>(ValueTag::Int16) ||
      tag == static_cast<uint8_t>(ValueTag::Int32)) {
    ReadValueOfTag(static_cast<ValueTag>(tag));
    tag = ReadByte();
  }
  if (tag != static_cast<uint8_t>(ValueTag::List)) InvalidValue();
  return true;
}

Value Reader::ReadValue() {
  return ReadValueOfTag(static_cast<ValueTag>(ReadByte()));
}

std::span<const uint8_t> Reader::ReadBinary() {
  const auto tag = static_cast<ValueTag>(ReadByte());
  if (tag != ValueTag::Binary) {
    ReadValueOfTag(tag);
    InvalidValue();
  }
  CountValue();
  return Take(ReadUInt32());
}

Value Reader::ReadValueOfTag(ValueTag tag) {
  CountValue();
  Value value;
  value.tag = tag;
  switch (tag) {
    case ValueTag::Int8:
      value.integer = static_cast<int8_t>(ReadByte());
      break;
    case ValueTag::Int16:
      value.integer = static_cast<int16_t>(ReadUInt16());
      break;
    case ValueTag::Int32:
      value.integer = static_cast<int32_t>(ReadUInt32());
      break;
    case ValueTag::String:
    case ValueTag::Ident:
      value.text = ReadShortText();
      break;
    case ValueTag::False:
    case ValueTag::True:
      break;
    case ValueTag::Binary: {
      const std::span<const uint8_t> b = Take(ReadUInt32());
      value.binary.assign(b.begin(), b.end());
      break;
    }
    case ValueTag::LString:
    case ValueTag::Utf8String: {
      const std::span<const uint8_t> b = Take(ReadUInt32());
      value.text.assign(b.begin(), b.end());
      break;
    }
    case ValueTag::WString: {
      const uint32_t units = ReadUInt32();
      const std::span<const uint8_t> b = Take(size_t{units} * 2);
      value.wide.resize(units);
      for (size_t i = 0; i < units; ++i) {
        value.wide[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
      }
      break;
    }
    case ValueTag::List: {
      const DepthGuard guard(depth_);
      while (true) {
        if (position_ >= bytes_.size()) ReadFailed();
        if (bytes_[position_] == 0) {
          ++position_;
          break;
        }
        value.list.push_back(ReadValue());
      }
      break;
    }
    case ValueTag::Collection: {
      const DepthGuard guard(depth_);
      while (true) {
        std::optional<Value> index;
        uint8_t next = ReadByte();
        if (next == static_cast<uint8_t>(ValueTag::Null)) break;
        if (next == static_cast<uint8_t>(ValueTag::Int8) ||
            next == static_cast<uint8_t>(ValueTag::Int16) ||
            next == static_cast<uint8_t>(ValueTag::Int32)) {
          index = ReadValueOfTag(static_cast<ValueTag>(next));
          next = ReadByte();
        }
        if (next != static_cast<uint8_t>(ValueTag::List)) InvalidValue();
        CountValue();
        CollectionItem& item = value.items.emplace_back();
        item.index = std::move(index);
        std::string name;
        while (NextProperty(name)) {
          Property& property = item.properties.emplace_back();
          property.name = name;
          property.value = ReadValue();
        }
      }
      break;
    }
    default:
      InvalidValue();
  }
  return value;
}

Object ReadArchive(std::span<const uint8_t> bytes) {
  Reader reader(bytes);
  Object root = reader.ReadRoot();
  reader.ReadObjectBody(root);
  return root;
}

}  // namespace archive
