// Command menus (MenuEntry lists: commands, check marks, disabled entries, separators and
// submenus) as Qt menus.
#pragma once

#include <QPoint>
#include <vector>

#include "ui/page_view.h"

class QMenu;
class QWidget;

namespace zerva::gui {

// Adds the entries to `menu`; each command's action carries its command number as data.
void AddMenuEntries(QMenu& menu, const std::vector<MenuEntry>& entries);
// Shows the entries at `at` (global) and waits; the chosen entry's command, or -1.
int ExecCommandMenu(QWidget* parent, const std::vector<MenuEntry>& entries, const QPoint& at);

}  // namespace zerva::gui
