// UTF-8 texts of the program to and from Qt's strings.
#pragma once

#include <QString>
#include <string>

namespace zerva::gui {

inline QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
}
inline std::string FromQt(const QString& text) {
  return text.toStdString();
}
// A language text for a plain-text control: its "<br>" forms become line breaks.
QString ToQtPlain(const std::string& text);

}  // namespace zerva::gui
