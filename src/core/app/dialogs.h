// Questions and notices to the user, the wait popup and the file pickers. Pages, jobs and the
// model ask through this interface; the Qt window, the terminal front end and the tests each
// provide one.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zerva {

enum class MessageKind { kInformation, kWarning, kError };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel };
enum class Reply { kOk, kCancel, kYes, kNo, kRetry };

// The folder picker of the album pages.
struct AlbumFolderRequest {
  std::string title;
  std::string startFolder;
  // Folders used before, newest first; shown under "msgRecentFolders".
  std::vector<std::string> history;
  // The user may take only some of the folder's files ("btnMB"), for a new album.
  bool allowFiles = false;
  // What the picker explains above the folder tree; empty: nothing.
  std::string text;
};

struct AlbumFolderChoice {
  std::string folder;  // empty: cancelled
  // Full paths of the files chosen in the folder; empty: the whole folder.
  std::vector<std::string> files;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows `text` with the standard caption of `kind` (see MessageCaption) and waits.
  virtual Reply ShowMessage(const std::string& text, MessageKind kind,
                            MessageButtons buttons = MessageButtons::kOk) = 0;
  // A modeless "please wait" note while a synchronous call runs.
  virtual void ShowWait(const std::string& text, const std::string& caption) = 0;
  virtual void HideWait() = 0;
  virtual std::optional<std::string> PickFolder(const std::string& title,
                                                const std::string& startFolder) = 0;
  // `patterns` is a ";"-separated list such as MediaPatterns() gives.
  virtual std::vector<std::string> PickFiles(const std::string& title,
                                             const std::string& startFolder,
                                             const std::string& patterns) = 0;
  // A multi-selection file-open dialog whose filter list is written "name (patterns)|patterns|"
  // entry by entry and ends with "|"; `selectedFilter` is preselected. By default the selected
  // entry's patterns go to PickFiles.
  virtual std::vector<std::string> PickFilesWithFilters(const std::string& title,
                                                        const std::string& startFolder,
                                                        const std::string& filters,
                                                        int selectedFilter);
  // The album folder picker; by default a plain PickFolder.
  virtual AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request);
  // The proxy prompt ("msgProxyAuthenticationCaption"): false when cancelled; OK needs both
  // boxes filled.
  virtual bool AskProxyCredentials(std::string* userName, std::string* password) = 0;
};

// One entry of a file dialog's filter list: its shown name and its ";"-separated patterns.
struct FileFilterEntry {
  std::string name;
  std::string patterns;
};
// The entries of a filter list written "name|patterns|name|patterns|...|"; an entry without its
// patterns ends the list.
std::vector<FileFilterEntry> ParseFileFilters(const std::string& filters);

// The caption of every message box: the service domain name without its trailing "/", " | ",
// and the text of "msgInfo", "msgWarning" or "msgError".
std::string MessageCaption(MessageKind kind);

}  // namespace zerva
