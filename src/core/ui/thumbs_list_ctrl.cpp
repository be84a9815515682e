#include "ui/thumbs_list_ctrl.h"

#include "model/album.h"
#include "ui/zerva_app.h"

namespace zerva {

CThumbsListCtrl::CThumbsListCtrl(CzervaApp& app, ThumbsListView* view,
                                 std::shared_ptr<MessageTarget> owner, ThumbsLoaderOptions options)
    : CTarvikThread([this](const std::shared_ptr<void>&) { LoaderMain(); }, "ThumbsList"),
      app_(app),
      view_(view),
      owner_(std::move(owner)),
      options_(std::move(options)) {
  if (view_ != nullptr) view_->SetEvents(this);
}

CThumbsListCtrl::~CThumbsListCtrl() {
  if (view_ != nullptr) view_->SetEvents(nullptr);
}

void CThumbsListCtrl::Fill(CAlbum* album, bool /*fresh*/) {
  album_ = album;
  if (view_ != nullptr) view_->SetTileCount(album_ ? static_cast<int>(album_->items.size()) : 0);
  RecomputeCover(true);
}

bool CThumbsListCtrl::ClearList() {
  return true;
}

int CThumbsListCtrl::RecomputeCover(bool /*pick*/) {
  return coverIndex_;
}

void CThumbsListCtrl::Enqueue(CPhoto* /*item*/) {}

void CThumbsListCtrl::Prioritise(CPhoto* /*item*/) {}

bool CThumbsListCtrl::StartLoader() {
  return false;
}

bool CThumbsListCtrl::WaitForLoader(std::chrono::milliseconds /*wait*/) {
  return true;
}

void CThumbsListCtrl::Refresh() {
  if (view_ != nullptr) view_->RedrawAll();
}

void CThumbsListCtrl::SetZoom(int percent) {
  zoomPercent_ = percent;
}

void CThumbsListCtrl::Execute(ThumbCommand /*command*/, int /*position*/) {}

std::vector<MenuEntry> CThumbsListCtrl::ContextMenu(int /*position*/) const {
  return {};
}

int CThumbsListCtrl::CurrentPosition() const {
  return view_ != nullptr ? view_->CurrentPosition() : -1;
}

void CThumbsListCtrl::SetCurrentPosition(int position) {
  if (view_ != nullptr) view_->SetCurrentPosition(position);
}

CPhoto* CThumbsListCtrl::ItemAt(int position) const {
  if (album_ == nullptr || position < 0 || static_cast<size_t>(position) >= album_->items.size()) {
    return nullptr;
  }
  return album_->items[static_cast<size_t>(position)].get();
}

TileInfo CThumbsListCtrl::Tile(int position) {
  TileInfo tile;
  if (const CPhoto* item = ItemAt(position)) tile.name = item->name;
  return tile;
}

std::string CThumbsListCtrl::TileTooltip(int /*position*/, TileIcon /*icon*/) {
  return {};
}

void CThumbsListCtrl::OnTileClicked(int /*position*/, TileIcon /*icon*/) {}
void CThumbsListCtrl::OnTileDoubleClicked(int /*position*/, TileIcon /*icon*/) {}
void CThumbsListCtrl::OnCurrentChanged(int /*position*/) {}
void CThumbsListCtrl::OnKey(int /*position*/, TileKey /*key*/) {}
void CThumbsListCtrl::OnContextMenu(int /*position*/) {}
void CThumbsListCtrl::OnDragged(int /*from*/, int /*to*/) {}
void CThumbsListCtrl::OnFilesDropped(const std::vector<std::string>& /*paths*/) {}

void CThumbsListCtrl::LoaderMain() {}

MessageParam CThumbsListCtrl::OnListMessage(const WindowMessage& /*message*/) {
  return 0;
}

void CThumbsListCtrl::Notify(unsigned message, MessageParam wParam, MessageParam lParam) {
  if (owner_) owner_->Post({message, wParam, lParam, nullptr});
}

}  // namespace zerva
