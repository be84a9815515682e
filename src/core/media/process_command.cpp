#include "media/process_command.h"

#include "model/number_text.h"

namespace zerva {

CommandBuilder& CommandBuilder::Text(std::string_view options) {
  command_.text.append(options);
  bool quoted = false;
  for (const char c : options) {
    if (c == '"') {
      quoted = !quoted;
      inWord_ = true;  // "" is an empty word
    } else if (!quoted && (c == ' ' || c == '\t')) {
      EndWord();
    } else {
      word_ += c;
      inWord_ = true;
    }
  }
  return *this;
}

CommandBuilder& CommandBuilder::Word(std::string_view value) {
  command_.text.append(value);
  word_.append(value);
  inWord_ = true;
  return *this;
}

CommandBuilder& CommandBuilder::Quoted(std::string_view value) {
  command_.text += '"';
  command_.text.append(value);
  command_.text += '"';
  word_.append(value);
  inWord_ = true;
  return *this;
}

void CommandBuilder::EndWord() {
  if (inWord_) command_.args.push_back(word_);
  word_.clear();
  inWord_ = false;
}

ProcessCommand CommandBuilder::Build() const {
  CommandBuilder copy = *this;
  copy.EndWord();
  return copy.command_;
}

std::string CommandNumber(double value, int width, int decimals) {
  std::string text = FormatFixed(value, decimals);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::vector<std::string> SplitCommandLine(std::string_view text) {
  return CommandBuilder().Text(text).Build().args;
}

}  // namespace zerva
