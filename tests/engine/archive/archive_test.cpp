#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/archive/archive_reader.h"
#include "engine/archive/archive_writer.h"
#include "engine/archive/stream_bytes.h"
#include "engine/base/exception.h"

namespace {

using archive::CollectionItem;
using archive::Object;
using archive::Property;
using archive::Value;
using archive::ValueTag;

using Bytes = std::vector<uint8_t>;

// A header and signature in front of hand-made object bytes, for inputs the writer never makes.
Bytes Archive(const Bytes& body) {
  Bytes bytes = {0xFF, 0x0A, 0x00, 'X', 0, 0x30, 0x10, 0, 0, 0, 0, 'T', 'P', 'F', '0'};
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

// An object of class "C", no name, with one property "P" whose value bytes are given.
Bytes OneProperty(const Bytes& value) {
  Bytes body = {1, 'C', 0, 1, 'P'};
  body.insert(body.end(), value.begin(), value.end());
  body.push_back(0);  // end of properties
  body.push_back(0);  // end of children
  return Archive(body);
}

Value Tagged(ValueTag tag, int32_t integer) {
  Value v;
  v.tag = tag;
  v.integer = integer;
  return v;
}

Object EveryKindOfValue() {
  Object root;
  root.className = "TPictureCollectionComponent";
  root.objectName = "ImageList1";
  Value wide;
  wide.tag = ValueTag::WString;
  wide.wide = u"wide \u00e9 \u20ac";
  Value utf8;
  utf8.tag = ValueTag::Utf8String;
  utf8.text = "caf\xc3\xa9";
  Value list;
  list.tag = ValueTag::List;
  list.list = {Value::Integer(1), Value::Text("two"), Value::Boolean(false)};
  CollectionItem first;
  first.properties = {{"Name", Value::Text("sky")},
                      {"PatternWidth", Value::Integer(800)},
                      {"Picture.Data", Value::Bytes({0, 1, 2, 255})}};
  CollectionItem second;
  second.index = Tagged(ValueTag::Int32, 7);
  second.properties = {{"Nested", Value::Collection({CollectionItem{}})}};
  root.properties = {
      {"Small", Tagged(ValueTag::Int8, -128)},
      {"Medium", Tagged(ValueTag::Int16, -32768)},
      {"Large", Tagged(ValueTag::Int32, INT32_MIN)},
      {"Wider", Tagged(ValueTag::Int32, 5)},  // a small number in a wide tag stays wide
      {"Short", Value::Text("short text")},
      {"Long", Value::Text(std::string(300, 'x'))},
      {"Wide", wide},
      {"Utf8", utf8},
      {"Colour", Value::Identifier("clSkyBlue")},
      {"Yes", Value::Boolean(true)},
      {"Empty", Value::Bytes({})},
      {"Values", list},
      {"List", Value::Collection({first, second})},
  };
  Object child;
  child.hasPrefix = true;
  child.prefixFlags = 0x02;
  child.childPosition = Value::Integer(3);
  child.className = "TChild";
  root.children = {child};
  return root;
}

TEST(Archive, WriterAndReaderRoundTripEveryKindOfValue) {
  const Object original = EveryKindOfValue();
  const Bytes bytes = archive::WriteArchive(original);
  const Object read = archive::ReadArchive(bytes);
  EXPECT_EQ(read, original);
  EXPECT_EQ(archive::WriteArchive(read), bytes);
  EXPECT_EQ(read.Find("picture.data"), nullptr);  // items' properties are not the root's
  ASSERT_NE(read.Find("list"), nullptr);
  EXPECT_EQ(read.Find("LIST")->value.items.size(), 2u);
}

TEST(Archive, WriterLaysOutTheHeaderAndSignature) {
  Object root;
  root.className = "TWaveCollectionComponent";
  const Bytes bytes = archive::WriteArchive(root);
  const std::string name = "TWAVECOLLECTIONCOMPONENT";
  ASSERT_GT(bytes.size(), 3 + name.size() + 1 + 6 + 4);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 10);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 3 + static_cast<long>(name.size())),
            name);
  size_t at = 3 + name.size();
  EXPECT_EQ(bytes[at], 0);
  const uint32_t size = bytes[at + 3] | (bytes[at + 4] << 8) | (bytes[at + 5] << 16) |
                        (static_cast<uint32_t>(bytes[at + 6]) << 24);
  at += 7;
  EXPECT_EQ(size, bytes.size() - at);
  EXPECT_EQ(
      std::string(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 4),
      "TPF0");
  // Class name, empty object name, no properties, no children.
  const Bytes tail(bytes.begin() + static_cast<long>(at) + 4, bytes.end());
  Bytes expected = {static_cast<uint8_t>(root.className.size())};
  expected.insert(expected.end(), root.className.begin(), root.className.end());
  expected.insert(expected.end(), {0, 0, 0});
  EXPECT_EQ(tail, expected);
}

