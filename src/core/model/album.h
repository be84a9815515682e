// One album: its own properties and its ordered items. The application holds one as the
// current album; the album list holds one per album of the signed-in user (without items).
// No album state lives on the local disk: the album XML goes to the service and comes back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/album_environment.h"
#include "model/folder_scan.h"
#include "model/image_ptr.h"
#include "model/photo.h"

namespace zerva {

class CHttpConnect;
class Dialogs;

// Most items an album may hold unless the service reports more.
inline constexpr int kDefaultItemLimit = 1000;

enum CoverState {
  kCoverNotLoaded = 0,
  kCoverFromCache = 1,
  kCoverDownloaded = 2,
  kCoverFailed = 3
};

struct AlbumCover {
  ImagePtr image;
  int state = kCoverNotLoaded;
};

// Everything of an album but its items; copying an album copies exactly this.
struct AlbumProperties {
  std::string ownerName;
  std::string name;
  std::string serverDir;
  std::string desc;
  std::string localPath;
  std::string tempFolder;  // per-user temporary folder, with a trailing "/"
  std::string photosUrl;
  std::string videosUrl;
  std::string albumCategory;
  std::string albumTags;
  int maxSizeImage = 0;
  int maxSizeThumb = 0;
  int photoCount = 0;
  int videoCount = 0;
  bool localFolderExists = false;
  std::string rawPhotosXml;
  std::string thumbName;
  std::string createDate;
  std::string updateDate;
  std::string startDateInterval;
  std::string endDateInterval;
  bool albumVisible = true;
  bool albumSecure = false;
  std::string albumSecureName;
  std::string albumSecurePass;
  int lastAddedIndex = 0;
  bool folderMoved = false;
  std::string previousLocalPath;
  int uploading = 0;
  AlbumCover coverSmall;
  AlbumCover coverLarge;
  std::vector<std::string> pendingFiles;
  std::vector<std::string> monthNames;
  bool manualDateInterval = false;
  bool PublishOnFB = false;
  int resolution = 0;
  int mapZoom = 6;
  double mapLongitude = 16.5381789;
  double mapLatitude = 49.213152;
  int64_t size = 0;
  int albumID = 0;
  bool modified = false;
  int itemLimit = kDefaultItemLimit;
  bool defaultWatermark = false;
  AlbumEnvironment env;
};

class CAlbum : public AlbumProperties {
 public:
  CAlbum();
  explicit CAlbum(AlbumEnvironment environment);
  // Copies every property and both covers, never the items.
  CAlbum(const CAlbum& other);
  CAlbum& operator=(const CAlbum& other);
  // A move takes the items along.
  CAlbum(CAlbum&& other) noexcept = default;
  CAlbum& operator=(CAlbum&& other) noexcept = default;
  ~CAlbum();

  std::vector<std::unique_ptr<CPhoto>> items;
  // Files of the folder, or given by the user, that could not become items, with the reason;
  // made again by every scan of the folder, never copied with the properties.
  std::vector<LeftOutFile> leftOut;

  // The album XML; `withPublish` adds <PublishOnFB> for users who may publish.
  std::string ToXml(bool withPublish);
  // Fills the album from one <album> element of the album list; true when albumID >= 1.
  bool FromXml(std::string_view xml);
  // serverDir from name: sanitised, reserved names changed.
  void MakeServerDir();
  void Clear();
  // Drops every item that is neither included nor has its local file, then renumbers.
  void DropOrphanItems();
  // 1-based positions as index (only included items with `includedOnly`; every item advances
  // the counter); returns the next free number.
  int Renumber(bool includedOnly);
  // How many items are part of the album (included).
  int IncludedCount() const;
  // Marks for upload every included item whose local file changed since it was prepared.
  bool MarkChangedItems();
  CPhoto* FindItemByFileName(std::string_view fileName) const;
  // The owner's web address followed by serverDir; empty without serverDir.
  std::string AlbumUrl() const;
  // maxSizeImage and resolution together.
  void SetMaxSizeImage(int size);

  // Opens the album `albumId` from the service and merges it with its local folder. Returns 0
  // when nothing was loaded, 1 when loaded, 2 when loaded and the damage question answered.
  int LoadFromServer(CHttpConnect& connection, Dialogs& dialogs, int albumId,
                     const std::string& userName, const std::string& userPass, int userId,
                     CAlbum* listEntry);
};

// The sanitised album name with the service's reserved names changed.
std::string ServerDirFromName(std::string_view name);

}  // namespace zerva
