// Turning local files into album items: a whole folder, or files dropped or picked by the user.
#pragma once

#include <string>
#include <vector>

namespace zerva {

class CAlbum;
class CPhoto;
class Dialogs;

// Adds every recognised file of the folder in listing order; with a non-empty `selection` only
// the files it names are included, the others are added excluded. True when an item was added.
bool AddFolder(CAlbum& album, const std::string& folder,
               const std::vector<std::string>& selection = {});

// Adds one file, or includes again the item it already is. True when a new item was added;
// otherwise the path goes to exactly one of the three lists.
bool AddFile(CAlbum& album, const std::string& path, std::vector<std::string>* rejected,
             std::vector<std::string>* reIncluded, std::vector<std::string>* alreadyPresent);

// Adds the album's pending files, empties the list and reports rejected and already present
// files through `dialogs`.
void AddFiles(CAlbum& album, Dialogs& dialogs);

}  // namespace zerva
