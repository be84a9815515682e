// A program's usage text kept as data, so that its --help text and its manual page are both made
// from it and cannot tell different stories.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

// A verb, switch or exit status and what it does. Each piece of `text` starts a line of --help
// and is broken to fit 80 columns; the manual page fills them all into one paragraph.
struct HelpEntry {
  std::string term;
  std::vector<std::string> text;
};

// A paragraph (`lines`, pieces broken to fit as in an entry), a table of `entries`, or example
// commands shown as they are typed.
struct HelpBlock {
  std::vector<std::string> lines;
  std::vector<HelpEntry> entries;
  bool commands = false;
  // --help: where the entries' texts start, counted after the two blanks of the indent.
  int termWidth = 23;
};

struct HelpSection {
  std::string title;  // "Options"; the manual page shows it upper-case
  std::vector<HelpBlock> blocks;
  bool manualOnly = false;  // FILES, SEE ALSO and the like stay out of --help
};

struct HelpDoc {
  std::string name;                // "zerva-cli"
  std::string summary;             // the manual page's NAME line, after the dash
  std::string header;              // the first line of --help
  std::vector<std::string> usage;  // usage lines, each starting with the program's name
  std::vector<HelpSection> sections;
};

HelpBlock Paragraph(std::vector<std::string> lines);
HelpBlock Commands(std::vector<std::string> lines);
HelpBlock Table(std::vector<HelpEntry> entries, int termWidth = 23);
HelpSection Section(std::string title, std::vector<HelpBlock> blocks);
// A section of the manual page only.
HelpSection ManualSection(std::string title, std::vector<HelpBlock> blocks);

// `text` broken at blanks into lines of at most `width` characters (a longer word stands alone).
std::vector<std::string> WrappedLines(std::string_view text, size_t width);

std::string RenderHelpText(const HelpDoc& doc);
// A man(7) page of section 1; `version` and `date` (YYYY-MM-DD) go into its title line.
std::string RenderManualPage(const HelpDoc& doc, const std::string& version,
                             const std::string& date);

}  // namespace zerva
