#include "gui/qt_text.h"

#include "app/text_utils.h"

namespace zerva::gui {

QString ToQtPlain(const std::string& text) {
  return ToQt(BrToLineBreak(text, false, false));
}

}  // namespace zerva::gui
