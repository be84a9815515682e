// The usage text of zerva-updater, for its --help and its manual page.
#pragma once

#include "app/help_doc.h"

namespace zerva {

HelpDoc UpdaterHelp();

}  // namespace zerva
