// The window of a category's property form: its widgets made from the form's control list
// (group boxes with right-aligned labels, edit boxes, lists, check boxes, date and time
// pickers), red frames on invalid fields, tooltips, and the keys: Enter is OK when OK is
// enabled, Esc cancels.
#pragma once

#include <QDialog>
#include <map>
#include <memory>

#include "ui/category_form_view.h"

class QDateTimeEdit;

namespace zerva::gui {

class FormView;

class CategoryFormDialog : public QDialog, public CategoryFormView {
  Q_OBJECT

 public:
  explicit CategoryFormDialog(QWidget* parent = nullptr);
  ~CategoryFormDialog() override;

  PageView& Controls() override;
  void Build(const std::string& caption, const std::vector<FormControl>& controls) override;
  void SetFramed(int control, bool framed) override;
  int FocusedControl() const override;
  bool RunModal(CategoryFormEvents& events) override;
  void Close(bool ok) override;

  // The widget of a control (tests and screenshots); null when there is none.
  QWidget* Widget(int control) const;
  bool IsFramed(int control) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  class FieldControls;
  class Relay;

  std::unique_ptr<FieldControls> controls_;
  std::unique_ptr<Relay> relay_;
  CategoryFormEvents* events_ = nullptr;
  std::map<QObject*, int> inputs_;  // input widgets watched for the focus
  std::map<int, bool> framed_;
};

}  // namespace zerva::gui
