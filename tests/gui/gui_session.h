// Runs the real window against a zerva-server: the application's whole start-up with the Qt
// front end, a program folder whose ini file points at the server, a home of its own, message
// boxes answered from a script, and the caller's code run once the window is on the screen.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/scripted_dialogs.h"
#include "gui/qt_dialogs.h"
#include "gui/zerva_window.h"
#include "support/temp_dir.h"
#include "ui/page_ids.h"

class QWidget;

namespace zerva::test {

// Message boxes, the album folder picker and the filtered file dialog answered from a script, the
// boxes with the caption they would carry; the wait popup and the rest are Qt's own.
class ScriptedQtDialogs : public gui::QtDialogs {
 public:
  Reply ShowCaptioned(const std::string& text, const std::string& caption, MessageKind kind,
                      MessageButtons buttons) override {
    captions.push_back(caption);
    return script.ShowMessage(text, kind, buttons);
  }
  // The next queued choice; cancelled when none is queued.
  AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request) override {
    folderRequests.push_back(request);
    if (folders.empty()) return {};
    AlbumFolderChoice choice = folders.front();
    folders.pop_front();
    return choice;
  }
  // The next queued files of a file dialog; cancelled (none) when none are queued.
  std::vector<std::string> PickFilesWithFilters(const std::string& /*title*/,
                                                const std::string& /*startFolder*/,
                                                const std::string& filters,
                                                int /*selectedFilter*/) override {
    fileFilters.push_back(filters);
    if (files.empty()) return {};
    std::vector<std::string> choice = files.front();
    files.pop_front();
    return choice;
  }
  ScriptedDialogs script{Reply::kNo};
  std::vector<std::string> captions;
  std::deque<AlbumFolderChoice> folders;
  std::deque<std::vector<std::string>> files;
  std::vector<std::string> fileFilters;
  std::vector<AlbumFolderRequest> folderRequests;
};

class GuiSession {
 public:
  // `uploadRoot` is the server's "host:port/".
  explicit GuiSession(const std::string& uploadRoot);
  ~GuiSession();

  // Runs the application; `code` runs in the shown window, which is closed afterwards unless
  // the code closed it. Returns the exit status.
  int Run(const std::function<void(gui::ZervaWindow&)>& code,
          const std::vector<std::string>& switches = {});

  // Answers for the next run's message boxes, in order; No for the rest.
  void QueueReply(Reply reply) { replies_.push_back(reply); }
  // Answers for the next run's album folder pickers, in order; cancelled for the rest.
  void QueueFolder(AlbumFolderChoice choice) { folders_.push_back(std::move(choice)); }
  // Answers for the next run's filtered file dialogs (add photos), in order.
  void QueueFiles(std::vector<std::string> files) { files_.push_back(std::move(files)); }
  // The message boxes of the last run, with their captions.
  const std::vector<ScriptedDialogs::Message>& Messages() const { return messages_; }
  const std::vector<std::string>& Captions() const { return captions_; }
  // Addresses handed to the desktop's opener.
  const std::vector<std::string>& Opened() const { return opened_; }
  const std::string& ProgramFolder() const { return programFolder_.Path(); }

 private:
  IsolatedHome home_;
  TempDir programFolder_;
  std::vector<Reply> replies_;
  std::deque<AlbumFolderChoice> folders_;
  std::deque<std::vector<std::string>> files_;
  std::vector<ScriptedDialogs::Message> messages_;
  std::vector<std::string> captions_;
  std::vector<std::string> opened_;
};

// The widget of a control on a page, or on a band (`page` ignored for header and user bar
// numbers below 100).
QWidget* Control(gui::ZervaWindow& window, PageId page, int control);
QWidget* BarControl(gui::ZervaWindow& window, int control);
void Click(QWidget* widget);
// Replaces the text of a line edit as the user would.
void TypeInto(QWidget* widget, const QString& text);
// Processes events for `ms` milliseconds.
void Wait(int ms);

// Runs `act` on the modal dialog of type D once it is open (call it before what opens it).
template <typename D>
void WhenDialogOpens(std::function<void(D*)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    D* dialog = nullptr;
    const bool open = QTest::qWaitFor(
        [&] { return (dialog = qobject_cast<D*>(QApplication::activeModalWidget())) != nullptr; },
        5000);
    ASSERT_TRUE(open);
    act(dialog);
  });
}

// Runs `act` on the modal window of type D once it opens, polling without blocking: for windows
// that open after a loop that is running now (a menu's) has ended.
template <typename D>
void WhenModalWindowOpens(std::function<void(D*)> act) {
  auto* poll = new QTimer();
  poll->setInterval(50);
  QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
    D* window = qobject_cast<D*>(QApplication::activeModalWidget());
    if (window == nullptr) return;
    poll->stop();
    poll->deleteLater();
    act(window);
  });
  poll->start();
}

}  // namespace zerva::test
