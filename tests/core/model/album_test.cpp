#include "model/album.h"

#include <gtest/gtest.h>

#include "app/elements.h"
#include "model/photo_sort.h"
#include "model_fixtures.h"
#include "net/endpoints.h"

namespace zerva {
namespace {

CPhoto& AddItem(CAlbum& album, const std::string& fileName, bool included = true) {
  auto item = std::make_unique<CPhoto>();
  item->fileName = fileName;
  item->included = included;
  album.items.push_back(std::move(item));
  return *album.items.back();
}

TEST(ServerDir, ReservedNamesAreChanged) {
  EXPECT_EQ(ServerDirFromName("Dovolená 2010 – léto!"), "Dovolena_2010_leto");
  EXPECT_EQ(ServerDirFromName("index.php"), "index_php");
  EXPECT_EQ(ServerDirFromName("INDEX.PHP"), "INDEX_php");
  EXPECT_EQ(ServerDirFromName("archive.rch"), "archive_rch");
  EXPECT_EQ(ServerDirFromName("a.rch.RCH"), "a_rch_rch");
  EXPECT_EQ(ServerDirFromName(".."), "dotdot");
  EXPECT_EQ(ServerDirFromName("."), "dot");
  EXPECT_EQ(ServerDirFromName(".htaccess"), "dothtaccess");
  EXPECT_EQ(ServerDirFromName("rch"), "rch");
  CAlbum album;
  album.name = "Výlet";
  album.MakeServerDir();
  EXPECT_EQ(album.serverDir, "Vylet");
}

TEST(AlbumXml, WritesEveryElementAndOnlyIncludedPhotos) {
  CAlbum album;
  album.albumID = 42;
  album.name = "Trip";
  album.desc = "Line";
  album.localPath = "/home/u/Trip";
  album.serverDir = "Trip";
  album.SetMaxSizeImage(1200);
  album.maxSizeThumb = 100;
  album.thumbName = "a.jpg";
  album.albumCategory = "12";
  AddItem(album, "a.jpg");
  AddItem(album, "b.jpg", false);
  AddItem(album, "c.jpg");
  const std::string xml = album.ToXml(false);
  const std::string head =
      "<album>\t<albumID>42</albumID>\t<name>Trip</name>\t<desc>Line</desc>\t<create>"
      "</create>\t<expiration></expiration>";
  EXPECT_EQ(xml.substr(0, head.size()), head);
  EXPECT_NE(xml.find("\t<autorID></autorID>\t<size></size>\t<localPath>/home/u/Trip</localPath>"
                     "\t<photoCount>3</photoCount>\t<serverDir>Trip</serverDir>"
                     "\t<maxSizeImage>1200</maxSizeImage>\t<maxSizeThumb>100</maxSizeThumb>"
                     "\t<albumVisible>1</albumVisible>\t<albumSecure>0</albumSecure>"),
            std::string::npos);
  EXPECT_NE(xml.find("\t<endDateInterval></endDateInterval>\t<defaultWatermark>0"
                     "</defaultWatermark>\t<photos>\n<photo>"),
            std::string::npos);
  const std::string tail = "</photo>\n</photos></album>";
  EXPECT_EQ(xml.substr(xml.size() - tail.size()), tail);
  EXPECT_EQ(GetElements(GetElement(xml, "photos"), "photo").size(), 2u);
  EXPECT_EQ(xml.find("PublishOnFB"), std::string::npos);
}

TEST(AlbumXml, PublishFlagOnlyForUsersWhoMayPublish) {
  CAlbum album;
  album.PublishOnFB = true;
  EXPECT_EQ(album.ToXml(true).find("PublishOnFB"), std::string::npos);
  album.env.canPublishOnFB = true;
  EXPECT_EQ(album.ToXml(false).find("PublishOnFB"), std::string::npos);
  EXPECT_EQ(GetElement(album.ToXml(true), "PublishOnFB"), "1");
}

TEST(AlbumXml, ReadsWithDefaults) {
  AlbumEnvironment env;
  env.userName = "demo";
  env.params.SizeThumb = 120;
  CAlbum album(env);
  AddItem(album, "old.jpg");
  ASSERT_TRUE(
      album.FromXml("<albumID>7</albumID><name>A</name><photoCount>200</photoCount>"
                    "<maxSizeImage>2000</maxSizeImage><maxSizeThumb>0</maxSizeThumb>"
                    "<desc>a&amp;b\r\nc</desc><publishOnFB>1</publishOnFB>"
                    "<size>5000000000</size>"));
  EXPECT_TRUE(album.items.empty());
  EXPECT_EQ(album.albumID, 7);
  EXPECT_EQ(album.desc, "a&b\nc");
  EXPECT_TRUE(album.albumVisible);  // no element: visible
  EXPECT_FALSE(album.albumSecure);
  EXPECT_EQ(album.itemLimit, 1000);
  EXPECT_EQ(album.maxSizeImage, 1200);  // the user's resolution, not the stored one
  EXPECT_EQ(album.resolution, 1200);
  EXPECT_EQ(album.maxSizeThumb, 120);
  EXPECT_TRUE(album.PublishOnFB);
  EXPECT_EQ(album.size, 5000000000);
  EXPECT_EQ(album.ownerName, "demo");

  ASSERT_TRUE(
      album.FromXml("<albumID>7</albumID><albumVisible>0</albumVisible>"
                    "<photoCount>1500</photoCount><maxSizeThumb>150</maxSizeThumb>"));
  EXPECT_FALSE(album.albumVisible);
  EXPECT_EQ(album.itemLimit, 1500);
  EXPECT_EQ(album.maxSizeThumb, 150);
  EXPECT_FALSE(album.FromXml("<name>no id</name>"));
  EXPECT_FALSE(album.FromXml("<albumID>-3</albumID>"));
}

TEST(AlbumXml, VipAndHighResolutionCategoriesGetTheVipResolution) {
  AlbumEnvironment env;
  env.signedIn = true;
  env.categoryWantsHiRes = [](std::string_view categories) { return categories == "105"; };
  CAlbum album(env);
  album.FromXml("<albumID>1</albumID><albumCategory>3</albumCategory>");
  EXPECT_EQ(album.maxSizeImage, 1200);
  album.FromXml("<albumID>1</albumID><albumCategory>105</albumCategory>");
  EXPECT_EQ(album.maxSizeImage, 1400);
  album.env.signedIn = false;
  album.FromXml("<albumID>1</albumID><albumCategory>105</albumCategory>");
  EXPECT_EQ(album.maxSizeImage, 1200);
  album.env.signedIn = true;
  album.env.isVip = true;
  album.Clear();
  EXPECT_EQ(album.maxSizeImage, 1400);
}

TEST(AlbumXml, LocalPathTravelsWithForwardSlashes) {
  test::TempDir dir;
  CAlbum album;
  album.localPath = dir.Path().substr(0, dir.Path().size() - 1);
  const std::string xml = album.ToXml(false);
  CAlbum back;
  ASSERT_FALSE(back.FromXml(xml));  // albumID 0
  EXPECT_EQ(back.localPath, album.localPath);
  EXPECT_TRUE(back.localFolderExists);
  back.FromXml("<localPath>C:\\Photos\\Trip</localPath>");
  EXPECT_EQ(back.localPath, "C:/Photos/Trip");
  EXPECT_FALSE(back.localFolderExists);
}

TEST(AlbumRecord, ClearKeepsAddressesAndDates) {
  AlbumEnvironment env;
  env.signedIn = true;
  env.defaultWatermark = true;
  CAlbum album(env);
  EXPECT_TRUE(album.defaultWatermark);
  album.name = "x";
  album.albumID = 3;
  album.photosUrl = "http://p/";
  album.createDate = "2010-01-01";
  album.albumVisible = false;
  album.itemLimit = 5000;
  album.modified = true;
  album.coverSmall.state = kCoverFailed;
  AddItem(album, "a.jpg");
  album.Clear();
  EXPECT_TRUE(album.name.empty());
  EXPECT_EQ(album.albumID, 0);
  EXPECT_TRUE(album.albumVisible);
  EXPECT_EQ(album.itemLimit, 1000);
  EXPECT_FALSE(album.modified);
  EXPECT_TRUE(album.items.empty());
  EXPECT_EQ(album.coverSmall.state, kCoverNotLoaded);
  EXPECT_EQ(album.photosUrl, "http://p/");
  EXPECT_EQ(album.createDate, "2010-01-01");
  EXPECT_EQ(album.maxSizeThumb, 100);
}

TEST(AlbumRecord, CopyTakesPropertiesButNoItems) {
  CAlbum album;
  album.name = "Original";
  album.coverLarge.state = kCoverDownloaded;
  AddItem(album, "a.jpg");
  CAlbum copy(album);
  EXPECT_EQ(copy.name, "Original");
  EXPECT_EQ(copy.coverLarge.state, kCoverDownloaded);
  EXPECT_TRUE(copy.items.empty());
  CAlbum assigned;
  AddItem(assigned, "mine.jpg");
  assigned = album;
  EXPECT_EQ(assigned.name, "Original");
  ASSERT_EQ(assigned.items.size(), 1u);  // its own items stay
  EXPECT_EQ(assigned.items[0]->fileName, "mine.jpg");
  CAlbum moved(std::move(assigned));
  ASSERT_EQ(moved.items.size(), 1u);  // a move takes them along
}

TEST(AlbumRecord, RenumberAndDropOrphans) {
  CAlbum album;
  AddItem(album, "a.jpg");
  AddItem(album, "b.jpg", false);
  AddItem(album, "c.jpg");
  album.items[1]->index = 99;
  EXPECT_EQ(album.Renumber(true), 4);
  EXPECT_EQ(album.items[0]->index, 1);
  EXPECT_EQ(album.items[1]->index, 99);  // excluded: untouched, but counted
  EXPECT_EQ(album.items[2]->index, 3);
  album.items[1]->localFileAvailable = false;
  album.items[2]->localFileAvailable = false;  // included: stays
  album.DropOrphanItems();
  ASSERT_EQ(album.items.size(), 2u);
  EXPECT_EQ(album.items[1]->fileName, "c.jpg");
  EXPECT_EQ(album.items[1]->index, 2);
}

TEST(AlbumRecord, ChangedLocalFilesAreMarked) {
  test::TempDir dir;
  CAlbum album;
  CPhoto& same = AddItem(album, "same.jpg");
  same.localPath = dir.Write("same.jpg", "x");
  ASSERT_TRUE(test::SetModificationTime(same.localPath, 1000000));
  same.OriginalCode = 1000000 + 3600;
  CPhoto& changed = AddItem(album, "changed.jpg");
  changed.localPath = dir.Write("changed.jpg", "x");
  ASSERT_TRUE(test::SetModificationTime(changed.localPath, 2000000));
  changed.OriginalCode = 1000000;
  CPhoto& never = AddItem(album, "never.jpg");  // never prepared
  never.localPath = changed.localPath;
  CPhoto& excluded = AddItem(album, "excluded.jpg", false);
  excluded.localPath = changed.localPath;
  excluded.OriginalCode = 1;
  EXPECT_TRUE(album.MarkChangedItems());
  EXPECT_TRUE(album.modified);
  EXPECT_FALSE(same.needsUpload);
  EXPECT_TRUE(changed.needsUpload);
  EXPECT_FALSE(never.needsUpload);
  EXPECT_FALSE(excluded.needsUpload);
  CAlbum quiet;
  EXPECT_FALSE(quiet.MarkChangedItems());
  EXPECT_FALSE(quiet.modified);
}

TEST(AlbumRecord, FindByFileNameAndAddress) {
  CAlbum album;
  AddItem(album, "a.jpg");
  EXPECT_NE(album.FindItemByFileName("a.jpg"), nullptr);
  EXPECT_EQ(album.FindItemByFileName("A.jpg"), nullptr);
  EXPECT_EQ(album.AlbumUrl(), "");
  album.ownerName = "demo";
  album.serverDir = "Trip";
  EXPECT_EQ(album.AlbumUrl(), UserSiteUrl("demo") + "Trip");
}

TEST(ItemSort, InsertionKeepsEqualTextsInOrder) {
  CAlbum album;
  for (const char* name : {"b", "A", "c", "a"}) AddItem(album, name).name = name;
  album.items[1]->fileName = "first";
  album.items[3]->fileName = "second";
  ASSERT_TRUE(SortItems(album, kSortByName, true));
  std::vector<std::string> order;
  for (const auto& item : album.items) order.push_back(item->fileName);
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "b", "c"}));
  EXPECT_EQ(album.items[3]->index, 4);
  EXPECT_TRUE(album.modified);
  SortItems(album, kSortByName, false);
  EXPECT_EQ(album.items[0]->name, "c");
  EXPECT_EQ(album.items[2]->fileName, "first");  // equal texts keep their order
}

