// Questions and notices to the user, the wait popup and the file pickers. Pages, jobs and the
// model ask through this interface; the Qt window, the terminal front end and the tests each
// provide one.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zerva {

enum class MessageKind { kInformation, kWarning, kError };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel };
enum class Reply { kOk, kCancel, kYes, kNo, kRetry };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows `text` with the standard caption of `kind` (see MessageCaption) and waits.
  virtual Reply ShowMessage(const std::string& text, MessageKind kind,
                            MessageButtons buttons = MessageButtons::kOk) = 0;
  // A modeless "please wait" note while a synchronous call runs.
  virtual void ShowWait(const std::string& text, const std::string& caption) = 0;
  virtual void HideWait() = 0;
  virtual std::optional<std::string> PickFolder(const std::string& title,
                                                const std::string& startFolder) = 0;
  // `patterns` is a ";"-separated list such as MediaPatterns() gives.
  virtual std::vector<std::string> PickFiles(const std::string& title,
                                             const std::string& startFolder,
                                             const std::string& patterns) = 0;
  // The proxy prompt ("msgProxyAuthenticationCaption"): false when cancelled; OK needs both
  // boxes filled.
  virtual bool AskProxyCredentials(std::string* userName, std::string* password) = 0;
};

// The caption of every message box: the service domain name without its trailing "/", " | ",
// and the text of "msgInfo", "msgWarning" or "msgError".
std::string MessageCaption(MessageKind kind);

}  // namespace zerva
