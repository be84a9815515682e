// The header's strip of partner logos, drawn where the logo layout puts them.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

namespace zerva::gui {

class LogoStrip : public QWidget {
  Q_OBJECT

 public:
  explicit LogoStrip(QWidget* parent = nullptr);
  void SetLogos(const std::vector<std::string>& paths);
  int Count() const { return static_cast<int>(logos_.size()); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<QPixmap> logos_;
};

}  // namespace zerva::gui
