// The query of a request target as the game and the pages send it: "&"-separated items, each a
// bare word ("version") or a word, "=" and a percent-encoded value.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QueryString {
 public:
  // Reads the part after the first "?" of `target`; nothing when an escape is malformed or a name
  // or value decodes to something that is no UTF-8.
  static std::optional<QueryString> Parse(std::string_view target);

  bool Has(std::string_view name) const;
  // The value of the first item called `name`, decoded; empty when absent or bare.
  std::string Value(std::string_view name) const;
  size_t Size() const { return items_.size(); }

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

// The path of a request target: everything before the first "?".
std::string_view TargetPath(std::string_view target);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF): user data must be, before a page or the JSON export shows it.
bool IsValidUtf8(std::string_view text);
