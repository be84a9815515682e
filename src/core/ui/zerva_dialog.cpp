#include "ui/zerva_dialog.h"

#include "lang/text.h"
#include "ui/message_caption.h"
#include "ui/zerva_dlg.h"

namespace zerva {

std::string TooltipText(const std::string& keyOrLiteral) {
  constexpr std::string_view kLiteralMark = "@@@";
  if (keyOrLiteral.starts_with(kLiteralMark)) return keyOrLiteral.substr(kLiteralMark.size());
  if (keyOrLiteral.empty()) return {};
  return Text(keyOrLiteral);
}

CZervaDialog::CZervaDialog(CzervaDlg& window, PageId id, PageView& view)
    : window_(window), id_(id), view_(view) {}

CZervaDialog::~CZervaDialog() = default;

void CZervaDialog::Initialise() {
  UpdateTexts();
  SetupLayout();
  InitControls();
}

void CZervaDialog::UpdateTexts() {
  for (const auto& [control, text] : tooltips_) view_.SetTooltip(control, TooltipText(text));
}

void CZervaDialog::SetTooltipEntry(int control, std::string keyOrLiteral) {
  tooltips_[control] = std::move(keyOrLiteral);
  view_.SetTooltip(control, TooltipText(tooltips_[control]));
}

std::string CZervaDialog::Tooltip(int control) const {
  const auto it = tooltips_.find(control);
  return it == tooltips_.end() ? std::string() : TooltipText(it->second);
}

CzervaApp& CZervaDialog::App() {
  return window_.App();
}

void CZervaDialog::ErrorBox(const std::string& text) {
  window_.Message(text, MessageCaption(MessageKind::kError), MessageKind::kError,
                  MessageButtons::kOk);
}

Reply CZervaDialog::ErrorQuestion(const std::string& text) {
  return window_.Message(text, MessageCaption(MessageKind::kError), MessageKind::kError,
                         MessageButtons::kYesNo);
}

void CZervaDialog::WarningBox(const std::string& text) {
  window_.Message(text, MessageCaption(MessageKind::kWarning), MessageKind::kWarning,
                  MessageButtons::kOk);
}

Reply CZervaDialog::WarningQuestion(const std::string& text) {
  return window_.Message(text, MessageCaption(MessageKind::kWarning), MessageKind::kWarning,
                         MessageButtons::kYesNo);
}

void CZervaDialog::InfoBox(const std::string& text) {
  window_.Message(text, MessageCaption(MessageKind::kInformation), MessageKind::kInformation,
                  MessageButtons::kOk);
}

Reply CZervaDialog::InfoQuestion(const std::string& text, const std::string& captionText) {
  return window_.Message(text, CaptionWithText(captionText), MessageKind::kInformation,
                         MessageButtons::kYesNo);
}

}  // namespace zerva
