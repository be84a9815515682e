#include "media/ffmpeg_encoders.h"

#include <map>
#include <mutex>

#include "app/trace.h"
#include "media/child_process.h"
#include "platform/tools.h"

namespace zerva {
namespace {

// Listing the encoders takes a fraction of a second; a tool that hangs must not hold a job.
constexpr int kListTimeoutMs = 30000;

bool IsFlagWord(std::string_view word) {
  if (word.size() != 6) return false;
  for (char c : word) {
    if (c != '.' && !(c >= 'A' && c <= 'Z')) return false;
  }
  return true;
}

}  // namespace

std::set<std::string> ParseEncoderList(std::string_view output) {
  std::set<std::string> names;
  const size_t rule = output.find("------");
  if (rule == std::string_view::npos) return names;
  size_t pos = output.find('\n', rule);
  while (pos != std::string_view::npos && pos < output.size()) {
    const size_t start = pos + 1;
    size_t end = output.find('\n', start);
    std::string_view line =
        output.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    pos = end;
    const size_t flagsStart = line.find_first_not_of(" \t");
    if (flagsStart == std::string_view::npos) continue;
    line.remove_prefix(flagsStart);
    const size_t flagsEnd = line.find_first_of(" \t");
    if (flagsEnd == std::string_view::npos || !IsFlagWord(line.substr(0, flagsEnd))) continue;
    line.remove_prefix(flagsEnd);
    const size_t nameStart = line.find_first_not_of(" \t");
    if (nameStart == std::string_view::npos) continue;
    line.remove_prefix(nameStart);
    names.emplace(line.substr(0, line.find_first_of(" \t\r")));
  }
  return names;
}

std::set<std::string> FfmpegEncoders() {
  static std::mutex mutex;
  static std::map<std::string, std::set<std::string>> known;  // by ffmpeg executable
  const ToolLocation tool = FindTool("ffmpeg");
  if (!tool.present) return {};
  {
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = known.find(tool.path);
    if (found != known.end()) return found->second;
  }
  ChildProcess process(true);
  if (!process.Start(CommandBuilder().Quoted(tool.path).Text(" -hide_banner -encoders").Build(),
                     true)) {
    return {};
  }
  int exitCode = 0;
  const std::string output = process.ReadOutputFor(kListTimeoutMs, &exitCode);
  process.Close();
  std::set<std::string> names = ParseEncoderList(output);
  if (names.empty()) {
    Trace(kTraceWarning, static_cast<int>(tool.path.size()), "ffmpeg encoders unknown: %s\n",
          tool.path.c_str());
    return names;  // asked again next time
  }
  std::lock_guard<std::mutex> lock(mutex);
  known[tool.path] = names;
  return names;
}

std::string AudioEncoderFor(const std::string& wanted, const std::set<std::string>& offered) {
  if (wanted == "libvo_aacenc" && !offered.count(wanted) && offered.count("aac")) return "aac";
  return wanted;
}

std::string AudioEncoderFor(const std::string& wanted) {
  if (wanted != "libvo_aacenc") return wanted;
  return AudioEncoderFor(wanted, FfmpegEncoders());
}

}  // namespace zerva
