#include "engine/base/paths.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The entry of `dir` named `component`, matched exactly first, then without regard to case.
std::filesystem::path MatchComponent(const std::filesystem::path& dir, std::string_view component) {
  std::error_code error;
  const std::filesystem::path exact = dir / std::string(component);
  if (std::filesystem::exists(exact, error)) return exact;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    if (EqualIgnoringCase(it->path().filename().string(), component)) return it->path();
  }
  return exact;
}

}  // namespace

std::filesystem::path ResolvePath(std::string_view name, const std::filesystem::path& base) {
  std::filesystem::path resolved = base;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view component = name.substr(start, end - start);
    if (!component.empty() && component != ".") resolved = MatchComponent(resolved, component);
    start = end + 1;
  }
  return resolved;
}

bool GameFileExists(std::string_view name, const std::filesystem::path& base) {
  std::error_code error;
  return std::filesystem::is_regular_file(ResolvePath(name, base), error);
}
