#include "model/album_items.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/scripted_dialogs.h"
#include "lang/text.h"
#include "model/album.h"
#include "model_fixtures.h"

namespace zerva {
namespace {

class AlbumItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeJpeg(dir_, "b.jpg");
    test::MakeJpeg(dir_, "a.jpg");
    test::MakeTiff(dir_, "a.tif");
    dir_.Write("broken.jpg", "not a picture");
    dir_.Write("readme.txt", "words");
    album_.localPath = dir_.Path().substr(0, dir_.Path().size() - 1);
  }
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& item : album_.items) names.push_back(item->fileName);
    return names;
  }
  test::TempDir dir_;
  CAlbum album_;
};

TEST_F(AlbumItemsTest, FolderBecomesItemsWithUniqueServerNames) {
  album_.defaultWatermark = true;
  ASSERT_TRUE(AddFolder(album_, album_.localPath));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.jpg", "a1.jpg", "b.jpg"}));
  for (size_t i = 0; i < album_.items.size(); ++i) {
    const CPhoto& item = *album_.items[i];
    EXPECT_EQ(item.index, static_cast<int>(i) + 1);
    EXPECT_TRUE(item.included);
    EXPECT_TRUE(item.hasWatermark);
    EXPECT_EQ(item.photoID, -1);
  }
  EXPECT_EQ(album_.items[1]->localPath, dir_.File("a.tif"));
  EXPECT_EQ(album_.items[1]->imageFormat, kImageFormatTiff);
}

// A phone's folder: every photo becomes an item named ".jpg" on the service, each name unique,
// and what cannot be sent is named with its reason.
TEST_F(AlbumItemsTest, APhonesFolderOfEveryTypeBecomesJpgItems) {
  test::TempDir phone;
  test::MakeJpeg(phone, "IMG_1.JPG", 64, 48);
  test::MakeJpeg(phone, "IMG_1.jpg", 48, 64);  // another photo, named apart only by case
  test::MakeJpeg(phone, "beach.jpeg");
  test::MakePng(phone, "Screenshot.png");
  test::MakePng(phone, "png_inside.jpg");
  phone.Write("notes.webp", "not a picture\n");
  fipImage bmp;
  ASSERT_TRUE(test::DrawPicture(bmp, 8, 8));
  ASSERT_TRUE(bmp.save(FIF_BMP, phone.File("old.jpg").c_str()));
  ASSERT_TRUE(AddFolder(album_, phone.Path()));
  ASSERT_EQ(album_.items.size(), 5u);
  std::vector<std::string> names = FileNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"IMG_1.jpg", "IMG_11.jpg", "Screenshot.jpg",
                                             "beach.jpg", "png_inside.jpg"}));
  std::set<std::string> paths;
  for (const auto& item : album_.items) paths.insert(item->localPath);
  EXPECT_EQ(paths.size(), 5u);
  EXPECT_EQ(album_.FindItemByFileName("png_inside.jpg")->imageFormat, kImageFormatPng);
  EXPECT_EQ(album_.FindItemByFileName("beach.jpg")->imageFormat, kImageFormatJpeg);
  ASSERT_EQ(album_.leftOut.size(), 2u);
  EXPECT_EQ(album_.leftOut[0].name, "notes.webp");
  EXPECT_EQ(album_.leftOut[0].reason, LeftOutReason::kNotPicture);
  EXPECT_EQ(album_.leftOut[1].name, "old.jpg");
  EXPECT_EQ(album_.leftOut[1].reason, LeftOutReason::kOtherPicture);
  EXPECT_EQ(album_.leftOut[1].format, "BMP");

  // Dropped or picked one by one, the same.
  CAlbum dropped;
  std::vector<std::string> rejected, reIncluded, present;
  for (const char* name : {"IMG_1.JPG", "IMG_1.jpg", "Screenshot.png", "notes.webp"}) {
    AddFile(dropped, phone.File(name), &rejected, &reIncluded, &present);
  }
  ASSERT_EQ(dropped.items.size(), 3u);
  EXPECT_EQ(dropped.items[0]->fileName, "IMG_1.jpg");
  EXPECT_EQ(dropped.items[1]->fileName, "IMG_11.jpg");
  EXPECT_EQ(dropped.items[2]->fileName, "Screenshot.jpg");
  EXPECT_EQ(rejected, std::vector<std::string>{phone.File("notes.webp")});
  EXPECT_TRUE(present.empty());
}

