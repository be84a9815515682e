// zerva-cli: the headless front end.
#include <cstdio>
#include <cstring>

#include "app/version.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", zerva::VersionLine().c_str());
      return 0;
    }
  }
  std::fprintf(stderr, "usage: zerva-cli --version\n");
  return 2;
}
