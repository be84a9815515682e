#include "cli/terminal_dialogs.h"

#include <termios.h>
#include <unistd.h>

#include "app/text_utils.h"
#include "lang/text.h"

namespace zerva::cli {
namespace {

// A question is asked again after an answer it does not understand, but not for ever.
constexpr int kMaxQuestionTries = 3;
// Longer input lines are cut; nothing typed at a prompt needs more.
constexpr size_t kMaxInputLine = 1024;

std::string Shown(const std::string& text) {
  return BrToLineBreak(text, false, false);
}

const char* Choices(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return "";
    case MessageButtons::kOkCancel:
      return " [ok/cancel]";
    case MessageButtons::kYesNo:
      return " [yes/no]";
    case MessageButtons::kYesNoCancel:
      return " [yes/no/cancel]";
    case MessageButtons::kRetryCancel:
      return " [retry/cancel]";
  }
  return "";
}

const char* ReplyName(Reply reply) {
  switch (reply) {
    case Reply::kOk:
      return "ok";
    case Reply::kCancel:
      return "cancel";
    case Reply::kYes:
      return "yes";
    case Reply::kNo:
      return "no";
    case Reply::kRetry:
      return "retry";
  }
  return "";
}

bool IsDeclining(Reply reply) {
  return reply == Reply::kNo || reply == Reply::kCancel;
}

// The reply a typed word stands for; nothing when the buttons do not offer it.
std::optional<Reply> ParseAnswer(std::string word, MessageButtons buttons) {
  for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const bool yes =
      word == "y" || word == "yes" || word == "ok" || word == "o" || word == "r" || word == "retry";
  const bool no = word == "n" || word == "no";
  const bool cancel = word == "c" || word == "cancel";
  if (yes) return AffirmativeReply(buttons);
  if (no) return NegativeReply(buttons);
  if (cancel && buttons != MessageButtons::kOk) {
    return buttons == MessageButtons::kYesNo ? Reply::kNo : Reply::kCancel;
  }
  return std::nullopt;
}

}  // namespace

Reply AffirmativeReply(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
    case MessageButtons::kOkCancel:
      return Reply::kOk;
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoCancel:
      return Reply::kYes;
    case MessageButtons::kRetryCancel:
      return Reply::kRetry;
  }
  return Reply::kOk;
}

Reply NegativeReply(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return Reply::kOk;
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoCancel:
      return Reply::kNo;
    case MessageButtons::kOkCancel:
    case MessageButtons::kRetryCancel:
      return Reply::kCancel;
  }
  return Reply::kCancel;
}

Reply DecliningReply(MessageButtons buttons) {
  return buttons == MessageButtons::kYesNoCancel ? Reply::kCancel : NegativeReply(buttons);
}

TerminalDialogs::TerminalDialogs(AnswerPolicy policy, TerminalStreams streams)
    : policy_(policy), streams_(streams) {}

Reply TerminalDialogs::ShowMessage(const std::string& text, MessageKind kind,
                                   MessageButtons buttons) {
  // The caption and the rule read the language table; both run before our own lock is taken.
  const std::string caption = MessageCaption(kind);
  AnswerRule rule;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rule = rule_;
  }
  std::optional<StandingAnswer> standing;
  if (rule && buttons != MessageButtons::kOk) standing = rule(text, buttons);
  std::lock_guard<std::mutex> lock(mutex_);
  ClearWaitLine();
  std::fprintf(streams_.out, "%s: %s%s\n", caption.c_str(), Shown(text).c_str(), Choices(buttons));
  if (buttons == MessageButtons::kOk) {
    std::fflush(streams_.out);
    return Reply::kOk;
  }
  std::string how;
  const Reply reply = standing ? standing->reply : Answer(buttons, &how);
  if (standing) how = standing->why;
  if (!how.empty()) std::fprintf(streams_.out, "  -> %s (%s)\n", ReplyName(reply), how.c_str());
  std::fflush(streams_.out);
  if (IsDeclining(reply)) ++declined_;
  return reply;
}

Reply TerminalDialogs::Answer(MessageButtons buttons, std::string* how) {
  switch (policy_) {
    case AnswerPolicy::kYes:
      *how = "--yes";
      return AffirmativeReply(buttons);
    case AnswerPolicy::kNo:
      *how = "--no";
      return NegativeReply(buttons);
    case AnswerPolicy::kAsk:
      break;
  }
  if (streams_.inIsTerminal) return AskOnTerminal(buttons);
  *how = "no terminal to ask; --yes or --no decide";
  return DecliningReply(buttons);
}

