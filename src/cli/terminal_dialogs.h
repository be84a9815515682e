// The Dialogs of the terminal: notices and questions on stderr, answered by --yes or --no, on
// the terminal when stdin is one, and otherwise with the declining answer, so an unattended run
// never waits for input and never confirms what it was not told to.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "cli/cli_args.h"

namespace zerva::cli {

struct TerminalStreams {
  std::FILE* in = stdin;
  std::FILE* out = stderr;
  bool inIsTerminal = false;   // questions may be asked on it
  bool outIsTerminal = false;  // the wait note may be drawn and erased on one line
};

// What --yes gives: Yes, OK or Retry.
Reply AffirmativeReply(MessageButtons buttons);
// What --no gives: No, or Cancel where there is no No.
Reply NegativeReply(MessageButtons buttons);
// What an unanswered question gets: No, or Cancel where Cancel is offered.
Reply DecliningReply(MessageButtons buttons);

// A verb's own answer to one of the questions, given instead of the policy's, and why.
struct StandingAnswer {
  Reply reply = Reply::kNo;
  std::string why;
};
// Looks at a question; nothing for the questions the policy answers.
using AnswerRule =
    std::function<std::optional<StandingAnswer>(const std::string& text, MessageButtons buttons)>;

class TerminalDialogs : public Dialogs {
 public:
  TerminalDialogs(AnswerPolicy policy, TerminalStreams streams);

  Reply ShowMessage(const std::string& text, MessageKind kind,
                    MessageButtons buttons = MessageButtons::kOk) override;
  void ShowWait(const std::string& text, const std::string& caption) override;
  void HideWait() override;
  // The terminal picks nothing: verbs take their folders and files as arguments.
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override;
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& patterns) override;
  // Asked on the terminal (the password without echo); cancelled without one.
  bool AskProxyCredentials(std::string* userName, std::string* password) override;

  // Questions this rule answers are shown with its answer and not asked; none: the policy
  // answers every question.
  void SetAnswerRule(AnswerRule rule);

  // A notice of the front end itself, with the caption as given.
  void ShowPlain(const std::string& text, const std::string& caption);
  // Questions that got a declining answer so far.
  int DeclinedCount() const;

 private:
  Reply Answer(MessageButtons buttons, std::string* how);
  Reply AskOnTerminal(MessageButtons buttons);
  std::optional<std::string> ReadLine(bool echo);
  void ClearWaitLine();

  mutable std::mutex mutex_;
  AnswerPolicy policy_;
  TerminalStreams streams_;
  AnswerRule rule_;
  bool waitShown_ = false;
  int declined_ = 0;
};

}  // namespace zerva::cli
