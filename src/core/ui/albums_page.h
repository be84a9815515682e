// The albums page ("AlbumsDlg"): the signed-in user's albums, the hub of the wizard. The
// selected album is drawn expanded with its buttons: open it in the album editor, delete it on
// the service, add photos to it, send its address by e-mail, open its local folder or its web
// page. From here a new album starts, and the sort menu orders the list and the albums on the
// user's web page. A thread of its own fills in the covers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/albums_list_view.h"
#include "ui/zerva_dialog.h"

namespace zerva {

class AlbumCoverLoader;
class CAlbum;

// Controls of the albums page.
inline constexpr int kAlbumsNewAlbum = 1200;  // button "newAlbum"
// Button "sortAlbums": the sort menu, whose commands are the local keys 0 to 6 and the web
// page's keys 101 to 105.
inline constexpr int kAlbumsSort = 1201;
inline constexpr int kAlbumsList = 1202;  // the list of albums (AlbumsList)

class CAlbumsDlg : public CZervaDialog, public AlbumsListEvents {
 public:
  CAlbumsDlg(CzervaDlg& window, PageView& view);
  // Stops the cover loader and waits for it: it works on the album list.
  ~CAlbumsDlg() override;

  // --- The page ---
  void UpdateTexts() override;
  void OnShowPage(bool cameBack) override;
  // Stops the cover loader; leaving for the login page (a logout) also empties the list, the
  // album list, the current album and the remembered album.
  bool CanLeave(const std::string& target) override;
  // A new album asks for its folder first; false keeps the page.
  bool OnNext() override;
  bool OnBack() override;
  void OnCommand(int control) override;
  // Enter opens the selected album.
  void OnEnter() override;

  // --- AlbumsListEvents ---
  void OnItemSelected(int index) override;
  void OnItemOpened(int index) override;
  void OnItemButton(int index, AlbumButton button) override;
  void OnDeleteKey(int index) override;
  void OnCharacterTyped(const std::string& character) override;
  void OnCoverWanted(int index) override;

  // The albums in list order, by identifier, and the selected (expanded) position.
  const std::vector<int>& AlbumIds() const { return ids_; }
  int SelectedIndex() const { return selected_; }
  AlbumCoverLoader& CoverLoader() { return *covers_; }

 private:
  AlbumsListView* List();
  // Empties the list and fills it with the album list in the current order, selects the
  // remembered album (or the first) and starts the cover loader.
  void Refill();
  // Hands every item to the view anew and expands the selected one.
  void ShowItems();
  AlbumsListItem MakeItem(int index);
  // Selects and expands the item, remembers its album and scrolls it into view; -1: none.
  void Select(int index);
  CAlbum* AlbumAt(int index);
  int IndexOf(int albumId) const;
  // The current album becomes a copy of the list's record.
  void CopyToCurrentAlbum(const CAlbum& album);

  void OpenAlbum(int index);
  void NewAlbum();
  void AddPhotos(int index);
  void DeleteAlbum(int index);
  void SendAlbum(int index);
  void OpenFolder(int index);
  void OpenWebPage(int index);
  void ShowSortMenu();
  // The cover loader changed the album's record.
  void OnCoverChanged(int albumId);
  // Stops the cover loader (10 seconds at most). The loader finds its records by identifier
  // under the list's lock, so what follows may go on even when it did not stop in time.
  void StopCovers();
  // What leaving for the login page empties.
  void Empty();

  std::vector<int> ids_;
  int selected_ = -1;
  AlbumsListView* attached_ = nullptr;
  // Declared last: it goes first and waits for its thread.
  std::unique_ptr<AlbumCoverLoader> covers_;
};

}  // namespace zerva