Reply TerminalDialogs::AskOnTerminal(MessageButtons buttons) {
  for (int attempt = 0; attempt < kMaxQuestionTries; ++attempt) {
    std::fprintf(streams_.out, "? ");
    std::fflush(streams_.out);
    const std::optional<std::string> line = ReadLine(true);
    if (!line) break;  // end of input: nobody will answer
    const std::string word = TrimChars(*line, " \t\r\n");
    if (word.empty()) break;
    if (const std::optional<Reply> reply = ParseAnswer(word, buttons)) return *reply;
    std::fprintf(streams_.out, "Please answer%s\n", Choices(buttons));
  }
  return DecliningReply(buttons);
}

std::optional<std::string> TerminalDialogs::ReadLine(bool echo) {
  const int fd = ::fileno(streams_.in);
  termios saved{};
  const bool hide = !echo && ::isatty(fd) && ::tcgetattr(fd, &saved) == 0;
  if (hide) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  char buffer[kMaxInputLine];
  const bool read = std::fgets(buffer, sizeof buffer, streams_.in) != nullptr;
  if (hide) {
    ::tcsetattr(fd, TCSAFLUSH, &saved);
    std::fprintf(streams_.out, "\n");
  }
  if (!read) return std::nullopt;
  std::string line(buffer);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

void TerminalDialogs::SetAnswerRule(AnswerRule rule) {
  std::lock_guard<std::mutex> lock(mutex_);
  rule_ = std::move(rule);
}

void TerminalDialogs::ShowWait(const std::string& text, const std::string& /*caption*/) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A log of a script run gains nothing from "please wait" notes; a terminal shows them on
  // one line that the next output replaces.
  if (!streams_.outIsTerminal) return;
  std::fprintf(streams_.out, "\r\033[K%s", FlattenLines(Shown(text)).c_str());
  std::fflush(streams_.out);
  waitShown_ = true;
}

void TerminalDialogs::HideWait() {
  std::lock_guard<std::mutex> lock(mutex_);
  ClearWaitLine();
}

void TerminalDialogs::ClearWaitLine() {
  if (!waitShown_) return;
  std::fprintf(streams_.out, "\r\033[K");
  std::fflush(streams_.out);
  waitShown_ = false;
}

std::optional<std::string> TerminalDialogs::PickFolder(const std::string& /*title*/,
                                                       const std::string& /*startFolder*/) {
  return std::nullopt;
}

std::vector<std::string> TerminalDialogs::PickFiles(const std::string& /*title*/,
                                                    const std::string& /*startFolder*/,
                                                    const std::string& /*patterns*/) {
  return {};
}

bool TerminalDialogs::AskProxyCredentials(std::string* userName, std::string* password) {
  const std::string caption = Text("msgProxyAuthenticationCaption");
  const std::string help = Text("msgProxyHelpText");
  const std::string userLabel = Text("msgProxyUserName");
  const std::string passwordLabel = Text("msgProxyPassword");
  std::lock_guard<std::mutex> lock(mutex_);
  ClearWaitLine();
  if (!streams_.inIsTerminal) {
    std::fprintf(streams_.out, "%s: %s\n  -> cancelled (no terminal to ask)\n", caption.c_str(),
                 Shown(help).c_str());
    return false;
  }
  std::fprintf(streams_.out, "%s: %s\n%s ", caption.c_str(), Shown(help).c_str(),
               userLabel.c_str());
  std::fflush(streams_.out);
  const std::optional<std::string> user = ReadLine(true);
  if (!user || user->empty()) return false;
  std::fprintf(streams_.out, "%s ", passwordLabel.c_str());
  std::fflush(streams_.out);
  const std::optional<std::string> secret = ReadLine(false);
  if (!secret || secret->empty()) return false;
  *userName = *user;
  *password = *secret;
  return true;
}

void TerminalDialogs::ShowPlain(const std::string& text, const std::string& caption) {
  std::lock_guard<std::mutex> lock(mutex_);
  ClearWaitLine();
  std::fprintf(streams_.out, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(streams_.out);
}

int TerminalDialogs::DeclinedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return declined_;
}

}  // namespace zerva::cli