TEST(Archive, TypedReadingsAcceptTheirTagsAndRefuseOthers) {
  Value wide;
  wide.tag = ValueTag::WString;
  wide.wide = u"A\u00e9\u20ac\U0001F600";
  Value utf8;
  utf8.tag = ValueTag::Utf8String;
  utf8.text = "A\xc3\xa9\xe2\x82\xac\xff";
  Value longText;
  longText.tag = ValueTag::LString;
  longText.text = "long";

  EXPECT_EQ(Tagged(ValueTag::Int8, -3).AsInteger(), -3);
  EXPECT_EQ(Tagged(ValueTag::Int16, 300).AsInteger(), 300);
  EXPECT_EQ(Tagged(ValueTag::Int32, 70000).AsInteger(), 70000);
  EXPECT_TRUE(Value::Boolean(true).AsBoolean());
  EXPECT_FALSE(Value::Boolean(false).AsBoolean());
  EXPECT_TRUE(Value::Identifier("TRUE").AsBoolean());
  EXPECT_FALSE(Value::Identifier("false").AsBoolean());
  EXPECT_EQ(longText.AsText(), "long");
  EXPECT_EQ(wide.AsText(), "A\xe9??");  // Latin-1, the euro and the emoji do not fit
  EXPECT_EQ(utf8.AsText(), "A\xe9??");  // the euro does not fit; 0xFF is no UTF-8
  EXPECT_EQ(Value::Integer(0x0000FF).AsColor(), 0x0000FFu);
  EXPECT_EQ(Value::Identifier("clRed").AsColor(), 0x0000FFu);
  EXPECT_EQ(Value::Identifier("CLMONEYGREEN").AsColor(), 0xC0DCC0u);
  EXPECT_EQ(Value::Identifier("clBtnFace").AsColor(), 0xC0C0C0u);
  EXPECT_EQ(Value::Bytes({1, 2}).AsBinary(), (Bytes{1, 2}));

  const auto invalid = [](auto reading) {
    try {
      reading();
    } catch (const EReadError& e) {
      return std::string(e.what()) == "Invalid property value";
    }
    return false;
  };
  EXPECT_TRUE(invalid([] { Value::Text("1").AsInteger(); }));
  EXPECT_TRUE(invalid([] { Value::Integer(1).AsBoolean(); }));
  EXPECT_TRUE(invalid([] { Value::Identifier("Yes").AsBoolean(); }));
  EXPECT_TRUE(invalid([] { Value::Identifier("text").AsText(); }));
  EXPECT_TRUE(invalid([] { Value::Identifier("clNoSuchColour").AsColor(); }));
  EXPECT_TRUE(invalid([] { Value::Boolean(true).AsColor(); }));
  EXPECT_TRUE(invalid([] { Value::Text("x").AsBinary(); }));
}

struct MalformedCase {
  const char* what;
  Bytes bytes;
  const char* message;
  bool invalidImage;  // EInvalidImage rather than EReadError
};

