#include "gui/album_folder_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/text_utils.h"
#include "gui/qt_text.h"
#include "jobs/job_description.h"
#include "lang/text.h"
#include "platform/shell_open.h"
#include "ui/folder_name_check.h"

namespace zerva::gui {
namespace {

// How long the tree keeps the chosen folder in view while it fills in.
constexpr qint64 kFollowSelectionMs = 2000;

// The photo and video patterns, as the file list's name filters.
QStringList MediaNameFilters() {
  QStringList filters;
  for (const QString& pattern :
       ToQt(MediaPatterns(kMediaPhotos | kMediaVideos, true)).split(';', Qt::SkipEmptyParts)) {
    filters << pattern;
  }
  return filters;
}

}  // namespace

AlbumFolderDialog::AlbumFolderDialog(QWidget* parent, const AlbumFolderRequest& request)
    : QDialog(parent), allowFiles_(request.allowFiles) {
  setObjectName("albumFolderPicker");
  setWindowTitle(ToQt(request.title));
  auto* layout = new QVBoxLayout(this);

  auto* text = new QLabel(ToQtPlain(request.text), this);
  text->setObjectName("pickerText");
  text->setWordWrap(true);
  text->setVisible(!request.text.empty());
  layout->addWidget(text);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setRootPath(QDir::rootPath());
  tree_ = new QTreeView(splitter);
  tree_->setObjectName("folderTree");
  tree_->setModel(folders_);
  tree_->setHeaderHidden(true);
  for (int column = 1; column < folders_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  if (allowFiles_) {
    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    files_->setNameFilters(MediaNameFilters());
    files_->setNameFilterDisables(false);
    fileList_ = new QListView(splitter);
    fileList_->setObjectName("folderFiles");
    fileList_->setModel(files_);
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  }
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  layout->addWidget(splitter, 1);

  selected_ = new QLabel(this);
  selected_->setObjectName("pickerSelected");
  selected_->setWordWrap(true);
  layout->addWidget(selected_);
  warning_ = new QLabel(this);
  warning_->setObjectName("pickerWarning");
  warning_->setWordWrap(true);
  warning_->setStyleSheet("color: #c01c28;");
  layout->addWidget(warning_);
  warningLink_ = new QPushButton(ToQtPlain(Text("msgEncodingLink")), this);
  warningLink_->setObjectName("pickerWarningLink");
  warningLink_->setFlat(true);
  warningLink_->setAutoDefault(false);
  warningLink_->setCursor(Qt::PointingHandCursor);
  warningLink_->setStyleSheet(
      "QPushButton { color: #1a5fb4; text-decoration: underline; border: none; text-align: left; "
      "}");
  layout->addWidget(warningLink_, 0, Qt::AlignLeft);
  connect(warningLink_, &QPushButton::clicked, this,
          [this] { ShellOpen(FromQt(SelectedFolder())); });

  auto* recentLabel = new QLabel(ToQtPlain(Text("msgRecentFolders")), this);
  layout->addWidget(recentLabel);
  recent_ = new QListWidget(this);
  recent_->setObjectName("recentFolders");
  for (const std::string& folder : request.history) recent_->addItem(ToQt(folder));
  recent_->setMaximumHeight(
      std::min(5, std::max(recent_->count(), 1)) * (recent_->fontMetrics().height() + 4) + 6);
  recentLabel->setVisible(!request.history.empty());
  recent_->setVisible(!request.history.empty());
  layout->addWidget(recent_);
  connect(recent_, &QListWidget::currentTextChanged, this, [this](const QString& folder) {
    if (!folder.isEmpty()) SelectFolder(folder);
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  takeFolder_ = new QPushButton(ToQtPlain(Text("btnOK")), this);
  takeFolder_->setObjectName("pickerTakeFolder");
  takeFolder_->setDefault(true);
  buttons->addWidget(takeFolder_);
  connect(takeFolder_, &QPushButton::clicked, this, [this] { TakeFolder(); });
  if (allowFiles_) {
    takeFiles_ = new QPushButton(ToQtPlain(Text("btnMB")), this);
    takeFiles_->setObjectName("pickerTakeFiles");
    takeFiles_->setAutoDefault(false);
    buttons->addWidget(takeFiles_);
    connect(takeFiles_, &QPushButton::clicked, this, [this] { TakeFiles(); });
  }
  auto* cancel = new QPushButton(ToQtPlain(Text("btnCancel")), this);
  cancel->setObjectName("pickerCancel");
  cancel->setAutoDefault(false);
  buttons->addWidget(cancel);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addLayout(buttons);

  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { FolderChanged(); });
  // The tree fills in as its folders are read: the chosen folder is brought into view again
  // for a moment after it was chosen.
  connect(folders_, &QAbstractItemModel::rowsInserted, this, [this] { FollowSelection(); });
  connect(folders_, &QFileSystemModel::directoryLoaded, this, [this] { FollowSelection(); });
  if (fileList_ != nullptr) {
    connect(fileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { FilesChanged(); });
  }

  QString start = ToQt(request.startFolder);
  if (start.isEmpty() || !QDir(start).exists()) start = QDir::homePath();
  SelectFolder(start);
  resize(720, 520);
}

QString AlbumFolderDialog::SelectedFolder() const {
  const QModelIndex index = tree_->currentIndex();
  return index.isValid() ? folders_->filePath(index) : QString();
}

void AlbumFolderDialog::SelectFolder(const QString& path) {
  const QModelIndex index = folders_->index(QDir::cleanPath(path));
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  tree_->expand(index);
  tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  followed_.start();
}

void AlbumFolderDialog::FollowSelection() {
  if (!followed_.isValid() || followed_.elapsed() > kFollowSelectionMs) return;
  QTimer::singleShot(0, this, [this] {
    if (tree_->currentIndex().isValid()) {
      tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
  });
}

void AlbumFolderDialog::FolderChanged() {
  const QString folder = SelectedFolder();
  selected_->setText(ToQtPlain(FillJobText(Text("msgDirectorySelected"), {FromQt(folder)})));
  takeFolder_->setEnabled(!folder.isEmpty());
  const std::string warning =
      folder.isEmpty() ? std::string() : EncodingWarning(FindNonUtf8Names(FromQt(folder)));
  warning_->setText(ToQtPlain(warning));
  warning_->setVisible(!warning.empty());
  warningLink_->setVisible(!warning.empty());
  if (fileList_ != nullptr) {
    fileList_->setRootIndex(files_->setRootPath(folder));
    fileList_->clearSelection();
  }
  FilesChanged();
}

void AlbumFolderDialog::FilesChanged() {
  if (takeFiles_ != nullptr) takeFiles_->setEnabled(!ChosenFiles().isEmpty());
}

QStringList AlbumFolderDialog::ChosenFiles() const {
  QStringList paths;
  if (fileList_ == nullptr) return paths;
  for (const QModelIndex& index : fileList_->selectionModel()->selectedIndexes()) {
    if (index.column() == 0 && !files_->isDir(index)) paths << files_->filePath(index);
  }
  paths.sort();
  return paths;
}

void AlbumFolderDialog::SelectFiles(const QStringList& names) {
  if (fileList_ == nullptr) return;
  const QString folder = SelectedFolder();
  fileList_->clearSelection();
  for (const QString& name : names) {
    const QModelIndex index = files_->index(QDir(folder).filePath(name));
    if (index.isValid()) fileList_->selectionModel()->select(index, QItemSelectionModel::Select);
  }
}

QString AlbumFolderDialog::Warning() const {
  return warning_->isHidden() ? QString() : warning_->text();
}

void AlbumFolderDialog::TakeFolder() {
  const QString folder = SelectedFolder();
  if (folder.isEmpty()) return;
  choice_.folder = FromQt(folder);
  choice_.files.clear();
  accept();
}

void AlbumFolderDialog::TakeFiles() {
  const QStringList files = ChosenFiles();
  if (files.isEmpty()) return;
  choice_.folder = FromQt(SelectedFolder());
  choice_.files.clear();
  for (const QString& file : files) choice_.files.push_back(FromQt(file));
  accept();
}

}  // namespace zerva::gui
