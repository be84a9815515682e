// zerva-cli uploading to zerva-server, both as real processes: a new album arrives complete and
// verified, upright and dated from its EXIF; a second run sends nothing; a touched file sends only
// its item again; a thumbnail answered with a wrong size is sent again alone; bursts of 500 and
// "retry" answers are absorbed; a run killed in the middle is completed by the next; a photo that
// left the folder leaves the service only when the user says so.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "app/elements.h"
#include "app/text_utils.h"
#include "cli/cli_status.h"
#include "cli_runner.h"
#include "core/media/item_fixtures.h"
#include "media/image_load.h"
#include "model/exif_reader.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "platform/tools.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;
using zerva::cli::kExitFailed;
using zerva::cli::kExitOk;

class UploadE2eTest : public SharedServerTest {
 protected:
  void SetUp() override {
    SharedServerTest::SetUp();
    cli_ = std::make_unique<CliInstall>(Server().UploadRoot());
    userId_ = Server().CreateTestUser("e2e", &user_);
    ASSERT_GT(userId_, 0);
    Server().ClearLog();
  }

  // Camera-like photos p1.jpg, p2.jpg ... in the folder.
  void AddPhotos(int count) {
    for (int i = 1; i <= count; ++i) {
      PhotoFile(folder_, "p" + std::to_string(i) + ".jpg", 320, 240, 90, i);
    }
  }
  std::string Folder() const { return TrimEndChars(folder_.Path(), "/"); }

  std::vector<std::string> WithUser(std::vector<std::string> args) const {
    args.insert(args.begin(), {"-usr", user_, "-pwd", "secret"});
    return args;
  }
  CliRun Upload(std::vector<std::string> options = {}) const {
    std::vector<std::string> args = {"upload", Folder()};
    args.insert(args.end(), options.begin(), options.end());
    return cli_->Run(WithUser(args));
  }
  // The same run as a child process of our own, for a test that needs its process id.
  pid_t StartUpload(const std::vector<std::string>& options, const std::string& log) const {
    std::vector<std::string> args = WithUser({"upload", Folder()});
    args.insert(args.end(), options.begin(), options.end());
    return cli_->Start(args, log);
  }

