#include "ui/post_copy_page.h"

#include <FreeImagePlus.h>

#include "app/trace.h"
#include "lang/text.h"
#include "model/photo.h"
#include "ui/post_copy_loader.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {

CPostCopyDlg::CPostCopyDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kPostCopy, view) {
  // The usage statistics count these buttons from the moment the window has this page.
  App().Statistics().RegisterButtons({kPostCopyView, kPostCopyCopy, kPostCopySend, kPostCopyEdit});
  loader_ = std::make_unique<PostCopyLoader>(
      App().AppUiThread(), [this](PostCopyExtras extras) { ShowExtras(std::move(extras)); });
}

CPostCopyDlg::~CPostCopyDlg() {
  // The loads stop before the page they report to goes.
  loader_.reset();
}

bool CPostCopyDlg::Unattended() {
  return App().CommandLine().FilesGiven();
}

CAlbum& CPostCopyDlg::Album() {
  return App().CurrentAlbum();
}

bool CPostCopyDlg::Loading() const {
  return loader_->Busy();
}

void CPostCopyDlg::UpdateTexts() {
  CzervaDlg& window = Window();
  PageView& view = View();
  const bool unattended = Unattended();
  window.SetHeaderTitle(unattended ? Text("PostCopyDlgTitleUpl") : Text("PostCopyDlgTitle"));
  window.SetHeaderText(unattended ? Text("PostCopyDlgTextUpl") : Text("PostCopyDlgText"));
  view.SetText(kPostCopyMessage, Text("PostCopyDlgMsg"));
  struct Button {
    int control;
    const char* text;
    const char* tooltip;
  };
  static constexpr Button kButtons[] = {
      {kPostCopyView, "PostCopyDlgBtnView", "EditAlbumsDlgUrlTool"},
      {kPostCopyCopy, "PostCopyDlgBtnCopy", "PostCopyDlgCopyTool"},
      {kPostCopySend, "PostCopyDlgBtnSend", "EditAlbumsDlgSendTool"},
      {kPostCopyEdit, "PostCopyDlgBtnEdit", "EditAlbumsDlgEditTool"},
  };
  for (const Button& button : kButtons) {
    view.SetText(button.control, Text(button.text));
    SetTooltipEntry(button.control, button.tooltip);
    view.Show(button.control, !unattended);
  }
  view.SetText(kPostCopyReturn, unattended ? Text("msgVideoEnd") : Text("navBackPostCopy"));
  SetTooltipEntry(kPostCopyReturn, unattended ? "navPrevAlbumsToolUpl" : "navPrevAlbumsTool");
  ShowAlbumTexts();

  // The page's own buttons lead on; the user bar's stay out of the way.
  window.ShowNextButton(false);
  window.EnableNextButton(false);
  window.ShowBackButton(false);
  window.EnableBackButton(false);
  CZervaDialog::UpdateTexts();
}

void CPostCopyDlg::ShowAlbumTexts() {
  const CAlbum& album = Album();
  const std::string url = album.AlbumUrl();
  std::vector<std::string> marks;
  if (!album.albumVisible) marks.push_back(Text("AlbumHiddenText"));
  if (album.albumSecure) marks.push_back(Text("AlbumPassText"));
  std::string tooltip = url;
  std::string markText;
  for (const std::string& mark : marks) {
    tooltip += (tooltip.empty() ? "" : "\n") + mark;
    markText += (markText.empty() ? "" : " \xC2\xB7 ") + mark;
  }
  PageView& view = View();
  // Literal texts: the address and the marks are not language keys.
  SetTooltipEntry(kPostCopyPreview, tooltip.empty() ? "" : "@@@" + tooltip);
  view.SetText(kPostCopyAddress, url);
  SetTooltipEntry(kPostCopyAddress, "EditAlbumsDlgUrlTool");
  view.SetText(kPostCopyAlbumName, album.name);
  view.SetText(kPostCopyMarks, markText);
  view.Show(kPostCopyMarks, !marks.empty());
}

