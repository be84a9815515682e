#include "gui/command_menu.h"

#include <QMenu>

#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

// "&" in a text would become a mnemonic.
QString MenuText(const std::string& text) {
  return ToQtPlain(text).replace("&", "&&");
}

}  // namespace

void AddMenuEntries(QMenu& menu, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) {
    if (entry.separator) {
      menu.addSeparator();
    } else if (!entry.submenu.empty()) {
      QMenu* submenu = menu.addMenu(MenuText(entry.text));
      submenu->setEnabled(entry.enabled);
      AddMenuEntries(*submenu, entry.submenu);
    } else {
      QAction* action = menu.addAction(MenuText(entry.text));
      action->setData(entry.command);
      action->setEnabled(entry.enabled);
      if (entry.checked) {
        action->setCheckable(true);
        action->setChecked(true);
      }
    }
  }
}

int ExecCommandMenu(QWidget* parent, const std::vector<MenuEntry>& entries, const QPoint& at) {
  if (entries.empty()) return -1;
  QMenu menu(parent);
  menu.setObjectName("commandMenu");
  AddMenuEntries(menu, entries);
  const QAction* chosen = menu.exec(at);
  return chosen == nullptr || !chosen->data().isValid() ? -1 : chosen->data().toInt();
}

}  // namespace zerva::gui
