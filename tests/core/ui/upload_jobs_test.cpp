// Which jobs an upload session queues: every preparation before any sending, nothing for an
// unchanged item, turns on the service for photos whose local file is gone, HD images only when
// the source is larger than the album, and the album resolution's marks.
#include "ui/upload_jobs.h"

#include <gtest/gtest.h>

#include "core/media/item_fixtures.h"
#include "jobs/job_make_image.h"
#include "jobs/job_rotate_image.h"
#include "jobs/job_upload.h"
#include "jobs/jobs_mngr.h"
#include "model/album.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

struct QueuedJob {
  int kind = 0;
  std::string directory;  // upload jobs: the album directory
  std::string path;       // upload jobs: the file sent
};

class UploadJobsTest : public ::testing::Test {
 protected:
  UploadJobsTest() {
    album_.serverDir = "Trip";
    album_.SetMaxSizeImage(1200);
    context_.album = &album_;
    context_.jobs = &jobs_;
    context_.userFolder = dir_.Path() + "user/";
    context_.videoResolution = 640;
    context_.downloadPatch = [this](CPhoto& item) { patched_.push_back(item.fileName); };
  }

  // A local photo of `width` x `height`, new to the album.
  CPhoto& AddPhoto(const std::string& name, int width = 64, int height = 48) {
    album_.items.push_back(PhotoItem(PhotoFile(dir_, name, width, height), name));
    return *album_.items.back();
  }
  // A photo the service holds whose local file is gone.
  CPhoto& AddServerPhoto(const std::string& name) {
    auto item = std::make_unique<CPhoto>();
    item->fileName = name;
    item->localPath = dir_.File("gone/" + name);
    item->localFileAvailable = false;
    item->photoID = 7;
    album_.items.push_back(std::move(item));
    return *album_.items.back();
  }
  // The item as it is after an upload that changed nothing since.
  static void MarkUploaded(CPhoto& item) {
    item.OriginalCode = item.LocalFileTime();
    item.savedRotate = item.rotate;
    item.savedHasWatermark = item.hasWatermark;
  }

  std::vector<QueuedJob> Queued() {
    BuildJobs(context_);
    std::vector<QueuedJob> queued;
    for (const auto& [id, job] : jobs_.Jobs()) {
      QueuedJob entry{job->Kind(), "", ""};
      if (const auto* upload = dynamic_cast<const CJobUpload*>(job.get())) {
        entry.directory = upload->Directory();
        entry.path = upload->Path();
      }
      queued.push_back(entry);
    }
    return queued;
  }
  std::vector<int> Kinds() {
    std::vector<int> kinds;
    for (const QueuedJob& job : Queued()) kinds.push_back(job.kind);
    return kinds;
  }
  std::vector<std::string> Directories() {
    std::vector<std::string> dirs;
    for (const QueuedJob& job : Queued()) {
      if (job.kind == kJobKindUpload) dirs.push_back(job.directory);
    }
    return dirs;
  }
  const CJobRotateImage* RotationJob() {
    BuildJobs(context_);
    for (const auto& [id, job] : jobs_.Jobs()) {
      if (const auto* turn = dynamic_cast<const CJobRotateImage*>(job.get())) return turn;
    }
    return nullptr;
  }

  TempDir dir_;
  CAlbum album_;
  CJobsMngr jobs_;
  UploadJobsContext context_;
  std::vector<std::string> patched_;
};

TEST_F(UploadJobsTest, EveryPreparationComesBeforeAnySending) {
  AddPhoto("a.jpg");
  AddPhoto("b.jpg");
  const std::vector<QueuedJob> queued = Queued();
  ASSERT_EQ(queued.size(), 6u);
  const std::vector<int> kinds = {queued[0].kind, queued[1].kind, queued[2].kind,
                                  queued[3].kind, queued[4].kind, queued[5].kind};
  EXPECT_EQ(kinds, (std::vector<int>{1, 1, 3, 3, 3, 3}));
  EXPECT_EQ(queued[2].directory, "Trip/images");
  EXPECT_EQ(queued[2].path, context_.userFolder + "images/a.jpg");
  EXPECT_EQ(queued[3].directory, "Trip/thumb");
  EXPECT_EQ(queued[3].path, context_.userFolder + "thumb/a.jpg");
  EXPECT_EQ(queued[4].path, context_.userFolder + "images/b.jpg");
  // Ids follow the order: the engine runs jobs by id.
  int last = 0;
  for (const auto& [id, job] : jobs_.Jobs()) {
    EXPECT_GT(id, last);
    last = id;
  }
}

TEST_F(UploadJobsTest, TheFirstIncludedItemBecomesTheCoverOfAnAlbumWithout) {
  AddPhoto("a.jpg").included = false;
  AddPhoto("b.jpg");
  Queued();
  EXPECT_EQ(album_.thumbName, "b.jpg");
  album_.thumbName = "c.jpg";
  Queued();
  EXPECT_EQ(album_.thumbName, "c.jpg");
}

