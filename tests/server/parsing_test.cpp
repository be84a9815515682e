// The server's pure pieces: form decoding, name checks, block lists, host routing.
#include <gtest/gtest.h>

#include "server/album_xml.h"
#include "server/form_parser.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/router.h"
#include "server/video_blocks.h"

namespace zerva::server {
namespace {

TEST(FormParser, DecodesInOrderAndKeepsOddEscapes) {
  std::vector<FormField> fields;
  std::string error;
  ASSERT_TRUE(ParseUrlEncoded("b=2&a=x%3Cy%3E+z&empty=&novalue&&a=again&eof=1", &fields, &error));
  ASSERT_EQ(fields.size(), 6u);
  EXPECT_EQ(fields[0].name, "b");
  EXPECT_EQ(fields[1].value, "x<y> z");
  EXPECT_EQ(fields[2].value, "");
  EXPECT_EQ(fields[3].name, "novalue");
  EXPECT_EQ(fields[4].value, "again");
  EXPECT_EQ(fields[5].name, "eof");
  EXPECT_EQ(PercentDecode("100%"), "100%");
  EXPECT_EQ(PercentDecode("%zz%4"), "%zz%4");
  EXPECT_EQ(PercentDecode("%00a"), std::string("\0a", 2));
  EXPECT_EQ(PercentEncode("a b/ü"), "a%20b%2F%C3%BC");
}

TEST(FormParser, RefusesTooManyFieldsAndLongNames) {
  std::string body;
  for (size_t i = 0; i <= kMaxFields; ++i) body += "f=1&";
  std::vector<FormField> fields;
  std::string error;
  EXPECT_FALSE(ParseUrlEncoded(body, &fields, &error));
  EXPECT_TRUE(fields.empty());
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(ParseUrlEncoded(std::string(kMaxFieldNameBytes + 1, 'n') + "=1", &fields, &error));
  // A query string is cut off instead of refused.
  EXPECT_EQ(ParseQuery("a=1&b=%41").size(), 2u);
  EXPECT_EQ(ParseQuery("a=1&b=%41")[1].second, "A");
}

TEST(Names, SafeNamesStayInsideTheirFolder) {
  for (const char* ok : {"Summer_2024", "IMG_1.jpg", "a,b-c.d", ".hidden", "..a"}) {
    EXPECT_TRUE(IsSafeName(ok)) << ok;
  }
  for (const char* bad :
       {"", ".", "..", "../x", "a/b", "a\\b", "/etc", "C:", "a b", "x\n", "\xc3\xa1", "a%2e"}) {
    EXPECT_FALSE(IsSafeName(bad)) << bad;
  }
  EXPECT_FALSE(IsSafeName(std::string(256, 'a')));
  EXPECT_TRUE(IsSafeName(std::string(255, 'a')));
}

TEST(Names, UploadDirectoryIsAlbumAndKnownSubFolder) {
  std::string dir, sub;
  EXPECT_TRUE(SplitUploadDirectory("Summer/images", &dir, &sub));
  EXPECT_EQ(dir, "Summer");
  EXPECT_EQ(sub, "images");
  for (const char* bad : {"Summer", "Summer/", "Summer/video", "Summer/images/x", "../images",
                          "/images", "Summer\\images", "Summer/thumb/..", "./thumb"}) {
    EXPECT_FALSE(SplitUploadDirectory(bad, &dir, &sub)) << bad;
  }
}

TEST(Names, ClientPathsAndOriginalNames) {
  EXPECT_EQ(LastPathComponent("C:\\Users\\me\\clip.avi"), "clip.avi");
  EXPECT_EQ(LastPathComponent("/home/me/clip.mov"), "clip.mov");
  EXPECT_EQ(LastPathComponent("plain"), "plain");
  EXPECT_EQ(SafeFileNameFrom("m\xc3\xa1j klip.avi"), "m__j_klip.avi");
  EXPECT_EQ(SafeFileNameFrom(".."), "video");
  EXPECT_EQ(SafeFileNameFrom(""), "video");
  EXPECT_EQ(SafeFileNameFrom(std::string(300, 'x')).size(), 200u);
}

TEST(Names, NicksEmailsDigestsPasswords) {
  EXPECT_EQ(CheckNick("alice-2"), NickCheck::kOk);
  EXPECT_EQ(CheckNick(""), NickCheck::kEmpty);
  EXPECT_EQ(CheckNick("a_b"), NickCheck::kFormat);
  EXPECT_EQ(CheckNick("-ab"), NickCheck::kFormat);
  EXPECT_EQ(CheckNick("a.b"), NickCheck::kFormat);
  EXPECT_EQ(CheckNick(std::string(25, 'a')), NickCheck::kOk);
  EXPECT_EQ(CheckNick(std::string(26, 'a')), NickCheck::kFormat);
  EXPECT_EQ(CheckNick("Download"), NickCheck::kReserved);
  EXPECT_TRUE(IsValidEmail("a.b@example.cz"));
  for (const char* bad : {"ab@cd", "@example.com", "a@.com", "a@b.c", "a b@example.com",
                          "a@b@example.com", "a<b@example.com", "a@example..com"}) {
    EXPECT_FALSE(IsValidEmail(bad)) << bad;
  }
  EXPECT_TRUE(IsMd5Hex("0123456789abcdefABCDEF0123456789"));
  EXPECT_FALSE(IsMd5Hex("0123456789abcdef0123456789abcde"));
  EXPECT_FALSE(IsMd5Hex("g123456789abcdef0123456789abcdef"));
  EXPECT_TRUE(IsAcceptablePassword("p\xc5\x99\xc3\xadli\xc5\xa1 ~"));
  EXPECT_FALSE(IsAcceptablePassword("a\x7f"));
  long long n = 0;
  EXPECT_TRUE(ParseInt64("+42", &n));
  EXPECT_EQ(n, 42);
  EXPECT_FALSE(ParseInt64("42x", &n));
  EXPECT_FALSE(ParseInt64("99999999999999999999", &n));
}

TEST(VideoBlocks, ParsesTheClientsDescriptions) {
  const std::string md5 = "0123456789abcdef0123456789abcdef";
  const BlockInfo block{3, 262144, md5};
  const std::string element = BlockElement(block);
  EXPECT_EQ(element,
            " <block>\t <index>3</index>\t <size>262144</size>\t <md5>" + md5 + "</md5> </block>");
  std::vector<BlockInfo> list;
  ASSERT_TRUE(ParseBlockList(BlockListXml({block, {0, 48, md5}}), &list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].index, 0);
  EXPECT_EQ(list[1].size, 48);
  // Upper-case digests are the same digest.
  auto upper =
      ParseBlock("<index>1</index><size>1</size><md5>0123456789ABCDEF0123456789ABCDEF</md5>");
  ASSERT_TRUE(upper);
  EXPECT_EQ(upper->md5, md5);
}

TEST(VideoBlocks, RefusesIncompleteOversizedAndRepeatedBlocks) {
  const std::string md5 = "<md5>0123456789abcdef0123456789abcdef</md5>";
  EXPECT_FALSE(ParseBlock("<index>1</index>" + md5));
  EXPECT_FALSE(ParseBlock("<index></index><size>1</size>" + md5));
  EXPECT_FALSE(ParseBlock("<index>-1</index><size>1</size>" + md5));
  EXPECT_FALSE(ParseBlock("<index>1</index><size>262145</size>" + md5));
  EXPECT_FALSE(
      ParseBlock("<index>" + std::to_string(kMaxVideoBlocks) + "</index><size>1</size>" + md5));
  EXPECT_FALSE(ParseBlock("<index>1</index><size>1</size><md5>xyz</md5>"));
  std::vector<BlockInfo> list;
  const std::string one = "<block><index>1</index><size>1</size>" + md5 + "</block>";
  EXPECT_FALSE(ParseBlockList("<blocks>" + one + one + "</blocks>", &list));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(ParseBlockList("<blocks></blocks>", &list));
  EXPECT_TRUE(list.empty());
}

TEST(Hosts, RootsFollowTheHostName) {
  const std::string d = "zerva.localhost";
  EXPECT_EQ(ClassifyHost("www.zerva.localhost", d).roots, std::vector<Root>{Root::kService});
  EXPECT_EQ(ClassifyHost("zerva.localhost", d).roots, std::vector<Root>{Root::kService});
  EXPECT_EQ(ClassifyHost("api.zerva.localhost", d).roots, std::vector<Root>{Root::kUpload});
  EXPECT_EQ(ClassifyHost("download.zerva.localhost", d).roots, std::vector<Root>{Root::kDownload});
  EXPECT_EQ(ClassifyHost("alba.zerva.localhost", d).roots, std::vector<Root>{Root::kCategories});
  const HostInfo user = ClassifyHost("alice.zerva.localhost", d);
  EXPECT_EQ(user.roots, std::vector<Root>{Root::kUserSite});
  EXPECT_EQ(user.user, "alice");
  // Deeper names are no user's site; plain addresses serve both upload and service roots.
  EXPECT_EQ(ClassifyHost("a.b.zerva.localhost", d).roots,
            (std::vector<Root>{Root::kUpload, Root::kService}));
  EXPECT_EQ(ClassifyHost("127.0.0.1", d).roots, (std::vector<Root>{Root::kUpload, Root::kService}));
  EXPECT_EQ(ClassifyHost("", d).roots, (std::vector<Root>{Root::kUpload, Root::kService}));
}

TEST(AlbumXml, SetElementContentReplacesOrAdds) {
  EXPECT_EQ(SetElementContent("\t<photoID>-1</photoID>\t<name>x</name>", "photoID", "7"),
            "\t<photoID>7</photoID>\t<name>x</name>");
  EXPECT_EQ(SetElementContent("<name>x</name>", "photoID", "7"),
            "\t<photoID>7</photoID><name>x</name>");
  EXPECT_EQ(SetElementContent("<photoID>unclosed", "photoID", "7"),
            "\t<photoID>7</photoID><photoID>unclosed");
}

}  // namespace
}  // namespace zerva::server
