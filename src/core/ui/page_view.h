// The controls of a page or a band as its controller sees them: identified by number, set and
// read through these few operations. The Qt window maps each number to a widget; tests keep a
// table of values. Texts arrive translated; the controller looks keys up. Date fields take and
// give their date as text "YYYY-MM-DD" (empty: no date).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "model/image_ptr.h"

namespace zerva {

class AlbumsListView;
class ThumbsListView;

// A popup menu of texts. A right click on an entry may offer one more command for that entry
// (such as removing it); when the command did its work the view drops the entry from the open
// menu.
struct PopupMenu {
  std::vector<std::string> items;
  // Entries drawn with a check mark (by index; entries beyond its end have none).
  std::vector<bool> checked;
  // A separator line follows each of these entries.
  std::vector<size_t> separatorsAfter;
  // The context command's text for an entry; empty: no context menu.
  std::function<std::string(size_t index)> contextText;
  // True when the command did its work and the entry is gone.
  std::function<bool(size_t index)> onContext;
};

// One entry of a command menu: a command, a check mark, a separator or a submenu.
struct MenuEntry {
  std::string text;
  int command = -1;  // what ShowMenu returns when the entry is chosen
  bool checked = false;
  bool enabled = true;
  bool separator = false;
  std::vector<MenuEntry> submenu;  // non-empty: the entry opens these

  static MenuEntry Command(std::string text, int command, bool enabled = true,
                           bool checked = false) {
    MenuEntry entry;
    entry.text = std::move(text);
    entry.command = command;
    entry.enabled = enabled;
    entry.checked = checked;
    return entry;
  }
  static MenuEntry Separator() {
    MenuEntry entry;
    entry.separator = true;
    return entry;
  }
  static MenuEntry Submenu(std::string text, std::vector<MenuEntry> entries) {
    MenuEntry entry;
    entry.text = std::move(text);
    entry.submenu = std::move(entries);
    return entry;
  }
};

// The default text colour of a control.
inline constexpr int kDefaultTextColour = -1;

class PageView {
 public:
  virtual ~PageView() = default;

  virtual void SetText(int control, const std::string& text) = 0;
  virtual std::string GetText(int control) const = 0;
  virtual void SetChecked(int control, bool checked) = 0;
  virtual bool IsChecked(int control) const = 0;
  virtual void Show(int control, bool shown) = 0;
  virtual void Enable(int control, bool enabled) = 0;
  virtual void Focus(int control) = 0;
  // An empty text shows no tooltip.
  virtual void SetTooltip(int control, const std::string& text) = 0;
  // List and combo boxes: the entries, and the selected one (-1: none).
  virtual void SetItems(int control, const std::vector<std::string>& items) = 0;
  virtual int Selected(int control) const = 0;
  virtual void Select(int control, int index) = 0;
  // Pictures shown by a control, such as the header's partner logos.
  virtual void SetImages(int control, const std::vector<std::string>& paths) = 0;
  // One-shot timers: starting a running timer starts it again; the owner's OnTimer fires.
  virtual void StartTimer(int timer, int milliseconds) = 0;
  virtual void StopTimer(int timer) = 0;
  // Shows the menu below `anchor` and waits; the chosen entry, or -1.
  virtual int ShowPopupMenu(int anchor, const PopupMenu& menu) = 0;

  // The controls below are those of the richer pages; a view without such a control ignores
  // the call and answers with the neutral value.

  // Shows the command menu below `anchor` and waits; the chosen entry's command, or -1.
  virtual int ShowMenu(int /*anchor*/, const std::vector<MenuEntry>& /*entries*/) { return -1; }
  // Sliders and progress bars: the position and its range.
  virtual void SetRange(int /*control*/, int /*minimum*/, int /*maximum*/, int /*step*/) {}
  virtual void SetValue(int /*control*/, int /*value*/) {}
  virtual int GetValue(int /*control*/) const { return 0; }
  // Text colour as 0xRRGGBB; kDefaultTextColour for the control's own.
  virtual void SetTextColour(int /*control*/, int /*rgb*/) {}
  // A picture held in memory (a thumbnail); null clears it.
  virtual void SetPicture(int /*control*/, ImagePtr /*image*/) {}
  virtual void CopyToClipboard(const std::string& /*text*/) {}
  // The grey hint a text field shows while it is empty.
  virtual void SetCueText(int /*control*/, const std::string& /*text*/) {}
  // The icon list of thumbnails that is the control; null when there is none.
  virtual ThumbsListView* ThumbnailList(int /*control*/) { return nullptr; }
  // The albums page's list of albums that is the control; null when there is none.
  virtual AlbumsListView* AlbumsList(int /*control*/) { return nullptr; }
};

// What a page or a band hears from its view: a button or link pressed, a field changed by the
// user (never by the controller), a timer fired, Enter or Escape pressed.
class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  virtual void OnCommand(int /*control*/) {}
  virtual void OnEdited(int /*control*/) {}
  virtual void OnTimer(int /*timer*/) {}
  virtual void OnEnter() {}
  virtual void OnEscape() {}
};

}  // namespace zerva
