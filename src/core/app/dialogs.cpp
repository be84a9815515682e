#include "app/dialogs.h"

#include "app/app_folders.h"
#include "lang/text.h"

namespace zerva {

std::string MessageCaption(MessageKind kind) {
  std::string caption = ServiceDomainName();
  if (!caption.empty() && caption.back() == '/') caption.pop_back();
  caption += " | ";
  switch (kind) {
    case MessageKind::kInformation:
      return caption + Text("msgInfo");
    case MessageKind::kWarning:
      return caption + Text("msgWarning");
    case MessageKind::kError:
      return caption + Text("msgError");
  }
  return caption;
}

}  // namespace zerva
