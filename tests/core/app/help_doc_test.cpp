#include "app/help_doc.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/cmd_line_info.h"
#include "app/window_help.h"

namespace zerva {
namespace {

HelpDoc SmallDoc() {
  HelpDoc doc;
  doc.name = "tool";
  doc.summary = "does a thing";
  doc.header = "tool 1.0";
  doc.usage = {"tool [--fast] FILE...", "tool --help"};
  doc.sections.push_back(
      Section("Options", {Table({{"--fast", {"go fast,", "really"}},
                                 {"--a-very-long-option VALUE", {"on a line of its own"}},
                                 {"--bare", {}}})}));
  doc.sections.push_back(Section("Exit status", {Table({{"0", {"fine"}}}, 4)}));
  doc.sections.push_back(
      Section("Example", {Commands({"tool -x a.jpg"}), Paragraph({"A closing word."})}));
  doc.sections.push_back(ManualSection("Files", {Paragraph({"~/.toolrc"})}));
  return doc;
}

TEST(HelpDoc, HelpTextAlignsTermsAndLeavesManualOnlySectionsOut) {
  EXPECT_EQ(RenderHelpText(SmallDoc()),
            "tool 1.0\n"
            "\n"
            "Usage: tool [--fast] FILE...\n"
            "       tool --help\n"
            "\n"
            "Options:\n"
            "  --fast                 go fast,\n"
            "                         really\n"
            "  --a-very-long-option VALUE\n"
            "                         on a line of its own\n"
            "  --bare\n"
            "\n"
            "Exit status:\n"
            "  0   fine\n"
            "\n"
            "Example:\n"
            "    tool -x a.jpg\n"
            "\n"
            "  A closing word.\n");
}

TEST(HelpDoc, HelpTextBreaksLongPiecesToFitEightyColumns) {
  HelpDoc doc;
  doc.header = "t";
  const std::string piece =
      "a piece of text far too long for one line of a terminal, as written in the table, which "
      "the help text breaks at blanks";
  doc.sections.push_back(
      Section("S", {Table({{"--long", {piece, "next"}}}), Paragraph({piece}), Commands({piece})}));
  EXPECT_EQ(RenderHelpText(doc),
            "t\n"
            "\n"
            "S:\n"
            "  --long                 a piece of text far too long for one line of a\n"
            "                         terminal, as written in the table, which the help text\n"
            "                         breaks at blanks\n"
            "                         next\n"
            "\n"
            "  a piece of text far too long for one line of a terminal, as written in the\n"
            "  table, which the help text breaks at blanks\n"
            "\n"
            "    " +
                piece + "\n");
}

TEST(HelpDoc, ManualPageHasEverySectionAndMarksUpTerms) {
  const std::string page = RenderManualPage(SmallDoc(), "1.0", "2026-12-10");
  EXPECT_EQ(page.rfind(".TH \"TOOL\" \"1\" \"2026-12-10\" \"zerva 1.0\" \"User Commands\"\n", 0),
            0u)
      << page;
  EXPECT_NE(page.find(".SH NAME\ntool \\- does a thing\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".SH SYNOPSIS\n\\fBtool\\fR [\\fB\\-\\-fast\\fR] \\fIFILE...\\fR\n.br\n"),
            std::string::npos)
      << page;
  // The entry's lines are refilled by the formatter, one paragraph per entry.
  EXPECT_NE(page.find(".TP\n\\fB\\-\\-fast\\fR\ngo fast,\nreally\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".TP\n\\fB\\-\\-a\\-very\\-long\\-option\\fR \\fIVALUE\\fR\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find(".SH \"EXIT STATUS\"\n.TP\n\\fB0\\fR\nfine\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".RS 4\n.nf\ntool \\-x a.jpg\n.fi\n.RE\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".SH \"FILES\"\n.PP\n~/.toolrc\n"), std::string::npos) << page;
}

TEST(HelpDoc, ManualPageTextCannotIssueRequestsOrEscapes) {
  HelpDoc doc;
  doc.name = "tool";
  doc.summary = "x";
  doc.sections.push_back(
      Section("Notes", {Paragraph({".so /etc/passwd", "'br", "C:\\path\\fB", "  indented", "",
                                   "an e-mail, one-time; -x, (-y) and \"-z\" e.g. KEY=-1"})}));
  const std::string page = RenderManualPage(doc, "1", "2026-01-01");
  EXPECT_NE(page.find("\n\\&.so /etc/passwd\n"), std::string::npos) << page;
  EXPECT_NE(page.find("\n\\&'br\n"), std::string::npos) << page;
  EXPECT_NE(page.find("\nC:\\epath\\efB\n"), std::string::npos) << page;
  EXPECT_NE(page.find("\nindented\n"), std::string::npos) << page;
  EXPECT_EQ(page.find("\n\n"), std::string::npos) << "a blank line in the page:\n" << page;
  // A switch's "-" is a minus; a hyphen inside a word stays a hyphen.
  EXPECT_NE(page.find("an e-mail, one-time; \\-x, (\\-y) and \"\\-z\" e.g. KEY=\\-1"),
            std::string::npos)
      << page;
}

TEST(HelpDoc, TermsMarkSwitchesBoldAndValuesItalic) {
  HelpDoc doc;
  doc.name = "t";
  doc.sections.push_back(Section("S", {Table({{"-delay:MS", {"a"}},
                                              {"--wait-pid=PID", {"e"}},
                                              {"--web-order KEY[:asc|:desc]", {"b"}},
                                              {"-noreg, -unins", {"c"}},
                                              {"[]", {"d"}}})}));
  const std::string page = RenderManualPage(doc, "1", "2026-01-01");
  EXPECT_NE(page.find(".TP\n\\fB\\-delay:\\fIMS\\fR\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".TP\n\\fB\\-\\-wait\\-pid=\\fIPID\\fR\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".TP\n\\fB\\-\\-web\\-order\\fR \\fIKEY[:asc|:desc\\fR]\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find(".TP\n\\fB\\-noreg\\fR, \\fB\\-unins\\fR\n"), std::string::npos) << page;
  EXPECT_NE(page.find(".TP\n[]\n"), std::string::npos) << page;
}

TEST(HelpDoc, WrappedLinesBreakAtBlanksOnly) {
  EXPECT_EQ(WrappedLines("", 10), std::vector<std::string>{});
  EXPECT_EQ(WrappedLines("one two three", 7), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(WrappedLines("  a   b  ", 10), std::vector<std::string>{"a b"});
  EXPECT_EQ(WrappedLines("x averyveryverylongword y", 5),
            (std::vector<std::string>{"x", "averyveryverylongword", "y"}));
}

std::vector<const char*> Argv(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"zerva"};
  argv.insert(argv.end(), args);
  return argv;
}

std::optional<std::string> Answer(std::initializer_list<const char*> args) {
  const std::vector<const char*> argv = Argv(args);
  return StandaloneAnswer(static_cast<int>(argv.size()), argv.data());
}

TEST(WindowHelp, HelpAndVersionAreAnsweredWithoutStartingTheWindow) {
  EXPECT_EQ(Answer({"--version"}), "zerva kalimtor, ver. 1.59.52.267\n");
  const std::optional<std::string> help = Answer({"-trace", "--help"});
  ASSERT_TRUE(help);
  EXPECT_EQ(help, Answer({"-h"}));
  EXPECT_EQ(help->rfind("zerva kalimtor, ver. 1.59.52.267\n\nUsage: zerva ", 0), 0u) << *help;
  // Anything else starts the window, however much it looks like a request.
  EXPECT_FALSE(Answer({}));
  EXPECT_FALSE(Answer({"-help", "/help", "--helpme", "-version", "zerva://open?x=--help"}));
}

TEST(WindowHelp, ListsEverySwitchTheParserKnowsAndNoOther) {
  const std::string help = RenderHelpText(WindowHelp());
  for (const CmdLineSwitch& known : CmdLineSwitches()) {
    EXPECT_NE(help.find("  -" + std::string(known.word)), std::string::npos) << known.word;
  }
  // "/end" is a switch only because the table lists it: otherwise the list would never end.
  CmdLineInfo info([] { return true; });
  const char* argv[] = {"zerva", "/lst", "/nonexistent/list.lst", "/end", "/trace"};
  info.Parse(5, argv);
  EXPECT_FALSE(info.ListMode());
  EXPECT_TRUE(info.TraceRequested());
  EXPECT_EQ(CmdLineSwitches().size(), 9u);
  // No line of the help text is wider than a terminal.
  size_t start = 0;
  while (start < help.size()) {
    const size_t end = help.find('\n', start);
    EXPECT_LT(end - start, 80u) << help.substr(start, end - start);
    start = end + 1;
  }
}

}  // namespace
}  // namespace zerva
