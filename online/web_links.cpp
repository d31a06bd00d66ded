#include "online/web_links.h"

#ifndef SKARVEL_SCORE_SERVER
#error "SKARVEL_SCORE_SERVER names the publisher's web server; the build sets it"
#endif

std::string ScoreServer() {
  return SKARVEL_SCORE_SERVER;
}

std::string HomePageUrl() {
  return "http://" + ScoreServer() + "/";
}

std::string OnlineScoresUrl() {
  return "http://" + ScoreServer() + "/cgi/version.pl?prg=Skarvel&show&type=0";
}