TEST_F(UploadJobsTest, ExcludedAndUnchangedItemsGetNoJobs) {
  AddPhoto("a.jpg").included = false;
  MarkUploaded(AddPhoto("b.jpg"));
  EXPECT_TRUE(Queued().empty());
  // A file time one hour off is a daylight-saving shift, not a change.
  CPhoto& shifted = *album_.items[1];
  shifted.OriginalCode = shifted.LocalFileTime() + 3600;
  EXPECT_TRUE(Queued().empty());
  EXPECT_FALSE(NeedsPreparation(shifted));
  shifted.OriginalCode = shifted.LocalFileTime() - 10;
  EXPECT_TRUE(NeedsPreparation(shifted));
  EXPECT_EQ(Kinds(), (std::vector<int>{1, 3, 3}));
}

TEST_F(UploadJobsTest, ALocalPhotoIsPreparedAgainWhenTurnedOrItsWatermarkChanged) {
  CPhoto& turned = AddPhoto("a.jpg");
  MarkUploaded(turned);
  turned.rotate = 1;
  CPhoto& marked = AddPhoto("b.jpg");
  MarkUploaded(marked);
  marked.hasWatermark = true;
  EXPECT_EQ(Kinds(), (std::vector<int>{1, 1, 3, 3, 3, 3, 3}));
  EXPECT_EQ(Directories().back(), "Trip/diff") << "the watermarked photo sends its patch";
}

TEST_F(UploadJobsTest, AQuarterTurnOfAPhotoWithoutItsFileIsMadeOnTheService) {
  context_.albumNeedsHd = true;
  CPhoto& item = AddServerPhoto("a.jpg");
  item.isHdPhoto = true;
  item.rotate = 1;
  item.hasWatermark = item.savedHasWatermark = true;
  const CJobRotateImage* turn = RotationJob();
  ASSERT_NE(turn, nullptr);
  EXPECT_EQ(turn->Degrees(), 90);
  EXPECT_EQ(turn->Paths().image, context_.userFolder + "images/a.jpg");
  EXPECT_EQ(patched_, std::vector<std::string>({"a.jpg"})) << "the patch is fetched first";
  // Image, thumbnail and patch go back; no HD image without the local file to read.
  EXPECT_EQ(Kinds(), (std::vector<int>{2, 3, 3, 3}));
  EXPECT_EQ(Directories(), (std::vector<std::string>{"Trip/images", "Trip/thumb", "Trip/diff"}));
}

TEST_F(UploadJobsTest, TurnsCountInQuarters) {
  CPhoto& item = AddServerPhoto("a.jpg");
  item.rotate = 0;
  item.savedRotate = 3;
  ASSERT_NE(RotationJob(), nullptr);
  EXPECT_EQ(RotationJob()->Degrees(), 90);  // -3 quarters is one clockwise
  item.rotate = 2;
  item.savedRotate = 3;
  EXPECT_EQ(RotationJob()->Degrees(), 270);
  item.rotate = 6;  // a half turn and a flip: the flip is not made on the service
  item.savedRotate = 0;
  EXPECT_EQ(RotationJob()->Degrees(), 180);
}

TEST_F(UploadJobsTest, AFlipAloneTurnsNothingButStillSendsImageAndThumbnail) {
  CPhoto& item = AddServerPhoto("a.jpg");
  item.rotate = 4;
  EXPECT_EQ(Kinds(), (std::vector<int>{3, 3}));
  EXPECT_EQ(Directories(), (std::vector<std::string>{"Trip/images", "Trip/thumb"}));
  // A reduction of the same photo does run the job, with 0 degrees.
  item.needsUpload = item.needsReduction = true;
  ASSERT_NE(RotationJob(), nullptr);
  EXPECT_EQ(RotationJob()->Degrees(), 0);
}

TEST_F(UploadJobsTest, APhotoWithoutItsFileAndNothingToChangeIsLeftAsItIs) {
  AddServerPhoto("a.jpg").needsUpload = true;  // marked, but nothing to do on the service
  EXPECT_TRUE(Queued().empty());
  EXPECT_TRUE(patched_.empty());
}

TEST_F(UploadJobsTest, AnHdImageIsSentOnlyWhenTheSourceIsLargerThanTheAlbum) {
  context_.albumNeedsHd = true;
  album_.SetMaxSizeImage(100);
  CPhoto& small = AddPhoto("small.jpg", 100, 80);
  CPhoto& large = AddPhoto("large.jpg", 90, 120);
  EXPECT_EQ(Directories(), (std::vector<std::string>{"Trip/images", "Trip/thumb", "Trip/images",
                                                     "Trip/hdimages", "Trip/thumb"}));
  EXPECT_TRUE(small.isHdPhoto);
  EXPECT_TRUE(large.isHdPhoto);
  context_.albumNeedsHd = false;
  Queued();
  EXPECT_FALSE(large.isHdPhoto) << "the album's categories decide anew each session";
}

