// The strict reading of a decoded result payload: exactly the text the game builds, field by
// field, and nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "protocol/latin1_text.h"

// The most characters of a name and of a country, as the game's result dialog allows.
constexpr size_t MaxNameLength = 10;
constexpr size_t MaxCountryLength = 10;

// A payload that passed: the texts as the game sent them (ISO 8859-1 bytes, as its settings file
// keeps them) and the server value to be checked next.
struct CheckedResult {
  std::string name;
  std::string country;
  uint16_t score = 0;
  std::string serverValue;
};

// Why a payload was refused, for the server's log.
struct ResultRefusal {
  std::string reason;
};

// Reads "type=0|name=N|score=S|key=K|p=P|add=C|z=" plus its "0" padding: the fields in this
// order, each once; type 0; `key` as the key; a score 0 to 65535 in decimal without leading zeros;
// name and country at most 10 characters without control characters; the padding exactly the
// number of "0" that makes the length a multiple of 5.
std::variant<CheckedResult, ResultRefusal> CheckResultPayload(std::string_view payload, char key);
