#include "update/updater_help.h"

#include "app/version.h"

namespace zerva {

HelpDoc UpdaterHelp() {
  HelpDoc doc;
  doc.name = "zerva-updater";
  doc.summary = "install an update of zerva that the program downloaded";
  doc.header = ProgramVersionLine("zerva-updater");
  doc.usage = {"zerva-updater INSTRUCTIONS [--wait-pid=PID]", "zerva-updater --help | --version"};
  doc.sections.push_back(Section(
      "",
      {Paragraph({"Started by zerva when its update check has downloaded a new version; not "
                  "meant to be run by hand. It reads the instruction file INSTRUCTIONS that the "
                  "update check wrote, waits for zerva to end, unpacks each downloaded archive "
                  "into its folder (never outside it) and starts the program the instructions "
                  "name."})}));
  doc.sections.push_back(Section(
      "Options", {Table({{"--wait-pid=PID",
                          {"wait for the process PID (zerva) to end first, at most two minutes"}},
                         {"--help, -h", {"this text"}},
                         {"--version", {"the program's name and version"}}})}));
  doc.sections.push_back(
      Section("Exit status",
              {Table({{"0", {"everything was installed and the program started"}},
                      {"1", {"an archive could not be unpacked, or the program not started"}},
                      {"2", {"no instruction file was given"}},
                      {"3", {"the instruction file cannot be read"}}},
                     4)}));
  doc.sections.push_back(ManualSection("See also", {Paragraph({"zerva(1)"})}));
  return doc;
}

}  // namespace zerva
