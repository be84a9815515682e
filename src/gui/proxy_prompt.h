// The proxy prompt: user name and password for a proxy that asks for them. OK is accepted only
// when both boxes are filled; otherwise the focus moves to the first empty one.
#pragma once

#include <QDialog>

class QLineEdit;

namespace zerva::gui {

class ProxyPrompt : public QDialog {
  Q_OBJECT

 public:
  explicit ProxyPrompt(QWidget* parent);
  QString UserName() const;
  QString Password() const;

  void accept() override;

 private:
  QLineEdit* user_;
  QLineEdit* password_;
};

}  // namespace zerva::gui
