#include "cli/editor_view.h"

namespace zerva::cli {

EditorView::EditorView(std::string folder) : folder_(std::move(folder)) {}

void EditorView::Type(int control, const std::string& text, ControlEvents& events) {
  controls_[control].text = text;
  events.OnEdited(control);
}

bool EditorView::Next() {
  jumpedTo_ = "next";
  return true;
}

bool EditorView::Back() {
  movedBack_ = true;
  return true;
}

bool EditorView::GoTo(std::string_view pageName) {
  jumpedTo_ = std::string(pageName);
  return true;
}

AlbumFolderChoice EditorView::PickAlbumFolder(const AlbumFolderRequest& /*request*/) {
  AlbumFolderChoice choice;
  choice.folder = folder_;
  return choice;
}

std::vector<std::string> EditorView::PickFiles(const std::string& /*title*/,
                                               const std::string& /*startFolder*/,
                                               const std::string& /*filters*/,
                                               int /*selectedFilter*/) {
  return {};
}

const EditorView::Control* EditorView::Find(int control) const {
  const auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : &it->second;
}

void EditorView::SetText(int control, const std::string& text) {
  controls_[control].text = text;
}

std::string EditorView::GetText(int control) const {
  const Control* found = Find(control);
  return found != nullptr ? found->text : std::string();
}

void EditorView::SetChecked(int control, bool checked) {
  controls_[control].checked = checked;
}

bool EditorView::IsChecked(int control) const {
  const Control* found = Find(control);
  return found != nullptr && found->checked;
}

void EditorView::SetItems(int control, const std::vector<std::string>& items) {
  controls_[control].items = items.size();
  controls_[control].selected = -1;
}

int EditorView::Selected(int control) const {
  const Control* found = Find(control);
  return found != nullptr ? found->selected : -1;
}

void EditorView::Select(int control, int index) {
  Control& entry = controls_[control];
  entry.selected = index >= 0 && static_cast<size_t>(index) < entry.items ? index : -1;
}

void EditorView::SetValue(int control, int value) {
  controls_[control].value = value;
}

int EditorView::GetValue(int control) const {
  const Control* found = Find(control);
  return found != nullptr ? found->value : 0;
}

}  // namespace zerva::cli
