#include "app/window_help.h"

#include <string_view>
#include <utility>
#include <vector>

#include "app/cmd_line_info.h"
#include "app/version.h"

namespace zerva {
HelpDoc WindowHelp() {
  HelpDoc doc;
  doc.name = "zerva";
  doc.summary = "prepare photo albums and upload them to the photo-album service";
  doc.header = VersionLine();
  doc.usage = {"zerva [SWITCHES] [FILES...]", "zerva ADDRESS", "zerva --help | --version"};
  doc.sections.push_back(ManualSection(
      "Description",
      {Paragraph({"zerva is the desktop client of the photo-album service. It signs in, lists your",
                  "albums, makes a new album from a folder of photos and videos, lets you turn,",
                  "trim and describe each item, prepares the photos (smaller, turned, metadata",
                  "kept) and converts the videos with ffmpeg, and uploads the album while you go",
                  "on working. Settings chosen in the window are shared with zerva-cli(1)."})}));

  std::vector<HelpEntry> switches;
  for (const CmdLineSwitch& known : CmdLineSwitches()) {
    std::string term = "-" + std::string(known.word);
    if (!known.value.empty()) {
      term += (known.word.ends_with(':') ? "" : " ") + std::string(known.value);
    }
    switches.push_back({term, {std::string(known.help)}});
  }
  doc.sections.push_back(
      Section("Switches",
              {Paragraph({"A switch starts with \"-\" (or \"/\" when no such path exists); further",
                          "hyphens are skipped, so -usr and --usr are the same."}),
               Table(std::move(switches))}));
  doc.sections.push_back(
      Section("Arguments", {Table({{"FILES...",
                                    {"photo and video files: upload them unattended as a new "
                                     "album, signed in with -usr and -pwd; the window closes "
                                     "five seconds after the upload has finished"}},
                                   {"ADDRESS",
                                    {"a zerva:// address, as the web site passes it when it "
                                     "starts the program: the program simply starts"}}})}));
  doc.sections.push_back(Section(
      "Options",
      {Table({{"--help, -h", {"this text"}}, {"--version", {"the program's name and version"}}})}));
  doc.sections.push_back(ManualSection(
      "Files",
      {Table({{"$XDG_CONFIG_HOME/zerva/zerva.conf",
               {"settings: the login name, a remembered password's digest, the window's place, "
                "the album order; ~/.config/zerva/zerva.conf when XDG_CONFIG_HOME is not set"}},
              {"$XDG_CACHE_HOME/zerva/zerva.localhost/",
               {"photos and videos prepared for upload, and the trace log trace.log;",
                "~/.cache/zerva/zerva.localhost/ when XDG_CACHE_HOME is not set"}},
              {"zerva_proxy_setting.ini",
               {"next to the executable: the service's address and a proxy",
                "(Domain=host:port, UploadDomain=, ProxyHost=, ProxyPort=, ProxyUserName=,",
                "ProxyPassword=)"}}})}));
  doc.sections.push_back(ManualSection("See also", {Paragraph({"zerva-cli(1), zerva-server(1)"})}));
  return doc;
}

std::optional<std::string> StandaloneAnswer(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == nullptr) continue;
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return RenderHelpText(WindowHelp());
    if (arg == "--version") return VersionLine() + "\n";
  }
  return std::nullopt;
}

}  // namespace zerva
