// Building the high-score server's URLs.
#include "online/score_server_urls.h"

namespace {

std::string OnServer(std::string_view server, std::string_view target) {
  std::string url = "http://";
  url += server;
  url += target;
  return url;
}

}  // namespace

std::string HandshakeUrl(std::string_view server) {
  return OnServer(server, "/cgi/version.pl?version&prg=Skarvel");
}

std::string ResultUrl(std::string_view server, std::string_view encodedResult) {
  return OnServer(server, "/cgi/version.pl?hs&prg=Skarvel&inf=") + std::string(encodedResult);
}

std::string StartTicketUrl(std::string_view server) {
  return OnServer(server, "/cgi/version.pl?ticket&prg=Skarvel");
}

std::string ReplayUploadUrl(std::string_view server, std::string_view serverValue) {
  return OnServer(server, "/cgi/version.pl?replay&prg=Skarvel&p=") + std::string(serverValue);
}

std::string HomePageUrl(std::string_view server) {
  return OnServer(server, "/");
}

std::string OnlineTableUrl(std::string_view server) {
  return OnServer(server, "/cgi/version.pl?prg=Skarvel&show&type=0");
}
