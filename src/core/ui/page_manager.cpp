#include "ui/page_manager.h"

#include <optional>

#include "app/trace.h"

namespace zerva {

CPageManager::CPageManager(Hooks hooks) : hooks_(std::move(hooks)) {}

CPageManager::~CPageManager() = default;

void CPageManager::Add(std::unique_ptr<CZervaDialog> page) {
  const int slot = static_cast<int>(page->Id());
  pages_[slot] = std::move(page);
}

CZervaDialog* CPageManager::Page(PageId id) const {
  return pages_[static_cast<int>(id)].get();
}

std::string CPageManager::CurrentName() const {
  return current_ != nullptr ? current_->Name() : std::string();
}

bool CPageManager::Switch(PageId target, int move, const void* from) {
  CZervaDialog* page = Page(target);
  if (page == nullptr) return false;
  if (current_ != nullptr) {
    bool leave = true;
    if (move == kMoveNext) leave = current_->OnNext();
    if (move == kMoveBack) leave = current_->OnBack();
    if (leave) leave = current_->CanLeave(page->Name());
    if (!leave) return false;
    if (hooks_.showPage) hooks_.showPage(current_->Id(), false);
  }
  current_ = page;
  page->UpdateTexts();
  if (hooks_.showPage) hooks_.showPage(target, true);
  page->OnShowPage(move == kMoveBack);
  // A page that moved on by itself while it was being shown (a remembered sign-in) has already
  // recorded its own move.
  if (current_ == page) from_ = from;
  return true;
}

bool CPageManager::Next(const void* from) {
  lastMove_ = kMoveNext;
  if (current_ == nullptr) return Switch(PageId::kLogin, kMoveNext, from);
  switch (current_->Id()) {
    case PageId::kLogin: {
      if (hooks_.refreshLogo) hooks_.refreshLogo();
      const bool empty = hooks_.albumListEmpty && hooks_.albumListEmpty();
      return Switch(empty ? PageId::kEditPhotos : PageId::kAlbums, kMoveNext, from);
    }
    case PageId::kAlbums:
      return Switch(PageId::kEditPhotos, kMoveNext, from);
    case PageId::kEditPhotos:
    case PageId::kPhotoDetail:
      return Switch(PageId::kCopy, kMoveNext, from);
    case PageId::kCopy:
      return Switch(PageId::kPostCopy, kMoveNext, from);
    case PageId::kEditUserDetail:
      return Switch(PageId::kAlbums, kMoveNext, from);
    case PageId::kSendEmail: {
      const bool fromPostCopy = from_ != nullptr && from_ == Page(PageId::kPostCopy);
      return Switch(fromPostCopy ? PageId::kPostCopy : PageId::kAlbums, kMoveNext, nullptr);
    }
    case PageId::kPostCopy:
    case PageId::kCreateAccount:
      return false;
  }
  return false;
}

bool CPageManager::Back() {
  lastMove_ = kMoveBack;
  if (current_ == nullptr) return false;
  switch (current_->Id()) {
    case PageId::kEditPhotos:
    case PageId::kEditUserDetail:
    case PageId::kPostCopy:
      return Switch(PageId::kAlbums, kMoveBack, nullptr);
    case PageId::kPhotoDetail:
      return Switch(PageId::kEditPhotos, kMoveBack, nullptr);
    case PageId::kCopy:
      // A jump: the upload page's OnBack is not asked.
      return Switch(PageId::kEditPhotos, kMoveJump, nullptr);
    case PageId::kSendEmail: {
      const bool fromPostCopy = from_ != nullptr && from_ == Page(PageId::kPostCopy);
      return Switch(fromPostCopy ? PageId::kPostCopy : PageId::kAlbums, kMoveBack, nullptr);
    }
    case PageId::kLogin:
      return Switch(PageId::kCreateAccount, kMoveBack, nullptr);
    case PageId::kCreateAccount:
      return Switch(PageId::kLogin, kMoveBack, nullptr);
    case PageId::kAlbums:
      return false;
  }
  return false;
}

bool CPageManager::GoTo(std::string_view name, const void* arg) {
  const std::optional<PageId> target = PageIdFromName(name);
  if (!target) {
    TraceText(kTraceWarning, "GoTo: no page " + std::string(name));
    return false;
  }
  if (*target == PageId::kLogin && arg != nullptr) return Switch(*target, kMoveBack, nullptr);
  return Switch(*target, kMoveJump, arg);
}

}  // namespace zerva
