// What the upload progress page shows and where it moves: the Qt page, zerva-cli and the tests
// each implement it, so every front end runs the same upload session.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zerva {

class CPhoto;

// Controls of the page, as the dialog layout numbers them.
inline constexpr int kCopyThumbView = 1045;
inline constexpr int kCopyJobName = 1044;
inline constexpr int kCopyElapsed = 1213;
inline constexpr int kCopyRemaining = 1214;
inline constexpr int kCopyProgressBar = 1041;
inline constexpr int kCopyPercent = 1043;
inline constexpr int kCopyAlbumLink = 1047;
inline constexpr int kCopyFileProblems = 1048;

class CopyPageView {
 public:
  virtual ~CopyPageView() = default;

  // The header and the navigation buttons: Next is hidden, Back shown when `backShown`.
  virtual void SetHeader(const std::string& title, const std::string& text) = 0;
  virtual void SetNavigation(const std::string& nextCaption, const std::string& backCaption,
                             bool backShown) = 0;
  // Text of the link button (1047).
  virtual void SetAlbumLink(const std::string& text) = 0;

  // The job being run: its name (1044) and its item in the thumbnail view (1045); null drops it.
  virtual void ShowJob(const std::string& name, CPhoto* item) = 0;
  // Elapsed time (1213) as "mm:ss".
  virtual void ShowElapsed(int seconds, const std::string& text) = 0;
  // Remaining time (1214): the shown estimate and its text; unset and empty while none is shown.
  virtual void ShowRemaining(std::optional<int> seconds, const std::string& text) = 0;
  // The bar (1041) and its percentage text (1043); `text` is empty when the display is reset.
  virtual void ShowPercent(int percent, const std::string& text) = 0;
  // The files that are not part of the album and why (1048), lines joined by "<br>"; empty
  // when there are none.
  virtual void ShowFileProblems(const std::string& text) = 0;

  // Runs `fire` once on the user-interface thread after `milliseconds`. A view that goes away
  // drops what it has not fired yet.
  virtual void StartTimer(int milliseconds, std::function<void()> fire) = 0;

  // Page moves: Next to the post-upload page, Back to the album editor.
  virtual void Next() = 0;
  virtual void Back() = 0;
  // The user bar shows the used space anew.
  virtual void UpdateUserBar() = 0;
};

}  // namespace zerva
