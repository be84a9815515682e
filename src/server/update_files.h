// What the update files directory holds when the data folder has no file of that name.
#pragma once

#include <string>

namespace zerva::server {

// An update description whose only component is the client itself at build 267, so a
// client of this version finds nothing to update.
const std::string& DefaultFilesDat();
// The photo and video parameters with their usual values.
const std::string& DefaultPhotoVideoParams();

}  // namespace zerva::server
