#include "gui/date_field.h"

#include <QCalendarWidget>
#include <QEvent>

#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

constexpr char kDisplay[] = "d.M.yyyy";
constexpr char kIso[] = "yyyy-MM-dd";
// The field's lowest date stands for "no date".
const QDate kNoDate(1800, 1, 1);

}  // namespace

DateField::DateField(QWidget* parent) : QDateEdit(parent) {
  setDisplayFormat(kDisplay);
  setMinimumDate(kNoDate);
  setSpecialValueText(" ");
  setCalendarPopup(true);
  setDate(kNoDate);
  if (QCalendarWidget* calendar = calendarWidget()) calendar->installEventFilter(this);
}

bool DateField::IsEmpty() const {
  return date() == kNoDate;
}

std::string DateField::IsoText() const {
  return IsEmpty() ? std::string() : FromQt(date().toString(kIso));
}

void DateField::SetIsoText(const std::string& text) {
  const QDate day = QDate::fromString(ToQt(text.substr(0, 10)), kIso);
  setDate(day.isValid() && day > kNoDate ? day : kNoDate);
}

void DateField::stepBy(int steps) {
  if (IsEmpty()) {
    setDate(QDate::currentDate());
    return;
  }
  QDateEdit::stepBy(steps);
}

bool DateField::eventFilter(QObject* watched, QEvent* event) {
  // The calendar of a blank field opens at today rather than at the stand-in date.
  if (event->type() == QEvent::Show && IsEmpty()) {
    const QDate today = QDate::currentDate();
    static_cast<QCalendarWidget*>(watched)->setCurrentPage(today.year(), today.month());
  }
  return QDateEdit::eventFilter(watched, event);
}

}  // namespace zerva::gui
