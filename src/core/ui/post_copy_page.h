// The post-upload page ("CPostCopyDlg"): the uploaded album's preview with its address, the
// service's banners, and the buttons that view the album on the web, copy its address, mail it
// and edit it again. After an unattended upload (files given on the command line) it only says
// the work is done and closes the window by itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/album_banners.h"
#include "ui/zerva_dialog.h"

namespace zerva {

class CAlbum;
class PostCopyLoader;
struct PostCopyExtras;

// Controls of the post-upload page. The four buttons whose clicks are counted for the usage
// statistics keep these numbers.
inline constexpr int kPostCopyMessage = 1100;
inline constexpr int kPostCopySend = 1101;
inline constexpr int kPostCopyCopy = 1102;
inline constexpr int kPostCopyPreview = 1103;  // the album's picture; a click opens the album
inline constexpr int kPostCopyAddress = 1104;  // the album's address, a link
inline constexpr int kPostCopyMarks = 1105;    // "hidden" and "password" marks
inline constexpr int kPostCopyReturn = 1106;
inline constexpr int kPostCopyAlbumName = 1107;
inline constexpr int kPostCopyView = 1110;
inline constexpr int kPostCopyEdit = 1112;
// The banner slots: pictures to click, the title as tooltip. Banners beyond the slots are not
// shown.
inline constexpr int kPostCopyBannerFirst = 1113;
inline constexpr int kPostCopyBannerSlots = 8;

inline constexpr int kPostCopyCloseTimer = 1;
// How long an unattended upload's last page stays before the window closes.
inline constexpr int kUnattendedCloseMs = 5000;

class CPostCopyDlg : public CZervaDialog {
 public:
  CPostCopyDlg(CzervaDlg& window, PageView& view);
  ~CPostCopyDlg() override;

  void UpdateTexts() override;
  void OnShowPage(bool cameBack) override;
  void OnCommand(int control) override;
  void OnTimer(int timer) override;

  // The banners shown, slot by slot.
  const std::vector<AlbumBanner>& Banners() const { return banners_; }
  // Whether the banners (and the cover) are still on their way.
  bool Loading() const;

 private:
  // Files given on the command line: the upload ran unattended.
  bool Unattended();
  CAlbum& Album();
  // The album's address, name and marks.
  void ShowAlbumTexts();
  // The album's picture from memory; false when it has none there.
  bool ShowPictureAtHand();
  void ShowExtras(PostCopyExtras extras);
  void ShowBanners();
  void OpenAlbum();
  void OpenBanner(size_t index);

  std::unique_ptr<PostCopyLoader> loader_;
  std::vector<AlbumBanner> banners_;
  // The album the shown banners and picture belong to.
  int shownAlbumId_ = 0;
  bool pictureShown_ = false;
};

}  // namespace zerva
