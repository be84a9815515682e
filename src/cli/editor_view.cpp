#include "cli/editor_view.h"

namespace zerva::cli {

EditorView::EditorView(std::string folder) : folder_(std::move(folder)) {}

void EditorView::Type(int control, const std::string& text, ControlEvents& events) {
  SetText(control, text);
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

}  // namespace zerva::cli
