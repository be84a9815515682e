// Captions of message boxes whose word is not one of the three kinds (the login error, a
// question with a caption of its own): the service's name, " | " and that word.
#pragma once

#include <string>

namespace zerva {

std::string CaptionWithText(const std::string& captionText);

}  // namespace zerva