TEST_F(UploadJobsTest, PreparationAsksForTheAlbumSizesAndTheVipRule) {
  context_.useOriginal = true;
  context_.preparation.sizeThumb = 120;
  AddPhoto("a.jpg");
  BuildJobs(context_);
  const auto* make = dynamic_cast<const CJobMakeImage*>(jobs_.Jobs().begin()->second.get());
  ASSERT_NE(make, nullptr);
  EXPECT_EQ(make->Inputs().sizeImage, 1200);
  EXPECT_EQ(make->Inputs().sizeHd, kHdImageSize);
  EXPECT_EQ(make->Inputs().sizeThumb, 120);
  EXPECT_TRUE(make->Inputs().useOriginal);
  EXPECT_EQ(make->Inputs().hdPath, context_.userFolder + "hdimages/a.jpg");
  EXPECT_EQ(make->Inputs().patchPath, context_.userFolder + "diff/a.jpg");
}

TEST_F(UploadJobsTest, AVideoSendsItsFrameAndWaitsForTheVideoJobs) {
  CPhoto& video = AddPhoto("clip.jpg");
  video.isVideo = true;
  video.fileName = "clip.mp4";
  video.video.videoChanged = true;
  BuiltJobs built = BuildJobs(context_);
  const auto* make = dynamic_cast<const CJobMakeImage*>(jobs_.Jobs().begin()->second.get());
  ASSERT_NE(make, nullptr);
  EXPECT_EQ(make->Inputs().sizeImage, 640) << "video frames take the video resolution";
  EXPECT_EQ(make->Inputs().imagePath, context_.userFolder + "images/clip.jpg");
  EXPECT_EQ(UploadVideoPath(context_.userFolder, video), context_.userFolder + "video/clip.mp4");
  // Converted while it is sent: no conversion job, the block upload after the frame's files.
  EXPECT_EQ(Kinds(), (std::vector<int>{kJobKindMakeImage, kJobKindUpload, kJobKindUpload,
                                       kJobKindVideoUpload}));
  context_.convertWhileUploading = false;
  EXPECT_EQ(Kinds(), (std::vector<int>{kJobKindMakeImage, kJobKindMakeVideo, kJobKindUpload,
                                       kJobKindUpload, kJobKindVideoUpload}))
      << "converted first, among the preparations";
  built = BuildJobs(context_);
  EXPECT_EQ(built.preparation, 2);
}

TEST_F(UploadJobsTest, ApplyResolutionMarksWhatTheNewSizeMakesLargerOrSmaller) {
  auto sized = [&](const std::string& name, int sent, const char* source, bool local) -> CPhoto& {
    CPhoto& item = local ? AddPhoto(name) : AddServerPhoto(name);
    item.width = sent;
    item.height = sent * 3 / 4;
    item.SourceWidth = source;
    item.SourceHeight = "10";
    return item;
  };
  CPhoto& grows = sized("grows.jpg", 700, "4000", true);
  CPhoto& goneGrows = sized("gone.jpg", 700, "4000", false);
  CPhoto& atSource = sized("source.jpg", 700, "710", true);
  CPhoto& shrinks = sized("shrinks.jpg", 1400, "4000", false);
  CPhoto& excluded = sized("excluded.jpg", 1400, "4000", true);
  excluded.included = false;

  EXPECT_EQ(ApplyResolution(album_, 1200), 2);
  EXPECT_TRUE(grows.needsUpload);
  EXPECT_FALSE(grows.needsReduction);
  EXPECT_FALSE(goneGrows.needsUpload) << "a larger image needs the local file";
  EXPECT_FALSE(atSource.needsUpload) << "the source is no larger than what was sent";
  EXPECT_TRUE(shrinks.needsUpload);
  EXPECT_TRUE(shrinks.needsReduction);
  EXPECT_FALSE(excluded.needsUpload);
  EXPECT_TRUE(album_.modified);
  EXPECT_EQ(album_.maxSizeImage, 1200);
  EXPECT_EQ(album_.resolution, 1200);
}

TEST_F(UploadJobsTest, ApplyResolutionWithNothingToMarkLeavesTheAlbumUnmodified) {
  CPhoto& item = AddPhoto("a.jpg");
  item.width = 1200;
  item.height = 900;
  EXPECT_EQ(ApplyResolution(album_, 1200), 0);
  EXPECT_FALSE(album_.modified);
}

}  // namespace
}  // namespace zerva::test
