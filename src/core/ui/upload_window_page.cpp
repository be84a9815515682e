#include "ui/upload_window_page.h"

#include <FreeImagePlus.h>

#include <algorithm>

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
  const Clock::time_point now = Clock::now();
  std::vector<std::function<void()>> due;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->due <= now) {
      due.push_back(std::move(it->fire));
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  ArmTimer();
  // A fired display may start the next timer; it then joins pending_ above.
  for (auto& fire : due) fire();
}

void UploadWindowPage::ArmTimer() {
  if (pending_.empty()) {
    View().StopTimer(kCopyDisplayTimer);
    return;
  }
  const auto earliest =
      std::min_element(pending_.begin(), pending_.end(),
                       [](const Pending& a, const Pending& b) { return a.due < b.due; });
  const auto wait =
      std::chrono::duration_cast<std::chrono::milliseconds>(earliest->due - Clock::now());
  View().StartTimer(kCopyDisplayTimer, static_cast<int>(std::max<int64_t>(wait.count(), 0)));
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

void UploadWindowPage::StartTimer(int milliseconds, std::function<void()> fire) {
  pending_.push_back({Clock::now() + std::chrono::milliseconds(milliseconds), std::move(fire)});
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
