// Short videos for the video tests, made by the installed ffmpeg from its test pattern and tone
// sources. They are made once into a folder shared by the test processes of a run.
#pragma once

#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/tools.h"

namespace zerva::test {

inline bool HaveFfmpeg() {
  return !FindOnPath("ffmpeg").empty();
}

inline std::string VideoFolder() {
  const char* base = std::getenv("ZERVA_TEST_TMP");
  const std::string root =
      base && *base ? std::string(base) : std::filesystem::temp_directory_path().string();
  const std::string folder = root + "/zerva-test-videos/";
  std::filesystem::create_directories(folder);
  return folder;
}

// The ffmpeg arguments (inputs and encoding) of each test video, by file name.
inline const std::map<std::string, std::string>& VideoRecipes() {
  static const std::map<std::string, std::string> recipes = {
      {"h264_aac.mp4",
       "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 "
       "-t 2 -c:v libx264 -pix_fmt yuv420p -c:a aac -ac 2 -b:a 128k"},
      {"no_audio.mp4",
       "-f lavfi -i testsrc=size=320x240:rate=25 -t 2 -c:v libx264 -pix_fmt yuv420p"},
      {"mpeg4.mp4",
       "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 "
       "-t 2 -c:v mpeg4 -c:a aac"},
      {"surround.mp4",
       "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 "
       "-t 1 -c:v libx264 -pix_fmt yuv420p -c:a aac -ac 6"},
      {"portrait.mp4",
       "-f lavfi -i testsrc=size=240x320:rate=25 -t 2 -c:v libx264 -pix_fmt yuv420p"},
      {"sar.mp4",
       "-f lavfi -i testsrc=size=720x576:rate=25 -vf setsar=16/15 -t 1 -c:v libx264 "
       "-pix_fmt yuv420p"},
      {"rate22050.mp4",
       "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=22050 "
       "-t 1 -c:v libx264 -pix_fmt yuv420p -c:a aac"},
      {"rate32000.mp4",
       "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=32000 "
       "-t 1 -c:v libx264 -pix_fmt yuv420p -c:a aac"},
      {"audio_only.m4a", "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 1 -c:a aac"},
  };
  return recipes;
}

// The test video `name` (a key of VideoRecipes, or "garbage.mp4": bytes that are no video);
// empty when it could not be made.
inline std::string TestVideo(const std::string& name) {
  const std::string path = VideoFolder() + name;
  if (std::filesystem::exists(path)) return path;
  // Made under a name of this process and renamed, so parallel test processes never see half.
  const std::string partial = VideoFolder() + "part" + std::to_string(::getpid()) + "-" + name;
  if (name == "garbage.mp4") {
    std::ofstream out(partial, std::ios::binary);
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
      state = state * 1103515245u + 12345u;
      out.put(static_cast<char>(state >> 16));
    }
  } else {
    const auto recipe = VideoRecipes().find(name);
    if (recipe == VideoRecipes().end()) return {};
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y " + recipe->second + " '" + partial + "'";
    if (std::system(command.c_str()) != 0) {
      std::remove(partial.c_str());
      return {};
    }
  }
  std::rename(partial.c_str(), path.c_str());
  return path;
}

// Puts a folder first on PATH for the life of the object, so that "ffmpeg" or "ffplay" can be a
// stand-in script.
class PathPrefix {
 public:
  explicit PathPrefix(const std::string& folder) {
    const char* old = std::getenv("PATH");
    old_ = old ? old : "";
    ::setenv("PATH", (folder + ":" + old_).c_str(), 1);
  }
  ~PathPrefix() { ::setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

// An executable shell script.
inline std::string WriteScript(const std::string& path, const std::string& body) {
  {
    std::ofstream out(path, std::ios::binary);
    out << "#!/bin/sh\n" << body << "\n";
  }
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path;
}

}  // namespace zerva::test
