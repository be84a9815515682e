#include "category/album_categories.h"

#include "category/validator.h"
#include "lang/text.h"

namespace zerva {
namespace {

std::string Join(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string out;
  for (const std::string& piece : pieces) {
    if (!out.empty()) out += separator;
    out += piece;
  }
  return out;
}

}  // namespace

std::vector<std::string> AlbumCategoryPieces(std::string_view list) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find_first_of(",;", start);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view piece = list.substr(start, end - start);
    if (!piece.empty() && NumericValue(piece) != 0) pieces.emplace_back(piece);
    start = end + 1;
  }
  return pieces;
}

bool HasCategory(std::string_view list, int id) {
  const std::string text = std::to_string(id);
  for (const std::string& piece : AlbumCategoryPieces(list)) {
    if (piece == text) return true;
  }
  return false;
}

int CountCategories(std::string_view list) {
  return static_cast<int>(AlbumCategoryPieces(list).size());
}

std::string AddCategory(std::string_view list, int id) {
  std::vector<std::string> pieces = AlbumCategoryPieces(list);
  const std::string text = std::to_string(id);
  bool present = false;
  for (const std::string& piece : pieces) present = present || piece == text;
  // 0 would be ignored when the list is read back.
  if (!present && id != 0) pieces.push_back(text);
  return Join(pieces, ",");
}

std::string RemoveCategory(std::string_view list, int id) {
  const std::string text = std::to_string(id);
  std::vector<std::string> kept;
  for (std::string& piece : AlbumCategoryPieces(list)) {
    if (piece != text) kept.push_back(std::move(piece));
  }
  return Join(kept, ",");
}

std::string CategoryNames(std::string_view list, const CategoryInfoMap& tree) {
  std::vector<std::string> names;
  for (const std::string& piece : AlbumCategoryPieces(list)) {
    const int id = NumericValueInt(piece);
    const CCategoryInfo* info = tree.GetCategoryInfo(id);
    if (info != nullptr && tree.ParentSet().count(id) == 0) names.push_back(info->name);
  }
  if (names.empty()) return Text("msgNoCategory");
  return Join(names, ", ");
}

bool HasChildren(const CategoryInfoMap& tree, int id, std::string_view list, bool* childInList) {
  bool found = false;
  bool inList = false;
  for (int child : tree.LoadOrder()) {
    const CCategoryInfo* info = tree.GetCategoryInfo(child);
    if (info == nullptr || info->parentID != id) continue;
    found = true;
    inList = inList || HasCategory(list, child);
  }
  if (childInList != nullptr) *childInList = inList;
  return found;
}

AlbumFlags AlbumCategoryFlags(std::string_view list, const CategoryInfoMap& tree) {
  AlbumFlags flags;
  for (const std::string& piece : AlbumCategoryPieces(list)) {
    const int id = NumericValueInt(piece);
    const CCategoryInfo* info = tree.GetCategoryInfo(id);
    const CCategoryInfo* parent = info ? tree.GetCategoryInfo(info->parentID) : nullptr;
    if (id == kFloodCategoryId || (info && info->needInfo != 0) ||
        (parent && parent->needInfo != 0)) {
      flags.needForm.push_back(id);
    }
    if (info && info->sendOriginal != 0) flags.anySendOriginal = true;
    if (info && info->sendHiRes != 0) flags.anySendHiRes = true;
  }
  return flags;
}

bool AlbumNeedsHd(bool signedIn, std::string_view list, const CategoryInfoMap& tree) {
  return signedIn && AlbumCategoryFlags(list, tree).anySendOriginal;
}

bool AlbumHiResOrVip(bool signedIn, bool isVip, std::string_view list,
                     const CategoryInfoMap& tree) {
  if (!signedIn) return false;
  return isVip || AlbumCategoryFlags(list, tree).anySendHiRes;
}

}  // namespace zerva