  std::vector<std::string> Albums() const {
    const HttpReply reply =
        Server().Command("GetAlbums", user_, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    return GetElements(GetElement(reply.body, "value"), "album");
  }
  std::string OnlyAlbum() const {
    const std::vector<std::string> albums = Albums();
    EXPECT_EQ(albums.size(), 1u);
    return albums.empty() ? std::string() : albums[0];
  }
  std::vector<std::string> PhotoNames(const std::string& album) const {
    const HttpReply reply = Server().Command(
        "GetAlbumPhotos", user_, Md5Hex("secret"),
        Form().Add("userID", userId_).Add("albumID", GetElement(album, "albumID")));
    std::vector<std::string> names;
    for (const std::string& photo : GetElements(GetElement(reply.body, "value"), "photo")) {
      names.push_back(GetElement(photo, "fileName"));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // The files the service stores in one directory of the album.
  std::string StoredPath(const std::string& serverDir, const std::string& sub) const {
    return Server().DataDir() + "data/files/" + std::to_string(userId_) + "/" + serverDir + "/" +
           sub;
  }
  std::vector<std::string> Stored(const std::string& serverDir, const std::string& sub) const {
    const std::string path = StoredPath(serverDir, sub);
    return DirectoryExists(path) ? FolderNames(path) : std::vector<std::string>();
  }
  // "dir/sub:file" of every upload since the log was cleared.
  std::vector<std::string> Sent() const {
    std::vector<std::string> sent;
    for (const LoggedRequest& r : Server().LogOf("upload.php")) {
      const LoggedField* file = r.Find("soubor");
      sent.push_back(r.Field("directory") + ":" + (file ? file->fileName : std::string()));
    }
    return sent;
  }
  static std::vector<std::string> Names(std::initializer_list<const char*> names) {
    return std::vector<std::string>(names.begin(), names.end());
  }
  bool WaitForUploads(size_t count, std::chrono::seconds limit = 120s) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Server().LogOf("upload.php").size() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  }

  std::unique_ptr<CliInstall> cli_;
  std::string user_;
  int64_t userId_ = 0;
  TempDir folder_;
};

TEST_F(UploadE2eTest, ANewAlbumArrivesCompleteUprightDatedAndVerified) {
  const std::string samples = std::string(ZERVA_SOURCE_DIR) + "/resources/sample-album/";
  const std::vector<std::string> photos =
      Names({"evening.jpg", "harbour.jpg", "lighthouse.jpg", "meadow.jpg"});
  for (const std::string& name : photos) {
    std::filesystem::copy_file(samples + name, folder_.File(name));
  }
  const CliRun run = Upload({"--name", "Summer 2023"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "http://" + user_ + "." + Server().UploadRoot() + "Summer_2023\n");
  // Without a terminal the progress comes as plain lines, ending full.
  EXPECT_NE(run.err.find("Preparing 4 photos"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\nprogress 100% elapsed "), std::string::npos) << run.err;

  EXPECT_EQ(Stored("Summer_2023", "images"), photos);
  EXPECT_EQ(Stored("Summer_2023", "thumb"), photos);
  // What arrived is what was sent, and the check came after the last file.
  const std::vector<LoggedRequest> log = Server().Log();
  size_t lastUpload = 0, listing = 0, cleared = 0;
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i].Script() == "upload.php") {
      lastUpload = i;
      const LoggedField* file = log[i].Find("soubor");
      ASSERT_NE(file, nullptr);
      const std::string sub = log[i].Field("directory").substr(std::string("Summer_2023/").size());
      EXPECT_EQ(FileSize(StoredPath("Summer_2023", sub) + "/" + file->fileName), file->size);
    }
    if (log[i].Command() == "GetUploadedFiles") listing = i;
    if (log[i].Command() == "SetAlbumUploading") {
      cleared = i;
      EXPECT_EQ(log[i].Field("uploading"), "0");
    }
  }
  EXPECT_LT(lastUpload, listing);
  EXPECT_LT(listing, cleared);

  const std::string album = OnlyAlbum();
  EXPECT_EQ(GetElement(album, "name"), "Summer 2023");
  EXPECT_EQ(GetElement(album, "uploading"), "0");
  EXPECT_EQ(GetElement(album, "startDateInterval"), "2023-07-01 09:12:00");
  EXPECT_EQ(GetElement(album, "endDateInterval"), "2023-07-07 21:30:00");
  EXPECT_EQ(GetElement(album, "localPath"), std::filesystem::canonical(Folder()).string());
  EXPECT_EQ(PhotoNames(album), photos);

  // Shot with the camera turned: it arrives upright, and its orientation tag says so.
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(StoredPath("Summer_2023", "images") + "/lighthouse.jpg", &size));
  EXPECT_EQ(size, (PixelSize{900, 1200}));
  ASSERT_TRUE(ReadImageSize(StoredPath("Summer_2023", "thumb") + "/lighthouse.jpg", &size));
  EXPECT_EQ(size, (PixelSize{75, 100}));
  CPhoto sent;
  sent.localPath = StoredPath("Summer_2023", "images") + "/lighthouse.jpg";
  std::lock_guard<std::mutex> lock(sent.lock);
  ASSERT_TRUE(ReadExifMetadata(sent));
  EXPECT_EQ(sent.exifInfo.orientation, 1);
}

TEST_F(UploadE2eTest, ASecondRunSendsNothingAndATouchedFileOnlyItsItem) {
  AddPhotos(3);
  ASSERT_EQ(Upload().status, kExitOk);
  const std::string dir = GetElement(OnlyAlbum(), "serverDir");

  Server().ClearLog();
  const CliRun again = Upload({"--no"});
  EXPECT_EQ(again.status, kExitOk) << again.err;
  EXPECT_NE(again.err.find("up to date"), std::string::npos) << again.err;
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(Server().LogOf("EmptyAlbum").empty());
  EXPECT_TRUE(Server().LogOf("CreateAlbum").empty());

  const std::string touched = folder_.File("p2.jpg");
  std::filesystem::last_write_time(touched, std::filesystem::last_write_time(touched) + 100s);
  Server().ClearLog();
  const CliRun changed = Upload();
  EXPECT_EQ(changed.status, kExitOk) << changed.err;
  EXPECT_EQ(Sent(), (std::vector<std::string>{dir + "/images:p2.jpg", dir + "/thumb:p2.jpg"}));
  EXPECT_EQ(GetElement(OnlyAlbum(), "uploading"), "0");
}

TEST_F(UploadE2eTest, AThumbnailAnsweredWithAWrongSizeIsSentAgainAlone) {
  AddPhotos(2);
  // Pauses between uploads leave room to order the fault for the second one.
  ASSERT_TRUE(Server().SetConfig("uploadDelay", "1500"));
  CliRun run;
  std::thread upload([&] { run = Upload({"--yes"}); });
  const bool started = WaitForUploads(1);
  if (started) Server().InjectFault("upload.php", "wrongFileSize", 1);
  upload.join();
  ASSERT_TRUE(started);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::string dir = GetElement(OnlyAlbum(), "serverDir");
  EXPECT_EQ(Sent(), (std::vector<std::string>{dir + "/images:p1.jpg", dir + "/thumb:p1.jpg",
                                              dir + "/images:p2.jpg", dir + "/thumb:p2.jpg",
                                              dir + "/thumb:p1.jpg"}));
  EXPECT_EQ(Server().LogOf("GetUploadedFiles").size(), 2u);
}

TEST_F(UploadE2eTest, BurstsOfFailuresAndRetryAnswersAreAbsorbed) {
  AddPhotos(2);
  Server().InjectFault("CreateAlbum", "500", 2);
  Server().InjectFault("EmptyAlbum", "retry", 2);
  // More than one transfer tries: the first file fails and is sent again by the retry.
  Server().InjectFault("upload.php", "500", 7);
  Server().InjectFault("GetUploadedFiles", "retry", 1);
  Server().InjectFault("SetAlbumUploading", "500", 1);
  const CliRun run = Upload({"--yes"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::string album = OnlyAlbum();
  const std::string dir = GetElement(album, "serverDir");
  EXPECT_EQ(Stored(dir, "images"), Names({"p1.jpg", "p2.jpg"}));
  EXPECT_EQ(Stored(dir, "thumb"), Names({"p1.jpg", "p2.jpg"}));
  EXPECT_EQ(GetElement(album, "uploading"), "0");
}

TEST_F(UploadE2eTest, ARunKilledInTheMiddleIsCompletedByTheNext) {
  AddPhotos(6);
  ASSERT_TRUE(Server().SetConfig("uploadDelay", "400"));
  const pid_t pid = StartUpload({"--no"}, cli_->Home().Path() + "killed.log");
  ASSERT_GT(pid, 0);
  const bool midway = WaitForUploads(5);
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(midway) << ReadWholeFile(cli_->Home().Path() + "killed.log");
  ASSERT_TRUE(WIFSIGNALED(status));

  const std::string interrupted = OnlyAlbum();
  EXPECT_EQ(GetElement(interrupted, "uploading"), "1");
  const std::string dir = GetElement(interrupted, "serverDir");
  // Items whose two files both arrived before the kill are complete on the service.
  std::set<std::string> complete;
  std::map<std::string, int> arrived;
  for (const LoggedRequest& r : Server().LogOf("upload.php")) {
    const LoggedField* file = r.Find("soubor");
    if (file != nullptr && r.status == 200 && ++arrived[file->fileName] == 2) {
      complete.insert(dir + "/images:" + file->fileName);
    }
  }

  ASSERT_TRUE(Server().SetConfig("uploadDelay", "0"));
  Server().ClearLog();
  const CliRun resumed = Upload();
  ASSERT_EQ(resumed.status, kExitOk) << resumed.err;
  for (const std::string& sent : Sent()) EXPECT_FALSE(complete.count(sent)) << sent;

  const std::string album = OnlyAlbum();  // no second album
  EXPECT_EQ(GetElement(album, "albumID"), GetElement(interrupted, "albumID"));
  EXPECT_EQ(GetElement(album, "uploading"), "0");
  const std::vector<std::string> all =
      Names({"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg"});
  EXPECT_EQ(Stored(dir, "images"), all);
  EXPECT_EQ(Stored(dir, "thumb"), all);
  EXPECT_EQ(PhotoNames(album), all) << "every photo once";
}

TEST_F(UploadE2eTest, APhotoGoneFromTheFolderLeavesTheServiceOnlyWhenConfirmed) {
  AddPhotos(3);
  ASSERT_EQ(Upload().status, kExitOk);
  const std::string dir = GetElement(OnlyAlbum(), "serverDir");
  std::filesystem::remove(folder_.File("p2.jpg"));

  const CliRun kept = Upload({"--no"});
  EXPECT_EQ(kept.status, kExitOk) << kept.err;
  EXPECT_EQ(Stored(dir, "images"), Names({"p1.jpg", "p2.jpg", "p3.jpg"}));

  Server().ClearLog();
  const CliRun confirmed = Upload({"--yes"});
  EXPECT_EQ(confirmed.status, kExitOk) << confirmed.err;
  EXPECT_TRUE(Sent().empty()) << "nothing else is sent";
  EXPECT_EQ(Server().LogOf("EmptyAlbum").size(), 1u);
  EXPECT_EQ(Stored(dir, "images"), Names({"p1.jpg", "p3.jpg"}));
  EXPECT_EQ(Stored(dir, "thumb"), Names({"p1.jpg", "p3.jpg"}));
  EXPECT_EQ(PhotoNames(OnlyAlbum()), Names({"p1.jpg", "p3.jpg"}));
}

TEST_F(UploadE2eTest, TheUnattendedUploadNamesTheAlbumFromTheLabel) {
  AddPhotos(2);
  const CliRun run =
      cli_->Run(WithUser({"-lbl", "Holiday", folder_.File("p1.jpg"), folder_.File("p2.jpg")}));
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::string album = OnlyAlbum();
  const std::string name = GetElement(album, "name");
  ASSERT_EQ(name.size(), std::string("Holiday_").size() + 8) << name;
  EXPECT_EQ(name.rfind("Holiday_", 0), 0u);
  EXPECT_EQ(name.find_first_not_of("0123456789ABCDEF", 8), std::string::npos) << name;
  EXPECT_EQ(run.out, "http://" + user_ + "." + Server().UploadRoot() +
                         GetElement(album, "serverDir") + "\n");
  EXPECT_EQ(PhotoNames(album), Names({"p1.jpg", "p2.jpg"}));
}

TEST_F(UploadE2eTest, AFolderWithoutPhotosCreatesNothing) {
  folder_.Write("notes.txt", "no photo");
  const CliRun run = Upload();
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_NE(run.err.find("holds no photos"), std::string::npos) << run.err;
  EXPECT_TRUE(Albums().empty());
}

TEST_F(UploadE2eTest, PrepareWritesTheUploadFilesWithoutAService) {
  AddPhotos(1);
  TempDir out;
  const CliRun run =
      cli_->Run({"prepare", "--out", out.Path(), folder_.File("p1.jpg"), folder_.File("none.jpg")});
  EXPECT_EQ(run.status, kExitFailed) << "one of the files is not there";
  EXPECT_NE(run.err.find("none.jpg"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("\t320x240\t"), std::string::npos) << run.out;
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(out.Path() + "thumb/p1.jpg", &size));
  EXPECT_EQ(size, (PixelSize{100, 75}));
  EXPECT_TRUE(FileExists(out.Path() + "images/p1.jpg"));
  EXPECT_TRUE(Server().Log().empty());
}

// A phone's folder as people have it: JPEG named ".JPG", ".jpg" and ".jpeg", a screenshot, a PNG
// saved as ".jpg", a WebP and a HEIC shot turned with their date and place, and two files that
// only look like photos. Every photo arrives as a JPEG under a name of its own, the turned ones
// upright, dated and placed; the two others are named; a second run sends nothing; and `prepare`
// makes the same files without a service.
TEST_F(UploadE2eTest, APhonesFolderOfEveryTypeArrivesAsJpegFiles) {
  if (FindOnPath("exiftool").empty() || FindOnPath("cwebp").empty() ||
      FindOnPath("heif-enc").empty()) {
    GTEST_SKIP() << "exiftool, cwebp or heif-enc is not installed";
  }
  PhotoFile(folder_, "IMG_1.JPG", 320, 240, 90, 1);
  PhotoFile(folder_, "IMG_1.jpg", 240, 320, 90, 2);
  PhotoFile(folder_, "beach.jpeg", 320, 240, 90, 3);
  const Bitmap screen = PhotoLike(320, 200, 4);
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, screen.get(), folder_.File("Screenshot.png").c_str(), 0));
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, screen.get(), folder_.File("png_inside.jpg").c_str(), 0));
  ASSERT_TRUE(FreeImage_Save(FIF_BMP, screen.get(), folder_.File("bmp_inside.jpg").c_str(), 0));
  folder_.Write("notes.webp", "These are notes, not a photo.\n");
  TempDir work;
  const std::string shot = PhotoFile(work, "shot.jpg", 320, 240, 90, 5);
  ASSERT_EQ(std::system(("exiftool -q -q -overwrite_original -Orientation#=6 "
                         "-DateTimeOriginal='2021:05:06 07:08:09' -GPSLatitude=50.1 "
                         "-GPSLatitudeRef=N -GPSLongitude=14.4 -GPSLongitudeRef=E '" +
                         shot + "' && cwebp -quiet -metadata exif '" + shot + "' -o '" +
                         folder_.File("portrait.webp") + "' && heif-enc -q 90 -o '" +
                         folder_.File("IMG_0002.HEIC") + "' '" + shot + "' >/dev/null")
                            .c_str()),
            0);

  const CliRun run = Upload({"--name", "Phone"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(Lines(run.err).back(),
            "left out: notes.webp (not a picture), bmp_inside.jpg (a BMP picture; only JPEG, HEIC, "
            "PNG and WebP photos, camera RAW and TIFF files and videos are sent)")
      << run.err;
  const std::vector<std::string> names =
      Names({"IMG_0002.jpg", "IMG_1.jpg", "IMG_11.jpg", "Screenshot.jpg", "beach.jpg",
             "png_inside.jpg", "portrait.jpg"});
  EXPECT_EQ(PhotoNames(OnlyAlbum()), names);
  for (const std::string& name : names) {
    EXPECT_EQ(ImageFormatOfFile(StoredPath("Phone", "images") + "/" + name), kFormatJpeg) << name;
    EXPECT_EQ(ImageFormatOfFile(StoredPath("Phone", "thumb") + "/" + name), kFormatJpeg) << name;
  }
  PixelSize size;
  for (const char* turned : {"portrait.jpg", "IMG_0002.jpg"}) {
    ASSERT_TRUE(ReadImageSize(StoredPath("Phone", "images") + "/" + turned, &size));
    EXPECT_EQ(size, (PixelSize{240, 320})) << turned;
  }
  const HttpReply photos = Server().Command(
      "GetAlbumPhotos", user_, Md5Hex("secret"),
      Form().Add("userID", userId_).Add("albumID", GetElement(OnlyAlbum(), "albumID")));
  for (const std::string& photo : GetElements(GetElement(photos.body, "value"), "photo")) {
    const std::string name = GetElement(photo, "fileName");
    if (name != "portrait.jpg" && name != "IMG_0002.jpg") continue;
    EXPECT_NE(GetElement(photo, "exif").find("2021-05-06 07:08:09"), std::string::npos) << photo;
    EXPECT_EQ(GetElement(photo, "GPS"), "POINT(14.4000000 50.1000000)") << photo;
  }

  Server().ClearLog();
  const CliRun again = Upload({"--no"});
  EXPECT_EQ(again.status, kExitOk) << again.err;
  EXPECT_NE(again.err.find("up to date"), std::string::npos) << again.err;
  EXPECT_TRUE(Sent().empty());

  Server().ClearLog();
  TempDir out;
  std::vector<std::string> args = {"prepare", "--out", out.Path()};
  for (const std::string& name : FolderNames(Folder())) args.push_back(folder_.File(name));
  const CliRun prepared = cli_->Run(args);
  EXPECT_EQ(prepared.status, kExitFailed) << "two files are no photos";
  EXPECT_NE(prepared.err.find("notes.webp: not a picture\n"), std::string::npos) << prepared.err;
  EXPECT_NE(prepared.err.find("bmp_inside.jpg: a BMP picture"), std::string::npos) << prepared.err;
  EXPECT_EQ(Lines(prepared.out).size(), names.size()) << prepared.out;
  EXPECT_EQ(FolderNames(out.Path() + "images"), names);
  for (const std::string& name : names) {
    EXPECT_EQ(ImageFormatOfFile(out.Path() + "images/" + name), kFormatJpeg) << name;
  }
  ASSERT_TRUE(ReadImageSize(out.Path() + "images/portrait.jpg", &size));
  EXPECT_EQ(size, (PixelSize{240, 320}));
  EXPECT_TRUE(Server().Log().empty());
}

}  // namespace
}  // namespace zerva::test
