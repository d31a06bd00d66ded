// Field by field, in the game's order, refusing anything the game would not have built.
#include "server/result_check.h"

namespace {

// C0 controls, DEL and the C1 controls of ISO 8859-1 have no place in a name or a country; "|"
// cannot appear either, since it would have split the field.
bool IsPrintableLatin1(unsigned char c) {
  return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c <= 0x9F);
}

class PayloadReader {
 public:
  explicit PayloadReader(std::string_view payload) : rest_(payload) {}

  // The value of the next field, which must begin with `label` (such as "name="), up to the next
  // "|" or, for the last field, the end. False when the label is not there.
  bool Field(std::string_view label, bool last, std::string_view& value) {
    if (!rest_.starts_with(label)) return false;
    rest_.remove_prefix(label.size());
    if (last) {
      value = rest_;
      rest_ = {};
      return true;
    }
    const size_t bar = rest_.find('|');
    if (bar == std::string_view::npos) return false;
    value = rest_.substr(0, bar);
    rest_.remove_prefix(bar + 1);
    return true;
  }

 private:
  std::string_view rest_;
};

std::variant<CheckedResult, ResultRefusal> Refuse(std::string reason) {
  return ResultRefusal{std::move(reason)};
}

bool ReadScore(std::string_view text, uint16_t& score) {
  if (text.empty() || text.size() > 5) return false;
  if (text.size() > 1 && text[0] == '0') return false;
  uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value > 0xFFFF) return false;
  score = static_cast<uint16_t>(value);
  return true;
}

bool IsShortPrintable(std::string_view text, size_t maxLength) {
  if (text.size() > maxLength) return false;
  for (const char c : text) {
    if (!IsPrintableLatin1(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::variant<CheckedResult, ResultRefusal> CheckResultPayload(std::string_view payload, char key) {
  PayloadReader reader(payload);
  std::string_view type, name, score, keyField, serverValue, country, padding;
  if (!reader.Field("type=", false, type)) return Refuse("no type field first");
  if (type != "0") return Refuse("type is not 0");
  if (!reader.Field("name=", false, name)) return Refuse("no name field after type");
  if (!reader.Field("score=", false, score)) return Refuse("no score field after name");
  if (!reader.Field("key=", false, keyField)) return Refuse("no key field after score");
  if (!reader.Field("p=", false, serverValue)) return Refuse("no p field after key");
  if (!reader.Field("add=", false, country)) return Refuse("no add field after p");
  if (!reader.Field("z=", true, padding)) return Refuse("no z field last");

  CheckedResult result;
  if (keyField.size() != 1 || keyField[0] != key) return Refuse("wrong key");
  if (!ReadScore(score, result.score)) return Refuse("score is not 0 to 65535 without leading 0");
  if (!IsShortPrintable(name, MaxNameLength)) return Refuse("name too long or not printable");
  if (!IsShortPrintable(country, MaxCountryLength)) {
    return Refuse("country too long or not printable");
  }
  // The game pads with "0" until the length is a multiple of 5, so 0 to 4 of them, all "0".
  const size_t unpadded = payload.size() - padding.size();
  if (padding.find_first_not_of('0') != std::string_view::npos ||
      padding.size() != (5 - unpadded % 5) % 5) {
    return Refuse("bad padding");
  }
  result.name = name;
  result.country = country;
  result.serverValue = serverValue;
  return result;
}
