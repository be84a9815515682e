#include "update/update_description.h"

#include "app/elements.h"
#include "platform/fs.h"

namespace zerva {

std::string UpdateComponent::BaseName() const {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

ComponentGroup GroupOf(const std::string& baseName) {
  if (baseName == "ffmpeg" || baseName == "libtheora" || baseName == "libogg" ||
      baseName == "libx264") {
    return ComponentGroup::kConverter;
  }
  if (baseName == "ffplay" || baseName == "SDL") return ComponentGroup::kPlayer;
  return ComponentGroup::kProgram;
}

std::vector<DownloadAndRun> ReadDownloadAndRun(std::string_view description) {
  std::vector<DownloadAndRun> out;
  for (const std::string& group : GetElements(description, "downloadAndRun")) {
    DownloadAndRun entry;
    entry.versionCondition = static_cast<int>(GetElementInt(group, "versionCondition"));
    entry.runUrl = GetElement(group, "runUrl");
    entry.runAs = GetElement(group, "runAs");
    out.push_back(std::move(entry));
  }
  return out;
}

std::vector<UpdateComponent> ReadComponents(std::string_view description, bool* found) {
  const std::string files = GetElement(description, "files");
  *found = !files.empty();
  std::vector<UpdateComponent> out;
  for (const std::string& element : GetElements(files, "file")) {
    UpdateComponent c;
    c.version = static_cast<int>(GetElementInt(element, "version"));
    c.name = GetElement(element, "name");
    c.quietUpdate = GetElement(element, "quietUpdate");
    c.nameZip = GetElement(element, "nameZip");
    c.sizeZip = GetElementInt(element, "sizeZip");
    c.autoExtract = GetElement(element, "autoExtract");
    out.push_back(std::move(c));
  }
  return out;
}

int LocalVersion(const std::string& versionFilePath) {
  std::string text;
  if (!ReadFileBounded(versionFilePath, 1 << 20, &text)) return 0;
  return static_cast<int>(GetElementInt(GetElement(text, "version"), "number"));
}

std::string UpdaterXml(const std::vector<UpdaterInstruction>& files, const std::string& runPath) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<updater>\n  <files>\n";
  for (const UpdaterInstruction& file : files) {
    xml += "    <file>\n";
    xml += "      <source>" + file.source + "</source>\n";
    xml += "      <target>" + file.target + "</target>\n";
    xml += "    </file>\n";
  }
  xml += "  </files>\n";
  xml += "  <run>" + runPath + "</run>\n";
  xml += "</updater>\n\n";
  return xml;
}

bool ParseUpdaterXml(std::string_view text, std::vector<UpdaterInstruction>* files,
                     std::string* runPath) {
  files->clear();
  bool found = false;
  const std::string list = GetElement(text, "files", &found);
  if (!found) return false;
  for (const std::string& element : GetElements(list, "file")) {
    UpdaterInstruction entry{GetElement(element, "source"), GetElement(element, "target")};
    if (entry.source.empty() || entry.target.empty()) return false;
    files->push_back(std::move(entry));
  }
  *runPath = GetElement(text, "run");
  return true;
}

}  // namespace zerva
