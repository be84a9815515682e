#include "app/help_doc.h"

#include <cctype>
#include <utility>

namespace zerva {
namespace {

// Before these a "-" starts a switch and is typed as a minus; elsewhere it joins two words.
bool StartsSwitch(char previous) {
  return std::string_view(" ([,|\"'=").find(previous) != std::string_view::npos;
}

bool InSwitchWord(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
}

// One line of text in troff's input language: no request, no escape taken by surprise. Every
// "-" of a switch ("--web-order") is a minus sign, one inside a word ("e-mail") a hyphen.
std::string Escaped(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  text = first == std::string_view::npos ? std::string_view() : text.substr(first);
  std::string out;
  bool inSwitch = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-' && (i == 0 || StartsSwitch(text[i - 1]))) inSwitch = true;
    if (!InSwitchWord(c)) inSwitch = false;
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && inSwitch) {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

bool HasUpper(std::string_view text) {
  for (unsigned char c : text) {
    if (std::isupper(c)) return true;
  }
  return false;
}

// A synopsis or table term: switches and verbs bold, the values the user fills in italic.
std::string FormattedTerm(std::string_view term) {
  std::string out;
  size_t pos = 0;
  while (pos <= term.size()) {
    size_t end = term.find(' ', pos);
    if (end == std::string_view::npos) end = term.size();
    const std::string_view token = term.substr(pos, end - pos);
    pos = end + 1;
    if (token.empty()) continue;
    if (!out.empty()) out += ' ';
    const size_t open = token.find_first_not_of("[(");
    const size_t close = token.find_last_not_of("]),|");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
      out += Escaped(token);
    } else {
      const std::string_view core = token.substr(open, close + 1 - open);
      out += std::string(token.substr(0, open));
      if (core[0] == '-') {
        // "-delay:MS", "--wait-pid=PID": the switch typed as it is, its value filled in.
        const size_t colon = core.find_first_of(":=");
        if (colon != std::string_view::npos && HasUpper(core.substr(colon))) {
          out += "\\fB" + Escaped(core.substr(0, colon + 1)) + "\\fI" +
                 Escaped(core.substr(colon + 1)) + "\\fR";
        } else {
          out += "\\fB" + Escaped(core) + "\\fR";
        }
      } else if (HasUpper(core)) {
        out += "\\fI" + Escaped(core) + "\\fR";
      } else {
        out += "\\fB" + Escaped(core) + "\\fR";
      }
      out += std::string(token.substr(close + 1));
    }
  }
  return out;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void AppendLines(const std::vector<std::string>& lines, std::string* out) {
  for (const std::string& line : lines) {
    const std::string escaped = Escaped(line);
    if (!escaped.empty()) *out += escaped + "\n";
  }
}

// --help fits a terminal of 80 columns; the last one is left free.
constexpr size_t kHelpWidth = 79;

// Each piece of text starts a new line and is broken at blanks to fit after `indent` columns.
std::vector<std::string> FittedLines(const std::vector<std::string>& pieces, size_t indent) {
  const size_t width = kHelpWidth > indent + 20 ? kHelpWidth - indent : 20;
  std::vector<std::string> lines;
  for (const std::string& piece : pieces) {
    for (std::string& line : WrappedLines(piece, width)) lines.push_back(std::move(line));
  }
  return lines;
}

void AppendHelpEntries(const HelpBlock& block, std::string* out) {
  const std::string pad(2 + static_cast<size_t>(block.termWidth), ' ');
  for (const HelpEntry& entry : block.entries) {
    std::string line = "  " + entry.term;
    const std::vector<std::string> text = FittedLines(entry.text, pad.size());
    for (size_t i = 0; i < text.size(); ++i) {
      if (i == 0 && line.size() < pad.size()) {
        line.resize(pad.size(), ' ');
        line += text[0];
      } else {
        *out += line + "\n";
        line = pad + text[i];
      }
    }
    *out += line + "\n";
  }
}

}  // namespace

HelpBlock Paragraph(std::vector<std::string> lines) {
  HelpBlock block;
  block.lines = std::move(lines);
  return block;
}

HelpBlock Commands(std::vector<std::string> lines) {
  HelpBlock block = Paragraph(std::move(lines));
  block.commands = true;
  return block;
}

HelpBlock Table(std::vector<HelpEntry> entries, int termWidth) {
  HelpBlock block;
  block.entries = std::move(entries);
  block.termWidth = termWidth;
  return block;
}

HelpSection Section(std::string title, std::vector<HelpBlock> blocks) {
  HelpSection section;
  section.title = std::move(title);
  section.blocks = std::move(blocks);
  return section;
}

HelpSection ManualSection(std::string title, std::vector<HelpBlock> blocks) {
  HelpSection section = Section(std::move(title), std::move(blocks));
  section.manualOnly = true;
  return section;
}

std::vector<std::string> WrappedLines(std::string_view text, size_t width) {
  std::vector<std::string> lines;
  std::string line;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(pos, end - pos);
    pos = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string RenderHelpText(const HelpDoc& doc) {
  std::string out = doc.header + "\n";
  for (size_t i = 0; i < doc.usage.size(); ++i) {
    out += (i == 0 ? "\nUsage: " : "       ") + doc.usage[i] + "\n";
  }
  for (const HelpSection& section : doc.sections) {
    if (section.manualOnly) continue;
    out += "\n";
    if (!section.title.empty()) out += section.title + ":\n";
    const std::string indent = section.title.empty() ? "" : "  ";
    for (size_t b = 0; b < section.blocks.size(); ++b) {
      const HelpBlock& block = section.blocks[b];
      if (b > 0) out += "\n";
      if (!block.entries.empty()) {
        AppendHelpEntries(block, &out);
        continue;
      }
      // Commands are shown as typed, never broken.
      const std::string lead = indent + (block.commands ? "  " : "");
      const std::vector<std::string> lines =
          block.commands ? block.lines : FittedLines(block.lines, lead.size());
      for (const std::string& line : lines) out += lead + line + "\n";
    }
  }
  return out;
}

std::string RenderManualPage(const HelpDoc& doc, const std::string& version,
                             const std::string& date) {
  std::string out = ".TH \"" + UpperCase(doc.name) + "\" \"1\" \"" + date + "\" \"zerva " +
                    version + "\" \"User Commands\"\n";
  // Switches are searched for in the rendered page: no word is broken at a line's end.
  out += ".nh\n.ad l\n";
  out += ".SH NAME\n" + Escaped(doc.name) + " \\- " + Escaped(doc.summary) + "\n";
  out += ".SH SYNOPSIS\n";
  for (size_t i = 0; i < doc.usage.size(); ++i) {
    if (i > 0) out += ".br\n";
    out += FormattedTerm(doc.usage[i]) + "\n";
  }
  for (const HelpSection& section : doc.sections) {
    if (!section.title.empty()) out += ".SH \"" + UpperCase(section.title) + "\"\n";
    for (const HelpBlock& block : section.blocks) {
      if (!block.entries.empty()) {
        for (const HelpEntry& entry : block.entries) {
          out += ".TP\n" + FormattedTerm(entry.term) + "\n";
          AppendLines(entry.text, &out);
        }
      } else if (block.commands) {
        out += ".PP\n.RS 4\n.nf\n";
        AppendLines(block.lines, &out);
        out += ".fi\n.RE\n";
      } else {
        out += ".PP\n";
        AppendLines(block.lines, &out);
      }
    }
  }
  return out;
}

}  // namespace zerva
