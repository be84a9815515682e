// A date field shown day first ("d.M.yyyy") that may hold no date: it then shows blank, and a
// step up or down or its calendar starts from today.
#pragma once

#include <QDateEdit>
#include <string>

namespace zerva::gui {

class DateField : public QDateEdit {
  Q_OBJECT

 public:
  explicit DateField(QWidget* parent = nullptr);

  // "YYYY-MM-DD", empty for no date; a text that is no date clears the field.
  std::string IsoText() const;
  void SetIsoText(const std::string& text);
  bool IsEmpty() const;

  void stepBy(int steps) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zerva::gui