TEST(Archive, MalformedBytesFailWithTheReadersErrors) {
  Bytes unterminatedName = {0xFF, 0x0A, 0x00};
  unterminatedName.insert(unterminatedName.end(), 76, 'N');
  unterminatedName.push_back(0);  // the 0 comes at byte 79: too late
  Bytes deepLists;
  for (int i = 0; i < 40; ++i) deepLists.push_back(1);
  const MalformedCase cases[] = {
      {"first byte", {0xFE, 0x0A, 0x00, 0}, "Invalid stream format", true},
      {"resource type", {0xFF, 0x0B, 0x00, 0}, "Invalid stream format", true},
      {"empty input", {}, "Invalid stream format", true},
      {"name ends too late", unterminatedName, "Invalid stream format", true},
      {"signature",
       {0xFF, 0x0A, 0x00, 0, 0, 0, 0, 0, 0, 0, 'T', 'P', 'F', '1', 1, 'C', 0, 0, 0},
       "Invalid stream format",
       false},
      {"unknown tag", OneProperty({5, 0, 0}), "Invalid property value", false},
      {"binary longer than the data", OneProperty({10, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2}),
       "Stream read error", false},
      {"wide text longer than the data", OneProperty({18, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}),
       "Stream read error", false},
      {"short text past the end", OneProperty({6, 200, 'a'}), "Stream read error", false},
      {"collection item without list begin", OneProperty({14, 2, 5, 9, 0}),
       "Invalid property value", false},
      {"lists nested too deeply", OneProperty(deepLists), "Archive nests too deeply", false},
      {"object name not an identifier", Archive({1, 'C', 2, '1', 'x', 0, 0}),
       "'1x' is not a valid component name", false},
  };
  for (const MalformedCase& c : cases) {
    try {
      archive::ReadArchive(c.bytes);
      ADD_FAILURE() << c.what << ": read without an error";
    } catch (const EInvalidImage& e) {
      EXPECT_TRUE(c.invalidImage) << c.what;
      EXPECT_STREQ(e.what(), c.message) << c.what;
    } catch (const EReadError& e) {
      EXPECT_FALSE(c.invalidImage) << c.what;
      EXPECT_STREQ(e.what(), c.message) << c.what;
    }
  }
}

TEST(Archive, EveryTruncationOfAnArchiveFailsCleanly) {
  const Bytes bytes = archive::WriteArchive(EveryKindOfValue());
  for (size_t length = 0; length < bytes.size(); ++length) {
    const Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(length));
    EXPECT_THROW(archive::ReadArchive(part), Exception) << "length " << length;
  }
}

TEST(Archive, ValuesThatWouldExpandIntoAHugeTreeAreRefused) {
  // Each 0x08 (false) costs one byte but a whole value in memory.
  Bytes values = {1};
  values.insert(values.end(), archive::Reader::kMaxValues + 1, 8);
  values.push_back(0);
  try {
    archive::ReadArchive(OneProperty(values));
    FAIL() << "read without an error";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Archive holds too many values");
  }
}

TEST(Archive, ThePullReaderHandsOverItemsAsTheyCome) {
  CollectionItem good;
  good.properties = {{"Name", Value::Text("a")}};
  Object root;
  root.className = "T";
  root.properties = {{"List", Value::Collection({good, good, good})}};
  Bytes bytes = archive::WriteArchive(root);
  bytes.resize(bytes.size() - 8);  // cut into the third item

  archive::Reader reader(bytes);
  reader.ReadRoot();
  std::string name;
  ASSERT_TRUE(reader.NextProperty(name));
  EXPECT_EQ(name, "List");
  reader.BeginCollection();
  std::vector<std::string> names;
  EXPECT_THROW(
      {
        while (reader.NextItem()) {
          while (reader.NextProperty(name)) names.push_back(reader.ReadValue().AsText());
        }
      },
      EReadError);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "a"}));
}

TEST(Archive, WriterRefusesWhatTheFormatCannotHold) {
  Object longName;
  longName.className = std::string(256, 'C');
  EXPECT_THROW(archive::WriteArchive(longName), Exception);
  Object emptyProperty;
  emptyProperty.properties = {{"", Value::Integer(1)}};
  EXPECT_THROW(archive::WriteArchive(emptyProperty), Exception);
  Object overflow;
  overflow.properties = {{"P", Tagged(ValueTag::Int8, 200)}};
  EXPECT_THROW(archive::WriteArchive(overflow), Exception);
  Object badName;
  badName.objectName = "two words";
  EXPECT_THROW(archive::WriteArchive(badName), Exception);
}

TEST(Archive, StreamBytesReadToTheEndAndFilesThatCannotOpenSaySo) {
  std::string big(200000, 'z');
  big[199999] = 'e';
  std::istringstream stream(big);
  const Bytes bytes = archive::ReadStreamBytes(stream);
  ASSERT_EQ(bytes.size(), big.size());
  EXPECT_EQ(bytes.back(), 'e');
  try {
    archive::ReadFileBytes("/nonexistent/menu.dxg");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"/nonexistent/menu.dxg\"");
  }
}

}  // namespace
