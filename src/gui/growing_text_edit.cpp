#include "gui/growing_text_edit.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace zerva::gui {

GrowingTextEdit::GrowingTextEdit(QWidget* parent, int leastLines, int mostLines)
    : QPlainTextEdit(parent), leastLines_(leastLines), mostLines_(std::max(mostLines, leastLines)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { Fit(); });
  Fit();
}

int GrowingTextEdit::TextLines() const {
  const qreal width = viewport()->width() - 2 * document()->documentMargin();
  QTextOption option = document()->defaultTextOption();
  option.setWrapMode(wordWrapMode());
  int lines = 0;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    // The block laid out as the field lays it out, at the field's width.
    QTextLayout layout(block.text(), font());
    layout.setTextOption(option);
    layout.beginLayout();
    int blockLines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(std::max<qreal>(width, 1));
      ++blockLines;
    }
    layout.endLayout();
    lines += std::max(blockLines, 1);
  }
  return std::max(lines, 1);
}

void GrowingTextEdit::Fit() {
  // Changing the height resizes the field, which fits it again.
  if (fitting_ != 0) return;
  ++fitting_;
  const int lines = TextLines();
  shownLines_ = std::clamp(lines, leastLines_, mostLines_);
  setVerticalScrollBarPolicy(lines > mostLines_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  const QMargins margins = contentsMargins();
  const int height = shownLines_ * fontMetrics().lineSpacing() +
                     2 * static_cast<int>(document()->documentMargin()) + margins.top() +
                     margins.bottom() + 2;
  setFixedHeight(height);
  --fitting_;
}

void GrowingTextEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  Fit();
}

}  // namespace zerva::gui
