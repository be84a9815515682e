// The language files from the service: the start-up refresh, the switch to the user's
// language after sign-in, and the runtime locale that goes with the language.
#pragma once

#include <functional>
#include <string>

#include "lang/localization.h"

namespace zerva {

class CHttpConnect;
class Dialogs;

// A FetchText on `connection` (GetUrlToString): the body only when the call succeeded. The
// connection must outlive the returned function and stay on the caller's thread.
FetchText MakeFetchText(CHttpConnect& connection);

// Start-up: the thread language's file (else the English one) from the service's language
// folder replaces the local texts when it is not older.
void LoadRemoteLanguage(CLocalization& localization, CHttpConnect& connection);

// After sign-in. `userLang` is the session's language identifier (0: the thread's). When it
// differs from the active file's "locationID", the wait note ("msgDownloadingLocalization",
// caption the text of "msgInfo") covers SwitchToLanguage, and `reloadTexts` runs when the
// switch worked. Then the runtime locale follows the language. True when texts were switched.
bool SwitchLanguageAfterSignIn(CLocalization& localization, CHttpConnect& connection,
                               Dialogs& dialogs, int userLang,
                               const std::function<void()>& reloadTexts);

// Sets the C library's collation and character-type locale to the language's locale. When
// that locale is not installed, "C.UTF-8" is used instead, and when neither is, nothing
// changes. Returns the locale name now in force for LC_COLLATE; empty for an identifier
// with no locale name (nothing is changed then).
std::string ApplyLanguageLocale(int localeId);

}  // namespace zerva
