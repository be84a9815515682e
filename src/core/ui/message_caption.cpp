#include "ui/message_caption.h"

#include "app/app_folders.h"
#include "app/text_utils.h"

namespace zerva {

std::string CaptionWithText(const std::string& captionText) {
  return TrimEndChars(ServiceDomainName(), "/") + " | " + captionText;
}

}  // namespace zerva
