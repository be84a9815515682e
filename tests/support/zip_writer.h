// ZIP archives made by tests, with the attribute bytes and names the test wants.
#pragma once

#include <string>
#include <vector>

namespace zerva::test {

struct ZipEntry {
  std::string name;
  std::string content;
  unsigned attributes = 161;  // 145 marks a folder
};

bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

}  // namespace zerva::test
