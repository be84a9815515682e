#include "ui/upload_window_page.h"

#include <FreeImagePlus.h>

#include "model/photo.h"
#include "ui/page_manager.h"
#include "ui/zerva_dlg.h"

namespace zerva {

UploadWindowPage::UploadWindowPage(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kCopy, view),
      copy_(std::make_unique<CCopyDlg>(window.App(), *this)) {}

UploadWindowPage::~UploadWindowPage() {
  // The session stops listening to the job manager before the page's view goes.
  copy_.reset();
}

void UploadWindowPage::UpdateTexts() {
  copy_->UpdateTexts();
  CZervaDialog::UpdateTexts();
}

void UploadWindowPage::InitControls() {
  View().SetRange(kCopyProgressBar, 0, 100, 1);
  copy_->InitControls();
}

void UploadWindowPage::OnShowPage(bool /*cameBack*/) {
  copy_->OnShowPage();
}

bool UploadWindowPage::CanLeave(const std::string& target) {
  // Back from this page is a jump to the editor that the page manager records as a Back move;
  // a Back refused earlier leaves that record behind, so the target must match as well.
  return copy_->CanLeave(Window().Pages().LastMoveWasBack() && target == kEditPhotosPage);
}

void UploadWindowPage::OnCommand(int control) {
  if (control == kCopyAlbumLink) copy_->OnAlbumLink();
}

void UploadWindowPage::OnTimer(int timer) {
  if (timer != kCopyDisplayTimer) return;
  std::vector<std::function<void()>> due = timers_.TakeDue(DueTimers::Clock::now());
  ArmTimer();
  // A fired display may start the next timer, which arms the page timer again.
  for (auto& fire : due) fire();
}

void UploadWindowPage::ArmTimer() {
  const auto wait = timers_.UntilEarliest(DueTimers::Clock::now());
  if (!wait) {
    View().StopTimer(kCopyDisplayTimer);
    return;
  }
  View().StartTimer(kCopyDisplayTimer, static_cast<int>(wait->count()));
}

void UploadWindowPage::SetHeader(const std::string& title, const std::string& text) {
  Window().SetHeaderTitle(title);
  Window().SetHeaderText(text);
}

void UploadWindowPage::SetNavigation(const std::string& nextCaption, const std::string& backCaption,
                                     bool backShown) {
  CzervaDlg& window = Window();
  window.SetNextButton(nextCaption, "");
  window.ShowNextButton(false);
  window.EnableNextButton(false);
  window.SetBackButton(backCaption, "");
  window.ShowBackButton(backShown);
  window.EnableBackButton(backShown);
}

void UploadWindowPage::SetAlbumLink(const std::string& text) {
  View().SetText(kCopyAlbumLink, text);
}

void UploadWindowPage::ShowJob(const std::string& name, CPhoto* item) {
  View().SetText(kCopyJobName, name);
  ImagePtr source;
  ImagePtr copy;
  if (item != nullptr) {
    std::lock_guard<std::mutex> lock(item->lock);
    source = item->thumbnail;
    // The jobs may replace the item's picture meanwhile: the view gets a copy of its own, made
    // under the item's lock.
    const bool changed = item != shownItem_ || source != shownSource_;
    if (changed && source && source->isValid()) copy = std::make_shared<fipImage>(*source);
  }
  if (item == shownItem_ && source == shownSource_) return;
  shownItem_ = item;
  shownSource_ = source;
  View().SetPicture(kCopyThumbView, copy);
}

void UploadWindowPage::ShowElapsed(int /*seconds*/, const std::string& text) {
  View().SetText(kCopyElapsed, text);
}

void UploadWindowPage::ShowRemaining(std::optional<int> /*seconds*/, const std::string& text) {
  View().SetText(kCopyRemaining, text);
}

void UploadWindowPage::ShowPercent(int percent, const std::string& text) {
  View().SetValue(kCopyProgressBar, percent);
  View().SetText(kCopyPercent, text);
}

void UploadWindowPage::ShowFileProblems(const std::string& text) {
  View().SetText(kCopyFileProblems, text);
}

void UploadWindowPage::StartTimer(int milliseconds, std::function<void()> fire) {
  timers_.Add(std::chrono::milliseconds(milliseconds), std::move(fire));
  ArmTimer();
}

void UploadWindowPage::Next() {
  Window().Next(this);
}

void UploadWindowPage::Back() {
  Window().Back();
}

void UploadWindowPage::UpdateUserBar() {
  Window().UpdateUserBar(false);
}

}  // namespace zerva
