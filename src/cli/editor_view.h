// The album editor page on a terminal: its controls keep the values the page gives them, its
// folder picker answers with the folder of the command line, what the user would type is typed
// by the verb, and its page moves end the page's run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/album_editor_view.h"
#include "ui/table_page_view.h"

namespace zerva::cli {

class EditorView : public AlbumEditorView, public TablePageView {
 public:
  // `folder`: the picker's answer; empty: the picker is cancelled.
  explicit EditorView(std::string folder);

  // The text typed into the control, as the user would; `events` hears of it.
  void Type(int control, const std::string& text, ControlEvents& events);

  // The page moved back (nothing to edit) or jumped to `JumpedTo()`.
  bool MovedBack() const { return movedBack_; }
  const std::string& JumpedTo() const { return jumpedTo_; }

  // --- AlbumEditorView ---
  PageView& Controls() override { return *this; }
  void SetHeader(const std::string& /*title*/, const std::string& /*text*/) override {}
  void SetNextButton(const std::string& /*caption*/, const std::string& /*tooltipKey*/,
                     bool /*enabled*/) override {}
  void SetBackButton(const std::string& /*caption*/, const std::string& /*tooltipKey*/) override {}
  bool Next() override;
  bool Back() override;
  bool GoTo(std::string_view pageName) override;
  bool LastMoveWasBack() const override { return false; }
  void SetDetailIndex(int /*index*/) override {}
  AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request) override;
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& filters, int selectedFilter) override;

 private:
  std::string folder_;
  bool movedBack_ = false;
  std::string jumpedTo_;
};

}  // namespace zerva::cli
