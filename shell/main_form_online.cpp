// The high-score server's pages, opened in the player's web browser by the desktop's "open" action.
#include "online/online_config.h"
#include "online/score_server_urls.h"
#include "shell/main_form.h"

void TmainForm::OpenHomePage() {
  platform_.shell().Open(HomePageUrl(ScoreServer()));
}

void TmainForm::OpenOnlineScores() {
  platform_.shell().Open(OnlineTableUrl(ScoreServer()));
}
