// Where the service keeps its files under the data folder. Every path is built from database
// identifiers and names that passed IsSafeName, so nothing a client sends can point elsewhere.
//
//   files/<userID>/<serverDir>/{images,hdimages,thumb,diff,video}/...   album files
//   blocks/<videoFileID>/<index>.blk                                     video blocks in flight
//   originals/<userID>/<id>_<name>                                       original video files
//   bugs/<report>.bin, media/ (logos, banners, watermark), update/, lang/, tmp/
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zerva::server {

class Storage {
 public:
  explicit Storage(const std::string& dataDir);

  // Creates the fixed sub-folders.
  bool Prepare(std::string* error) const;
  const std::string& Root() const { return root_; }

  std::string UserFolder(int64_t userId) const;
  std::string AlbumFolder(int64_t userId, const std::string& serverDir) const;
  std::string AlbumFile(int64_t userId, const std::string& serverDir, const std::string& sub,
                        const std::string& fileName) const;
  std::string VideoFile(int64_t userId, const std::string& serverDir,
                        const std::string& fileName) const;
  std::string BlockFolder(int64_t videoFileId) const;
  std::string BlockFile(int64_t videoFileId, int64_t index) const;
  std::string OriginalsFolder(int64_t userId) const;
  std::string BugFile(int64_t reportId) const;
  std::string MediaFile(const std::string& name) const;  // name must be safe
  std::string UpdateFolder() const { return root_ + "update/"; }
  std::string LangFolder() const { return root_ + "lang/"; }

  // Writes `data` to a fresh file in tmp/ and returns its path; the caller renames it into
  // place with CommitTemp once the request has been accepted, or drops it.
  bool WriteTemp(std::string_view data, std::string* tmpPath, std::string* error) const;
  // Moves a temporary file to its final name (creating the folder); atomic on one file system.
  bool CommitTemp(const std::string& tmpPath, const std::string& finalPath,
                  std::string* error) const;
  void DropTemp(const std::string& tmpPath) const;

  // Bytes held for a user: album files and original videos.
  int64_t UsedBytes(int64_t userId) const;
  // Regular files directly in `folder`, sorted by name, with their sizes.
  static std::vector<std::pair<std::string, int64_t>> ListFiles(const std::string& folder);

 private:
  std::string root_;
};

}  // namespace zerva::server
