// The video block protocol: begin, blocks checked by MD5, resume, end with assembly, cancel,
// original files, missing videos and the thumbnail position.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "server_test_util.h"

namespace zerva::test {
namespace {

constexpr size_t kBlock = 262144;

std::string Bytes(size_t n, int seed) {
  std::string s(n, '\0');
  uint32_t x = 2463534242u + static_cast<uint32_t>(seed);
  for (char& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return s;
}

struct Block {
  int index;
  std::string bytes;
  std::string Md5() const { return Md5Hex(bytes); }
  std::string Description() const {
    return " <block>\t <index>" + std::to_string(index) + "</index>\t <size>" +
           std::to_string(bytes.size()) + "</size>\t <md5>" + Md5() + "</md5> </block>";
  }
};

std::string List(const std::vector<Block>& blocks) {
  std::string out = "<blocks>";
  for (const Block& b : blocks) out += b.Description();
  return out + "</blocks>";
}

class VideosTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    album_ = CreateAlbum("Trip");
  }
  HttpReply Begin(const std::string& fileName, const std::string& directory = "Trip",
                  bool unknown = false, const std::string& user = "alice",
                  const std::string& pass = "secret") {
    Form f;
    f.Add("command", unknown ? "BeginUnkVideoUpload" : "BeginVideoUpload")
        .Add("fileName", fileName)
        .Add("userName", user)
        .Add("userPass", Digest(pass));
    if (!unknown) f.Add("directory", directory);
    return server_.Api("command.php", f.Eof());
  }
  int64_t BeginId(const std::string& fileName, bool unknown = false) {
    const HttpReply r = Begin(fileName, "Trip", unknown);
    EXPECT_TRUE(IsOk(r)) << r.body;
    return GetElementInt(Value(r), "uploadID");
  }
  HttpReply Next(int64_t id, const std::vector<Block>& described, const std::vector<Block>& sent,
                 bool unknown = false) {
    Form f;
    f.Add("command", unknown ? "NextUnkVideoUpload" : "NextVideoUpload")
        .Add("uploadID", id)
        .Add("userName", "alice")
        .Add("userPass", Digest("secret"))
        .Add("blocks", List(described));
    for (const Block& b : sent) f.AddFile("data" + std::to_string(b.index), "blk.tmp", b.bytes);
    return server_.Api("command.php", f.Eof());
  }
  std::vector<int> Confirmed(const HttpReply& r) {
    std::vector<int> out;
    for (const std::string& b : GetElements(GetElement(Value(r), "blocks"), "block"))
      out.push_back(static_cast<int>(GetElementInt(b, "index")));
    return out;
  }
  HttpReply End(int64_t id, const std::vector<Block>& blocks, const std::string& setting = "",
                bool unknown = false) {
    Form f;
    f.Add("command", unknown ? "EndUnkVideoUpload" : "EndVideoUpload")
        .Add("uploadID", id)
        .Add("userName", "alice")
        .Add("userPass", Digest("secret"))
        .Add("blocks", List(blocks))
        .Add("videoSetting", setting);
    return server_.Api("command.php", f.Eof());
  }
  // The video item's frame image, which creates its photo record.
  int64_t AddVideoItem(const std::string& fileName) {
    const HttpReply r =
        Upload(album_, "Trip/images", fileName, "frame", PhotoXml(fileName, "Clip", 1, "video"));
    EXPECT_TRUE(IsOk(r)) << r.body;
    return GetElementInt(Value(r), "photoID");
  }
  int64_t album_ = 0;
};

TEST_F(VideosTest, BlocksAreConfirmedAndAssembledInIndexOrder) {
  const int64_t photoId = AddVideoItem("clip.jpg");
  const std::vector<Block> blocks = {
      {0, Bytes(kBlock, 1)}, {1, Bytes(kBlock, 2)}, {2, Bytes(100, 3)}};
  const HttpReply begin = Begin("clip.jpg");
  ASSERT_TRUE(IsOk(begin)) << begin.body;
  const int64_t id = GetElementInt(Value(begin), "uploadID");
  EXPECT_GT(id, 0);
  EXPECT_TRUE(GetElements(GetElement(Value(begin), "blocks"), "block").empty());
  ASSERT_TRUE(server_.SetConfig("optimalNumThreads", "3"));
  ASSERT_TRUE(server_.SetConfig("optimumRequestTime", "1500"));
  // Sent out of order, over two requests.
  const HttpReply first = Next(id, {blocks[2], blocks[0]}, {blocks[2], blocks[0]});
  ASSERT_TRUE(IsOk(first)) << first.body;
  EXPECT_EQ(Confirmed(first), (std::vector<int>{2, 0}));
  EXPECT_EQ(GetElementInt(Value(first), "optimalNumThreads"), 3);
  EXPECT_EQ(GetElementInt(Value(first), "optimumRequestTime"), 1500);
  // A confirmed block carries the index, size and digest the client sent.
  const std::string echoed = GetElements(GetElement(Value(first), "blocks"), "block")[1];
  EXPECT_EQ(GetElement(echoed, "md5"), blocks[0].Md5());
  EXPECT_EQ(GetElementInt(echoed, "size"), static_cast<int64_t>(kBlock));
  EXPECT_EQ(Confirmed(Next(id, {blocks[1]}, {blocks[1]})), std::vector<int>{1});

  const std::string video =
      "<video> <dateTime>2024-07-01 10:00:00</dateTime> <thumbpos>2.5</thumbpos></video>\n";
  const HttpReply end = End(id, blocks, video);
  ASSERT_TRUE(IsOk(end)) << end.body;
  EXPECT_EQ(Confirmed(end), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(GetElementInt(Value(end), "fileSize"), static_cast<int64_t>(2 * kBlock + 100));
  EXPECT_EQ(GetElementInt(Value(end), "photoID"), photoId);

  // Served under videosUrl + photo identifier, listed in videoDir, and no longer missing.
  const HttpReply file =
      server_.Get("/Trip/video/" + std::to_string(photoId), server_.HostFor("alice"));
  EXPECT_EQ(file.status, 200);
  EXPECT_EQ(file.contentType, "video/mp4");
  EXPECT_EQ(file.body, blocks[0].bytes + blocks[1].bytes + blocks[2].bytes);
  Form listing;
  listing.Add("userID", aliceId_).Add("albumDirName", "Trip");
  const std::string videoDir = GetElement(Value(Alice("GetUploadedFiles", listing)), "videoDir");
  EXPECT_EQ(GetElementInt(videoDir, "photoID"), photoId);
  EXPECT_EQ(GetElementInt(videoDir, "fileSize"), static_cast<int64_t>(2 * kBlock + 100));
  Form missing;
  missing.Add("albumID", album_);
  EXPECT_TRUE(GetElements(Value(Alice("GetMissingVideos", missing)), "video").empty());
  // The video settings come back inside the photo.
  Form photos;
  photos.Add("userID", aliceId_).Add("albumID", album_);
  EXPECT_EQ(GetElement(GetElement(Value(Alice("GetAlbumPhotos", photos)), "video"), "thumbpos"),
            "2.5");
  // The upload is closed.
  EXPECT_EQ(ErrCode(Next(id, {blocks[1]}, {blocks[1]})), "4");
}

TEST_F(VideosTest, DamagedShortOrMissingBlocksAreNotConfirmed) {
  const int64_t id = BeginId("clip.jpg");
  const Block good{0, Bytes(1000, 1)};
  Block corrupt{1, Bytes(1000, 2)};
  const std::string described = corrupt.Description();
  corrupt.bytes[10] ^= 1;  // the digest no longer matches
  const Block shortened{2, Bytes(999, 3)};
  Block claimed = shortened;
  claimed.bytes += "x";  // described with 1000 bytes, sent with 999
  const Block absent{3, Bytes(10, 4)};
  Form f;
  f.Add("command", "NextVideoUpload")
      .Add("uploadID", id)
      .Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("blocks", "<blocks>" + good.Description() + described + claimed.Description() +
                         absent.Description() + "</blocks>")
      .AddFile("data0", "b", good.bytes)
      .AddFile("data1", "b", corrupt.bytes)
      .AddFile("data2", "b", shortened.bytes)
      .Eof();
  const HttpReply r = server_.Api("command.php", f);
  ASSERT_TRUE(IsOk(r)) << r.body;
  EXPECT_EQ(Confirmed(r), std::vector<int>{0});
  // Only the intact block is held when the same file is begun again.
  const std::vector<std::string> held =
      GetElements(GetElement(Value(Begin("clip.jpg")), "blocks"), "block");
  ASSERT_EQ(held.size(), 1u);
  EXPECT_EQ(GetElementInt(held[0], "index"), 0);
}

TEST_F(VideosTest, AnInterruptedUploadResumesWithTheBlocksAlreadyHeld) {
  const std::vector<Block> blocks = {
      {0, Bytes(kBlock, 5)}, {1, Bytes(kBlock, 6)}, {2, Bytes(7, 7)}};
  const int64_t first = BeginId("clip.jpg");
  ASSERT_EQ(Confirmed(Next(first, {blocks[0], blocks[1]}, {blocks[0], blocks[1]})),
            (std::vector<int>{0, 1}));
  // The connection broke; a new upload of the same file in the same directory begins.
  const HttpReply again = Begin("clip.jpg");
  const int64_t second = GetElementInt(Value(again), "uploadID");
  EXPECT_NE(second, first);
  std::map<int64_t, std::string> held;
  for (const std::string& b : GetElements(GetElement(Value(again), "blocks"), "block"))
    held[GetElementInt(b, "index")] = GetElement(b, "md5");
  EXPECT_EQ(held, (std::map<int64_t, std::string>{{0, blocks[0].Md5()}, {1, blocks[1].Md5()}}));
  // Another file name or another album starts empty.
  EXPECT_TRUE(GetElements(GetElement(Value(Begin("other.jpg")), "blocks"), "block").empty());
  ASSERT_EQ(Confirmed(Next(second, {blocks[2]}, {blocks[2]})), std::vector<int>{2});
  const HttpReply end = End(second, blocks);
  ASSERT_TRUE(IsOk(end)) << end.body;
  EXPECT_EQ(GetElementInt(Value(end), "fileSize"), static_cast<int64_t>(2 * kBlock + 7));
}

TEST_F(VideosTest, HeaderBlockSentAgainReplacesTheFirstVersion) {
  // Converting while uploading: block 0 goes out as the first 48 bytes, later blocks follow
  // from byte 48 on, and block 0 is sent again once ffmpeg has finished the header.
  const int64_t photoId = AddVideoItem("clip.jpg");
  const int64_t id = BeginId("clip.jpg");
  const Block early{0, Bytes(48, 8)};
  const Block body{1, Bytes(5000, 9)};
  const Block final{0, Bytes(48, 10)};
  ASSERT_EQ(Confirmed(Next(id, {early}, {early})), std::vector<int>{0});
  ASSERT_EQ(Confirmed(Next(id, {body}, {body})), std::vector<int>{1});
  ASSERT_EQ(Confirmed(Next(id, {final}, {final})), std::vector<int>{0});
  const HttpReply end = End(id, {final, body});
  ASSERT_TRUE(IsOk(end)) << end.body;
  EXPECT_EQ(server_.Get("/Trip/video/" + std::to_string(photoId), server_.HostFor("alice")).body,
            final.bytes + body.bytes);
  // Naming the replaced first version is a mismatch.
  const int64_t next = BeginId("clip.jpg");
  Next(next, {early}, {early});
  EXPECT_EQ(ErrCode(End(next, {final, body})), "4");
}

TEST_F(VideosTest, EndRefusesGapsAndUnheldBlocksAndKeepsTheUploadOpen) {
  const std::vector<Block> blocks = {{0, Bytes(100, 1)}, {1, Bytes(100, 2)}, {2, Bytes(100, 3)}};
  const int64_t id = BeginId("clip.jpg");
  Next(id, {blocks[0], blocks[2]}, {blocks[0], blocks[2]});
  EXPECT_EQ(ErrCode(End(id, {blocks[0], blocks[2]})), "4");  // a gap at 1
  EXPECT_EQ(ErrCode(End(id, blocks)), "4");                  // 1 never arrived
  Block wrong = blocks[0];
  wrong.bytes[0] ^= 1;
  EXPECT_EQ(ErrCode(End(id, {wrong})), "4");
  ASSERT_EQ(Confirmed(Next(id, {blocks[1]}, {blocks[1]})), std::vector<int>{1});
  EXPECT_TRUE(IsOk(End(id, blocks)));
  EXPECT_EQ(GetElement(End(id, {}).body, "result"), "ERROR");
}

TEST_F(VideosTest, CancelDropsTheBlocks) {
  const Block b{0, Bytes(100, 1)};
  const int64_t id = BeginId("clip.jpg");
  Next(id, {b}, {b});
  Form f;
  f.Add("command", "CancelVideoUpload")
      .Add("uploadID", id)
      .Add("userName", "alice")
      .Add("userPass", Digest("secret"));
  EXPECT_TRUE(IsOk(server_.Api("command.php", f.Eof())));
  EXPECT_EQ(ErrCode(Next(id, {b}, {b})), "4");
  EXPECT_TRUE(GetElements(GetElement(Value(Begin("clip.jpg")), "blocks"), "block").empty());
}

TEST_F(VideosTest, OriginalFilesUseTheUnknownCommandsAndKeepOnlyTheFileName) {
  Form accept;
  accept.Add("command", "AcceptUnkVideoUpload")
      .Add("fileSize", 300)
      .Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("reason", "encoder");
  const HttpReply yes = server_.Api("command.php", accept.Eof());
  ASSERT_TRUE(IsOk(yes));
  EXPECT_EQ(GetElement(Value(yes), "continue"), "yes");
  Form empty;
  empty.Add("command", "AcceptUnkVideoUpload")
      .Add("fileSize", 0)
      .Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("reason", "explicit");
  EXPECT_EQ(GetElement(Value(server_.Api("command.php", empty.Eof())), "continue"), "no");

  const HttpReply begin = Begin("C:\\Users\\alice\\Videos\\my clip.avi", "", true);
  ASSERT_TRUE(IsOk(begin)) << begin.body;
  const int64_t id = GetElementInt(Value(begin), "uploadID");
  const Block b{0, Bytes(300, 4)};
  // The known-video commands do not touch an original's upload, nor the other way round.
  EXPECT_EQ(ErrCode(Next(id, {b}, {b}, false)), "4");
  ASSERT_EQ(Confirmed(Next(id, {b}, {b}, true)), std::vector<int>{0});
  const HttpReply end = End(id, {b}, "", true);
  ASSERT_TRUE(IsOk(end)) << end.body;
  EXPECT_EQ(GetElementInt(Value(end), "fileSize"), 300);
  const std::string stored = server_.DataDir() + "data/originals/" + std::to_string(aliceId_) + "/";
  bool found = false;
  for (const auto& e : std::filesystem::directory_iterator(stored)) {
    found = e.path().filename().string().find("my_clip.avi") != std::string::npos;
    EXPECT_EQ(ReadWholeFile(e.path().string()), b.bytes);
  }
  EXPECT_TRUE(found);
}

TEST_F(VideosTest, UploadsBelongToTheirOwner) {
  ASSERT_GT(server_.CreateUser("mallory", "mallory@example.com", "evil"), 0);
  const int64_t id = BeginId("clip.jpg");
  const Block b{0, Bytes(100, 1)};
  Form f;
  f.Add("command", "NextVideoUpload")
      .Add("uploadID", id)
      .Add("userName", "mallory")
      .Add("userPass", Digest("evil"))
      .Add("blocks", List({b}))
      .AddFile("data0", "b", b.bytes);
  EXPECT_EQ(ErrCode(server_.Api("command.php", f.Eof())), "4");
  // Nor can another user begin an upload into Alice's album.
  EXPECT_EQ(ErrCode(Begin("clip.jpg", "Trip", false, "mallory", "evil")), "4");
  EXPECT_EQ(ErrCode(Begin("clip.jpg", "../Trip")), "5");
  EXPECT_EQ(ErrCode(Begin("../clip.jpg")), "5");
}

TEST_F(VideosTest, MissingVideosAndThumbnailPosition) {
  const int64_t clip = AddVideoItem("clip.jpg");
  const int64_t photo = GetElementInt(
      Value(Upload(album_, "Trip/images", "p.jpg", "x", PhotoXml("p.jpg", "P", 2))), "photoID");
  Form missing;
  missing.Add("albumID", album_);
  const std::string v = Value(Alice("GetMissingVideos", missing));
  const std::vector<std::string> videos = GetElements(GetElement(v, "missingVideos"), "video");
  ASSERT_EQ(videos.size(), 1u);
  EXPECT_EQ(GetElement(videos[0], "fileName"), "clip.jpg");

  // The video's settings arrive with its upload; the position then changes alone.
  const Block b{0, Bytes(100, 1)};
  const int64_t id = BeginId("clip.jpg");
  Next(id, {b}, {b});
  ASSERT_TRUE(
      IsOk(End(id, {b}, "<video> <thumbpos>1.0</thumbpos> <duration>9.0</duration></video>\n")));
  Form pos;
  pos.Add("photoID", clip).Add("thumbPos", "4.5");
  EXPECT_TRUE(IsOk(Alice("SetVideoThumbPos", pos)));
  Form photos;
  photos.Add("userID", aliceId_).Add("albumID", album_);
  const std::string video = GetElement(Value(Alice("GetAlbumPhotos", photos)), "video");
  EXPECT_EQ(GetElement(video, "thumbpos"), "4.5");
  EXPECT_EQ(GetElement(video, "duration"), "9.0");
  Form notVideo;
  notVideo.Add("photoID", photo).Add("thumbPos", "1.0");
  EXPECT_EQ(ErrCode(Alice("SetVideoThumbPos", notVideo)), "3");
  Form bad;
  bad.Add("photoID", clip).Add("thumbPos", "soon");
  EXPECT_EQ(ErrCode(Alice("SetVideoThumbPos", bad)), "3");
  Form unknown;
  unknown.Add("photoID", clip + 1000).Add("thumbPos", "1.0");
  EXPECT_EQ(ErrCode(Alice("SetVideoThumbPos", unknown)), "4");
}

TEST_F(VideosTest, RefusedBlockDigestIsNotConfirmedUntilSentAgain) {
  const Block b{0, Bytes(500, 3)};
  ASSERT_TRUE(server_.RefuseBlock(b.Md5(), 1));
  const int64_t id = BeginId("clip.jpg");
  EXPECT_TRUE(Confirmed(Next(id, {b}, {b})).empty());
  EXPECT_EQ(Confirmed(Next(id, {b}, {b})), std::vector<int>{0});
}

}  // namespace
}  // namespace zerva::test
