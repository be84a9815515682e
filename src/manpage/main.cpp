// zerva-manpage: writes a program's manual page from the table its --help text is made of, so
// the two cannot drift apart. Run by the build: zerva-manpage PROGRAM VERSION DATE OUTPUT.
#include <cstdio>
#include <fstream>
#include <string>

#include "app/help_doc.h"
#include "app/window_help.h"
#include "cli/cli_help.h"
#include "server/server_options.h"
#include "update/updater_help.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs(
        "usage: zerva-manpage zerva|zerva-cli|zerva-server|zerva-updater VERSION DATE OUTPUT\n",
        stderr);
    return 2;
  }
  const std::string program = argv[1];
  zerva::HelpDoc doc;
  if (program == "zerva") {
    doc = zerva::WindowHelp();
  } else if (program == "zerva-cli") {
    doc = zerva::cli::CliHelp();
  } else if (program == "zerva-server") {
    doc = zerva::server::ServerHelp();
  } else if (program == "zerva-updater") {
    doc = zerva::UpdaterHelp();
  } else {
    std::fprintf(stderr, "zerva-manpage: no such program: %s\n", program.c_str());
    return 2;
  }
  // Written whole under a temporary name, so a failed run leaves no half page behind.
  const std::string output = argv[4];
  const std::string tmp = output + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << zerva::RenderManualPage(doc, argv[2], argv[3]);
    if (!out.flush()) {
      std::fprintf(stderr, "zerva-manpage: cannot write %s\n", tmp.c_str());
      return 1;
    }
  }
  if (std::rename(tmp.c_str(), output.c_str()) != 0) {
    std::fprintf(stderr, "zerva-manpage: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
