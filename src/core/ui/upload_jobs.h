// Which jobs an upload session needs, decided from the state of every item: prepare locally,
// turn or reduce on the service, send the files, convert and send videos. All preparation jobs
// come before all sending jobs, so the slow image work is done before the network phase.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "media/preparation_settings.h"
#include "media/video_targets.h"

namespace zerva {

class CAlbum;
class CHttpMngr;
class CJobsMngr;
class CPhoto;
class CUserSession;

// The long side of an HD image asked of the preparation.
inline constexpr int kHdImageSize = 21000;

// Marks for upload the included items that the resolution `size` makes larger (their source is
// larger and still on the disk) or smaller (needsReduction as well), marks the album modified
// when any is marked, and makes `size` the album's image size. Returns how many were marked.
int ApplyResolution(CAlbum& album, int size);

struct UploadJobsContext {
  CAlbum* album = nullptr;
  CJobsMngr* jobs = nullptr;
  // The signed-in session: user name, password digest and the upload delay of the upload jobs.
  CUserSession* session = nullptr;
  std::shared_ptr<CHttpMngr> connections;
  // The album's preparation values (with the watermark source) for the image jobs.
  PreparationSettings preparation;
  // The user's temporary folder, where the files of the upload are made.
  std::string userFolder;
  bool albumNeedsHd = false;  // a category of the album wants HD images
  bool useOriginal = false;   // the user is a VIP: small originals go unchanged
  int videoResolution = 640;  // the long side of video frames
  VideoLimits videoLimits;
  bool convertWhileUploading = true;
  // Fetches the patch of a watermarked item that is turned on the service; unset: none.
  std::function<void(CPhoto& item)> downloadPatch;
};

struct BuiltJobs {
  int preparation = 0;  // image and video preparation, turns and reductions
  int sending = 0;      // file and video uploads
};

// An included item whose local file is to be prepared and sent in this session: it is new,
// marked for upload, changed on disk, turned, or its watermark changed.
bool NeedsPreparation(const CPhoto& item);

// Clears the manager's jobs and adds the session's: pass 1 the preparation of every included
// item, pass 2 the sending. An album without a cover gets its first included item as cover.
BuiltJobs BuildJobs(const UploadJobsContext& context);

// The files of an item's upload in the user's temporary folder: images/, hdimages/, thumb/,
// diff/ and the video's video/NAME.mp4.
std::string UploadImageName(const CPhoto& item);
std::string UploadVideoPath(const std::string& userFolder, const CPhoto& item);

}  // namespace zerva
