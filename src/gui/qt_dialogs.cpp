#include "gui/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/text_utils.h"
#include "gui/album_folder_dialog.h"
#include "gui/proxy_prompt.h"
#include "gui/qt_text.h"
#include "gui/qt_ui_thread.h"
#include "gui/wait_popup.h"

namespace zerva::gui {
namespace {

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return QMessageBox::Ok;
    case MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::kRetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

Reply ReplyOf(int button) {
  switch (button) {
    case QMessageBox::Yes:
      return Reply::kYes;
    case QMessageBox::No:
      return Reply::kNo;
    case QMessageBox::Retry:
      return Reply::kRetry;
    case QMessageBox::Ok:
      return Reply::kOk;
    default:
      return Reply::kCancel;
  }
}

// "*.jpg;*.png" as a file dialog filter.
QString FilterOf(const std::string& patterns) {
  return "(" + ToQt(ReplaceAll(patterns, ";", " ")) + ")";
}

}  // namespace

QStringList QtNameFilters(const std::vector<FileFilterEntry>& entries) {
  QStringList filters;
  for (const FileFilterEntry& entry : entries) {
    QString name = ToQt(entry.name).trimmed();
    if (name.endsWith(')')) {
      const qsizetype open = name.lastIndexOf('(');
      if (open > 0) name = name.left(open).trimmed();
    }
    QStringList patterns = ToQt(entry.patterns).split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      // Qt's "*.*" leaves out names without a dot.
      if (pattern == "*.*") pattern = "*";
    }
    filters << name + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

Reply ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                     MessageKind kind, MessageButtons buttons) {
  Reply reply = Reply::kCancel;
  RunOnGuiThread([&] {
    const QMessageBox::Icon icon = kind == MessageKind::kError     ? QMessageBox::Critical
                                   : kind == MessageKind::kWarning ? QMessageBox::Warning
                                                                   : QMessageBox::Information;
    QMessageBox box(icon, ToQt(caption), ToQtPlain(text), ButtonsOf(buttons), parent);
    box.setObjectName("messageBox");
    reply = ReplyOf(box.exec());
  });
  return reply;
}

QtDialogs::QtDialogs() = default;

QtDialogs::~QtDialogs() = default;

void QtDialogs::SetOwner(QWidget* owner) {
  owner_ = owner;
}

Reply QtDialogs::ShowMessage(const std::string& text, MessageKind kind, MessageButtons buttons) {
  return ShowCaptioned(text, MessageCaption(kind), kind, buttons);
}

Reply QtDialogs::ShowCaptioned(const std::string& text, const std::string& caption,
                               MessageKind kind, MessageButtons buttons) {
  return ShowMessageBox(owner_, text, caption, kind, buttons);
}

void QtDialogs::ShowWait(const std::string& text, const std::string& caption) {
  RunOnGuiThread([&] {
    if (!wait_) wait_ = std::make_unique<WaitPopup>();
    wait_->Open(owner_, ToQt(caption), ToQtPlain(text));
  });
}

void QtDialogs::HideWait() {
  RunOnGuiThread([&] {
    if (wait_) wait_->Close();
  });
}

bool QtDialogs::WaitVisible() const {
  return wait_ && wait_->isVisible();
}

std::optional<std::string> QtDialogs::PickFolder(const std::string& title,
                                                 const std::string& startFolder) {
  QString folder;
  RunOnGuiThread(
      [&] { folder = QFileDialog::getExistingDirectory(owner_, ToQt(title), ToQt(startFolder)); });
  if (folder.isEmpty()) return std::nullopt;
  return FromQt(folder);
}

std::vector<std::string> QtDialogs::PickFiles(const std::string& title,
                                              const std::string& startFolder,
                                              const std::string& patterns) {
  QStringList files;
  RunOnGuiThread([&] {
    files =
        QFileDialog::getOpenFileNames(owner_, ToQt(title), ToQt(startFolder), FilterOf(patterns));
  });
  std::vector<std::string> paths;
  for (const QString& file : files) paths.push_back(FromQt(file));
  return paths;
}

std::vector<std::string> QtDialogs::PickFilesWithFilters(const std::string& title,
                                                         const std::string& startFolder,
                                                         const std::string& filters,
                                                         int selectedFilter) {
  const QStringList names = QtNameFilters(ParseFileFilters(filters));
  QStringList files;
  RunOnGuiThread([&] {
    QFileDialog dialog(owner_, ToQt(title), ToQt(startFolder));
    dialog.setObjectName("pickFiles");
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!names.isEmpty()) {
      dialog.setNameFilters(names);
      if (selectedFilter >= 0 && selectedFilter < names.size()) {
        dialog.selectNameFilter(names[selectedFilter]);
      }
    }
    if (dialog.exec() == QDialog::Accepted) files = dialog.selectedFiles();
  });
  std::vector<std::string> paths;
  for (const QString& file : files) paths.push_back(FromQt(file));
  return paths;
}

AlbumFolderChoice QtDialogs::PickAlbumFolder(const AlbumFolderRequest& request) {
  AlbumFolderChoice choice;
  RunOnGuiThread([&] {
    AlbumFolderDialog dialog(owner_, request);
    if (dialog.exec() == QDialog::Accepted) choice = dialog.Choice();
  });
  return choice;
}

bool QtDialogs::AskProxyCredentials(std::string* userName, std::string* password) {
  bool accepted = false;
  RunOnGuiThread([&] {
    ProxyPrompt prompt(owner_);
    accepted = prompt.exec() == QDialog::Accepted;
    if (accepted) {
      *userName = FromQt(prompt.UserName());
      *password = FromQt(prompt.Password());
    }
  });
  return accepted;
}

}  // namespace zerva::gui
