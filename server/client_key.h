// Whom a connection or a request is counted against: one IPv4 address, or one IPv6 /64 network
// (a single host is usually given a whole /64, so counting its addresses one by one would give it
// billions of allowances).
#pragma once

#include <string>
#include <string_view>

// "192.0.2.7" for an IPv4 address (also written as ::ffff:192.0.2.7), "2001:db8:1:2::/64" for any
// IPv6 address in that network; anything that is no address is returned as it is.
std::string ClientKey(std::string_view address);
