// The album folder picker: a folder tree, the folders used before under "msgRecentFolders", the
// picker's explanation above, and the choice of the whole folder ("btnOK") or, for a new album,
// only the files selected in it ("btnMB"). Names in the folder that are not valid UTF-8 are
// warned about, with a link that opens the folder in the file manager to rename them.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>

#include "app/dialogs.h"

class QFileSystemModel;
class QLabel;
class QListView;
class QListWidget;
class QPushButton;
class QTreeView;

namespace zerva::gui {

class AlbumFolderDialog : public QDialog {
  Q_OBJECT

 public:
  AlbumFolderDialog(QWidget* parent, const AlbumFolderRequest& request);

  // The choice once the dialog was accepted.
  const AlbumFolderChoice& Choice() const { return choice_; }

  // The folder selected in the tree, and selecting one (as a click on it would).
  QString SelectedFolder() const;
  void SelectFolder(const QString& path);
  // Selects these names in the folder's file list (the user's multiple selection).
  void SelectFiles(const QStringList& names);
  // The encoding warning shown for the selected folder; empty when none.
  QString Warning() const;

 private:
  void FolderChanged();
  void FollowSelection();
  void FilesChanged();
  void TakeFolder();
  void TakeFiles();
  QStringList ChosenFiles() const;

  bool allowFiles_;
  QFileSystemModel* folders_;
  QFileSystemModel* files_ = nullptr;
  QTreeView* tree_;
  QListView* fileList_ = nullptr;
  QListWidget* recent_;
  QLabel* selected_;
  QLabel* warning_;
  QPushButton* warningLink_;
  QPushButton* takeFolder_;
  QPushButton* takeFiles_ = nullptr;
  AlbumFolderChoice choice_;
  QElapsedTimer followed_;
};

}  // namespace zerva::gui
