// Fuzz target: the letters of a submitted result and the payload inside them, as the score server
// reads them from the query of a request. Any bytes: the decoder either refuses them or gives the
// bytes that encode back to exactly the same letters; the payload check either refuses with a
// reason or gives a result the game could have sent, which rebuilt gives the same payload.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/result_check.h"
#include "server/result_decoding.h"

namespace {

void CheckPayload(std::string_view payload) {
  const auto checked = CheckResultPayload(payload, 'S');
  if (const auto* refusal = std::get_if<ResultRefusal>(&checked)) {
    if (refusal->reason.empty()) std::abort();
    return;
  }
  const auto& result = std::get<CheckedResult>(checked);
  if (result.name.size() > MaxNameLength || result.country.size() > MaxCountryLength) std::abort();
  // What passed is what the game builds from these values, byte for byte.
  if (BuildResultPayload(result.name, result.score, 'S', result.serverValue, result.country) !=
      payload) {
    std::abort();
  }
  if (Latin1ToUtf8(result.name).size() > 2 * MaxNameLength) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (const auto decoded = DecodeResultLetters(input)) {
    if (EncodeResult(*decoded) != input) std::abort();
    CheckPayload(*decoded);
  }
  // The check on its own, with payloads the letters would take long to find.
  CheckPayload(input);
  return 0;
}
