// Saves widgets, and windows with their open popups, as numbered PNG files of one folder.
#pragma once

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <vector>

namespace zerva::test {

class Shooter {
 public:
  explicit Shooter(QString folder) : folder_(std::move(folder)) { QDir().mkpath(folder_); }

  void Shoot(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    Save(widget->grab(), name);
  }
  // The window with a popup (a menu, the protection popup) drawn where it opens over it; a
  // popup reaching past the window's edge is drawn whole on a grey canvas around both.
  void ShootWithPopup(QWidget* window, QWidget* popup, const QString& name) {
    ShootWithPopups(window, {popup}, name);
  }
  // The same with several popups open at once (a menu and its submenu), in that order.
  void ShootWithPopups(QWidget* window, const std::vector<QWidget*>& popups, const QString& name) {
    QApplication::processEvents();
    QRect all(window->mapToGlobal(QPoint()), window->size());
    for (QWidget* popup : popups) {
      if (popup != nullptr) all = all.united(QRect(popup->mapToGlobal(QPoint()), popup->size()));
    }
    QPixmap shot(all.size());
    shot.fill(QColor(0x5e, 0x5c, 0x64));
    QPainter painter(&shot);
    painter.drawPixmap(window->mapToGlobal(QPoint()) - all.topLeft(), window->grab());
    for (QWidget* popup : popups) {
      if (popup == nullptr) continue;
      painter.drawPixmap(popup->mapToGlobal(QPoint()) - all.topLeft(), popup->grab());
    }
    painter.end();
    Save(shot, name);
  }
  // The window with the menu that `open` opens (a popup has its own loop: the shot is taken
  // from a timer while it is open); then the menu is closed.
  void ShootMenu(QWidget* window, const QString& name, const std::function<void()>& open) {
    QTimer shot;
    shot.setSingleShot(true);
    QObject::connect(&shot, &QTimer::timeout, [&] {
      if (QWidget* menu = QApplication::activePopupWidget()) {
        ShootWithPopup(window, menu, name);
        menu->close();
      }
    });
    shot.start(300);
    open();
    shot.stop();
  }
  bool Failed() const { return failed_; }

 private:
  void Save(const QPixmap& shot, const QString& name) {
    const QString path =
        folder_ + "/" + QString("%1-").arg(++count_, 2, 10, QChar('0')) + name + ".png";
    if (shot.save(path)) {
      std::printf("%s\n", path.toStdString().c_str());
    } else {
      std::fprintf(stderr, "cannot write %s\n", path.toStdString().c_str());
      failed_ = true;
    }
  }

  QString folder_;
  int count_ = 0;
  bool failed_ = false;
};

}  // namespace zerva::test
