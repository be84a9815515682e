// A Dialogs without a screen, for tests and unattended runs: it records every question and
// notice and answers from queues filled beforehand. Safe to use from several threads.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs.h"

namespace zerva {

class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    std::string text;
    MessageKind kind;
    MessageButtons buttons;
    std::string caption;  // as the screen would show it
  };
  struct Wait {
    std::string text;
    std::string caption;
  };
  struct Picker {
    bool files;  // PickFiles rather than PickFolder
    std::string title;
    std::string startFolder;
    std::string patterns;
  };

  // `defaultReply` answers a message when no reply is queued, provided the message offers it;
  // otherwise the message's declining answer is given (Cancel, No, or Ok for a plain notice),
  // so an unattended run never confirms something it was not told to.
  explicit ScriptedDialogs(Reply defaultReply = Reply::kOk);

  void QueueReply(Reply reply);
  // nullopt stands for a cancelled picker; an empty queue also cancels.
  void QueueFolder(std::optional<std::string> folder);
  void QueueFiles(std::vector<std::string> files);
  // nullopt stands for a cancelled prompt; an empty queue also cancels.
  void QueueProxyCredentials(std::optional<std::pair<std::string, std::string>> credentials);

  Reply ShowMessage(const std::string& text, MessageKind kind,
                    MessageButtons buttons = MessageButtons::kOk) override;
  void ShowWait(const std::string& text, const std::string& caption) override;
  void HideWait() override;
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override;
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& patterns) override;
  bool AskProxyCredentials(std::string* userName, std::string* password) override;

  std::vector<Message> Messages() const;
  std::vector<Wait> Waits() const;
  std::vector<Picker> Pickers() const;
  bool WaitVisible() const;
  int ProxyPrompts() const;
  // Queued replies, folders and file lists nobody asked for yet.
  size_t UnusedReplies() const;

 private:
  mutable std::mutex mutex_;
  Reply defaultReply_;
  std::deque<Reply> replies_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::vector<std::string>> fileLists_;
  std::deque<std::optional<std::pair<std::string, std::string>>> proxyCredentials_;
  int proxyPrompts_ = 0;
  std::vector<Message> messages_;
  std::vector<Wait> waits_;
  std::vector<Picker> pickers_;
  bool waitVisible_ = false;
};

}  // namespace zerva
