// Views without a screen for the window's controller and its pages: every control keeps its
// text, state and items in a table, the user's actions are methods, and the main window's
// message boxes answer from the application's scripted dialogs.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/scripted_dialogs.h"
#include "ui/albums_list_view.h"
#include "ui/albums_page.h"
#include "ui/main_window_view.h"
#include "ui/page_view.h"
#include "ui/thumbs_list_view.h"
#include "ui/user_bar.h"
#include "ui/zerva_dlg.h"

namespace zerva::test {

// The thumbnail list without a screen: the tiles are asked for their contents when the test
// draws them, and the user's actions are methods.
class FakeThumbsListView : public ThumbsListView {
 public:
  // --- What the user does ---
  void Click(int position, TileIcon icon = TileIcon::kNone) {
    SetCurrent(position);
    if (events != nullptr) events->OnTileClicked(position, icon);
  }
  void DoubleClick(int position, TileIcon icon = TileIcon::kNone) {
    if (events != nullptr) events->OnTileDoubleClicked(position, icon);
  }
  void Press(int position, TileKey key) {
    if (events != nullptr) events->OnKey(position, key);
  }
  void RightClick(int position) {
    SetCurrent(position);
    if (events != nullptr) events->OnContextMenu(position);
  }
  void Drag(int from, int to) {
    if (events != nullptr) events->OnDragged(from, to);
  }
  void Drop(const std::vector<std::string>& paths) {
    if (events != nullptr) events->OnFilesDropped(paths);
  }
  // Draws every tile as the screen would.
  std::vector<TileInfo> DrawAll() {
    std::vector<TileInfo> tiles;
    for (int i = 0; i < count && events != nullptr; ++i) tiles.push_back(events->Tile(i));
    return tiles;
  }

  // --- ThumbsListView ---
  void SetEvents(ThumbsListEvents* listener) override { events = listener; }
  void SetTileSize(int size, int cellSpacing) override {
    thumbSize = size;
    spacing = cellSpacing;
  }
  void SetTileCount(int tiles) override {
    count = tiles;
    ++fills;
    if (current >= count) current = -1;
  }
  void RedrawTile(int position) override { redrawn.push_back(position); }
  void RedrawAll() override { ++redrawnAll; }
  int CurrentPosition() const override { return current; }
  void SetCurrentPosition(int position) override { current = position < count ? position : -1; }
  void EnsureVisible(int position) override { shownPosition = position; }
  int ShowContextMenu(const std::vector<MenuEntry>& entries) override {
    menus.push_back(entries);
    if (menuChoices.empty()) return -1;
    const int choice = menuChoices.front();
    menuChoices.pop_front();
    return choice;
  }
  void ShowProperties(const std::string& title, const std::string& text) override {
    properties.push_back({title, text});
  }

  ThumbsListEvents* events = nullptr;
  int thumbSize = 0;
  int spacing = 0;
  int count = 0;
  int fills = 0;
  int current = -1;
  int shownPosition = -1;
  int redrawnAll = 0;
  std::vector<int> redrawn;
  std::deque<int> menuChoices;
  std::vector<std::vector<MenuEntry>> menus;
  std::vector<std::pair<std::string, std::string>> properties;

 private:
  void SetCurrent(int position) {
    if (position == current) return;
    current = position;
    if (events != nullptr) events->OnCurrentChanged(position);
  }
};

// The albums page's list without a screen: it keeps the items it was given, and the user's
// actions are methods.
class FakeAlbumsListView : public AlbumsListView {
 public:
  // --- What the user does ---
  void Click(int index) {
    if (events != nullptr) events->OnItemSelected(index);
  }
  void DoubleClick(int index) {
    if (events != nullptr) events->OnItemOpened(index);
  }
  void PressButton(int index, AlbumButton button) {
    if (events != nullptr) events->OnItemButton(index, button);
  }
  void PressDelete() {
    if (events != nullptr) events->OnDeleteKey(expanded);
  }
  void Type(const std::string& character) {
    if (events != nullptr) events->OnCharacterTyped(character);
  }
  // Draws every item as the screen would: those without a cover ask for it.
  void DrawAll() {
    for (int i = 0; i < static_cast<int>(items.size()) && events != nullptr; ++i) {
      if (items[static_cast<size_t>(i)].cover == nullptr) events->OnCoverWanted(i);
    }
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const AlbumsListItem& item : items) names.push_back(item.name);
    return names;
  }
  const AlbumsListItem& ExpandedItem() const { return items.at(static_cast<size_t>(expanded)); }

