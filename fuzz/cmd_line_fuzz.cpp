// Command-line parsing fed with arbitrary arguments: the input is split into arguments at NUL
// bytes. The same arguments also go through the text utilities that handle outside texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/cmd_line_info.h"
#include "app/text_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  args.push_back(current);

  std::vector<const char*> argv{"zerva"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  zerva::CmdLineInfo info([] { return true; });
  info.Parse(static_cast<int>(argv.size()), argv.data());
  if (info.FilesGiven() == info.FileList().empty()) __builtin_trap();

  for (const std::string& arg : args) {
    const std::string server = zerva::MakeServerName(arg);
    if (server.find("__") != std::string::npos) __builtin_trap();
    zerva::HtmlToText(arg);
    zerva::NormalizeToLf(arg, true, true, true);
    zerva::IsMediaExtension(zerva::FileExtension(arg), zerva::kMediaPhotos | zerva::kMediaVideos);
  }
  return 0;
}
