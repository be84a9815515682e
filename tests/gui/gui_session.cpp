#include "gui_session.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "gui/form_view.h"
#include "gui/qt_front_end.h"
#include "net/endpoints.h"
#include "net/http_mngr.h"
#include "platform/shell_open.h"
#include "ui/zerva_app.h"

namespace zerva::test {

GuiSession::GuiSession(const std::string& uploadRoot) {
  programFolder_.Write(kProxyIniFileName, "Domain=" + uploadRoot + "\n");
}

GuiSession::~GuiSession() {
  ResetDomainsToDefaults();
}

int GuiSession::Run(const std::function<void(gui::ZervaWindow&)>& code,
                    const std::vector<std::string>& switches) {
  const ShellOpener previous = SetShellOpener([this](const std::string& target) {
    opened_.push_back(target);
    return true;
  });
  gui::QtFrontEnd::Options options;
  auto dialogs = std::make_unique<ScriptedQtDialogs>();
  ScriptedQtDialogs& scripted = *dialogs;
  for (const Reply reply : replies_) scripted.script.QueueReply(reply);
  replies_.clear();
  scripted.folders.swap(folders_);
  folders_.clear();
  scripted.files.swap(files_);
  files_.clear();
  options.dialogs = std::move(dialogs);
  options.onShown = [&code](gui::ZervaWindow& window) {
    code(window);
    if (window.isVisible()) window.close();
    if (window.isVisible()) {
      // A question kept the window open; the run must still end.
      ADD_FAILURE() << "the window refused to close (a question was not answered Yes)";
      emit window.closed();
    }
  };
  gui::QtFrontEnd frontEnd(std::move(options));
  AppOptions appOptions;
  appOptions.programFolder = programFolder_.Path();
  int status = 0;
  {
    CzervaApp app(frontEnd, {}, appOptions);
    app.HttpMngr().SetSystemProxyLookup(
        [](const std::string&, std::string* proxy, std::string* credentials) {
          proxy->clear();
          credentials->clear();
          return true;
        });
    std::vector<const char*> argv = {"zerva"};
    for (const std::string& s : switches) argv.push_back(s.c_str());
    app.InitInstance(static_cast<int>(argv.size()), argv.data());
    status = app.ExitInstance();
  }
  messages_ = scripted.script.Messages();
  captions_ = scripted.captions;
  SetShellOpener(previous);
  return status;
}

QWidget* Control(gui::ZervaWindow& window, PageId page, int control) {
  return window.PageForm(page).Widget(control);
}

QWidget* BarControl(gui::ZervaWindow& window, int control) {
  QWidget* widget = window.UserBarForm().Widget(control);
  return widget != nullptr ? widget : window.HeaderForm().Widget(control);
}

void Click(QWidget* widget) {
  // Near the left edge: a check box reacts only on its box and its text.
  const QPoint at(std::min(8, widget->width() / 2), widget->height() / 2);
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

void TypeInto(QWidget* widget, const QString& text) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  if (edit == nullptr) return;
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(edit, c.toLatin1());
    } else {
      // QTest types only ASCII; other letters arrive as the keyboard would send them.
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit, &release);
    }
  }
}

void Wait(int ms) {
  QTest::qWait(ms);
}

}  // namespace zerva::test
