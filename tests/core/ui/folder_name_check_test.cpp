// Names the album folder picker warns about: bytes that are not UTF-8 in file and folder names,
// told apart and listed in the warning with their bad bytes shown as "?".
#include "ui/folder_name_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "lang/text.h"
#include "model/exif_text.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

class FolderNameCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("LC_ALL", "C", 1);
    ASSERT_TRUE(Localization().LoadLocal());
  }
};

TEST_F(FolderNameCheck, ValidUtf8IsToldFromLatin2AndBrokenSequences) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("Dovolená v Třeboni 😀.jpg"));
  EXPECT_FALSE(IsValidUtf8("Dovolen\xE1.jpg"));       // Latin-1/Latin-2 "á"
  EXPECT_FALSE(IsValidUtf8("\xC3"));                  // cut sequence
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));              // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));          // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));      // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8(std::string("a\0b", 3)));  // a zero byte
  EXPECT_TRUE(IsValidUtf8("what?.jpg"));
}

TEST_F(FolderNameCheck, FilesAndFoldersAreToldApartAndTheWarningListsThem) {
  test::TempDir dir;
  dir.Write("good.jpg", "x");
  dir.Write("ko\xE8ka.jpg", "x");  // cp1250 "č"
  dir.Write("\xFF.jpg", "x");
  std::filesystem::create_directory(dir.File("Zahrada \xE8\xE1st"));
  std::filesystem::create_directory(dir.File("léto"));

  const NameEncodingProblems problems = FindNonUtf8Names(dir.Path());
  EXPECT_EQ(problems.files.size(), 2u);
  ASSERT_EQ(problems.folders.size(), 1u);
  EXPECT_EQ(problems.folders[0], "Zahrada \xE8\xE1st");

  const std::string warning = EncodingWarning(problems);
  EXPECT_NE(warning.find("(2): ko?ka.jpg, ?.jpg"), std::string::npos) << warning;
  EXPECT_NE(warning.find("(1): Zahrada ??st"), std::string::npos) << warning;
  EXPECT_NE(warning.find(Text("msgEncodingCheck")), std::string::npos);
  EXPECT_TRUE(IsValidUtf8(warning)) << "the warning itself can be shown";
}

TEST_F(FolderNameCheck, NothingToWarnAboutGivesNoText) {
  test::TempDir dir;
  dir.Write("Třeboň.jpg", "x");
  EXPECT_TRUE(FindNonUtf8Names(dir.Path()).Empty());
  EXPECT_EQ(EncodingWarning({}), "");
  EXPECT_TRUE(FindNonUtf8Names(dir.File("missing")).Empty()) << "an unreadable folder: nothing";
  // The folder's own path is a folder name too.
  const NameEncodingProblems own = FindNonUtf8Names(
      "/nonexistent/\xE8"
      "esky");
  ASSERT_EQ(own.folders.size(), 1u);
}

TEST_F(FolderNameCheck, LongListsAreCut) {
  NameEncodingProblems many;
  for (int i = 0; i < 7; ++i) many.files.push_back("f" + std::to_string(i) + "\xE1");
  const std::string warning = EncodingWarning(many);
  EXPECT_NE(warning.find("(7): f0?, f1?, f2?, f3?, f4?, ..."), std::string::npos) << warning;
}

}  // namespace
}  // namespace zerva
