// The album's category list (its `albumCategory` text) and what the listed categories ask for.
// The list holds decimal identifiers joined by ","; when read, ";" separates too, empty pieces
// are skipped and a piece whose number is 0 is ignored. Blanks are kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "category/category_tree.h"

namespace zerva {

// The pieces of the list that count, in order.
std::vector<std::string> AlbumCategoryPieces(std::string_view list);

// Some piece equals the identifier written in decimal.
bool HasCategory(std::string_view list, int id);
int CountCategories(std::string_view list);
// The list rebuilt with "," and, when not yet in it, the identifier appended.
std::string AddCategory(std::string_view list, int id);
// The list rebuilt with "," from the pieces that differ from the identifier.
std::string RemoveCategory(std::string_view list, int id);
// The display names of the listed, known categories that are nobody's parent, joined by ", ";
// the text of "msgNoCategory" when that gives nothing.
std::string CategoryNames(std::string_view list, const CategoryInfoMap& tree);

// Whether some category has `id` as its parent; `childInList` tells whether one of those
// children is in the list.
bool HasChildren(const CategoryInfoMap& tree, int id, std::string_view list, bool* childInList);

struct AlbumFlags {
  std::vector<int> needForm;  // listed identifiers that ask for a property form, in list order
  bool anySendOriginal = false;
  bool anySendHiRes = false;
};

// A listed category needs a form when it is the flood category, asks for information itself,
// or has a known parent that does. Unknown identifiers count for nothing else.
AlbumFlags AlbumCategoryFlags(std::string_view list, const CategoryInfoMap& tree);

// Whether the album's photos go with an HD image: some listed category has sendOriginal.
bool AlbumNeedsHd(bool signedIn, std::string_view list, const CategoryInfoMap& tree);
// Whether the album's photos get the VIP photo values: a VIP user, or some listed category has
// sendHiRes.
bool AlbumHiResOrVip(bool signedIn, bool isVip, std::string_view list, const CategoryInfoMap& tree);

}  // namespace zerva
