// An AlbumEditorView without a screen: the controls are a FakePageView with the thumbnail list,
// the pickers answer from queues, and the header, the navigation buttons and the moves are
// recorded.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui/page_fakes.h"
#include "ui/album_editor_view.h"

namespace zerva::test {

class FakeEditorView : public AlbumEditorView {
 public:
  FakeEditorView() { controls.thumbnailControl = kEditThumbs; }

  PageView& Controls() override { return controls; }
  void SetHeader(const std::string& title, const std::string& text) override {
    header = title + "|" + text;
  }
  void SetNextButton(const std::string& caption, const std::string& tooltipKey,
                     bool enabled) override {
    nextCaption = caption;
    nextTooltip = tooltipKey;
    nextEnabled = enabled;
  }
  void SetBackButton(const std::string& caption, const std::string& tooltipKey) override {
    backCaption = caption;
    backTooltip = tooltipKey;
  }
  bool Next() override {
    moves.push_back("next");
    return true;
  }
  bool Back() override {
    moves.push_back("back");
    return true;
  }
  bool GoTo(std::string_view pageName) override {
    moves.push_back(std::string(pageName));
    return true;
  }
  bool LastMoveWasBack() const override { return lastMoveWasBack; }
  void SetDetailIndex(int index) override { detailIndex = index; }
  AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request) override {
    folderRequests.push_back(request);
    if (folders.empty()) return {};
    AlbumFolderChoice choice = folders.front();
    folders.pop_front();
    return choice;
  }
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& filters, int selectedFilter) override {
    fileRequests.push_back({title, startFolder, filters, selectedFilter});
    if (files.empty()) return {};
    std::vector<std::string> chosen = files.front();
    files.pop_front();
    return chosen;
  }

  struct FileRequest {
    std::string title;
    std::string startFolder;
    std::string filters;
    int selectedFilter;
  };

  FakePageView controls;
  std::string header;
  std::string nextCaption;
  std::string nextTooltip;
  bool nextEnabled = false;
  std::string backCaption;
  std::string backTooltip;
  std::vector<std::string> moves;
  bool lastMoveWasBack = false;
  int detailIndex = -1;
  std::deque<AlbumFolderChoice> folders;
  std::vector<AlbumFolderRequest> folderRequests;
  std::deque<std::vector<std::string>> files;
  std::vector<FileRequest> fileRequests;
};

}  // namespace zerva::test
