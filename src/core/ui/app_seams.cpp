#include "ui/app_seams.h"

namespace zerva {

bool NoUpdateCheck(CHttpConnect& /*connection*/, bool /*hidden*/, bool* quit, CancelFlag* /*stop*/,
                   std::string* /*report*/) {
  if (quit != nullptr) *quit = false;
  return true;
}

}  // namespace zerva
