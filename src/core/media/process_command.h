// Command lines for external programs. The program writes its commands as one text (that is what
// the log shows and what the tools' documentation describes), but the child receives separate
// words: values from outside (file names, codec names read from stored records) are kept whole,
// so a file called `x" -y "/home/me/notes.txt` can never add options to a command.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

struct ProcessCommand {
  std::string text;               // the whole command line as written
  std::vector<std::string> args;  // the words the child gets; args[0] is the program
};

// Builds a command piece by piece, the way a printf format is filled in.
class CommandBuilder {
 public:
  // The program's own option text: split at blanks, a double-quoted stretch stays one word
  // ("-vf \"vflip,hflip\"" gives -vf and vflip,hflip).
  CommandBuilder& Text(std::string_view options);
  // A value from outside, written as it is and passed as exactly one word (even when empty or
  // when it holds blanks).
  CommandBuilder& Word(std::string_view value);
  // A value from outside written in double quotes (a path), passed as exactly one word.
  CommandBuilder& Quoted(std::string_view value);

  ProcessCommand Build() const;

 private:
  void EndWord();

  ProcessCommand command_;
  std::string word_;
  bool inWord_ = false;
};

// A number as printf's "%<width>.<decimals>f" writes it, but always with a decimal point: a
// desktop may run the program under a locale that writes a comma, which ffmpeg would not take.
std::string CommandNumber(double value, int width, int decimals);

// The words of a command text: blanks and tabs separate, double quotes group and are dropped.
// For commands the program writes itself; values from outside go through CommandBuilder.
std::vector<std::string> SplitCommandLine(std::string_view text);

}  // namespace zerva
