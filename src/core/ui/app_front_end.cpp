#include "ui/app_front_end.h"

#include "platform/shell_open.h"
#include "session/user_session.h"
#include "ui/zerva_app.h"

namespace zerva {

void AppFrontEnd::OpenUrl(const std::string& url) {
  ShellOpen(url);
}

void AppFrontEnd::OpenUrlSignedIn(CzervaApp& app, const std::string& url) {
  app.Session().OpenWithTicket(url);
}

}  // namespace zerva
