// The user's language as a Windows locale identifier, the form the language files and the
// service use.
#pragma once

#include <string>

namespace zerva {

// From LC_ALL, LC_MESSAGES or LANG ("cs_CZ.UTF-8" -> 1029); 1033 when none is set or known.
int ThreadLocaleId();
// The identifier of a POSIX locale name; 0 when the language is not known.
int LocaleIdFromName(const std::string& posixName);
// The POSIX locale name of an identifier ("cs_CZ.UTF-8"); empty when not known.
std::string LocaleNameOf(int localeId);

}  // namespace zerva
