// The about box's table and links, and the licence window's text.
#include "accessory/about_box.h"

#include <gtest/gtest.h>

#include "net/endpoints.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

TEST(AboutBox, VersionLineAndHeader) {
  EXPECT_EQ(AboutVersionLine(), "zerva kalimtor, ver. 1.59.52.267");
  EXPECT_EQ(AboutHeaderRow(), (std::vector<std::string>{"Project", "Version", "License"}));
}

TEST(AboutBox, VideoComponentsOnlyWithTheConverter) {
  const ComponentVersions versions;
  const size_t all = Components().size();
  const std::vector<AboutRow> without = AboutRows(false, "/opt/zerva", versions);
  const std::vector<AboutRow> with = AboutRows(true, "/opt/zerva", versions);
  EXPECT_EQ(with.size(), all);
  EXPECT_EQ(without.size(), all - 1);
  EXPECT_EQ(with.back().project.text, "FFmpeg");
  for (const AboutRow& row : without) EXPECT_NE(row.project.text, "FFmpeg");
}

TEST(AboutBox, RowsLinkHomePageSourcePackageAndLicenceFile) {
  ComponentVersions versions = CoreLibraryVersions();
  versions["Qt"] = "6.4.2";
  versions["libproxy"] = "0.4.18";
  versions["libuuid"] = "2.38.1";
  const std::vector<AboutRow> rows = AboutRows(false, "/opt/zerva", versions);
  const AboutRow& qt = rows.front();
  EXPECT_EQ(qt.project.text, "Qt");
  EXPECT_EQ(qt.project.tooltip, "See https://www.qt.io/ for details.");
  EXPECT_EQ(qt.version.text, "6.4.2");
  EXPECT_EQ(qt.version.target, SourcePackagesUrl() + "qtbase-everywhere-src-6.4.2.tar.xz");
  EXPECT_EQ(qt.version.tooltip, "Used source code");
  EXPECT_EQ(qt.licence.target, "/opt/zerva/Qt-license.txt");
  EXPECT_EQ(qt.licence.tooltip, "License info");
  // FreeImage names its packages by the version's digits; the libraries report their own.
  const AboutRow& freeImage = rows[1];
  std::string digits = versions.at("FreeImage");
  std::erase(digits, '.');
  EXPECT_EQ(freeImage.version.text, versions.at("FreeImage"));
  EXPECT_EQ(freeImage.version.target, SourcePackagesUrl() + "FreeImage" + digits + ".zip");
  for (const AboutRow& row : rows) {
    EXPECT_NE(row.version.text, "?") << row.project.text;
    EXPECT_TRUE(OpensInLicenceWindow(row.licence.target)) << row.project.text;
    EXPECT_FALSE(OpensInLicenceWindow(row.project.target)) << row.project.text;
  }
}

TEST(AboutBox, OnlyLocalTextFilesOpenInTheLicenceWindow) {
  EXPECT_TRUE(OpensInLicenceWindow("/opt/zerva/libcurl-license.txt"));
  EXPECT_FALSE(OpensInLicenceWindow("/opt/zerva/FFmpeg-license.zip"));
  EXPECT_FALSE(OpensInLicenceWindow("http://example.com/licence.txt"));
}

TEST(AboutBox, LicenceWindowShowsTheFileOrSaysItIsMissing) {
  TempDir dir;
  const std::string path = dir.Write("libcurl-license.txt", "COPYRIGHT\r\nline two\r\n");
  const LicenceView shown = ReadLicence(path);
  EXPECT_EQ(shown.title, "COPYING (libcurl-license.txt)");
  EXPECT_EQ(shown.text, "COPYRIGHT\nline two\n");

  const LicenceView missing = ReadLicence(dir.File("gone-license.txt"));
  EXPECT_EQ(missing.title, "COPYING (gone-license.txt)");
  EXPECT_EQ(missing.text, "ERROR: gone-license.txt is empty or doesn't exist at all");
  dir.Write("empty-license.txt", "");
  EXPECT_EQ(ReadLicence(dir.File("empty-license.txt")).text,
            "ERROR: empty-license.txt is empty or doesn't exist at all");
}

TEST(AboutBox, ShippedLicenceFilesExistForEveryComponent) {
  for (const ComponentRecord& record : Components()) {
    const LicenceView licence =
        ReadLicence(std::string(ZERVA_SOURCE_DIR) + "/licences/" + record.licenceFile);
    EXPECT_EQ(licence.text.rfind("ERROR:", 0), std::string::npos) << record.licenceFile;
  }
}

TEST(AboutBox, AnInstalledProgramShowsTheLicencesOfItsShareFolder) {
  TempDir prefix;
  prefix.Write("bin/zerva", "");
  prefix.Write("share/zerva/Qt-license.txt", "Qt's licence\n");
  const std::vector<AboutRow> rows = AboutRows(false, prefix.Path() + "bin", {});
  EXPECT_EQ(rows.front().licence.target, prefix.Path() + "bin/../share/zerva/Qt-license.txt");
  EXPECT_EQ(ReadLicence(rows.front().licence.target).text, "Qt's licence\n");
  // A licence missing from both places is named where the program folder would hold it.
  EXPECT_EQ(rows[1].licence.target, prefix.Path() + "bin/FreeImage-license.txt");
}

}  // namespace
}  // namespace zerva::test