  // --- AlbumsListView ---
  void SetEvents(AlbumsListEvents* listener) override { events = listener; }
  void SetItems(std::vector<AlbumsListItem> shown) override {
    items = std::move(shown);
    expanded = -1;
    ++fills;
  }
  void SetItem(int index, AlbumsListItem item) override {
    if (index < 0 || index >= static_cast<int>(items.size())) return;
    items[static_cast<size_t>(index)] = std::move(item);
    redrawn.push_back(index);
  }
  void SetExpanded(int index) override {
    expanded = index < static_cast<int>(items.size()) ? index : -1;
  }
  int Expanded() const override { return expanded; }
  void EnsureVisible(int index) override { shownIndex = index; }

  AlbumsListEvents* events = nullptr;
  std::vector<AlbumsListItem> items;
  int expanded = -1;
  int shownIndex = -1;
  int fills = 0;
  std::vector<int> redrawn;
};

class FakePageView : public PageView {
 public:
  struct Control {
    std::string text;
    std::string tooltip;
    bool checked = false;
    bool shown = true;
    bool enabled = true;
    std::vector<std::string> items;
    int selected = -1;
    std::vector<std::string> images;
    int value = 0;
    int minimum = 0;
    int maximum = 0;
    int step = 0;
    int colour = kDefaultTextColour;
    ImagePtr picture;
    std::string cue;
  };

  // --- What the user does ---
  void Type(int control, const std::string& text) {
    controls[control].text = text;
    if (events != nullptr) events->OnEdited(control);
  }
  void Click(int control) {
    if (events != nullptr) events->OnCommand(control);
  }
  // Enter in a one-line field.
  void PressEnter() {
    if (events != nullptr) events->OnEnter();
  }
  void PressEscape() {
    if (events != nullptr) events->OnEscape();
  }
  void Check(int control, bool checked) {
    controls[control].checked = checked;
    if (events != nullptr) events->OnEdited(control);
  }
  void Choose(int control, int index) {
    controls[control].selected = index;
    if (events != nullptr) events->OnEdited(control);
  }
  // Moves a slider as the user drags it (OnEdited), and releases it (OnCommand).
  void Slide(int control, int value) {
    controls[control].value = value;
    if (events != nullptr) events->OnEdited(control);
  }
  void Release(int control) {
    if (events != nullptr) events->OnCommand(control);
  }
  // Fires a running timer; false when it is not running.
  bool Fire(int timer) {
    if (timers.erase(timer) == 0) return false;
    if (events != nullptr) events->OnTimer(timer);
    return true;
  }
  bool TimerRunning(int timer) const { return timers.count(timer) != 0; }

  // --- PageView ---
  void SetText(int control, const std::string& text) override { controls[control].text = text; }
  std::string GetText(int control) const override { return Find(control).text; }
  void SetChecked(int control, bool checked) override { controls[control].checked = checked; }
  bool IsChecked(int control) const override { return Find(control).checked; }
  void Show(int control, bool shown) override { controls[control].shown = shown; }
  void Enable(int control, bool enabled) override { controls[control].enabled = enabled; }
  void Focus(int control) override { focus = control; }
  void SetTooltip(int control, const std::string& text) override {
    controls[control].tooltip = text;
  }
  void SetItems(int control, const std::vector<std::string>& items) override {
    controls[control].items = items;
    controls[control].selected = -1;
  }
  int Selected(int control) const override { return Find(control).selected; }
  void Select(int control, int index) override {
    const int count = static_cast<int>(controls[control].items.size());
    controls[control].selected = index < count ? index : -1;
  }
  void SetImages(int control, const std::vector<std::string>& paths) override {
    controls[control].images = paths;
  }
  void StartTimer(int timer, int milliseconds) override {
    timers[timer] = milliseconds;
    ++timerStarts[timer];
  }
  void StopTimer(int timer) override { timers.erase(timer); }
  // Answers with the next queued choice (-1 when none); a queued context command is applied to
  // its entry first.
  int ShowPopupMenu(int anchor, const PopupMenu& menu) override {
    menus.push_back({anchor, menu.items, menu.checked, menu.separatorsAfter});
    if (!contextChoices.empty()) {
      const size_t index = contextChoices.front();
      contextChoices.pop_front();
      contextTexts.push_back(menu.contextText ? menu.contextText(index) : std::string());
      contextDone.push_back(menu.onContext && menu.onContext(index));
    }
    if (menuChoices.empty()) return -1;
    const int choice = menuChoices.front();
    menuChoices.pop_front();
    return choice;
  }

