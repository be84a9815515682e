#include "gui/trace_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/message_target.h"
#include "gui/qt_text.h"

namespace zerva::gui {

TraceWindow::TraceWindow() : QWidget(nullptr, Qt::Tool) {
  setObjectName("traceWindow");
  setWindowTitle(ToQt(TraceWindowTitle()));
  resize(900, 400);
  auto* layout = new QVBoxLayout(this);
  levels_ = new QComboBox(this);
  levels_->setObjectName("traceLevel");
  for (const std::string& label : TraceLevelChoices()) levels_->addItem(ToQt(label));
  levels_->setCurrentIndex(model_.Level() - 1);
  connect(levels_, &QComboBox::activated, this, [this](int index) { SetLevel(index + 1); });
  lines_ = new QTreeWidget(this);
  lines_->setObjectName("traceLines");
  lines_->setHeaderHidden(true);
  lines_->setRootIsDecorated(false);
  lines_->setUniformRowHeights(true);
  auto* top = new QHBoxLayout;
  top->addWidget(levels_);
  top->addStretch(1);
  layout->addLayout(top);
  layout->addWidget(lines_, 1);

  target_ = std::make_shared<QtWindowTarget>([this](const WindowMessage& message) {
    if (message.id == kMsgTraceLine && message.payload) {
      model_.Add(static_cast<uint32_t>(message.wParam),
                 *static_cast<const std::string*>(message.payload.get()));
      Refill();
    }
    return MessageParam{0};
  });
}

TraceWindow::~TraceWindow() {
  target_->Close();
}

void TraceWindow::SetLevel(int level) {
  model_.SetLevel(level);
  levels_->setCurrentIndex(model_.Level() - 1);
  Refill();
}

void TraceWindow::Refill() {
  lines_->clear();
  QList<QTreeWidgetItem*> items;
  for (const TraceWindowEntry* entry : model_.Visible()) {
    items.append(new QTreeWidgetItem(QStringList(ToQt(entry->line))));
  }
  lines_->addTopLevelItems(items);
  lines_->scrollToBottom();
}

std::string TraceWindow::ShownText() const {
  std::string text;
  for (int i = 0; i < lines_->topLevelItemCount(); ++i) {
    text += FromQt(lines_->topLevelItem(i)->text(0)) + "\n";
  }
  return text;
}

int TraceWindow::ShownCount() const {
  return lines_->topLevelItemCount();
}

}  // namespace zerva::gui
