// The nine wizard pages and the names that jumps use for them.
#pragma once

#include <optional>
#include <string_view>

namespace zerva {

enum class PageId {
  kLogin,
  kCreateAccount,
  kAlbums,
  kEditPhotos,
  kPhotoDetail,
  kCopy,
  kPostCopy,
  kSendEmail,
  kEditUserDetail,
};
inline constexpr int kPageCount = 9;

inline constexpr const char* kLoginPage = "CLoginDlg";
inline constexpr const char* kCreateAccountPage = "CreateAccountDlg";
inline constexpr const char* kAlbumsPage = "AlbumsDlg";
inline constexpr const char* kEditPhotosPage = "CEditPhotosDlg";
inline constexpr const char* kPhotoDetailPage = "CEditPhotoDetailDlg";
inline constexpr const char* kCopyPage = "CCopyDlg";
inline constexpr const char* kPostCopyPage = "CPostCopyDlg";
inline constexpr const char* kSendEmailPage = "SendEmailDlg";
inline constexpr const char* kEditUserDetailPage = "CEditUserDetailDlg";

const char* PageName(PageId page);
// Nothing for a name that is not one of the nine.
std::optional<PageId> PageIdFromName(std::string_view name);

}  // namespace zerva
