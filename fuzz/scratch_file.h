// Targets whose code under test reads a path get a scratch file of their own: one per process,
// so that parallel fuzzing jobs never write into each other's input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zerva::fuzz {

// $TMPDIR/zerva_<target>_fuzz_<pid><extension>, fixed for the process.
inline const std::string& ScratchPath(const char* target, const char* extension) {
  static const std::string path = [&] {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/zerva_" + target + "_fuzz_" +
           std::to_string(::getpid()) + extension;
  }();
  return path;
}

// The input written to `path`; false when the file cannot be written.
inline bool WriteScratch(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace zerva::fuzz
