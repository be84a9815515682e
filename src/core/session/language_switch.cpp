#include "session/language_switch.h"

#include <clocale>

#include "app/dialogs.h"
#include "app/trace.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "platform/locale.h"

namespace zerva {
namespace {

constexpr const char* kFallbackLocale = "C.UTF-8";

}  // namespace

FetchText MakeFetchText(CHttpConnect& connection) {
  return [&connection](const std::string& url) -> std::optional<std::string> {
    ApiResult result = connection.GetUrlToString(url);
    if (!result.Ok()) return std::nullopt;
    return std::move(result.value);
  };
}

void LoadRemoteLanguage(CLocalization& localization, CHttpConnect& connection) {
  localization.LoadRemote(LanguageFilesBaseUrl(), MakeFetchText(connection));
}

bool SwitchLanguageAfterSignIn(CLocalization& localization, CHttpConnect& connection,
                               Dialogs& dialogs, int userLang,
                               const std::function<void()>& reloadTexts) {
  const int wanted = userLang != 0 ? userLang : ThreadLocaleId();
  bool switched = false;
  if (wanted != localization.LocationId()) {
    dialogs.ShowWait(localization.Text("msgDownloadingLocalization"), localization.Text("msgInfo"));
    switched =
        localization.SwitchToLanguage(LanguageFilesBaseUrl(), wanted, MakeFetchText(connection));
    dialogs.HideWait();
    if (switched && reloadTexts) reloadTexts();
  }
  ApplyLanguageLocale(wanted);
  return switched;
}

std::string ApplyLanguageLocale(int localeId) {
  const std::string name = LocaleNameOf(localeId);
  if (name.empty()) return {};
  for (const std::string& candidate : {name, std::string(kFallbackLocale)}) {
    // LC_CTYPE first: when even it cannot be set, the pair stays as it was.
    if (std::setlocale(LC_CTYPE, candidate.c_str()) == nullptr) continue;
    if (std::setlocale(LC_COLLATE, candidate.c_str()) == nullptr) continue;
    if (candidate != name) {
      Trace(kTraceNotice, 0, "Locale %s is not installed, using %s\n", name.c_str(),
            candidate.c_str());
    }
    return candidate;
  }
  const char* current = std::setlocale(LC_COLLATE, nullptr);
  return current != nullptr ? current : "";
}

}  // namespace zerva
