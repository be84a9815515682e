#include "model/item_naming.h"

#include <vector>

#include "app/text_utils.h"
#include "model/album.h"
#include "model/photo.h"
#include "model/text_compare.h"

namespace zerva {
namespace {

std::string_view StemOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

}  // namespace

std::string MakeServerFileName(std::string_view fileName) {
  std::string name = MakeServerName(fileName);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name + ".jpg";
}

void MakeUniqueFileName(const CAlbum& album, std::string* name) {
  const size_t dot = name->rfind('.');
  const std::string base = dot == std::string::npos ? *name : name->substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name->substr(dot);
  std::vector<std::string_view> taken;
  taken.reserve(album.items.size());
  for (const auto& item : album.items) taken.push_back(StemOf(item->fileName));
  // Each item blocks at most one candidate, so one more try than there are items always ends.
  for (size_t n = 0; n <= taken.size(); ++n) {
    const std::string stem = n == 0 ? base : base + std::to_string(n);
    bool clash = false;
    for (std::string_view other : taken) {
      if (EqualsNoCase(stem, other)) {
        clash = true;
        break;
      }
    }
    if (!clash) {
      *name = stem + extension;
      return;
    }
  }
}

std::string DefaultItemName(const CPhoto& item) {
  const std::string file = item.localPath.empty() ? item.fileName : FileNameOfPath(item.localPath);
  const size_t dot = file.rfind('.');
  // A name that is only an extension (".jpg") keeps it rather than becoming empty.
  return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

}  // namespace zerva