TEST(ItemSort, DatesFallBackToThePreparationTime) {
  CPhoto video;
  video.isVideo = true;
  video.video.dateTime = "2011-01-01 00:00:00";
  video.DateTime = "2000-01-01 00:00:00";
  EXPECT_EQ(ItemSortDate(video), "2011-01-01 00:00:00");
  CPhoto zero;
  zero.DateTime = "0000-00-00";
  EXPECT_EQ(ItemSortDate(zero), "");
  zero.OriginalCode = 1276590000;
  EXPECT_EQ(ItemSortDate(zero).size(), 19u);
  CPhoto early, late;
  early.DateTime = "2001-01-01";
  late.DateTime = "2002-01-01";
  EXPECT_GT(Compare(late, early, kSortByDate, false), 0);
  EXPECT_LT(Compare(late, early, kSortByDate, true), 0);
}

TEST(ItemSort, FileTimesNewestFirst) {
  test::TempDir dir;
  CAlbum album;
  int64_t t = 1000000;
  for (const char* name : {"old.jpg", "new.jpg", "mid.jpg"}) {
    CPhoto& item = AddItem(album, name);
    item.localPath = dir.Write(name, "x");
    ASSERT_TRUE(test::SetModificationTime(item.localPath, t));
    t += std::string(name) == "old.jpg" ? 2000 : -1000;
  }
  SortItems(album, kSortByFileTime, false);
  EXPECT_EQ(album.items[0]->fileName, "new.jpg");
  EXPECT_EQ(album.items[2]->fileName, "old.jpg");
  SortItems(album, 7, true);  // any other key sorts by file time too
  EXPECT_EQ(album.items[0]->fileName, "old.jpg");
}

}  // namespace
}  // namespace zerva
