#include "accessory/about_box.h"

#include <FreeImage.h>
#include <curl/curl.h>
#include <jconfig.h>
#include <openssl/crypto.h>

#include <cstdio>

#include "app/text_placeholders.h"
#include "app/text_utils.h"
#include "app/version.h"
#include "net/endpoints.h"
#include "platform/folders.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// Licence files are a few hundred kilobytes at most; anything larger is not one.
constexpr int64_t kMaxLicenceBytes = 4 << 20;

constexpr ComponentRecord kComponents[] = {
    {false, "Qt", "https://www.qt.io/", "LGPL, version 3", "qtbase-everywhere-src-%s.tar.xz", false,
     "Qt-license.txt"},
    {false, "FreeImage", "https://freeimage.sourceforge.io/", "FIPL, version 1.0",
     "FreeImage%s.zip", true, "FreeImage-license.txt"},
    {false, "libcurl", "https://curl.se/", "curl license", "curl-%s.tar.xz", false,
     "libcurl-license.txt"},
    {false, "OpenSSL", "https://www.openssl.org/", "Apache License 2.0", "openssl-%s.tar.gz", false,
     "OpenSSL-license.txt"},
    {false, "libjpeg-turbo", "https://libjpeg-turbo.org/", "IJG and BSD licenses",
     "libjpeg-turbo-%s.tar.gz", false, "libjpeg-turbo-license.txt"},
    {false, "libproxy", "https://libproxy.github.io/libproxy/", "LGPL, version 2.1",
     "libproxy-%s.tar.xz", false, "libproxy-license.txt"},
    {false, "libuuid", "https://github.com/util-linux/util-linux", "BSD license",
     "util-linux-%s.tar.xz", false, "libuuid-license.txt"},
    {true, "FFmpeg", "https://ffmpeg.org/", "various licenses", "ffmpeg-%s.tar.xz", false,
     "FFmpeg-license.txt"},
};

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::span<const ComponentRecord> Components() {
  return kComponents;
}

ComponentVersions CoreLibraryVersions() {
  ComponentVersions versions;
  if (const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW)) {
    versions["libcurl"] = curl->version;
  }
  versions["FreeImage"] = FreeImage_GetVersion();
  versions["OpenSSL"] = OpenSSL_version(OPENSSL_VERSION_STRING);
  char jpeg[32];
  std::snprintf(jpeg, sizeof jpeg, "%d.%d.%d", LIBJPEG_TURBO_VERSION_NUMBER / 1000000,
                LIBJPEG_TURBO_VERSION_NUMBER / 1000 % 1000, LIBJPEG_TURBO_VERSION_NUMBER % 1000);
  versions["libjpeg-turbo"] = jpeg;
  return versions;
}

std::string AboutVersionLine() {
  return VersionLine();
}

std::vector<std::string> AboutHeaderRow() {
  return {"Project", "Version", "License"};
}

std::vector<AboutRow> AboutRows(bool videoConverterPresent, const std::string& programFolder,
                                const ComponentVersions& versions) {
  std::vector<AboutRow> rows;
  for (const ComponentRecord& record : kComponents) {
    if (record.videoOnly && !videoConverterPresent) continue;
    const auto known = versions.find(record.project);
    const std::string version = known != versions.end() ? known->second : "?";
    const std::string packageVersion =
        record.packageVersionDigits ? ReplaceAll(version, ".", "") : version;
    AboutRow row;
    row.project = {record.project, record.homePage,
                   FillTextPlaceholders("See %s for details.", {record.homePage})};
    row.version = {
        version, SourcePackagesUrl() + FillTextPlaceholders(record.sourcePackage, {packageVersion}),
        "Used source code"};
    row.licence = {record.licence, DataFilePathIn(programFolder, record.licenceFile),
                   "License info"};
    rows.push_back(std::move(row));
  }
  return rows;
}

bool OpensInLicenceWindow(const std::string& target) {
  return !target.starts_with("http://") && target.find(".txt") != std::string::npos;
}

LicenceView ReadLicence(const std::string& path) {
  const std::string name = FileNameOf(path);
  LicenceView view;
  view.title = FillTextPlaceholders("COPYING (%s)", {name});
  std::string text;
  if (!ReadFileBounded(path, kMaxLicenceBytes, &text) || text.empty()) {
    view.text = FillTextPlaceholders("ERROR: %s is empty or doesn't exist at all", {name});
    return view;
  }
  view.text = NormalizeToLf(text, false, false, false);
  return view;
}

}  // namespace zerva
