#include "ui/placeholder_page.h"

#include "lang/text.h"
#include "model/album_mngr.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {
namespace {

struct PlaceholderTexts {
  std::string title;
  std::string text;
  std::string action;  // empty: no button in the page
  bool next = false;
  bool back = false;
};

PlaceholderTexts TextsOf(PageId id) {
  switch (id) {
    case PageId::kAlbums:
      return {Text("AlbumsDlgTitle"), Text("AlbumsDlgText"), Text("newAlbum"), false, false};
    case PageId::kEditPhotos:
      return {Text("EditPhotosDlgTitle"), Text("EditPhotosDlgText"), {}, true, true};
    case PageId::kPhotoDetail:
      return {Text("EditPhotoDetailDlgTitle"), Text("EditPhotoDetailDlgText"), {}, true, true};
    case PageId::kCopy:
      return {Text("CopyDlgTitle"), Text("CopyDlgText"), {}, false, true};
    case PageId::kPostCopy:
      return {Text("PostCopyDlgTitle"), Text("PostCopyDlgText"), Text("navBackPostCopy"), false,
              false};
    case PageId::kSendEmail:
      return {Text("SendAlbumDlgTitle"), Text("SendAlbumDlgText"), {}, true, true};
    default:
      return {Text("title"), Text("text"), {}, true, true};
  }
}

}  // namespace

PlaceholderPage::PlaceholderPage(CzervaDlg& window, PageId id, PageView& view)
    : CZervaDialog(window, id, view) {}

void PlaceholderPage::UpdateTexts() {
  const PlaceholderTexts texts = TextsOf(Id());
  CzervaDlg& window = Window();
  window.SetHeaderTitle(texts.title);
  window.SetHeaderText(texts.text);
  View().SetText(kPlaceholderNote, Text("msgPageNotReady"));
  View().SetText(kPlaceholderAction, texts.action);
  View().Show(kPlaceholderAction, !texts.action.empty());
  window.SetNextButton(Text("navNext"), "");
  window.SetBackButton(Text("navBack"), "");
  window.ShowNextButton(texts.next);
  window.EnableNextButton(texts.next);
  window.ShowBackButton(texts.back);
  window.EnableBackButton(texts.back);
  ShowAlbums();
  CZervaDialog::UpdateTexts();
}

void PlaceholderPage::OnShowPage(bool /*cameBack*/) {
  ShowAlbums();
}

void PlaceholderPage::ShowAlbums() {
  PageView& view = View();
  const bool albumsPage = Id() == PageId::kAlbums;
  const auto& albums = App().AlbumMngr().albums;
  const bool shown = albumsPage && App().Session().IsSignedIn() && !albums.empty();
  view.Show(kPlaceholderAlbums, shown);
  view.Show(kPlaceholderOpen, shown);
  // With the list the page does its job: the note that it is not ready would mislead.
  view.Show(kPlaceholderNote, !shown);
  if (!shown) return;
  std::vector<std::string> names;
  int chosen = 0;
  for (size_t i = 0; i < albums.size(); ++i) {
    names.push_back(albums[i]->name);
    if (albums[i]->albumID == App().CurrentAlbumId()) chosen = static_cast<int>(i);
  }
  view.SetItems(kPlaceholderAlbums, names);
  view.Select(kPlaceholderAlbums, chosen);
  OnEdited(kPlaceholderAlbums);
}

const CAlbum* PlaceholderPage::ChosenAlbum() {
  const auto& albums = App().AlbumMngr().albums;
  const int chosen = View().Selected(kPlaceholderAlbums);
  if (chosen < 0 || static_cast<size_t>(chosen) >= albums.size()) return nullptr;
  return albums[static_cast<size_t>(chosen)].get();
}

void PlaceholderPage::OnEdited(int control) {
  if (control != kPlaceholderAlbums) return;
  const CAlbum* album = ChosenAlbum();
  // An interrupted upload is repaired by opening its album.
  const bool interrupted = album != nullptr && album->uploading != 0;
  View().SetText(kPlaceholderOpen, Text(interrupted ? "repairAlbum" : "editAlbum"));
  SetTooltipEntry(kPlaceholderOpen,
                  interrupted ? "EditAlbumsDlgRepairTool" : "EditAlbumsDlgEditTool");
}

void PlaceholderPage::OpenChosenAlbum() {
  const CAlbum* album = ChosenAlbum();
  if (album == nullptr) return;
  // As the albums page opens an album: the editor works on a copy of its entry.
  App().SetCurrentAlbumId(album->albumID);
  App().CurrentAlbum() = *album;
  Window().Next(this);
}

bool PlaceholderPage::CanLeave(const std::string& target) {
  if (Id() != PageId::kPhotoDetail || target == kEditPhotosPage) return true;
  CZervaDialog* editor = Window().Pages().Page(PageId::kEditPhotos);
  return editor == nullptr || editor->CanLeave(target);
}

void PlaceholderPage::OnCommand(int control) {
  if (control == kPlaceholderOpen) {
    OpenChosenAlbum();
    return;
  }
  if (control != kPlaceholderAction) return;
  if (Id() == PageId::kAlbums) {
    // A new album: the editor asks for its folder.
    CAlbum& album = App().CurrentAlbum();
    album.Clear();
    album.ownerName = App().Session().Name();
    album.defaultWatermark = App().Session().Details().defaultWatermark;
    Window().Next(this);
  } else {
    Window().Back();
  }
}

}  // namespace zerva
