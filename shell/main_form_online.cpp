// The publisher's pages, opened in the player's web browser by the desktop's "open" action.
#include "online/web_links.h"
#include "shell/main_form.h"

void TmainForm::OpenHomePage() {
  platform_.shell().Open(HomePageUrl());
}

void TmainForm::OpenOnlineScores() {
  platform_.shell().Open(OnlineScoresUrl());
}
