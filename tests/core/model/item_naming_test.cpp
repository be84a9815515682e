#include "model/item_naming.h"

#include <gtest/gtest.h>

#include "model/album.h"

namespace zerva {
namespace {

void AddItem(CAlbum& album, const std::string& fileName) {
  auto item = std::make_unique<CPhoto>();
  item->fileName = fileName;
  album.items.push_back(std::move(item));
}

TEST(ServerFileName, PlainLettersAlwaysEndingInJpg) {
  EXPECT_EQ(MakeServerFileName("Léto u moře 2010.JPG"), "Leto_u_more_2010.jpg");
  EXPECT_EQ(MakeServerFileName("scan.tiff"), "scan.jpg");
  EXPECT_EQ(MakeServerFileName("clip.mov"), "clip.jpg");
  EXPECT_EQ(MakeServerFileName("noextension"), "noextension.jpg");
  EXPECT_EQ(MakeServerFileName("a.b.c.nef"), "a.b.c.jpg");
}

TEST(UniqueFileName, NumbersAreAppendedToTheBase) {
  CAlbum album;
  std::string name = "IMG_1.jpg";
  MakeUniqueFileName(album, &name);
  EXPECT_EQ(name, "IMG_1.jpg");
  AddItem(album, "img_1.JPG");  // case does not matter
  MakeUniqueFileName(album, &name);
  EXPECT_EQ(name, "IMG_11.jpg");
  AddItem(album, "IMG_11.jpg");
  name = "IMG_1.jpg";
  MakeUniqueFileName(album, &name);
  EXPECT_EQ(name, "IMG_12.jpg");
}

TEST(UniqueFileName, PhotosOfTheSameNameInOtherFormats) {
  CAlbum album;
  AddItem(album, "a.jpg");
  std::string tif = MakeServerFileName("a.tif");
  MakeUniqueFileName(album, &tif);
  EXPECT_EQ(tif, "a1.jpg");
  AddItem(album, "base");
  std::string bare = "base";
  MakeUniqueFileName(album, &bare);
  EXPECT_EQ(bare, "base1");
}

TEST(UniqueFileName, AlwaysEndsEvenWhenEveryNumberIsTaken) {
  CAlbum album;
  AddItem(album, "x.jpg");
  for (int i = 1; i <= 50; ++i) AddItem(album, "x" + std::to_string(i) + ".jpg");
  std::string name = "x.jpg";
  MakeUniqueFileName(album, &name);
  EXPECT_EQ(name, "x51.jpg");
}

}  // namespace
}  // namespace zerva
