// Message boxes, the wait popup, the file pickers and the proxy prompt of the Qt window. Any
// thread may ask; the question is shown on Qt's main thread.
#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"

class QWidget;

namespace zerva::gui {

class WaitPopup;

// A filter list's entries in Qt's form "name (*.a *.b)"; a name that already ends with its
// patterns in parentheses keeps only the part before them.
QStringList QtNameFilters(const std::vector<FileFilterEntry>& entries);

// A modal box with exactly this caption; texts are UTF-8, "<br>" breaks a line.
Reply ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                     MessageKind kind, MessageButtons buttons);

class QtDialogs : public Dialogs {
 public:
  QtDialogs();
  ~QtDialogs() override;

  // The window the boxes and the popup belong to; null before the main window exists.
  void SetOwner(QWidget* owner);

  Reply ShowMessage(const std::string& text, MessageKind kind,
                    MessageButtons buttons = MessageButtons::kOk) override;
  // A box with a caption of the caller's.
  virtual Reply ShowCaptioned(const std::string& text, const std::string& caption, MessageKind kind,
                              MessageButtons buttons);
  void ShowWait(const std::string& text, const std::string& caption) override;
  void HideWait() override;
  bool WaitVisible() const;
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override;
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& patterns) override;
  std::vector<std::string> PickFilesWithFilters(const std::string& title,
                                                const std::string& startFolder,
                                                const std::string& filters,
                                                int selectedFilter) override;
  AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request) override;
  bool AskProxyCredentials(std::string* userName, std::string* password) override;

 private:
  QPointer<QWidget> owner_;
  std::unique_ptr<WaitPopup> wait_;
};

}  // namespace zerva::gui
