#include "gui/proxy_prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "lang/text.h"

namespace zerva::gui {

ProxyPrompt::ProxyPrompt(QWidget* parent) : QDialog(parent) {
  setObjectName("proxyPrompt");
  setWindowTitle(ToQt(Text("msgProxyAuthenticationCaption")));
  auto* layout = new QVBoxLayout(this);
  auto* help = new QLabel(ToQtPlain(Text("msgProxyHelpText")), this);
  help->setWordWrap(true);
  layout->addWidget(help);
  auto* form = new QFormLayout;
  user_ = new QLineEdit(this);
  user_->setObjectName("proxyUser");
  password_ = new QLineEdit(this);
  password_->setObjectName("proxyPassword");
  password_->setEchoMode(QLineEdit::Password);
  form->addRow(ToQt(Text("msgProxyUserName")), user_);
  form->addRow(ToQt(Text("msgProxyPassword")), password_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QString ProxyPrompt::UserName() const {
  return user_->text();
}

QString ProxyPrompt::Password() const {
  return password_->text();
}

void ProxyPrompt::accept() {
  for (QLineEdit* box : {user_, password_}) {
    if (box->text().isEmpty()) {
      box->setFocus();
      return;
    }
  }
  QDialog::accept();
}

}  // namespace zerva::gui