TEST_F(AlbumItemsTest, SelectionIncludesOnlyTheNamedFiles) {
  ASSERT_TRUE(AddFolder(album_, album_.localPath, {"b.jpg"}));
  ASSERT_EQ(album_.items.size(), 3u);
  EXPECT_FALSE(album_.items[0]->included);
  EXPECT_FALSE(album_.items[1]->included);
  EXPECT_TRUE(album_.items[2]->included);
}

TEST_F(AlbumItemsTest, EmptyFolderAddsNothing) {
  test::TempDir empty;
  EXPECT_FALSE(AddFolder(album_, empty.Path()));
  EXPECT_TRUE(album_.items.empty());
}

TEST_F(AlbumItemsTest, AddingTheSamePathTwiceReportsItOnce) {
  ScriptedDialogs dialogs;
  album_.pendingFiles = {dir_.File("a.jpg")};
  AddFiles(album_, dialogs);
  ASSERT_EQ(album_.items.size(), 1u);
  EXPECT_TRUE(album_.items[0]->needsUpload);
  EXPECT_TRUE(album_.modified);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(album_.pendingFiles.empty());

  album_.pendingFiles = {dir_.File("a.jpg"), dir_.File("broken.jpg"), dir_.File("readme.txt")};
  AddFiles(album_, dialogs);
  EXPECT_EQ(album_.items.size(), 1u);
  const auto messages = dialogs.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].kind, MessageKind::kError);
  // Each file with its own reason.
  EXPECT_EQ(messages[0].text, dir_.File("broken.jpg") + " (" + Text("leftOutNotPicture") + ")\n" +
                                  dir_.File("readme.txt") + " (" + Text("leftOutNotMedia") +
                                  ")\n- " + Text("msgInvalidFormat"));
  EXPECT_EQ(messages[1].kind, MessageKind::kWarning);
  EXPECT_EQ(messages[1].text, dir_.File("a.jpg") + "\n- " + Text("msgAlreadyPresent"));
}

TEST_F(AlbumItemsTest, ExcludedItemComesBackWithoutAMessage) {
  ASSERT_TRUE(AddFolder(album_, album_.localPath, {"a.jpg"}));
  CPhoto& b = *album_.items[2];
  ASSERT_FALSE(b.included);
  std::vector<std::string> rejected, reIncluded, present;
  EXPECT_FALSE(AddFile(album_, dir_.File("b.jpg"), &rejected, &reIncluded, &present));
  EXPECT_TRUE(b.included);
  EXPECT_TRUE(b.needsUpload);
  EXPECT_TRUE(album_.modified);
  EXPECT_EQ(reIncluded, std::vector<std::string>{dir_.File("b.jpg")});
  EXPECT_EQ(album_.lastAddedIndex, 2);
  EXPECT_TRUE(present.empty());
}

TEST_F(AlbumItemsTest, ItemKnownOnlyByItsServerNameIsFound) {
  auto stored = std::make_unique<CPhoto>();
  stored->fileName = "B.jpg";
  stored->index = 7;
  album_.items.push_back(std::move(stored));
  std::vector<std::string> rejected, reIncluded, present;
  EXPECT_FALSE(AddFile(album_, dir_.File("b.jpg"), &rejected, &reIncluded, &present));
  EXPECT_EQ(present.size(), 1u);
  // A new file continues after the highest index.
  EXPECT_TRUE(AddFile(album_, dir_.File("a.jpg"), &rejected, &reIncluded, &present));
  EXPECT_EQ(album_.items.back()->index, 8);
  EXPECT_EQ(album_.lastAddedIndex, 7);
}

TEST_F(AlbumItemsTest, NewFileReadsItsExifTexts) {
  if (!test::HaveExiftool()) GTEST_SKIP() << "exiftool is not installed";
  const std::string path = test::MakeJpeg(dir_, "named.jpg");
  ASSERT_TRUE(test::Exiftool(path, "-ImageDescription='Castle' -UserComment='Built 1200'"));
  album_.env.useExifName = true;
  std::vector<std::string> rejected, reIncluded, present;
  ASSERT_TRUE(AddFile(album_, path, &rejected, &reIncluded, &present));
  const CPhoto& item = *album_.items.back();
  EXPECT_TRUE(item.exifRead);
  EXPECT_EQ(item.name, "Castle");
  EXPECT_EQ(item.desc, "");  // useExifDesc is off
}

}  // namespace
}  // namespace zerva
