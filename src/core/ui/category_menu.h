// The album editor's category button: the menu of the category tree with its two headings, and
// what choosing an entry does to the album (removing a category it has; adding another, after
// the protection question and the category's form when it has one).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogs.h"
#include "ui/page_view.h"

namespace zerva {

class CAlbum;
class CUserSession;
class CategoryInfoMap;

// An album holds at most this many categories.
inline constexpr int kMaxAlbumCategories = 5;

// A category asks for a form when it is the flood category or it, or its parent, asks for
// information. Such categories are for public albums only: what their forms collect (competition
// entries, reports) is published with the album.
bool CategoryNeedsForm(const CategoryInfoMap& tree, int id);
bool CategoryNeedsPublicAlbum(const CategoryInfoMap& tree, int id);
// The listed categories that need a public album, in list order.
std::vector<int> PublicOnlyCategories(const CategoryInfoMap& tree, std::string_view list);

// The user can neither add nor remove the category: it or its parent is read-only.
bool CategoryLocked(const CategoryInfoMap& tree, int id);

// The menu for an album with the category list `list`: "< albumAddCategory >", the categories
// it can take (a parent's children in a submenu named after the parent), then
// "< albumRemoveCategory >" and the categories it has (read-only ones greyed). An entry's
// command is its category identifier; the headings answer nothing.
std::vector<MenuEntry> CategoryMenuEntries(const CategoryInfoMap& tree, std::string_view list);

enum class CategoryChoice {
  kNothing,  // nothing chosen, or a category the user may not change
  kRemoved,
  kAdded,
  kTooMany,    // the album already has the most categories it may have
  kCancelled,  // the protection question or the form was not confirmed
};

// What the choice needs from the editor.
struct CategoryMenuHost {
  CUserSession& session;  // the tree and the stored form values
  CAlbum& album;
  // An information box, and an information question answered Yes or not.
  std::function<void(const std::string& text)> inform;
  std::function<bool(const std::string& question)> askYes;
  // Shows the category's form starting from `startValues`; true with the confirmed value set
  // when the user confirmed it.
  std::function<bool(int id, const std::string& startValues, std::string* confirmed)> runForm;
};

// Applies the choice of `id` to the album: removes a category the album has; otherwise adds it
// when there is room, the protection question (for a category that needs a public album on a
// protected album) is answered Yes and its form (when it has one) is confirmed, whose values are
// then stored in the session. An added category raises the album's target resolution to the
// user's maximum and makes the album public when it needs that.
CategoryChoice ChooseCategory(CategoryMenuHost& host, int id);

}  // namespace zerva
