// Saves widgets, and windows with their open popups, as numbered PNG files of one folder.
#pragma once

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

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
    QApplication::processEvents();
    if (popup == nullptr) {
      Save(window->grab(), name);
      return;
    }
    const QRect windowArea(window->mapToGlobal(QPoint()), window->size());
    const QRect popupArea(popup->mapToGlobal(QPoint()), popup->size());
    const QRect all = windowArea.united(popupArea);
    QPixmap shot(all.size());
    shot.fill(QColor(0x5e, 0x5c, 0x64));
    QPainter painter(&shot);
    painter.drawPixmap(windowArea.topLeft() - all.topLeft(), window->grab());
    painter.drawPixmap(popupArea.topLeft() - all.topLeft(), popup->grab());
    painter.end();
    Save(shot, name);
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
