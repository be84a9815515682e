#include "model/uploaded_files.h"

#include <gtest/gtest.h>

#include "model/album.h"

namespace zerva {
namespace {

std::string File(const std::string& name, int64_t size) {
  return "<serverFile><fileName>" + name + "</fileName><fileSize>" + std::to_string(size) +
         "</fileSize></serverFile>";
}

const std::string kAnswer =
    "<imagesDir>" + File("a.jpg", 100) + File("b.jpg", 0) + File("h.jpg", 10) + "</imagesDir>" +
    "<hdimagesDir>" + File("h.jpg", 9000) + "</hdimagesDir>" + "<thumbDir>" + File("a.jpg", 5) +
    File("b.jpg", 5) + File("h.jpg", 5) + File("v.jpg", 5) + "</thumbDir>" + "<diffDir>" +
    File("a.jpg", 7) + "</diffDir>" +
    "<videoDir><serverFile><photoID>12</photoID><fileSize>3000000000</fileSize></serverFile>"
    "</videoDir>";

CPhoto& AddItem(CAlbum& album, const std::string& fileName) {
  auto item = std::make_unique<CPhoto>();
  item->fileName = fileName;
  album.items.push_back(std::move(item));
  return *album.items.back();
}

TEST(UploadedFiles, SizesGoToTheItemsOfThatName) {
  const UploadedFiles files = ParseUploadedFiles(kAnswer);
  EXPECT_EQ(files.images.at("a.jpg"), 100);
  EXPECT_EQ(files.hdimages.size(), 1u);
  EXPECT_EQ(files.videos.at(12), 3000000000);
  CAlbum album;
  CPhoto& a = AddItem(album, "a.jpg");
  CPhoto& v = AddItem(album, "v.jpg");
  v.photoID = 12;
  CPhoto& other = AddItem(album, "A.jpg");  // names match exactly
  other.imageSize = 1;
  ApplyUploadedSizes(album, files);
  EXPECT_EQ(a.imageSize, 100);
  EXPECT_EQ(a.thumbSize, 5);
  EXPECT_EQ(a.patchSize, 7);
  EXPECT_EQ(a.videoSize, 0);
  EXPECT_EQ(v.videoSize, 3000000000);
  EXPECT_EQ(other.imageSize, 1);
}

TEST(UploadedFiles, DamagedItemsLackAFileOfSizeOneOrMore) {
  const UploadedFiles files = ParseUploadedFiles(kAnswer);
  const std::set<std::string> missing = ParseMissingVideos(
      "<missingVideos><video><fileName>v.jpg</fileName><photoID>12</photoID></video>"
      "</missingVideos>");
  EXPECT_EQ(missing, std::set<std::string>{"v.jpg"});
  CPhoto a, b, hd, video, gone;
  a.fileName = "a.jpg";
  b.fileName = "b.jpg";  // image of size 0
  hd.fileName = "h.jpg";
  hd.isHdPhoto = true;
  video.fileName = "v.jpg";
  video.isVideo = true;
  gone.fileName = "gone.jpg";
  EXPECT_FALSE(IsDamaged(a, files, missing));
  EXPECT_TRUE(IsDamaged(b, files, missing));
  EXPECT_FALSE(IsDamaged(hd, files, missing));
  EXPECT_TRUE(IsDamaged(gone, files, missing));
  EXPECT_TRUE(IsDamaged(video, files, missing));  // no image, and reported missing
  gone.included = false;
  EXPECT_FALSE(IsDamaged(gone, files, missing));
  const UploadedFiles noHd =
      ParseUploadedFiles("<imagesDir>" + File("h.jpg", 1) + "</imagesDir><thumbDir>" +
                         File("h.jpg", 1) + "</thumbDir>");
  EXPECT_TRUE(IsDamaged(hd, noHd, {}));
  hd.isHdPhoto = false;
  EXPECT_FALSE(IsDamaged(hd, noHd, {}));
}

TEST(UploadedFiles, GarbageGivesEmptyListings) {
  const UploadedFiles files = ParseUploadedFiles("<imagesDir><serverFile><fileName>x");
  EXPECT_TRUE(files.images.empty());
  EXPECT_TRUE(ParseMissingVideos("").empty());
}

}  // namespace
}  // namespace zerva
