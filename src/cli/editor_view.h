// The album editor page on a terminal: its controls keep the values the page gives them, its
// folder picker answers with the folder of the command line, what the user would type is typed
// by the verb, and its page moves end the page's run.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/album_editor_view.h"

namespace zerva::cli {

class EditorView : public AlbumEditorView, public PageView {
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

  // --- PageView: values kept, nothing drawn ---
  void SetText(int control, const std::string& text) override;
  std::string GetText(int control) const override;
  void SetChecked(int control, bool checked) override;
  bool IsChecked(int control) const override;
  void Show(int /*control*/, bool /*shown*/) override {}
  void Enable(int /*control*/, bool /*enabled*/) override {}
  void Focus(int /*control*/) override {}
  void SetTooltip(int /*control*/, const std::string& /*text*/) override {}
  void SetItems(int control, const std::vector<std::string>& items) override;
  int Selected(int control) const override;
  void Select(int control, int index) override;
  void SetImages(int /*control*/, const std::vector<std::string>& /*paths*/) override {}
  void StartTimer(int /*timer*/, int /*milliseconds*/) override {}
  void StopTimer(int /*timer*/) override {}
  // Nobody chooses from a menu on the terminal.
  int ShowPopupMenu(int /*anchor*/, const PopupMenu& /*menu*/) override { return -1; }
  void SetValue(int control, int value) override;
  int GetValue(int control) const override;

 private:
  struct Control {
    std::string text;
    bool checked = false;
    size_t items = 0;
    int selected = -1;
    int value = 0;
  };
  const Control* Find(int control) const;

  std::string folder_;
  std::map<int, Control> controls_;
  bool movedBack_ = false;
  std::string jumpedTo_;
};

}  // namespace zerva::cli
