// The program's command line, parsed once at start-up: installation and diagnostic switches, and
// an unattended upload (media files, or a list file of them, with optional credentials and an
// album label).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zerva {

inline constexpr int kDefaultDelayMs = 2000;
// A list file larger than this is ignored.
inline constexpr int64_t kMaxListFileBytes = 16 << 20;

// A switch the parser knows, as the usage text lists it: "-" + word, then its value.
struct CmdLineSwitch {
  std::string_view word;   // a word ending in ":" matches by its start and carries its value
  std::string_view value;  // "NAME": the next plain argument; empty: none
  std::string_view help;
};
std::span<const CmdLineSwitch> CmdLineSwitches();
// The switch that `word` (its leading hyphens taken off) names; nullptr for any other word.
const CmdLineSwitch* FindCmdLineSwitch(std::string_view word);

class CmdLineInfo {
 public:
  // Whether videos can be converted; asked at most once, only when a video argument shows up.
  // The default looks for ffmpeg.
  using VideoConverterCheck = std::function<bool()>;
  explicit CmdLineInfo(VideoConverterCheck videoConverterPresent = {});

  // Every argument after the program name, left to right. An argument that begins with "-" or
  // "/" is a switch and loses that character, except a "/" that starts an absolute path: one that
  // names an existing file-system entry, or anything but a known switch word.
  void Parse(int argc, const char* const* argv);
  // One argument; `text` of a switch without its first "-" or "/". `isLast` is not used.
  void ParseParam(const std::string& text, bool isSwitch, bool isLast);

  const std::vector<std::string>& FileList() const { return fileList_; }
  bool TraceRequested() const { return trace_; }
  bool FilesGiven() const { return filesGiven_; }
  bool Uninstall() const { return uninstall_; }
  bool NoRegistration() const { return noRegistration_; }
  bool ListMode() const { return listMode_; }
  bool ExpectsUserName() const { return expectUserName_; }
  bool ExpectsPassword() const { return expectPassword_; }
  bool ExpectsLabel() const { return expectLabel_; }
  const std::string& UserName() const { return userName_; }
  const std::string& Password() const { return password_; }
  const std::string& Label() const { return label_; }
  const std::string& ListBuffer() const { return listBuffer_; }
  int DelayMs() const { return delayMs_; }

 private:
  // Whether `path` has a photo extension, or a video extension and videos can be converted.
  // Existence is not checked here.
  bool IsWantedMediaFile(const std::string& path);
  void ParseSwitch(const std::string& text);
  void ParsePlain(const std::string& text);
  void ReadListFile();
  void AddFileIfWanted(const std::string& path);
  bool VideoConverterPresent();

  std::vector<std::string> fileList_;
  bool trace_ = false;
  bool filesGiven_ = false;
  bool uninstall_ = false;
  bool noRegistration_ = false;
  bool listMode_ = false;
  bool expectUserName_ = false;
  bool expectPassword_ = false;
  bool expectLabel_ = false;
  std::string userName_;
  std::string password_;
  std::string label_;
  std::string listBuffer_;
  int delayMs_ = kDefaultDelayMs;

  VideoConverterCheck videoConverterCheck_;
  std::optional<bool> videoConverterPresent_;
};

}  // namespace zerva
