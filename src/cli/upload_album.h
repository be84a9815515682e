// What the album editor and the thumbnail list do before the window's upload page runs, done
// for zerva-cli: a new album made from a folder or from files, with EXIF texts, orientations and
// the date interval; or the user's album of a folder reopened from the service with the folder's
// new files taken in; the editor's checks before Next; and the preparation in advance on every
// core, so that the upload's preparation jobs only copy the prepared files.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zerva {
class CAlbum;
class CAlbumMngr;
class CzervaApp;
class Dialogs;
}  // namespace zerva

namespace zerva::cli {

// The folder as an absolute path without a trailing "/", symbolic links resolved; empty when
// it is no folder.
std::string CanonicalFolder(const std::string& folder);

// The user's album whose local folder is `folder` (the newest when several are); null for none.
const CAlbum* FindAlbumOfFolder(const CAlbumMngr& albums, const std::string& folder);

// The current album becomes a new album of the folder's photos, named `name` or, when that is
// empty, after the folder. False with `error` when the folder holds nothing to upload.
bool NewAlbumFromFolder(CzervaApp& app, const std::string& folder, const std::string& name,
                        std::string* error);

// The current album becomes a new album of the files, named `name`. Files that are no photo are
// reported through `dialogs`. False with `error` when none can be taken.
bool NewAlbumFromFiles(CzervaApp& app, const std::vector<std::string>& files,
                       const std::string& name, Dialogs& dialogs, std::string* error);

// The current album becomes the service's album `albumId`, merged with `folder`: files new in the
// folder are taken in; photos whose files are gone from the folder leave the album when the
// question "EditPhotosDlgItemsToBeDeleted" is answered Yes. Files the service lost are sent
// again (notices about them go to `err`). False with `error` when the album cannot be loaded.
bool ReopenAlbum(CzervaApp& app, int albumId, const std::string& folder, Dialogs& dialogs,
                 std::FILE* err, std::string* error);

// The editor's checks before the upload: a usable name not used by another album, something to
// send, not more than the album may hold. False with `error` otherwise.
bool CheckAlbumForUpload(CzervaApp& app, std::string* error);

// How many photos the upload will prepare.
int CountToPrepare(const CAlbum& album);

// Prepares the items the upload will prepare into the prepared-file cache, on `threads` threads
// (0: one per core). Returns how many the cache holds afterwards.
int PrepareInAdvanceForUpload(CzervaApp& app, bool newAlbum, int threads);

}  // namespace zerva::cli
