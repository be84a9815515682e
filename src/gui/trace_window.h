// The trace window: the trace messages posted to it from any thread, with their line prefix, up
// to the level chosen in its list.
#pragma once

#include <QWidget>
#include <memory>

#include "gui/qt_ui_thread.h"
#include "ui/trace_window_model.h"

class QComboBox;
class QTreeWidget;

namespace zerva::gui {

class TraceWindow : public QWidget {
  Q_OBJECT

 public:
  TraceWindow();
  ~TraceWindow() override;

  // Where Trace posts its messages (kMsgTraceLine).
  std::shared_ptr<QtWindowTarget> Target() const { return target_; }
  // The lines shown, one per row.
  std::string ShownText() const;
  int ShownCount() const;
  void SetLevel(int level);

 private:
  void Refill();

  TraceWindowModel model_;
  std::shared_ptr<QtWindowTarget> target_;
  QComboBox* levels_;
  QTreeWidget* lines_;
};

}  // namespace zerva::gui