void CPostCopyDlg::OnShowPage(bool /*cameBack*/) {
  CAlbum& album = Album();
  ShowAlbumTexts();
  if (album.albumID != shownAlbumId_) {
    // Another album: nothing of the last one may stay while this one's arrive.
    shownAlbumId_ = album.albumID;
    banners_.clear();
    ShowBanners();
    View().SetPicture(kPostCopyPreview, nullptr);
    pictureShown_ = false;
  }
  const bool atHand = ShowPictureAtHand();
  pictureShown_ = pictureShown_ || atHand;

  CUserSession& session = App().Session();
  if (session.IsSignedIn() && album.albumID >= 1) {
    PostCopyRequest request;
    request.connections = App().SharedHttpMngr();
    request.user = session.Credentials();
    request.albumId = album.albumID;
    request.scratchFolder = session.UserFolder();
    if (!atHand && !album.thumbName.empty() && album.coverLarge.state != kCoverFailed) {
      request.coverOf = album;
    }
    loader_->Start(std::move(request));
  }
  if (Unattended()) View().StartTimer(kPostCopyCloseTimer, kUnattendedCloseMs);
  View().Focus(kPostCopyReturn);
}

bool CPostCopyDlg::ShowPictureAtHand() {
  CAlbum& album = Album();
  ImagePtr picture = album.coverLarge.image;
  if (!picture) {
    // The cover item when the album names one, else the first item that is part of it.
    const CPhoto* chosen = nullptr;
    for (const auto& item : album.items) {
      if (!item->included) continue;
      if (chosen == nullptr) chosen = item.get();
      if (!album.thumbName.empty() && item->fileName == album.thumbName) {
        chosen = item.get();
        break;
      }
    }
    if (chosen != nullptr) {
      // The jobs may still hold the item's picture: the view gets a copy of its own.
      std::lock_guard<std::mutex> lock(chosen->lock);
      if (chosen->thumbnail && chosen->thumbnail->isValid()) {
        picture = std::make_shared<fipImage>(*chosen->thumbnail);
      }
    }
  }
  if (!picture) return false;
  View().SetPicture(kPostCopyPreview, picture);
  return true;
}

void CPostCopyDlg::ShowExtras(PostCopyExtras extras) {
  banners_ = std::move(extras.banners);
  if (banners_.size() > static_cast<size_t>(kPostCopyBannerSlots)) {
    banners_.resize(kPostCopyBannerSlots);
  }
  ShowBanners();
  if (extras.cover && !pictureShown_) {
    View().SetPicture(kPostCopyPreview, extras.cover);
    pictureShown_ = true;
  }
}

void CPostCopyDlg::ShowBanners() {
  PageView& view = View();
  for (int slot = 0; slot < kPostCopyBannerSlots; ++slot) {
    const int control = kPostCopyBannerFirst + slot;
    const bool used = static_cast<size_t>(slot) < banners_.size();
    const AlbumBanner* banner = used ? &banners_[static_cast<size_t>(slot)] : nullptr;
    view.SetPicture(control, used ? banner->picture : nullptr);
    SetTooltipEntry(control, used && !banner->title.empty() ? "@@@" + banner->title : "");
    view.Show(control, used);
  }
}

void CPostCopyDlg::OpenAlbum() {
  App().Statistics().Click(kPostCopyView);
  const std::string url = Album().AlbumUrl();
  if (!url.empty()) Window().OpenUrlSignedIn(url);
}

void CPostCopyDlg::OpenBanner(size_t index) {
  if (index >= banners_.size()) return;
  const std::string& link = banners_[index].link;
  if (!IsWebLink(link)) {
    TraceText(kTraceWarning, "PostCopy: a banner's link is no web address: " + link);
    return;
  }
  Window().OpenUrlSignedIn(link);
}

void CPostCopyDlg::OnCommand(int control) {
  switch (control) {
    case kPostCopyView:
    case kPostCopyPreview:
    case kPostCopyAddress:
      OpenAlbum();
      return;
    case kPostCopyCopy:
      App().Statistics().Click(kPostCopyCopy);
      View().CopyToClipboard(Album().AlbumUrl());
      return;
    case kPostCopySend:
      App().Statistics().Click(kPostCopySend);
      Window().GoTo(kSendEmailPage, this);
      return;
    case kPostCopyEdit:
      App().Statistics().Click(kPostCopyEdit);
      Window().GoTo(kEditPhotosPage, this);
      return;
    case kPostCopyReturn:
      if (Unattended()) {
        View().StopTimer(kPostCopyCloseTimer);
        Window().CloseWindow();
      } else {
        Window().Back();
      }
      return;
    default:
      if (control >= kPostCopyBannerFirst &&
          control < kPostCopyBannerFirst + kPostCopyBannerSlots) {
        OpenBanner(static_cast<size_t>(control - kPostCopyBannerFirst));
      }
      return;
  }
}

void CPostCopyDlg::OnTimer(int timer) {
  if (timer != kPostCopyCloseTimer || !Unattended()) return;
  // The close is for the page it was started on.
  if (Window().CurrentPage() == this) Window().CloseWindow();
}

}  // namespace zerva
