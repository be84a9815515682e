#include "app/cmd_line_info.h"

#include <sys/stat.h>

#include <string_view>

#include "app/text_utils.h"
#include "platform/fs.h"
#include "platform/tools.h"

namespace zerva {
namespace {

constexpr std::string_view kDelayPrefix = "delay:";
constexpr int kMaxDelayMs = 0x7fff;

constexpr CmdLineSwitch kSwitches[] = {
    {"usr", "NAME", "sign in as NAME for an unattended upload"},
    {"pwd", "PASSWORD", "with this password"},
    {"lbl", "LABEL", "the new album of an unattended upload is named LABEL_<time>"},
    {"lst", "FILE",
     "read the files of an unattended upload from FILE, a .lst file with one path per line (up to "
     "-end)"},
    {"end", "", "ends the list file's name begun by -lst"},
    {"trace", "",
     "open the trace window at start-up; failure messages show the service's raw answer"},
    {"noreg", "",
     "do not register the zerva:// address handler with the desktop, and send the service no "
     "installation notice"},
    {"unins", "", "remove nothing, report the program as uninstalled to the service and end"},
    {kDelayPrefix, "MS",
     "how long the page shown during registration stays open, in milliseconds (default 2000)"},
};

std::string_view SkipHyphens(std::string_view text) {
  const size_t first = text.find_first_not_of('-');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The leading decimal digits as a delay; nullopt when there are none or the number is too big.
std::optional<int> LeadingDelay(std::string_view digits) {
  int value = 0;
  size_t i = 0;
  for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
    value = value * 10 + (digits[i] - '0');
    if (value > kMaxDelayMs) return std::nullopt;
  }
  if (i == 0) return std::nullopt;
  return value;
}

std::string AsciiLowerCopy(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::span<const CmdLineSwitch> CmdLineSwitches() {
  return kSwitches;
}

const CmdLineSwitch* FindCmdLineSwitch(std::string_view word) {
  for (const CmdLineSwitch& known : kSwitches) {
    const bool prefix = known.word.ends_with(':');
    if (prefix ? word.starts_with(known.word) : word == known.word) return &known;
  }
  return nullptr;
}

CmdLineInfo::CmdLineInfo(VideoConverterCheck videoConverterPresent)
    : videoConverterCheck_(std::move(videoConverterPresent)) {
  if (!videoConverterCheck_) {
    videoConverterCheck_ = [] { return FindTool("ffmpeg").present; };
  }
}

void CmdLineInfo::Parse(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == nullptr) continue;
    const std::string arg = argv[i];
    bool isSwitch = !arg.empty() && arg[0] == '-';
    // On this system "/" also starts every absolute path. Such a path stays a plain argument,
    // including the first half of a list-file path that the shell split at a blank.
    if (!arg.empty() && arg[0] == '/') {
      isSwitch =
          !PathExists(arg) && FindCmdLineSwitch(SkipHyphens(std::string_view(arg).substr(1)));
    }
    ParseParam(isSwitch ? arg.substr(1) : arg, isSwitch, i == argc - 1);
  }
}

void CmdLineInfo::ParseParam(const std::string& text, bool isSwitch, bool /*isLast*/) {
  if (isSwitch) {
    ParseSwitch(text);
  } else {
    ParsePlain(text);
  }
}

void CmdLineInfo::ParseSwitch(const std::string& text) {
  const std::string_view word = SkipHyphens(text);
  if (word == "trace") {
    trace_ = true;
  } else if (word == "noreg") {
    noRegistration_ = true;
  } else if (word == "unins") {
    uninstall_ = true;
  } else if (word.substr(0, kDelayPrefix.size()) == kDelayPrefix) {
    const std::optional<int> delay = LeadingDelay(word.substr(kDelayPrefix.size()));
    if (delay && *delay > 0 && *delay < kMaxDelayMs) delayMs_ = *delay;
  } else if (word == "lst") {
    listMode_ = true;
    listBuffer_.clear();
  } else if (word == "end") {
    listMode_ = false;
    ReadListFile();
  } else if (word == "usr") {
    expectUserName_ = true;
  } else if (word == "pwd") {
    expectPassword_ = true;
  } else if (word == "lbl") {
    expectLabel_ = true;
  }
}

void CmdLineInfo::ParsePlain(const std::string& text) {
  if (listMode_) {
    if (!listBuffer_.empty()) listBuffer_ += ' ';
    listBuffer_ += text;
  } else if (expectUserName_ || expectPassword_ || expectLabel_) {
    if (expectUserName_) userName_ = text;
    if (expectPassword_) password_ = text;
    if (expectLabel_) label_ = text;
  } else {
    AddFileIfWanted(text);
  }
  expectUserName_ = false;
  expectPassword_ = false;
  expectLabel_ = false;
}

void CmdLineInfo::ReadListFile() {
  if (listBuffer_.empty() || !FileExists(listBuffer_)) return;
  if (AsciiLowerCopy(FileExtension(listBuffer_)) != ".lst") return;
  std::string content;
  if (!ReadFileBounded(listBuffer_, kMaxListFileBytes, &content)) return;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = content.size();
    if (end > pos) AddFileIfWanted(content.substr(pos, end - pos));
    pos = end + 1;
  }
}

void CmdLineInfo::AddFileIfWanted(const std::string& path) {
  if (!IsWantedMediaFile(path) || !FileExists(path)) return;
  fileList_.push_back(path);
  filesGiven_ = true;
}

bool CmdLineInfo::IsWantedMediaFile(const std::string& path) {
  const std::string extension = FileExtension(path);
  if (extension.empty()) return false;
  if (IsMediaExtension(extension, kMediaPhotos)) return true;
  return IsMediaExtension(extension, kMediaVideos) && VideoConverterPresent();
}

bool CmdLineInfo::VideoConverterPresent() {
  if (!videoConverterPresent_) videoConverterPresent_ = videoConverterCheck_();
  return *videoConverterPresent_;
}

}  // namespace zerva