  int ShowMenu(int anchor, const std::vector<MenuEntry>& entries) override {
    commandMenus.push_back({anchor, entries});
    if (menuChoices.empty()) return -1;
    const int choice = menuChoices.front();
    menuChoices.pop_front();
    return choice;
  }
  void SetRange(int control, int minimum, int maximum, int step) override {
    controls[control].minimum = minimum;
    controls[control].maximum = maximum;
    controls[control].step = step;
  }
  void SetValue(int control, int value) override { controls[control].value = value; }
  int GetValue(int control) const override { return Find(control).value; }
  void SetTextColour(int control, int rgb) override { controls[control].colour = rgb; }
  void SetPicture(int control, ImagePtr image) override {
    controls[control].picture = std::move(image);
  }
  void CopyToClipboard(const std::string& text) override { clipboard = text; }
  void SetCueText(int control, const std::string& text) override { controls[control].cue = text; }
  ThumbsListView* ThumbnailList(int control) override {
    return control == thumbnailControl ? &thumbnails : nullptr;
  }
  AlbumsListView* AlbumsList(int control) override {
    return control == albumsControl ? &albums : nullptr;
  }

  const Control& Find(int control) const {
    static const Control kNone;
    const auto it = controls.find(control);
    return it == controls.end() ? kNone : it->second;
  }
  bool Shown(int control) const { return Find(control).shown; }
  bool Enabled(int control) const { return Find(control).enabled; }

  ControlEvents* events = nullptr;
  mutable std::map<int, Control> controls;
  std::map<int, int> timers;
  std::map<int, int> timerStarts;
  int focus = 0;
  std::deque<int> menuChoices;
  std::deque<size_t> contextChoices;
  struct Menu {
    int anchor;
    std::vector<std::string> items;
    std::vector<bool> checked;
    std::vector<size_t> separatorsAfter;
  };
  std::vector<Menu> menus;
  std::vector<std::string> contextTexts;
  // What each context command answered: whether its entry left the menu.
  std::vector<bool> contextDone;
  struct CommandMenu {
    int anchor;
    std::vector<MenuEntry> entries;
  };
  // Command menus shown (ShowMenu); answered from menuChoices like the popup menus.
  std::vector<CommandMenu> commandMenus;
  std::string clipboard;
  // The control that is the thumbnail list, and the list.
  int thumbnailControl = -1;
  FakeThumbsListView thumbnails;
  // The control that is the albums page's list (every page has one; only that page asks).
  int albumsControl = kAlbumsList;
  FakeAlbumsListView albums;
};

class FakeMainView : public MainWindowView {
 public:
  struct Box {
    std::string text;
    std::string caption;
    MessageKind kind;
    MessageButtons buttons;
  };

  explicit FakeMainView(ScriptedDialogs& replies) : replies_(replies) {}

  PageView& Header() override { return header; }
  PageView& UserBar() override { return userBar; }
  void ShowPage(PageId page, bool shown) override {
    if (shown) {
      visiblePage = page;
      shownPages.push_back(page);
    }
  }
  void SetTitle(const std::string& text) override { title = text; }
  void SetMinimumSize(int width, int height) override {
    minWidth = width;
    minHeight = height;
  }
  Reply ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                    MessageButtons buttons) override {
    boxes.push_back({text, caption, kind, buttons});
    return replies_.ShowMessage(text, kind, buttons);
  }
  void OpenTraceWindow() override { ++traceOpened; }
  void CloseTraceWindow() override { ++traceClosed; }
  void OpenAboutBox() override { ++aboutOpened; }
  void Raise() override { ++raised; }
  void CloseWindow() override { ++closeRequests; }

  FakePageView header;
  FakePageView userBar;
  PageId visiblePage = PageId::kLogin;
  std::vector<PageId> shownPages;
  std::string title;
  int minWidth = 0;
  int minHeight = 0;
  std::vector<Box> boxes;
  int traceOpened = 0;
  int traceClosed = 0;
  int aboutOpened = 0;
  int raised = 0;
  int closeRequests = 0;

 private:
  ScriptedDialogs& replies_;
};

// The window's controller on fake views: the nine page views, the bands, and the controller
// whose pages listen to them. `Start` makes the first move.
class WindowHarness {
 public:
  WindowHarness(CzervaApp& app, ScriptedDialogs& replies) : main(replies), dlg(app, main) {
    PageViews views{};
    for (int i = 0; i < kPageCount; ++i) views[i] = &pages[i];
    dlg.InitDialog(views, 1280, 1024);
    for (int i = 0; i < kPageCount; ++i) pages[i].events = dlg.Pages().Page(PageId(i));
    main.userBar.events = &dlg.UserBar();
  }
  void Start() { dlg.ShowFirstPage(); }

  FakePageView& Page(PageId id) { return pages[static_cast<int>(id)]; }
  std::string Current() const { return dlg.CurrentPageName(); }
  template <typename T>
  T& Controller(PageId id) {
    return *static_cast<T*>(dlg.Pages().Page(id));
  }

  FakeMainView main;
  FakePageView pages[kPageCount];
  CzervaDlg dlg;
};

}  // namespace zerva::test
