#include "ui/page_factory.h"

#include "ui/album_editor_window_page.h"
#include "ui/albums_page.h"
#include "ui/create_account_dlg.h"
#include "ui/edit_user_detail_dlg.h"
#include "ui/login_dlg.h"
#include "ui/photo_detail_page.h"
#include "ui/placeholder_page.h"
#include "ui/post_copy_page.h"
#include "ui/send_email_page.h"
#include "ui/upload_window_page.h"

namespace zerva {

std::unique_ptr<CZervaDialog> MakePage(PageId id, CzervaDlg& window, PageView& view) {
  switch (id) {
    case PageId::kLogin:
      return std::make_unique<CLoginDlg>(window, view);
    case PageId::kCreateAccount:
      return std::make_unique<CreateAccountDlg>(window, view);
    case PageId::kEditUserDetail:
      return std::make_unique<CEditUserDetailDlg>(window, view);
    case PageId::kEditPhotos:
      return std::make_unique<CEditPhotosWindowPage>(window, view);
    case PageId::kCopy:
      return std::make_unique<UploadWindowPage>(window, view);
    case PageId::kAlbums:
      return std::make_unique<CAlbumsDlg>(window, view);
    case PageId::kPostCopy:
      return std::make_unique<CPostCopyDlg>(window, view);
    case PageId::kSendEmail:
      return std::make_unique<SendEmailDlg>(window, view);
    case PageId::kPhotoDetail:
      return std::make_unique<CEditPhotoDetailDlg>(window, view);
    default:
      return std::make_unique<PlaceholderPage>(window, id, view);
  }
}

bool PageIsBuilt(PageId id) {
  return id == PageId::kLogin || id == PageId::kCreateAccount || id == PageId::kEditUserDetail ||
         id == PageId::kEditPhotos || id == PageId::kCopy || id == PageId::kAlbums ||
         id == PageId::kPostCopy || id == PageId::kSendEmail || id == PageId::kPhotoDetail;
}

}  // namespace zerva
