// Product name and version of this build, as the service and the about box see them.
#pragma once

#include <string>

namespace zerva {

inline constexpr const char* kProductName = "zerva kalimtor";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 59;
inline constexpr int kVersionRelease = 52;
inline constexpr int kVersionBuild = 267;
inline constexpr const char* kVersionText = "1.59.52.267";
// The service gets the build number alone at sign-in.
inline constexpr const char* kBuildNumberText = "267";
// Sent as the User-Agent of every request.
inline constexpr const char* kUserAgent = "zerva kalimtor, version 1.59.52.267, build 267";

// "zerva kalimtor, ver. 1.59.52.267"; the window title passes the translated "msgBuild" word.
std::string VersionLine(const std::string& versionWord = "ver.");

}  // namespace zerva
