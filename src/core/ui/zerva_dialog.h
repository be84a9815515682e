// The page base: what every wizard page does the same way. A page is a controller; it reaches
// the shared objects through the application, moves through the main window, and draws only
// through its view. The seven slots below are asked by the page manager in the order the
// wizard needs them.
#pragma once

#include <map>
#include <string>

#include "app/dialogs.h"
#include "ui/page_ids.h"
#include "ui/page_view.h"

namespace zerva {

class CzervaApp;
class CzervaDlg;

// The tooltip rule: a text beginning with "@@@" is shown as it is without those three
// characters, any other text is a language key. Empty stays empty.
std::string TooltipText(const std::string& keyOrLiteral);

class CZervaDialog : public ControlEvents {
 public:
  CZervaDialog(CzervaDlg& window, PageId id, PageView& view);
  ~CZervaDialog() override;
  CZervaDialog(const CZervaDialog&) = delete;
  CZervaDialog& operator=(const CZervaDialog&) = delete;

  PageId Id() const { return id_; }
  const char* Name() const { return PageName(id_); }
  PageView& View() { return view_; }
  const PageView& View() const { return view_; }

  // UpdateTexts, SetupLayout and InitControls, once, when the window makes its pages.
  void Initialise();

  // Fills every caption, label and tooltip from the language file; the base applies the
  // tooltip table.
  virtual void UpdateTexts();
  virtual void SetupLayout() {}
  virtual void InitControls() {}
  // Every time the page becomes current, after UpdateTexts.
  virtual void OnShowPage(bool /*cameBack*/) {}
  // False keeps the page.
  virtual bool CanLeave(const std::string& /*target*/) { return true; }
  virtual bool OnNext() { return true; }
  virtual bool OnBack() { return true; }
  // A click on the header band or the user bar while this page is current.
  virtual void OnBandClicked() {}
  // Frees what the page caches for display before the user signs out.
  virtual void ReleaseCaches() {}

  // Enter and Escape do nothing on a page, unless the page says otherwise: a page whose form
  // has one main button lets Enter in a one-line field press it.
  void OnEnter() override {}
  void OnEscape() override {}

  // --- Tooltip table: control -> key, or "@@@" + literal text ---
  void SetTooltipEntry(int control, std::string keyOrLiteral);
  std::string Tooltip(int control) const;

  // --- Message boxes, texts already translated ---
  void ErrorBox(const std::string& text);
  Reply ErrorQuestion(const std::string& text);
  void WarningBox(const std::string& text);
  Reply WarningQuestion(const std::string& text);
  void InfoBox(const std::string& text);
  // `captionText` is the translated caption word that follows the service's name.
  Reply InfoQuestion(const std::string& text, const std::string& captionText);

 protected:
  CzervaDlg& Window() { return window_; }
  const CzervaDlg& Window() const { return window_; }
  CzervaApp& App();

 private:
  CzervaDlg& window_;
  PageId id_;
  PageView& view_;
  std::map<int, std::string> tooltips_;
};

}  // namespace zerva
