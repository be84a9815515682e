#include "ui/page_ids.h"

namespace zerva {
namespace {

constexpr const char* kNames[kPageCount] = {
    kLoginPage, kCreateAccountPage, kAlbumsPage,    kEditPhotosPage,     kPhotoDetailPage,
    kCopyPage,  kPostCopyPage,      kSendEmailPage, kEditUserDetailPage,
};

}  // namespace

const char* PageName(PageId page) {
  return kNames[static_cast<int>(page)];
}

std::optional<PageId> PageIdFromName(std::string_view name) {
  for (int i = 0; i < kPageCount; ++i) {
    if (name == kNames[i]) return static_cast<PageId>(i);
  }
  return std::nullopt;
}

}  // namespace zerva
