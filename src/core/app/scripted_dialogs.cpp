#include "app/scripted_dialogs.h"

namespace zerva {
namespace {

bool ButtonsOffer(MessageButtons buttons, Reply reply) {
  switch (buttons) {
    case MessageButtons::kOk:
      return reply == Reply::kOk;
    case MessageButtons::kOkCancel:
      return reply == Reply::kOk || reply == Reply::kCancel;
    case MessageButtons::kYesNo:
      return reply == Reply::kYes || reply == Reply::kNo;
    case MessageButtons::kYesNoCancel:
      return reply == Reply::kYes || reply == Reply::kNo || reply == Reply::kCancel;
    case MessageButtons::kRetryCancel:
      return reply == Reply::kRetry || reply == Reply::kCancel;
  }
  return false;
}

Reply DecliningReply(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return Reply::kOk;
    case MessageButtons::kYesNo:
      return Reply::kNo;
    case MessageButtons::kOkCancel:
    case MessageButtons::kYesNoCancel:
    case MessageButtons::kRetryCancel:
      return Reply::kCancel;
  }
  return Reply::kCancel;
}

}  // namespace

ScriptedDialogs::ScriptedDialogs(Reply defaultReply) : defaultReply_(defaultReply) {}

void ScriptedDialogs::QueueReply(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  replies_.push_back(reply);
}

void ScriptedDialogs::QueueFolder(std::optional<std::string> folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  folders_.push_back(std::move(folder));
}

void ScriptedDialogs::QueueFiles(std::vector<std::string> files) {
  std::lock_guard<std::mutex> lock(mutex_);
  fileLists_.push_back(std::move(files));
}

Reply ScriptedDialogs::ShowMessage(const std::string& text, MessageKind kind,
                                   MessageButtons buttons) {
  // The caption reads the language table; build it before taking our own lock.
  std::string caption = MessageCaption(kind);
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back({text, kind, buttons, std::move(caption)});
  // A queued reply is the test's explicit choice and is returned as is.
  if (!replies_.empty()) {
    const Reply reply = replies_.front();
    replies_.pop_front();
    return reply;
  }
  return ButtonsOffer(buttons, defaultReply_) ? defaultReply_ : DecliningReply(buttons);
}

void ScriptedDialogs::ShowWait(const std::string& text, const std::string& caption) {
  std::lock_guard<std::mutex> lock(mutex_);
  waits_.push_back({text, caption});
  waitVisible_ = true;
}

void ScriptedDialogs::HideWait() {
  std::lock_guard<std::mutex> lock(mutex_);
  waitVisible_ = false;
}

std::optional<std::string> ScriptedDialogs::PickFolder(const std::string& title,
                                                       const std::string& startFolder) {
  std::lock_guard<std::mutex> lock(mutex_);
  pickers_.push_back({false, title, startFolder, {}});
  if (folders_.empty()) return std::nullopt;
  std::optional<std::string> folder = std::move(folders_.front());
  folders_.pop_front();
  return folder;
}

std::vector<std::string> ScriptedDialogs::PickFiles(const std::string& title,
                                                    const std::string& startFolder,
                                                    const std::string& patterns) {
  std::lock_guard<std::mutex> lock(mutex_);
  pickers_.push_back({true, title, startFolder, patterns});
  if (fileLists_.empty()) return {};
  std::vector<std::string> files = std::move(fileLists_.front());
  fileLists_.pop_front();
  return files;
}

std::vector<ScriptedDialogs::Message> ScriptedDialogs::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::vector<ScriptedDialogs::Wait> ScriptedDialogs::Waits() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waits_;
}

std::vector<ScriptedDialogs::Picker> ScriptedDialogs::Pickers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pickers_;
}

bool ScriptedDialogs::WaitVisible() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waitVisible_;
}

size_t ScriptedDialogs::UnusedReplies() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return replies_.size() + folders_.size() + fileLists_.size() + proxyCredentials_.size();
}

void ScriptedDialogs::QueueProxyCredentials(
    std::optional<std::pair<std::string, std::string>> credentials) {
  std::lock_guard<std::mutex> lock(mutex_);
  proxyCredentials_.push_back(std::move(credentials));
}

bool ScriptedDialogs::AskProxyCredentials(std::string* userName, std::string* password) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++proxyPrompts_;
  if (proxyCredentials_.empty()) return false;
  std::optional<std::pair<std::string, std::string>> next = std::move(proxyCredentials_.front());
  proxyCredentials_.pop_front();
  if (!next || next->first.empty() || next->second.empty()) return false;
  *userName = next->first;
  *password = next->second;
  return true;
}

int ScriptedDialogs::ProxyPrompts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return proxyPrompts_;
}

}  // namespace zerva
