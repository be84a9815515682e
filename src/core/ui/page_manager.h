// The page manager: the nine pages, made once and kept for the life of the window, and the
// moves between them. Next and Back follow the wizard's tables; GoTo jumps by page name.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/page_ids.h"
#include "ui/zerva_dialog.h"

namespace zerva {

// How a move reaches its target.
inline constexpr int kMoveNext = 0;
inline constexpr int kMoveBack = -1;
inline constexpr int kMoveJump = -2;

class CPageManager {
 public:
  struct Hooks {
    // Shows or hides a page's view in the page area.
    std::function<void(PageId page, bool shown)> showPage;
    // Whether the server album list is empty (Next from the login page).
    std::function<bool()> albumListEmpty;
    // Refreshes the header's logo before the first page after the sign-in.
    std::function<void()> refreshLogo;
  };

  explicit CPageManager(Hooks hooks);
  ~CPageManager();

  // Takes the page into its slot (one per page id).
  void Add(std::unique_ptr<CZervaDialog> page);
  CZervaDialog* Page(PageId id) const;

  // Leaves the current page (asking OnNext for move 0, OnBack for move -1, nothing for -2, then
  // CanLeave) and shows `target`. False when the current page refused; nothing changed then.
  bool Switch(PageId target, int move, const void* from);
  // `from` is recorded as where the move came from.
  bool Next(const void* from);
  bool Back();
  // A jump by name recording `arg` as `from`; the login page with a non-null `arg` is reached
  // as a Back move. Unknown names do nothing.
  bool GoTo(std::string_view name, const void* arg);

  CZervaDialog* Current() const { return current_; }
  // Empty before the first move.
  std::string CurrentName() const;
  bool LastMoveWasBack() const { return lastMove_ == kMoveBack; }
  const void* From() const { return from_; }

 private:
  Hooks hooks_;
  std::array<std::unique_ptr<CZervaDialog>, kPageCount> pages_;
  CZervaDialog* current_ = nullptr;
  int lastMove_ = kMoveNext;
  const void* from_ = nullptr;
};

}  // namespace zerva
