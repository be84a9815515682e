// A multi-line text field that grows with its text between a least and a most number of lines
// and shows a scroll bar beyond the most, such as the album's description.
#pragma once

#include <QPlainTextEdit>

namespace zerva::gui {

class GrowingTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  GrowingTextEdit(QWidget* parent, int leastLines, int mostLines);

  // The lines the text takes at the field's present width, wrapped lines counted.
  int TextLines() const;
  // The lines the field shows now.
  int ShownLines() const { return shownLines_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Fit();

  int leastLines_;
  int mostLines_;
  int shownLines_ = 0;
  int fitting_ = 0;
};

}  // namespace zerva::gui
