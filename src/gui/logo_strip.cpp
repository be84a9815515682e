#include "gui/logo_strip.h"

#include <QPainter>

#include "category/logo_strip.h"
#include "gui/qt_text.h"

namespace zerva::gui {

LogoStrip::LogoStrip(QWidget* parent) : QWidget(parent) {
  setFixedSize(kLogoWidth + 2 * kLogoLeft, kLogoStripHeight);
}

void LogoStrip::SetLogos(const std::vector<std::string>& paths) {
  logos_.clear();
  for (const std::string& path : paths) {
    QPixmap logo(ToQt(path));
    if (!logo.isNull()) logos_.push_back(logo);
  }
  update();
}

void LogoStrip::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const std::vector<LogoRect> rects = PartnerLogoRects(logos_.size());
  for (size_t i = 0; i < logos_.size() && i < rects.size(); ++i) {
    const LogoRect& r = rects[i];
    painter.drawPixmap(QRect(r.left, r.top, r.width, r.height), logos_[i]);
  }
}

}  // namespace zerva::gui
