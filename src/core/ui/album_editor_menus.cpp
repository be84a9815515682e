// CEditPhotosDlg: the select, names, sort and link menus.
#include <mutex>

#include "lang/text.h"
#include "model/album.h"
#include "model/item_naming.h"
#include "model/photo_sort.h"
#include "session/sort_state.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

struct SortEntry {
  int key;
  const char* textKey;
};
constexpr SortEntry kSortEntries[] = {
    {kSortByDate, "EditPhotosDlgSortTimeBtn"},
    {kSortByFileName, "EditPhotosDlgSortNameBtn"},
    {kSortByName, "EditPhotosDlgSortLabelBtn"},
};

}  // namespace

void CEditPhotosDlg::OnSelectMenu() {
  CAlbum& album = Album();
  const bool allSelected = SelectedCount() == static_cast<int>(album.items.size());
  const int command = controls_.ShowMenu(
      kEditSelectButton,
      {MenuEntry::Command(Text("EditPhotosDlgSelectAllBtn"), kSelectAll, !allSelected),
       MenuEntry::Command(Text("EditPhotosDlgSelectNoneBtn"), kSelectNone),
       MenuEntry::Command(Text("EditPhotosDlgSelectInvertBtn"), kSelectInvert)});
  if (command != kSelectAll && command != kSelectNone && command != kSelectInvert) return;
  for (const auto& item : album.items) {
    item->included = command == kSelectInvert ? !item->included : command == kSelectAll;
  }
  MarkModified();
  list_->RecomputeCover(true);
  list_->Refresh();
  if (command != kSelectNone) {
    RecomputeDates();
    ShowDates();
  }
  AfterItemsChanged();
}

void CEditPhotosDlg::OnNamesMenu() {
  CAlbum& album = Album();
  const int command = controls_.ShowMenu(
      kEditNamesButton,
      {MenuEntry::Command(Text("EditPhotosDlgNamesDefault"), kNamesDefault),
       MenuEntry::Command(Text("EditPhotosDlgNamesClear"), kNamesClear),
       MenuEntry::Command(Text("EditPhotosDlgNamesUndo"), kNamesUndo, UndoAvailable())});
  if (command == kNamesDefault || command == kNamesClear) {
    nameUndo_.clear();
    for (const auto& item : album.items) {
      const std::string name = command == kNamesDefault ? DefaultItemName(*item) : std::string();
      std::lock_guard<std::mutex> lock(item->lock);
      nameUndo_[item.get()] = item->name;
      item->name = name;
    }
    MarkModified();
  } else if (command == kNamesUndo && UndoAvailable()) {
    for (const auto& item : album.items) {
      const auto saved = nameUndo_.find(item.get());
      if (saved == nameUndo_.end()) continue;
      std::lock_guard<std::mutex> lock(item->lock);
      item->name = saved->second;
    }
    nameUndo_.clear();
  } else {
    return;
  }
  list_->Refresh();
}

void CEditPhotosDlg::OnSortMenu() {
  SortState& sort = app_.Session().SecondSort();
  std::vector<MenuEntry> entries;
  for (const SortEntry& entry : kSortEntries) {
    entries.push_back(MenuEntry::Command(Text(entry.textKey), kSortCommandBase + entry.key, true,
                                         sort.Key() == entry.key));
  }
  const int key = controls_.ShowMenu(kEditSortButton, entries) - kSortCommandBase;
  bool known = false;
  for (const SortEntry& entry : kSortEntries) known = known || entry.key == key;
  if (!known || !StopLoader()) return;
  // The current key again reverses the order; another key takes its own direction.
  const int direction =
      key == sort.Key() ? (sort.Direction() != 0 ? 0 : 1) : sort.LastDirection(key);
  sort.Set(key, direction);
  CAlbum& album = Album();
  SortItems(album, key, direction != 0);
  list_->Fill(&album, false);
  list_->StartLoader();
  UpdateNextButton();
}

void CEditPhotosDlg::OnLinkMenu() {
  const std::string url = Album().AlbumUrl();
  if (url.empty()) return;
  const int command =
      controls_.ShowMenu(kEditLink, {MenuEntry::Command(Text("EditAlbumsDlgUrlTool"), kLinkOpen),
                                     MenuEntry::Command(Text("PostCopyDlgBtnCopy"), kLinkCopy)});
  if (command == kLinkOpen) app_.OpenUrlSignedIn(url);
  if (command == kLinkCopy) controls_.CopyToClipboard(url);
}

}  // namespace zerva
