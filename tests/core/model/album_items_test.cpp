#include "model/album_items.h"

#include <gtest/gtest.h>

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
