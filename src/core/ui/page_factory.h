// Makes the controller of each wizard page on the view the front end made for it.
#pragma once

#include <memory>

#include "ui/page_ids.h"
#include "ui/zerva_dialog.h"

namespace zerva {

class CzervaDlg;

std::unique_ptr<CZervaDialog> MakePage(PageId id, CzervaDlg& window, PageView& view);
// Whether the page has its own controller rather than a placeholder.
bool PageIsBuilt(PageId id);

}  // namespace zerva
