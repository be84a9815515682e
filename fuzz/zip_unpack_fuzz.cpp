// Update archives from the network: unpacking arbitrary bytes must never crash and never write
// outside the target folder.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "update/unpack_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string root = [] {
    char pattern[] = "/tmp/zerva-zip-fuzz-XXXXXX";
    return std::string(::mkdtemp(pattern)) + "/";
  }();
  const std::string archive = root + "input.zip";
  const std::string target = root + "target/";
  std::filesystem::remove_all(target);
  std::filesystem::create_directories(target);
  {
    std::ofstream out(archive, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  zerva::UnpackArchive(archive, target);
  // Only the archive and the target folder may exist next to each other.
  for (const auto& entry : std::filesystem::directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name != "input.zip" && name != "target") __builtin_trap();
  }
  return 0;
}
