// Uploading one MP4 file in blocks: the service names the blocks it already holds (an earlier,
// interrupted upload), the file is read in rounds and cut into blocks that the sender pool sends,
// and at the end both sides compare the complete block list. A file that ffmpeg is still writing
// is read as it grows; its 48-byte header is sent first and once more when ffmpeg has finished.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/message_target.h"
#include "net/api_result.h"
#include "net/http_connect.h"

namespace zerva {

class CHttpMngr;
class CJobBase;
class CPhoto;
class ChildProcess;

inline constexpr int kVideoOpenPauseMs = 1000;
inline constexpr int kVideoOpenRetries = 100;
inline constexpr int kVideoPollMs = 500;
inline constexpr int kVideoGrowthRounds = 101;

struct VideoBlocksInput {
  CJobBase* job = nullptr;  // absent for an original file
  std::string path;         // the file to read
  std::string fileName;     // the name announced to the service
  std::string userName;
  std::string userPass;
  std::string videoXml;            // the video settings; empty for an original file
  std::string directory;           // the album's server directory; not for an original file
  bool unknown = false;            // the "Unk" commands
  ChildProcess* ffmpeg = nullptr;  // the background conversion writing `path`, if any
  std::string* ffmpegOutput = nullptr;
  CPhoto* item = nullptr;
  CancelFlag* cancel = nullptr;
  std::shared_ptr<CHttpMngr> connections;  // for the senders' own connections
  MessageTarget* notifyWindow = nullptr;
  unsigned notifyMessage = kMsgTransferProgress;
  int senders = 2;
  // Overrides for tests (the real values above are the program's).
  int openPauseMs = kVideoOpenPauseMs;
  int pollMs = kVideoPollMs;
};

// `totalSize` is the expected size in (the source's size while ffmpeg converts) and the final
// size out. `conversionFailed` is set when the background ffmpeg failed or stalled.
ApiResult UploadVideoBlocks(const VideoBlocksInput& input, CHttpConnect& connection,
                            int64_t* totalSize, bool* conversionFailed);

// The check of a converted file: its duration, start and bit rates from an ffmpeg probe. False
// when the probe fails or finds no video bit rate.
struct ConvertedFacts {
  double duration = 0.0;
  double begin = 0.0;
  int vbitrate = 0;
  int abitrate = 0;
};
bool CheckConvertedVideo(const std::string& path, ConvertedFacts* facts);

}  // namespace zerva
