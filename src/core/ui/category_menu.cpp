#include "ui/category_menu.h"

#include <string>

#include "category/album_categories.h"
#include "category/validator.h"
#include "lang/text.h"
#include "model/album.h"
#include "session/user_session.h"

namespace zerva {
namespace {

std::string Heading(const char* key) {
  return "< " + Text(key) + " >";
}

bool TopLevel(const CategoryInfoMap& tree, const CCategoryInfo& info) {
  return tree.GetCategoryInfo(info.parentID) == nullptr;
}

}  // namespace

bool CategoryNeedsForm(const CategoryInfoMap& tree, int id) {
  if (id == kFloodCategoryId) return true;
  const CCategoryInfo* info = tree.GetCategoryInfo(id);
  if (info == nullptr) return false;
  const CCategoryInfo* parent = tree.GetCategoryInfo(info->parentID);
  return info->needInfo != 0 || (parent != nullptr && parent->needInfo != 0);
}

bool CategoryNeedsPublicAlbum(const CategoryInfoMap& tree, int id) {
  return CategoryNeedsForm(tree, id);
}

std::vector<int> PublicOnlyCategories(const CategoryInfoMap& tree, std::string_view list) {
  std::vector<int> ids;
  for (const std::string& piece : AlbumCategoryPieces(list)) {
    const int id = NumericValueInt(piece);
    if (CategoryNeedsPublicAlbum(tree, id)) ids.push_back(id);
  }
  return ids;
}

bool CategoryLocked(const CategoryInfoMap& tree, int id) {
  const CCategoryInfo* info = tree.GetCategoryInfo(id);
  if (info == nullptr) return false;
  const CCategoryInfo* parent = tree.GetCategoryInfo(info->parentID);
  return info->readOnly || (parent != nullptr && parent->readOnly);
}

std::vector<MenuEntry> CategoryMenuEntries(const CategoryInfoMap& tree, std::string_view list) {
  std::vector<MenuEntry> entries;
  entries.push_back(MenuEntry::Command(Heading("albumAddCategory"), -1, false));
  for (const int id : tree.LoadOrder()) {
    const CCategoryInfo* info = tree.GetCategoryInfo(id);
    if (info == nullptr || !TopLevel(tree, *info)) continue;
    if (tree.ParentSet().count(id) != 0) {
      std::vector<MenuEntry> children;
      for (const int child : tree.LoadOrder()) {
        const CCategoryInfo* childInfo = tree.GetCategoryInfo(child);
        if (childInfo == nullptr || childInfo->parentID != id || HasCategory(list, child) ||
            CategoryLocked(tree, child)) {
          continue;
        }
        children.push_back(MenuEntry::Command(childInfo->name, child));
      }
      if (!children.empty()) entries.push_back(MenuEntry::Submenu(info->name, children));
    } else if (!HasCategory(list, id) && !CategoryLocked(tree, id)) {
      entries.push_back(MenuEntry::Command(info->name, id));
    }
  }
  const std::vector<std::string> pieces = AlbumCategoryPieces(list);
  if (pieces.empty()) return entries;
  entries.push_back(MenuEntry::Separator());
  entries.push_back(MenuEntry::Command(Heading("albumRemoveCategory"), -1, false));
  for (const std::string& piece : pieces) {
    const int id = NumericValueInt(piece);
    const CCategoryInfo* info = tree.GetCategoryInfo(id);
    // A category the service no longer knows still takes a place: it can be removed.
    if (info == nullptr) {
      entries.push_back(MenuEntry::Command(piece, id));
      continue;
    }
    std::string name = info->name;
    if (const CCategoryInfo* parent = tree.GetCategoryInfo(info->parentID)) {
      name = parent->name + " / " + name;
    }
    entries.push_back(MenuEntry::Command(name, id, !CategoryLocked(tree, id)));
  }
  return entries;
}

CategoryChoice ChooseCategory(CategoryMenuHost& host, int id) {
  CAlbum& album = host.album;
  const CategoryInfoMap& tree = host.session.Categories();
  if (id <= 0 || CategoryLocked(tree, id)) return CategoryChoice::kNothing;
  if (HasCategory(album.albumCategory, id)) {
    album.albumCategory = RemoveCategory(album.albumCategory, id);
    return CategoryChoice::kRemoved;
  }
  if (tree.GetCategoryInfo(id) == nullptr) return CategoryChoice::kNothing;
  if (CountCategories(album.albumCategory) >= kMaxAlbumCategories) {
    if (host.inform) host.inform(Text("msgMaxCategories"));
    return CategoryChoice::kTooMany;
  }
  const bool needsPublic = CategoryNeedsPublicAlbum(tree, id);
  if (CategoryNeedsForm(tree, id)) {
    if (needsPublic && (!album.albumVisible || album.albumSecure)) {
      const std::string question =
          Text("msgAutoremoveAlbumProtection") + "\n" + Text("msgAutoremoveAlbumProtectionEx");
      if (!host.askYes || !host.askYes(question)) return CategoryChoice::kCancelled;
    }
    std::string confirmed;
    if (!host.runForm || !host.runForm(id, host.session.StartValues(id), &confirmed)) {
      return CategoryChoice::kCancelled;
    }
    host.session.StoreConfirmedValues(id, confirmed);
  }
  album.albumCategory = AddCategory(album.albumCategory, id);
  // The category may ask for the high resolution; the album is sent at the most it may have.
  const int maximum = album.env.PhotoResolution(album.albumCategory);
  if (album.resolution < maximum) album.resolution = maximum;
  if (needsPublic) {
    album.albumVisible = true;
    album.albumSecure = false;
  }
  return CategoryChoice::kAdded;
}

}  // namespace zerva
