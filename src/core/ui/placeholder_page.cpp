#include "ui/placeholder_page.h"

#include "lang/text.h"
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
    case PageId::kEditPhotos:
      return {Text("EditPhotosDlgTitle"), Text("EditPhotosDlgText"), {}, true, true};
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
  CZervaDialog::UpdateTexts();
}

void PlaceholderPage::OnShowPage(bool /*cameBack*/) {}

void PlaceholderPage::OnCommand(int control) {
  if (control == kPlaceholderAction) Window().Back();
}

}  // namespace zerva
