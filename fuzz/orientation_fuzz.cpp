// ResetOrientation writes into the user's file: on any input it must not crash, must keep the
// file's size, and may change nothing but one orientation value (at most four adjacent bytes,
// which then read 1).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "model/jpeg_orientation.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = zerva::fuzz::ScratchPath("orientation", ".jpg");
  const std::string before(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << before;
  }
  std::string error;
  zerva::ResetOrientation(path, &error);
  std::ifstream in(path, std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ::unlink(path.c_str());
  if (after.size() != before.size()) std::abort();
  size_t first = after.size(), last = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    if (first == after.size()) first = i;
    last = i;
  }
  if (first == after.size()) return 0;
  if (last - first >= 4) std::abort();
  // The changed bytes are part of a 1 written in one of the byte orders.
  int ones = 0;
  for (size_t i = first; i <= last; ++i) {
    if (after[i] == 1)
      ++ones;
    else if (after[i] != 0)
      std::abort();
  }
  if (ones > 1) std::abort();
  return 0;
}
