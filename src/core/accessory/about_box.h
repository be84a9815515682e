// The about box's contents: the version line, the table of the free components the program is
// built from (each linked to its home page, its source package and its licence file next to
// the executable), and the licence window's title and text.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

namespace zerva {

struct ComponentRecord {
  bool videoOnly;  // shown only when the video converter is present
  const char* project;
  const char* homePage;
  const char* licence;
  // The source package's file name, "%s" standing for the version (its dots dropped when
  // `packageVersionDigits` is set).
  const char* sourcePackage;
  bool packageVersionDigits;
  const char* licenceFile;
};

// The fixed table, in the order it is shown.
std::span<const ComponentRecord> Components();

// Versions by project name. The core knows the libraries it links; the window adds its toolkit
// and what its build found out.
using ComponentVersions = std::map<std::string, std::string>;
ComponentVersions CoreLibraryVersions();

struct AboutLink {
  std::string text;
  std::string target;
  std::string tooltip;
};
struct AboutRow {
  AboutLink project;
  AboutLink version;
  AboutLink licence;
};

// "zerva kalimtor, ver. 1.59.52.267".
std::string AboutVersionLine();
// "Project", "Version", "License".
std::vector<std::string> AboutHeaderRow();
// One row per component; the video-only ones only when the converter is present. A version
// nobody knows shows "?".
std::vector<AboutRow> AboutRows(bool videoConverterPresent, const std::string& programFolder,
                                const ComponentVersions& versions);

// Plain-text licence files open in the licence window; every other target goes to the shell.
bool OpensInLicenceWindow(const std::string& target);

struct LicenceView {
  std::string title;
  std::string text;  // lines end in LF
};
// "COPYING (<file name>)" and the file's text, or the error line for a missing or empty file.
LicenceView ReadLicence(const std::string& path);

}  // namespace zerva
