// Reading the dates of a cookie's "Expires" attribute.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

// Reads an HTTP date in any of the forms servers send for cookies ("Wed, 09 Jun 2021 10:18:14
// GMT", "Wednesday, 09-Jun-21 10:18:14 GMT", "Wed Jun  9 10:18:14 2021"), always as UTC. Nothing
// when the text holds no complete, valid date.
std::optional<std::chrono::system_clock::time_point> ParseCookieDate(std::string_view text);
