#include "media/video_player.h"

#include "lang/text.h"
#include "media/child_process.h"
#include "model/photo.h"

namespace zerva {

ProcessCommand PlayVideoCommand(const std::string& title, const std::string& help,
                                const std::string& location) {
  return CommandBuilder()
      .Text("ffplay -window_title ")
      .Quoted(title + " " + help)
      .Text(" -autoexit -exitonmousedown ")
      .Quoted(location)
      .Build();
}

bool PlayVideo(const std::string& title, const std::string& location) {
  // The player outlives this call: the user closes its window.
  ChildProcess player(false);
  return player.Start(PlayVideoCommand(title, Text("helpVideoPlayer"), location), false, location);
}

std::string VideoPlayLocation(const CPhoto& item) {
  if (!item.IsVideo()) return {};
  if (item.localFileAvailable && !item.video.sourcePath.empty()) return item.video.sourcePath;
  if (item.included && item.photoID >= 1 && !item.videosUrl.empty())
    return item.videosUrl + std::to_string(item.photoID);
  return {};
}

}  // namespace zerva
