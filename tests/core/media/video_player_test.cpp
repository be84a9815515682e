// Playing videos with ffplay: the command, what is played for an item, and a player that is
// started but not waited for.
#include "media/video_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "model/photo.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

namespace zerva {
namespace {

TEST(PlayVideo, CommandKeepsTitleAndLocationWhole) {
  const ProcessCommand command =
      PlayVideoCommand("Beach \"day\"", "(click to close)", "/v/beach.mp4");
  EXPECT_EQ(command.text,
            "ffplay -window_title \"Beach \"day\" (click to close)\" -autoexit -exitonmousedown "
            "\"/v/beach.mp4\"");
  EXPECT_EQ(command.args,
            (std::vector<std::string>{"ffplay", "-window_title", "Beach \"day\" (click to close)",
                                      "-autoexit", "-exitonmousedown", "/v/beach.mp4"}));
}

TEST(PlayVideo, WhatIsPlayedForAnItem) {
  CPhoto item;
  item.isVideo = true;
  item.video.sourcePath = "/v/a.mp4";
  item.videosUrl = "http://download.zerva.localhost:8380/video/";
  item.photoID = 42;
  EXPECT_EQ(VideoPlayLocation(item), "/v/a.mp4");
  item.localFileAvailable = false;
  EXPECT_EQ(VideoPlayLocation(item), "http://download.zerva.localhost:8380/video/42");
  item.included = false;  // not public
  EXPECT_EQ(VideoPlayLocation(item), "");
  item.included = true;
  item.photoID = 0;  // not uploaded yet
  EXPECT_EQ(VideoPlayLocation(item), "");
  item.localFileAvailable = true;
  item.video.sourcePath.clear();
  item.photoID = 42;
  EXPECT_EQ(VideoPlayLocation(item), "http://download.zerva.localhost:8380/video/42");
  item.isVideo = false;
  EXPECT_EQ(VideoPlayLocation(item), "");
}

TEST(PlayVideo, ThePlayerRunsOnItsOwn) {
  test::TempDir tools;
  const std::string log = tools.File("played.txt");
  test::WriteScript(tools.File("ffplay"),
                    "sleep 1; for a in \"$@\"; do printf '[%s]' \"$a\"; done > '" + log + "'");
  test::PathPrefix path(tools.Path());
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(PlayVideo("Beach", "/v/beach.mp4"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900))
      << "not waited for";
  for (int i = 0; i < 100 && test::ReadWholeFile(log).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string played = test::ReadWholeFile(log);
  EXPECT_EQ(played.rfind("[-window_title][Beach ", 0), 0u) << played;
  EXPECT_NE(played.find("][-autoexit][-exitonmousedown][/v/beach.mp4]"), std::string::npos);
}

TEST(PlayVideo, NoPlayerInstalled) {
  test::TempDir empty;
  const std::string saved = std::getenv("PATH");
  ::setenv("PATH", empty.Path().c_str(), 1);
  const bool started = PlayVideo("Beach", "/v/beach.mp4");
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_FALSE(started);
}

}  // namespace
}  // namespace zerva
