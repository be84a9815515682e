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
  // The window with a popup (a menu, the protection popup) drawn where it opens over it.
  void ShootWithPopup(QWidget* window, QWidget* popup, const QString& name) {
    QApplication::processEvents();
    QPixmap shot = window->grab();
    if (popup != nullptr) {
      QPainter painter(&shot);
      painter.drawPixmap(popup->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()),
                         popup->grab());
    }
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
